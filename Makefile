# The two everyday commands: `make demo` and `make test`.
# Each installs missing Debian packages first (when run as root), then builds.

PRESET ?= default
BUILD_DIR := build/$(PRESET)

.PHONY: deps build test demo fuzz memcheck package check-package bench clean

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

# The benchmarks of the built plug-in against its platform floor, always on
# the default preset (about three minutes on two cores, after the build). Narrow it with, e.g.,
# BENCH_FILTER=map; bench/RESULTS.md holds the figures of a full run.
BENCH_FILTER ?= .
BENCH_REPETITIONS ?= 3
bench: deps
	cmake --preset default
	cmake --build --preset default
	build/default/bin/zrso_bench --benchmark_filter='$(BENCH_FILTER)' \
	  --benchmark_repetitions=$(BENCH_REPETITIONS) --benchmark_report_aggregates_only=true \
	  --benchmark_min_time=0.3

# A Debian package of the plug-in, the local platform and snaphost.
package: build
	cd $(BUILD_DIR) && cpack
	@ls $(BUILD_DIR)/*.deb

# Installs the package with apt, runs the installed demo, removes it (root).
check-package: package
	bash scripts/check-package.sh $(BUILD_DIR)

clean:
	rm -rf build
