# Thin front door over CMake presets. `make demo` and `make test` do all the set-up.
.PHONY: deps build test test-dev test-asan test-tsan test-fuzz demo run install bench fuzz clean

PREFIX ?= /usr/local
JOBS   ?= $(shell nproc)

deps:
	@scripts/deps.sh

build: deps
	cmake --preset dev >/dev/null
	cmake --build --preset dev -j $(JOBS)

# The whole suite: parser fuzzing for a bounded time, ThreadSanitizer over the threaded
# parts, AddressSanitizer + UBSan over everything, and last the developer build, whose
# CTest summary closes the run.
test: deps test-fuzz test-tsan test-asan test-dev

test-dev:
	cmake --preset dev >/dev/null
	cmake --build --preset dev -j $(JOBS)
	ctest --preset dev

test-asan:
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan

test-tsan:
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan -j $(JOBS)
	ctest --preset tsan

test-fuzz:
	@if [ -f fuzz/CMakeLists.txt ]; then \
	  cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j $(JOBS) && ctest --preset fuzz; \
	else echo "fuzz: no fuzz targets yet"; fi

fuzz: test-fuzz

demo: deps
	@scripts/demo.sh

run: build
	build/dev/bin/vizirado-driver --emulate

bench: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS)
	@scripts/bench.sh build/release

install: deps
	cmake --preset release -DCMAKE_INSTALL_PREFIX=$(PREFIX) >/dev/null
	cmake --build --preset release -j $(JOBS)
	cmake --install build/release
	-udevadm control --reload-rules 2>/dev/null && udevadm trigger --subsystem-match=hidraw 2>/dev/null

clean:
	rm -rf build
