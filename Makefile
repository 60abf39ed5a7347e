# The two commands a newcomer types: `make run` and `make test`.
BUILD ?= build
BENCH_BUILD ?= build-bench
BUILD_TYPE ?= RelWithDebInfo

.PHONY: all deps configure build run test package screenshots bench clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null

build: configure
	@cmake --build $(BUILD)

run: build
	@scripts/run-game $(BUILD)

# The tests also check the Debian package, so it is built first.
test: build package
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure

package: build
	@cmake --build $(BUILD) --target package

# The README's pictures, taken on a virtual display.
screenshots: build
	@scripts/screenshots $(BUILD)

# Benchmarks run on an optimised build of their own, never as part of the tests.
bench: deps
	@cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
	@cmake --build $(BENCH_BUILD) --target benchmarks
	@bench/run $(BENCH_BUILD)

clean:
	rm -rf $(BUILD) $(BENCH_BUILD)
