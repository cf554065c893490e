# The two everyday commands: `make demo` and `make test`.
# Each first installs the Debian packages it needs (as root), or, run as
# another user without them, stops and names the command to run as root.

PRESET ?= default
BUILD_DIR := build/$(PRESET)
DEPS := bash scripts/install-deps.sh
MAKEFLAGS += --no-print-directory

.PHONY: configure build test demo fuzz memcheck package check-package bench clean

configure:
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET)

# Only the plug-in, the local platform and snaphost.
demo:
	$(DEPS) build
	$(MAKE) configure
	cmake --build --preset $(PRESET) --target snaphost
	$(BUILD_DIR)/bin/snaphost demo

# ctest's summary says only "Skipped"; the reasons follow it.
test:
	$(DEPS) build test
	$(MAKE) build
	ctest --preset $(PRESET) --no-tests=error; status=$$?; \
	  bash scripts/skip-reasons.sh $(BUILD_DIR); exit $$status

# Builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS.
FUZZ_SECONDS ?= 20
fuzz:
	$(DEPS) build fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz
	bash scripts/run-fuzzers.sh build/fuzz $(FUZZ_SECONDS)

# The demo and the end-to-end tests under valgrind memcheck.
memcheck:
	$(DEPS) build test memcheck
	$(MAKE) build
	bash scripts/memcheck.sh $(BUILD_DIR)

# The benchmarks of the built plug-in against its platform floor, always on
# the default preset (about three minutes on two cores, after the build). Narrow it with, e.g.,
# BENCH_FILTER=map (a name or a part of one from its start: map is not
# unmap, postgresql/map is); bench/RESULTS.md holds the figures of a full run. With
# ZRSO_TEST_POSTGRESQL set to a libpq connection string, snapshot, map and
# unmap also run on PostgreSQL, in databases made on that server.
BENCH_FILTER ?= .
BENCH_REPETITIONS ?= 3
bench:
	$(DEPS) build test bench
	$(MAKE) build PRESET=default
	@echo "Debian builds Google Benchmark's library without optimisation, which it warns of"
	@echo "below: it times only the benchmark's loop, not what is measured."
	build/default/bin/zrso_bench --benchmark_filter='(^|/)($(BENCH_FILTER))' \
	  --benchmark_repetitions=$(BENCH_REPETITIONS) --benchmark_report_aggregates_only=true \
	  --benchmark_min_time=0.3

# The Debian package of the plug-in, the local platform and snaphost, and
# the -dbg package of their debugging symbols.
package:
	$(DEPS) build package
	$(MAKE) build
	rm -f $(BUILD_DIR)/*.deb
	cd $(BUILD_DIR) && cpack
	@ls $(BUILD_DIR)/*.deb

# Checks the package with lintian, installs it with apt, runs the installed
# demo, removes it (root).
check-package: package
	$(DEPS) lint
	bash scripts/check-package.sh $(BUILD_DIR)

clean:
	rm -rf build
