# The two everyday commands: `make demo` and `make test`.
# Each installs missing Debian packages first (when run as root), then builds.

PRESET ?= default
BUILD_DIR := build/$(PRESET)

.PHONY: deps build test demo fuzz memcheck package check-package clean

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

test: build
	ctest --preset $(PRESET)

demo: build
	$(BUILD_DIR)/bin/snaphost demo

# Builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS.
FUZZ_SECONDS ?= 20
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	bash scripts/run-fuzzers.sh build/fuzz $(FUZZ_SECONDS)

# The demo and the end-to-end tests under valgrind memcheck.
memcheck: build
	bash scripts/memcheck.sh $(BUILD_DIR)

# A Debian package of the plug-in, the local platform and snaphost.
package: build
	cd $(BUILD_DIR) && cpack
	@ls $(BUILD_DIR)/*.deb

# Installs the package with apt, runs the installed demo, removes it (root).
check-package: package
	bash scripts/check-package.sh $(BUILD_DIR)

clean:
	rm -rf build
