# Thin wrapper around CMake. `make test` and `make demo` install what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
# The default build serves the tests, `make run` and `make demo`: optimised at -O1 and
# without debug information, it builds in two thirds of the time -O2 -g takes, which keeps
# `make test` on a fresh clone within a few minutes on two cores. The package and the
# benchmarks have builds of their own at -O2.
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O1 -DNDEBUG"

.PHONY: all deps configure build test demo run bench fuzz fuzz-run screenshots package install mutants clean

all: build

deps:
	@bash tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The sample document, built with vellumar-build from the sample project and its own settings
# (every document part on), so the user's settings neither change it nor are changed.
DEMO_DIR = $(BUILD)/demo
SAMPLE_DIR = $(BUILD)/share/vellumar/sample
# The modern formats open with the changes since the sample's version 1.0.
DEMO_SINCE = --changes-since $(SAMPLE_DIR)/demo-1.0.sqlite
DEMO_BUILD = $(BUILD)/bin/vellumar-build --settings data/sample/demo.ini data/sample/demo.vlm
DEMO_QUIET = >/dev/null 2>$(DEMO_DIR)/build.log || { cat $(DEMO_DIR)/build.log; exit 1; }
demo: build
	@mkdir -p $(DEMO_DIR)
	@$(DEMO_BUILD) $(DEMO_DIR)/demo.htm $(DEMO_QUIET)
	@$(DEMO_BUILD) $(DEMO_DIR)/demo.txt $(DEMO_QUIET)
	@$(DEMO_BUILD) --format modern $(DEMO_SINCE) $(DEMO_DIR)/demo.html $(DEMO_QUIET)
	@$(DEMO_BUILD) --format markdown $(DEMO_SINCE) $(DEMO_DIR)/markdown $(DEMO_QUIET)
	@$(DEMO_BUILD) --format site $(DEMO_SINCE) $(DEMO_DIR)/site $(DEMO_QUIET)
	@$(BUILD)/bin/vellumar-build --changes $(SAMPLE_DIR)/demo-1.0.sqlite $(SAMPLE_DIR)/demo.sqlite \
	  >$(DEMO_DIR)/changes.txt
	@echo "Sample document (HTML): $(abspath $(DEMO_DIR)/demo.htm)"
	@echo "Sample document (text): $(abspath $(DEMO_DIR)/demo.txt)"
	@echo "Sample document (web page): $(abspath $(DEMO_DIR)/demo.html)"
	@echo "Sample document (Markdown): $(abspath $(DEMO_DIR)/markdown)/README.md"
	@echo "Sample document (web site): $(abspath $(DEMO_DIR)/site)/index.html"
	@echo "Changes of the sample since version 1.0: $(abspath $(DEMO_DIR)/changes.txt)"

run: build
	@$(BUILD)/bin/vellumar

# PNG pictures of the program's windows, taken under a virtual X server.
screenshots: configure
	@BUILD=$(BUILD) bash tools/screenshots.sh $(BUILD)/screenshots

# The Debian package, from a build of its own with Debian's optimisation and hardening
# flags; its dependencies are read from the programs by dpkg-shlibdeps.
PACKAGE_BUILD ?= build-package
package: deps
	@eval "$$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"; \
	  CXXFLAGS="$$CPPFLAGS $$CXXFLAGS" cmake -S . -B $(PACKAGE_BUILD) -G Ninja \
	  -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
	  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
	@cmake --build $(PACKAGE_BUILD) -j $(JOBS) --target vellumar vellumar-build \
	  sample_dictionary icons compressed_docs
	@cd $(PACKAGE_BUILD) && cpack -G DEB >/dev/null
	@echo "Package: $$(ls $(abspath $(PACKAGE_BUILD))/package/*.deb)"

# Installs into PREFIX (default /usr/local); DESTDIR stages it elsewhere.
PREFIX ?= /usr/local
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# The benchmarks: a build of their own at -O2 (with debug information, for a profiler), so
# their figures do not change with how the tests are built.
BENCH_BUILD ?= build-bench
bench: deps
	@cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS) --target run-benches

# Fuzz targets: their own build with clang and libFuzzer, never part of build or test (which
# only replays their seeds, tests/fuzz).
# `make fuzz` builds them; `make fuzz-run FUZZ_SECONDS=600` also runs each of FUZZ_TARGETS in
# turn from its seeds (fuzz/corpus/NAME and the sample files in $(FUZZ_BUILD)/seeds/NAME),
# with fuzz/NAME.dict when there is one, keeping the corpus it grows in
# $(FUZZ_BUILD)/corpus/NAME and what it finds in $(FUZZ_BUILD)/findings/NAME-*. A damaged
# @Variant value in a settings file makes Qt reserve the length it declares, gigabytes of
# address space that are never touched and that the program survives: one allocation may be
# as large as 64 GiB (and one that cannot be met gives null, as the system's malloc does),
# while the memory really used stays bounded by -rss_limit_mb.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 600
FUZZ_TARGETS ?= comment_tags project_file project_history connection_history settings_file plsql_reader

fuzz:
	@bash tools/install-deps.sh fuzz
	@CC=clang CXX=clang++ cmake -S fuzz -B $(FUZZ_BUILD) -G Ninja >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)

fuzz-run: fuzz
	@mkdir -p $(FUZZ_BUILD)/findings /dev/shm/vellumar-fuzz
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$t fuzz/corpus/$$t; \
	  dict=; [ -f fuzz/$$t.dict ] && dict=-dict=fuzz/$$t.dict; \
	  TMPDIR=/dev/shm/vellumar-fuzz ASAN_OPTIONS=allocator_may_return_null=1 \
	    $(FUZZ_BUILD)/fuzz_$$t \
	    $(FUZZ_BUILD)/corpus/$$t fuzz/corpus/$$t $(FUZZ_BUILD)/seeds/$$t $$dict \
	    -max_len=16384 -timeout=10 -rss_limit_mb=3072 -malloc_limit_mb=65536 -max_total_time=$(FUZZ_SECONDS) \
	    -artifact_prefix=$(FUZZ_BUILD)/findings/$$t- -print_final_stats=1 || exit 1; \
	done

# Plants each fault of tools/mutants/mutants.toml in a copy of the tree (build-mutants/) and
# runs the tests: which faults they catch, and with KILLERS=1 which tests catch each. Long;
# never part of test. `make mutants ONLY="src/db text-upper-before-z"` runs a few.
mutants: deps
	@nice -n 10 python3 tools/mutants/run.py $(if $(KILLERS),--killers) $(ONLY)

clean:
	@rm -rf $(BUILD)
