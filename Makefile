# Front door of the build. `make run` and `make test` do all the set-up on a fresh Debian
# machine: they install what is missing, configure, build and then run.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 20
GENERATOR  := -G Ninja
CMAKE_ARGS ?=
# Lets ccache reuse objects between clones in different folders (CI builds a fresh clone).
export CCACHE_BASEDIR := $(CURDIR)

.PHONY: all deps configure build test test-main test-asan run bench fuzz-smoke format clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

test: test-main test-asan

test-main: build
	ctest --test-dir $(BUILD) --output-on-failure

# The core again under AddressSanitizer and UndefinedBehaviorSanitizer (no Qt in this build).
test-asan: deps
	@[ -f $(ASAN_BUILD)/build.ninja ] || cmake -S . -B $(ASAN_BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug \
	    -DMORVELL_CORE_ONLY=ON -DMORVELL_SANITIZE=ON -DMORVELL_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --test-dir $(ASAN_BUILD) --output-on-failure

run: build
	@scripts/run-sample $(BUILD)

bench: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)
	cmake --build $(BUILD) --target all benchmarks
	bench/run $(BUILD)

fuzz-smoke: deps
	@[ -f $(FUZZ_BUILD)/build.ninja ] || CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(GENERATOR) \
	    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVELL_FUZZ=ON -DMORVELL_CORE_ONLY=ON -DMORVELL_BENCH=OFF
	cmake --build $(FUZZ_BUILD)
	fuzz/run-smoke $(FUZZ_BUILD) $(FUZZ_SECONDS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
