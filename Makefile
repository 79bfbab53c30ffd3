# Thin wrapper around CMake. `make test` and `make demo` install what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build test demo run bench fuzz screenshots clean

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
DEMO_BUILD = $(BUILD)/src/cli/vellumar-build --settings data/sample/demo.ini data/sample/demo.vlm
demo: build
	@mkdir -p $(DEMO_DIR)
	@for out in demo.htm demo.txt; do \
	  $(DEMO_BUILD) $(DEMO_DIR)/$$out >/dev/null 2>$(DEMO_DIR)/build.log || { cat $(DEMO_DIR)/build.log; exit 1; }; \
	done
	@echo "Sample document (HTML): $(abspath $(DEMO_DIR)/demo.htm)"
	@echo "Sample document (text): $(abspath $(DEMO_DIR)/demo.txt)"

run: build
	@$(BUILD)/src/app/vellumar

# PNG pictures of the program's windows, taken under a virtual X server.
screenshots: configure
	@BUILD=$(BUILD) bash tools/screenshots.sh $(BUILD)/screenshots

bench: build
	@cmake --build $(BUILD) --target run-benches

clean:
	@rm -rf $(BUILD)
