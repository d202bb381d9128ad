# The two commands a newcomer needs: `make run` (the main job) and `make test` (the whole suite).
# Both set up a fresh Debian 12 machine themselves (apt-get, as root or through sudo).

JOBS ?= 2
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
# Windows programs come for two architectures, x86 (32-bit, runs on every Windows) and x64;
# ARCH picks the one that `make windows`, `make gui` and `make bench-wine` build and run.
ARCH ?= x64
WINDOWS_ARCHES := x86 x64
WINDOWS_BUILD = build-windows-$(ARCH)
BENCH_BUILD ?= build-bench
DIST_BUILD ?= build-dist
DIST ?= dist
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 60
FUZZ_SMOKE_SECONDS ?= 15
BENCH_SIZES ?= 1000 10000 100000 1000000
BENCH_RUNS ?= 5
BENCH_WINE_SIZES ?= 1000,10000,50000
FUZZ_TARGETS := xml_fuzz form_fuzz profile_fuzz cloud_list_fuzz text_fuzz program_fuzz

# Debian packages, by what needs them.
NATIVE_PACKAGES := cmake g++ make python3 libgtest-dev libbenchmark-dev googletest
FUZZ_PACKAGES := clang libclang-rt-14-dev
MINGW_PACKAGES := g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 g++-mingw-w64-i686 \
  binutils-mingw-w64-i686
DIST_PACKAGES := cmake make python3 $(MINGW_PACKAGES)
# wine32 runs the 32-bit programs (tools/ensure-packages adds the i386 architecture for it).
WINDOWS_PACKAGES := $(MINGW_PACKAGES) wine64 wine32:i386 locales xvfb xdotool fonts-wqy-microhei \
  imagemagick fonts-wine unzip
BENCH_PACKAGES := time

.PHONY: all configure build test test-deps run deps unit-tests asan-tests fuzz fuzz-build fuzz-smoke windows \
        dist windows-tests gui bench bench-build bench-readers bench-wine clean

all: build

deps:
	@tools/ensure-packages $(NATIVE_PACKAGES)

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The native suite, including the comparison of our profile reader with the platform's under Wine.
unit-tests: build
	@tools/ensure-packages $(WINDOWS_PACKAGES)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Tests labelled "large" (inputs of tens of megabytes) take minutes here; the normal build runs them.
asan-tests: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DMARVANE_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS) -LE "wine|large"

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

# Everything the suite needs, installed in one go so that apt-get update runs once at most.
test-deps:
	@tools/ensure-packages $(NATIVE_PACKAGES) $(FUZZ_PACKAGES) $(WINDOWS_PACKAGES)

test: test-deps unit-tests asan-tests fuzz-smoke windows-tests
	@echo "make test: all suites passed"

# The main job: convert a list the way a user drops it on the window. LIST=path converts that
# file; by default both bundled examples are converted. Builds marvane-convert and what it needs,
# none of the tests.
LIST ?=
run: configure
	cmake --build $(BUILD) -j $(JOBS) --target marvane-convert
	@tools/run-convert $(BUILD)/tools/marvane-convert/marvane-convert $(if $(LIST),"$(LIST)",examples/cloud-update.ini examples/clients.xml)

bench-build: deps
	@tools/ensure-packages $(BENCH_PACKAGES)
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DMARVANE_BENCH=ON -DMARVANE_TESTS=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS)

# The main job at scale: marvane-convert and a scripted peer converting the same generated lists
# (BENCH_SIZES clients, both formats), BENCH_RUNS runs each with the run directory on /dev/shm,
# side by side in one table; ours once more with the save on the disk, for the save's own cost.
bench: bench-build
	python3 bench/end_to_end.py --convert $(BENCH_BUILD)/tools/marvane-convert/marvane-convert \
	  --work $(BENCH_BUILD)/lists --sizes "$(BENCH_SIZES)" --runs $(BENCH_RUNS)

# The two list readers alone, under Google Benchmark.
bench-readers: bench-build
	$(BENCH_BUILD)/bench/cloud_list_bench
	$(BENCH_BUILD)/bench/xml_list_bench

# marvane.exe under Wine, from a list dropped with the mouse until its list and count show: lists of
# BENCH_WINE_SIZES clients in both formats, three runs each, the program started afresh each time.
# Each architecture's own Wine loader: the 64-bit one starts a 32-bit program as a process of its
# own, whose processor time the benchmark would not see.
WINE_x86 := /usr/lib/wine/wine
WINE_x64 := /usr/lib/wine/wine64
bench-wine: windows
	WINE=$(WINE_$(ARCH)) bench/wine/drop_to_count.sh $(WINDOWS_BUILD) $(BENCH_WINE_SIZES)

# marvane.exe and marvane-convert.exe for ARCH, cross-built with MinGW-w64.
windows:
	@tools/ensure-packages cmake make python3 googletest $(WINDOWS_PACKAGES)
	cmake -S . -B $(WINDOWS_BUILD) --toolchain cmake/windows-$(ARCH).cmake \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(WINDOWS_BUILD) -j $(JOBS) --target marvane marvane-convert drag_source drop_probe \
	  window_probe drop_timer

# The release a Windows administrator downloads, one zip for each architecture:
# $(DIST)/marvane-<version>-windows-<arch>.zip with marvane.exe and marvane-convert.exe (release
# builds, stripped), 使用说明.txt and SHA256SUMS; the debug information goes beside it in
# $(DIST)/marvane-<version>-windows-<arch>-debug/. The version is project()'s in CMakeLists.txt.
VERSION := $(shell sed -n 's/^project.marvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
dist:
	@tools/ensure-packages $(DIST_PACKAGES)
	@for arch in $(WINDOWS_ARCHES); do \
	  cmake -S . -B $(DIST_BUILD)-$$arch --toolchain cmake/windows-$$arch.cmake \
	    -DCMAKE_BUILD_TYPE=Release -DMARVANE_TESTS=OFF && \
	  cmake --build $(DIST_BUILD)-$$arch -j $(JOBS) --target marvane marvane-convert && \
	  python3 tools/dist/make_dist.py $(DIST_BUILD)-$$arch $(DIST) || exit 1; \
	done

# Both release packages; for x64 the unit tests under Wine as on a Chinese and on a Western
# Windows, a real drag of Chinese-named files onto our drop target, then the program end to end on
# a virtual screen (the packaged marvane.exe first), as on a Chinese and on a Western Windows, and
# on a Chinese one at 150 % display scaling, and the program in a folder whose name GBK cannot
# write; for x86 the unit tests and the packaged program end to end as on a Chinese Windows.
windows-tests: dist
	$(MAKE) windows ARCH=x64
	$(MAKE) windows ARCH=x86
	tests/wine/dist_test.sh $(DIST) x64
	tests/wine/dist_test.sh $(DIST) x86
	tests/wine/run_unit_tests.sh build-windows-x64 x64 936 1252
	tests/wine/run_unit_tests.sh build-windows-x86 x86 936
	tests/wine/drag_drop_test.sh build-windows-x64
	MARVANE_PACKAGE=$(DIST)/marvane-$(VERSION)-windows-x64.zip \
	  tests/wine/marvane_e2e.sh build-windows-x64 936
	MARVANE_PACKAGE=$(DIST)/marvane-$(VERSION)-windows-x86.zip \
	  tests/wine/marvane_e2e.sh build-windows-x86 936
	tests/wine/marvane_e2e.sh build-windows-x64 1252
	tests/wine/marvane_e2e.sh build-windows-x64 936 144
	tests/wine/marvane_paths.sh build-windows-x64

# marvane.exe under Wine on the current display, run from its build directory, in a Wine prefix of
# the build's own whose fonts render Chinese.
gui: windows
	tests/wine/wine_prefix.sh $(WINDOWS_BUILD)/wine/gui 936 x11
	cd $(WINDOWS_BUILD)/app/win32 && . "$(abspath $(WINDOWS_BUILD))/wine/gui/env.sh" && \
	  $${WINE:-/usr/lib/wine/wine64} ./marvane.exe

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD) $(DIST) \
	  $(foreach arch,$(WINDOWS_ARCHES),build-windows-$(arch) $(DIST_BUILD)-$(arch))
