# The two commands a user needs: `make run` and `make test`. Both install
# what is missing, configure and build into build/.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test clean

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

clean:
	rm -rf $(BUILD)

# `make bench`: a Release build in build-release/ of the benchmarks and the
# simulated receiver, then one table of figures (bench/run-bench.sh).
.PHONY: bench
bench: deps
	@cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build-release -j $(JOBS) --target skyloupe-sim bench_intake bench_line \
		>build-release/bench-build.log 2>&1 || (tail -40 build-release/bench-build.log; exit 1)
	@bench/run-bench.sh build-release
