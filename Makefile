# The three commands a user needs: `make run`, `make test` and `make
# package`. Each installs what is missing, configures and builds into build/.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test package clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-demo.sh $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The Debian package, build/kestrela-skyloupe_<version>_<arch>.deb.
package: build
	@cd $(BUILD) && cpack -G DEB >cpack.log 2>&1 || (tail -40 cpack.log; exit 1)
	@ls $(BUILD)/kestrela-skyloupe_*.deb

clean:
	rm -rf $(BUILD)

# `make bench`: a Release build in build-release/ of the benchmarks and the
# simulated receiver, then one table of figures (bench/run-bench.sh).
.PHONY: bench
bench: deps
	@cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build-release -j $(JOBS) --target skyloupe skyloupe-sim bench_intake bench_line bench_history bench_analyze bench_map bench_replay \
		>build-release/bench-build.log 2>&1 || (tail -40 build-release/bench-build.log; exit 1)
	@bench/run-bench.sh build-release

# `make sanitize`: the whole suite again, built with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan/; any finding, leaks at exit
# included, fails its test. CTEST_FLAGS passes extra ctest options.
ASAN_BUILD ?= build-asan
CTEST_FLAGS ?=
.PHONY: sanitize
sanitize: deps
	@cmake -S . -B $(ASAN_BUILD) -DSKYLOUPE_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS) $(CTEST_FLAGS)

# `make fuzz`: the libFuzzer targets (fuzz/) built with clang in
# build-fuzz/, each run for FUZZ_SECONDS (default 60).
FUZZ_SECONDS ?= 60
.PHONY: fuzz
fuzz: build
	@SKYLOUPE_WITH_CLANG=1 scripts/install-deps.sh
	@BUILD=$(BUILD) FUZZ_SECONDS=$(FUZZ_SECONDS) JOBS=$(JOBS) scripts/fuzz.sh

# `make soak`: the program against the simulator in flood mode with 5%
# faults for SOAK_MINUTES (default 30); prints memory, blocks and messages.
SOAK_MINUTES ?= 30
.PHONY: soak
soak: build
	@BUILD=$(BUILD) SOAK_MINUTES=$(SOAK_MINUTES) scripts/soak.sh
