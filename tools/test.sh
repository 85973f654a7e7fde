#!/usr/bin/env bash
# Set-up, then every test: the normal build, the AddressSanitizer/UBSan build,
# the ThreadSanitizer build of the threaded parts, and a short run of each fuzzer.
# Every build treats a compiler warning as an error.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
OUT=${KAVRO_BUILD_ROOT:-$ROOT/build-test}

bash tools/setup-debian.sh

echo "== normal build and tests"
# Only what its tests run: benchmarks are run by hand, the screenshot tools by the demo's build.
cmake -S . -B "$OUT/normal" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAVRO_BENCH=OFF -DKAVRO_SCREENSHOTS=OFF \
  -DKAVRO_WERROR=ON >/dev/null
cmake --build "$OUT/normal" -j2
ctest --test-dir "$OUT/normal" --output-on-failure -j2

echo "== AddressSanitizer and UndefinedBehaviorSanitizer"
# Only what its tests run: no benchmarks, screenshot tools or package files.
cmake -S . -B "$OUT/asan" -DCMAKE_BUILD_TYPE=Debug -DKAVRO_ASAN=ON -DKAVRO_BENCH=OFF -DKAVRO_SCREENSHOTS=OFF \
  -DKAVRO_PACKAGING=OFF -DKAVRO_WERROR=ON >/dev/null
cmake --build "$OUT/asan" -j2
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir "$OUT/asan" --output-on-failure -j2

echo "== ThreadSanitizer (serial and network ports, engine)"
cmake -S . -B "$OUT/tsan" -DCMAKE_BUILD_TYPE=Debug -DKAVRO_TSAN=ON -DKAVRO_BENCH=OFF -DKAVRO_SCREENSHOTS=OFF \
  -DKAVRO_PACKAGING=OFF -DKAVRO_WERROR=ON >/dev/null
cmake --build "$OUT/tsan" -j2 --target kavro_thread_tests
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir "$OUT/tsan" --output-on-failure -L threads

echo "== fuzzers, a few seconds each"
cmake -S . -B "$OUT/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAVRO_FUZZ=ON -DKAVRO_BENCH=OFF -DBUILD_TESTING=OFF -DKAVRO_GUI=OFF -DKAVRO_WERROR=ON \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
# run.sh builds the fuzz targets only
bash fuzz/run.sh "$OUT/fuzz" 5
