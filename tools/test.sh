#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the unit and shell
# tests, the ThreadSanitizer build of the threaded tests, brief fuzzer runs and the
# end-to-end tests under Xvfb. The last thing printed is ctest's own summary.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash tools/setup.sh

# The ThreadSanitizer build also draws with the scalar code that processors without SSE2
# (arm64) run, which no other build here compiles.
cmake -S . -B build-tsan -G Ninja -DVANTOR_CORE_ONLY=ON -DVANTOR_SCALAR_RASTER=ON \
  -DCMAKE_CXX_FLAGS="-fsanitize=thread -g -O1"
cmake --build build-tsan --target core_tests

cmake -S . -B build-fuzz -G Ninja -DVANTOR_FUZZERS=ON -DCMAKE_CXX_COMPILER=clang++
cmake --build build-fuzz

cmake -S . -B build -G Ninja -DVANTOR_CORE_ONLY=OFF -DVANTOR_BENCHMARKS=ON -DVANTOR_TSAN_DIR="$root/build-tsan" \
  -DVANTOR_SCALAR_DIR="$root/build-tsan" -DVANTOR_FUZZ_DIR="$root/build-fuzz"
cmake --build build

cd build
ctest --output-on-failure --timeout 600 -j2
