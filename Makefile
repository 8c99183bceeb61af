# Entry points. `make test` is what CI runs on a fresh machine; `make demo` exports the demo
# model's frames to out/; `make install` installs the build into PREFIX.
BUILD_DIR ?= build
JOBS ?= 2
PREFIX ?= /usr/local

.PHONY: all deps configure build test demo install clean

all: build

deps:
	bash scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# Files of an earlier run go first: a listing with a longer run's frames left over would mislead.
demo: build
	mkdir -p out
	rm -f out/demo*.wrl
	$(BUILD_DIR)/bin/sceneport export --all-frames -o out/demo.wrl
	@echo
	@ls out/demo*.wrl | sort -V | head
	@echo "$$(ls out/demo*.wrl | wc -l) files in out/. To look at a frame: view3dscene out/demo1.wrl"

install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD_DIR)
