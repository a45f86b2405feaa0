# The two commands of the README, and the builds they use. Every target installs what is missing
# first (scripts/install-deps.sh is idempotent and quick when everything is there).
JOBS ?= $(shell nproc)
WERROR := $(if $(CI),ON,OFF)
FUZZ_SECONDS ?= 20

.PHONY: run test deps build build-asan build-fuzz test-asan test-tsan fuzz bench screenshots clean

run: build
	@scripts/run.sh build/bin/vorelia

test: deps
	@scripts/test.sh

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORELIA_WERROR=$(WERROR)
	cmake --build build -j $(JOBS)

# The engine's tests again under AddressSanitizer and UndefinedBehaviorSanitizer (no Qt layers).
build-asan: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORELIA_GUI=OFF -DVORELIA_BENCH=OFF \
	  -DVORELIA_SANITIZE=ON -DVORELIA_WERROR=$(WERROR)
	cmake --build build-asan -j $(JOBS)

test-asan: build-asan
	cd build-asan && ctest --output-on-failure -j $(JOBS)

# The report tests (composing worker, page store, preview) under ThreadSanitizer. tsan.supp
# names the races inside the system's uninstrumented libraries; any other report fails.
TSAN_ENV := QT_QPA_PLATFORM=offscreen LANG=pt_BR.UTF-8 TZ=UTC \
  TSAN_OPTIONS="suppressions=$(CURDIR)/tsan.supp halt_on_error=1"
test-tsan: deps
	cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORELIA_BENCH=OFF \
	  -DVORELIA_TSAN=ON -DVORELIA_WERROR=$(WERROR)
	cmake --build build-tsan -j $(JOBS) --target report_core_tests report_tests
	$(TSAN_ENV) build-tsan/tests/report_core_tests
	$(TSAN_ENV) build-tsan/tests/report_tests

# libFuzzer targets over the file parsers, each run for a bounded time.
build-fuzz: deps
	CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORELIA_GUI=OFF \
	  -DVORELIA_TESTS=OFF -DVORELIA_BENCH=OFF -DVORELIA_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS)

fuzz: build-fuzz
	@scripts/fuzz.sh build-fuzz/fuzz $(FUZZ_SECONDS)

bench: build
	build/bench/vorelia_bench

screenshots: build
	scripts/screenshots.sh

clean:
	rm -rf build build-asan build-fuzz build-tsan
