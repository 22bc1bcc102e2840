# The two set-up commands: `make run` and `make test`. Both install what is
# missing, configure and build first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all deps configure build run test test-fast test-asan bench nogui format clean

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
# UndefinedBehaviorSanitizer in a second build folder.
test: test-fast test-asan

test-fast: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSENTREL_SANITIZE=ON \
	  -DSENTREL_BENCH=OFF -DSENTREL_GUI=OFF $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# The core and the command line without the desktop program (no Qt Widgets).
nogui: deps
	cmake -S . -B build-nogui -G Ninja -DSENTREL_GUI=OFF -DSENTREL_TESTS=OFF -DSENTREL_BENCH=OFF $(CMAKE_ARGS)
	cmake --build build-nogui -j $(JOBS)

bench: build
	@for b in $(BUILD)/bin/bench_*; do echo "== $$b"; $$b || exit 1; done

format:
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-nogui
