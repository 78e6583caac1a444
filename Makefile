# Orvik: `make demo` runs the main job on the embedded demo, `make test` runs the whole test suite.
BUILD ?= build
JOBS  ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build demo test test-slow asan tsan bench clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

demo: build
	@scripts/demo.sh $(BUILD)

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) -LE slow

test-slow: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) -L slow

# Sanitizer runs of the whole suite, each in its own build folder.
asan:
	@$(MAKE) test BUILD=build-asan CMAKE_FLAGS="-DCMAKE_BUILD_TYPE=Debug -DORVIK_SANITIZE=address,undefined"

tsan:
	@TSAN_OPTIONS="suppressions=$(CURDIR)/scripts/tsan.supp $(TSAN_OPTIONS)" \
	  $(MAKE) test BUILD=build-tsan CMAKE_FLAGS="-DCMAKE_BUILD_TYPE=Debug -DORVIK_SANITIZE=thread"

bench: build
	@scripts/bench.sh $(BUILD)

clean:
	rm -rf $(BUILD) build-asan build-tsan out
