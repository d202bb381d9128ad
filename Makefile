# The two commands a newcomer needs: `make run` (the main job) and `make test` (the whole suite).
# Both set up a fresh Debian 12 machine themselves.

JOBS ?= 2
BUILD ?= build
ASAN_BUILD ?= build-asan
CMAKE_FLAGS ?=

# Debian packages the native build and its tests need.
NATIVE_PACKAGES := cmake g++ make python3 libgtest-dev libbenchmark-dev

.PHONY: all build test run deps unit-tests asan-tests clean

all: build

deps:
	@tools/ensure-packages $(NATIVE_PACKAGES)

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

unit-tests: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

asan-tests: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DMARVANE_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

test: unit-tests asan-tests
	@echo "make test: all suites passed"

# The main job: convert a list the way a user drops it on the window. LIST=path converts that
# file; by default both bundled examples are converted.
LIST ?=
run: build
	@tools/run-convert $(BUILD)/tools/marvane-convert/marvane-convert $(if $(LIST),"$(LIST)",examples/cloud-update.ini examples/clients.xml)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
