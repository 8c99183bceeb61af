# Entry points. `make test` is what CI runs on a fresh machine.
BUILD_DIR ?= build
JOBS ?= 2

.PHONY: all deps configure build test clean

all: build

deps:
	bash scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD_DIR)
