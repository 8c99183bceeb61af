# Entry points. `make test` is what CI runs on a fresh machine: every suite on the normal build,
# then again under the sanitizers; `make demo` exports the demo model's frames to out/, with a
# page that shows them in a browser (out/demo.html);
# `make install` installs the build into PREFIX.
BUILD_DIR ?= build
JOBS ?= 2
PREFIX ?= /usr/local
# Where CMakePresets.json's preset `sanitize` builds.
SANITIZE_BUILD_DIR = build-sanitize

.PHONY: all deps configure build test test-sanitize demo install clean

all: build

deps:
	bash scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory test-sanitize

# Every library, program and test built with AddressSanitizer and UndefinedBehaviorSanitizer, and
# every suite run with the preset's sanitizer options: any report, a leak too, fails the run.
test-sanitize: deps
	cmake --preset sanitize
	cmake --build --preset sanitize -j $(JOBS)
	ctest --preset sanitize -j $(JOBS)

# Only the command is built: a fresh machine has the demo in minutes, the suites come with `make`.
# Files of an earlier run go first: a listing with a longer run's frames left over would mislead.
demo: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target sceneport
	mkdir -p out
	rm -f out/demo*.wrl out/demo.html
	$(BUILD_DIR)/bin/sceneport export --all-frames --html -o out/demo.wrl
	@echo
	@ls out/demo*.wrl | sort -V | head
	@echo "$$(ls out/demo*.wrl | wc -l) files in out/. To look at a frame: view3dscene out/demo1.wrl"
	@echo "All frames in a browser: $(BUILD_DIR)/bin/sceneport serve out, then open http://127.0.0.1:8000/demo.html"

install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_BUILD_DIR)
