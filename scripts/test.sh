#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite headless: the formatting check,
# the optimised build with warnings as errors, and the build with
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

echo "== formatting"
mapfile -t sources < <(git ls-files -co --exclude-standard -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h')
clang-format --dry-run --Werror "${sources[@]}"

echo "== optimised build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTO_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== sanitizer build"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTO_WERROR=ON \
  -DKESTO_SANITIZE=ON -DKESTO_BUILD_BENCH=OFF >/dev/null
cmake --build build-sanitize -j"$jobs"
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
ctest --test-dir build-sanitize --output-on-failure -j"$jobs"
