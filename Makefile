# The two everyday commands: `make demo` and `make test`.
# Each installs missing Debian packages first (when run as root), then builds.

PRESET ?= default
BUILD_DIR := build/$(PRESET)

.PHONY: deps build test demo asan-test fuzz clean

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

test: build
	ctest --preset $(PRESET)

demo: build
	$(BUILD_DIR)/bin/snaphost demo

asan-test:
	$(MAKE) test PRESET=asan

clean:
	rm -rf build
