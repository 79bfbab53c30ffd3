# What the fuzz targets are made of, shared by their libFuzzer build (fuzz/CMakeLists.txt)
# and by the test build, which links the same targets to a driver that replays their seeds
# (tests/fuzz), so a source they come to need breaks `make test`, not only `make fuzz`.
set(VELLUMAR_FUZZ_TARGETS comment_tags project_file project_history connection_history
  settings_file)
# The core sources the targets drive, relative to src/; each target takes what it calls.
set(VELLUMAR_FUZZ_SOURCES
  classic/comment_tags.cpp classic/document.cpp classic/document_file.cpp classic/html.cpp
  project/project_file.cpp project/project.cpp project/file_times.cpp
  project/project_history.cpp db/connection_history.cpp
  cli/settings_file.cpp settings/settings.cpp
  text/ansi.cpp text/file_name.cpp text/file_replacement.cpp text/input_file.cpp
  text/kill_point.cpp text/line_file.cpp text/temporary_files.cpp)
# Sample files that join a target's seeds.
set(VELLUMAR_FUZZ_SAMPLES_project_file demo.vlm)
set(VELLUMAR_FUZZ_SAMPLES_settings_file demo.ini)
