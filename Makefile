# The two commands a newcomer needs: `make run` (the main job) and `make test` (the whole suite).
# Both set up a fresh Debian 12 machine themselves (apt-get, as root or through sudo).

JOBS ?= 2
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
WINDOWS_BUILD ?= build-windows
BENCH_BUILD ?= build-bench
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 60
FUZZ_SMOKE_SECONDS ?= 15
FUZZ_TARGETS := xml_fuzz form_fuzz

# Debian packages, by what needs them.
NATIVE_PACKAGES := cmake g++ make python3 libgtest-dev libbenchmark-dev googletest
FUZZ_PACKAGES := clang libclang-rt-14-dev
WINDOWS_PACKAGES := g++-mingw-w64-x86-64 wine64 locales xvfb xdotool fonts-wqy-microhei imagemagick

.PHONY: all build test run deps unit-tests asan-tests fuzz fuzz-build fuzz-smoke windows \
        windows-tests gui bench clean

all: build

deps:
	@tools/ensure-packages $(NATIVE_PACKAGES)

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# The native suite, including the comparison of our profile reader with the platform's under Wine.
unit-tests: build
	@tools/ensure-packages $(WINDOWS_PACKAGES)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

asan-tests: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DMARVANE_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS) -LE wine

fuzz-build: deps
	@tools/ensure-packages $(FUZZ_PACKAGES)
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DMARVANE_FUZZ=ON -DMARVANE_TESTS=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_TARGETS)

# Each fuzzer for FUZZ_SECONDS from its seed corpus.
fuzz: fuzz-build
	@for t in $(FUZZ_TARGETS); do fuzz/run-fuzzer.sh $(FUZZ_BUILD) $$t $(FUZZ_SECONDS) || exit 1; done

fuzz-smoke: fuzz-build
	@for t in $(FUZZ_TARGETS); do \
	  fuzz/run-fuzzer.sh $(FUZZ_BUILD) $$t $(FUZZ_SMOKE_SECONDS) 2>$(FUZZ_BUILD)/$$t.log \
	    || { tail -40 $(FUZZ_BUILD)/$$t.log; exit 1; }; \
	  grep -h "stat::number_of_executed_units" $(FUZZ_BUILD)/$$t.log | sed "s/^/$$t: /"; \
	done

test: unit-tests asan-tests fuzz-smoke
	@echo "make test: all suites passed"

# The main job: convert a list the way a user drops it on the window. LIST=path converts that
# file; by default both bundled examples are converted.
LIST ?=
run: build
	@tools/run-convert $(BUILD)/tools/marvane-convert/marvane-convert $(if $(LIST),"$(LIST)",examples/cloud-update.ini examples/clients.xml)

bench: deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DMARVANE_BENCH=ON -DMARVANE_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	$(BENCH_BUILD)/bench/cloud_list_bench
	$(BENCH_BUILD)/bench/xml_list_bench

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WINDOWS_BUILD) $(BENCH_BUILD)
