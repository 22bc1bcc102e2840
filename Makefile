# The two set-up commands: `make run` and `make test`. Both install what is
# missing, configure and build first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
TIDY_BUILD ?= build-tidy
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
# The fuzz targets: their own clang build folder, seconds per target for
# `make fuzz` and for the short runs `make test` includes.
FUZZ_BUILD        ?= build-fuzz
FUZZ_SECONDS      ?= 60
FUZZ_TEST_SECONDS ?= 10

.PHONY: lint all deps configure build run test test-fast test-asan test-tsan test-fuzz fuzz fuzz-build bench nogui package format tidy clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

configure: $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/sentrel

# Every test: the normal build, then once more under AddressSanitizer and
# UndefinedBehaviorSanitizer in a second build folder, the threaded code under
# ThreadSanitizer in a third, then a short run of every fuzz target.
test: lint test-fast test-asan test-tsan test-fuzz

# Quick checks of the sources themselves: every file formatted as
# .clang-format says, and no folder including one above it (scripts/check-layers).
lint:
	find src tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format --dry-run -Werror
	scripts/check-layers

test-fast: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSENTREL_SANITIZE=ON \
	  -DSENTREL_BENCH=OFF -DSENTREL_GUI=OFF $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# ThreadSanitizer over the test programs of the code that runs threads: the
# check engine (page prefetching, reductions done ahead, the desktop's
# background page loader) and the fetcher with the tests' loopback server.
# Only those two programs are built, and each runs as one process. The hostile
# server's streams and trickle are left out: each downloads for seconds in a
# child process with no thread of its own, and their time and memory bounds
# do not hold under the sanitizer's slowdown and shadow memory.
TSAN_TESTS   = engine_tests fetch_tests
TSAN_FILTER  = -Streams/HostileServer.*:HostileTrickle.*
TSAN_OPTIONS = halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/tsan.supp
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSENTREL_TSAN=ON \
	  -DSENTREL_BENCH=OFF -DSENTREL_GUI=OFF $(CMAKE_ARGS)
	cmake --build $(TSAN_BUILD) --target $(TSAN_TESTS) -j $(JOBS)
	@for t in $(TSAN_TESTS); do echo "== $$t under ThreadSanitizer"; \
	  TSAN_OPTIONS="$(TSAN_OPTIONS)" $(TSAN_BUILD)/bin/$$t --gtest_brief=1 \
	  --gtest_filter='$(TSAN_FILTER)' || exit 1; done

# clang-tidy over src/ with the checks in .clang-tidy, their findings errors.
# The compile database comes from a configure-only build folder with the
# desktop program, so that every source of src/ is in it.
tidy: deps
	cmake -S . -B $(TIDY_BUILD) -G Ninja -DSENTREL_BENCH=OFF $(CMAKE_ARGS)
	run-clang-tidy-14 -p $(TIDY_BUILD) -j $(JOBS) -quiet '^$(CURDIR)/src/.*\.cpp$$'

# libFuzzer targets (fuzz/), built with clang 14 under AddressSanitizer and
# UndefinedBehaviorSanitizer, each run for FUZZ_SECONDS seconds.
fuzz-build: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DSENTREL_FUZZ=ON -DSENTREL_GUI=OFF -DSENTREL_TESTS=OFF -DSENTREL_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(FUZZ_BUILD) --target sentrel_fuzz -j $(JOBS)

fuzz: fuzz-build
	fuzz/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS)

test-fuzz: fuzz-build
	fuzz/run-fuzz $(FUZZ_BUILD) $(FUZZ_TEST_SECONDS)

# The core and the command line without the desktop program (no Qt Widgets).
nogui: deps
	cmake -S . -B build-nogui -G Ninja -DSENTREL_GUI=OFF -DSENTREL_TESTS=OFF -DSENTREL_BENCH=OFF $(CMAKE_ARGS)
	cmake --build build-nogui -j $(JOBS)

# The Debian package sentrel_VERSION_ARCH.deb in the build folder, from the
# install rules (packaging/), then lintian's findings when lintian is there.
package: build
	cd $(BUILD) && cpack -G DEB
	@if command -v lintian >/dev/null; then lintian --info $(BUILD)/sentrel_*.deb || true; fi

bench: build
	@for b in $(BUILD)/bin/bench_*; do echo "== $$b"; $$b || exit 1; done

format:
	find src tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(TIDY_BUILD) build-nogui $(FUZZ_BUILD)
