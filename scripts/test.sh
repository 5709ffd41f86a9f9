#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#  1. every test under AddressSanitizer and UndefinedBehaviorSanitizer: the
#     core, the windows, printing and import (on Qt's offscreen platform), with
#     a bounded mutation pass over every file reader;
#  2. the receiver link with ThreadSanitizer;
#  3. a short libFuzzer pass over the readers, where clang is installed;
#  4. the normal build: all tests, the windows on Qt's offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)

echo "== all tests under AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEXA_BUILD_GUI=ON \
  -DVEXA_BUILD_TESTS=ON -DVEXA_BUILD_BENCHMARKS=OFF -DVEXA_FUZZ=OFF -DVEXA_SANITIZE=address,undefined >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure --no-tests=error -j "$jobs"

echo "== link under ThreadSanitizer"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEXA_BUILD_GUI=OFF \
  -DVEXA_BUILD_BENCHMARKS=OFF -DVEXA_SANITIZE=thread >/dev/null
cmake --build build-tsan -j "$jobs"
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan --output-on-failure --no-tests=error -j "$jobs" -L link

if command -v clang++ >/dev/null; then
  echo "== libFuzzer, a short bounded pass per reader"
  CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXA_BUILD_GUI=OFF \
    -DVEXA_BUILD_BENCHMARKS=OFF -DVEXA_BUILD_TESTS=OFF -DVEXA_FUZZ=ON -DVEXA_SANITIZE=address,undefined >/dev/null
  cmake --build build-fuzz -j "$jobs"
  # One reader per core at a time; each pass is bounded by the clock, so
  # running them side by side shortens the stage, not the passes.
  targets=()
  for f in build-fuzz/fuzz/fuzz_*; do
    [ -x "$f" ] && targets+=("$f")
  done
  failed=0
  for ((first = 0; first < ${#targets[@]}; first += jobs)); do
    pids=()
    for f in "${targets[@]:first:jobs}"; do
      "$f" -max_total_time="${VEXA_FUZZ_SECONDS:-20}" -rss_limit_mb=2048 >"$f.log" 2>&1 &
      pids+=($!)
    done
    for pid in "${pids[@]}"; do
      wait "$pid" || failed=1
    done
  done
  for f in "${targets[@]}"; do
    echo "-- $f"
    tail -n 3 "$f.log"
  done
  [ "$failed" -eq 0 ] || { echo "a fuzz target found a fault: see its .log above"; exit 1; }
fi

echo "== build and test (all tests; windows on the offscreen platform)"
# scripts/run.sh shares this build folder with the tests switched off: say
# every option again, or a cached OFF would leave nothing to test.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXA_BUILD_GUI=ON \
  -DVEXA_BUILD_TESTS=ON -DVEXA_BUILD_BENCHMARKS=ON -DVEXA_FUZZ=OFF -DVEXA_SANITIZE= >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure --no-tests=error -j "$jobs" -LE fuzz

