#!/usr/bin/env bash
# Builds and runs every test: the fuzz targets for a bounded time, the engine's tests under the
# sanitizers, then the whole suite, closing with CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
werror=OFF
[ -n "${CI:-}" ] && werror=ON
export LANG=${LANG:-C.UTF-8}

make --no-print-directory fuzz
make --no-print-directory test-asan

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORELIA_WERROR=$werror
cmake --build build -j "$jobs"
cd build
ctest --output-on-failure -j "$jobs"
