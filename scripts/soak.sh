#!/usr/bin/env bash
# Builds the optimised program and runs the long random session over its real
# windows, headless: scripts/soak.sh [actions] [seed]. 100000 actions with a
# seed from the clock by default; the seed is printed, and a failure names the
# action to replay it with KESTO_SOAK_SEED and KESTO_SOAK_ACTIONS.
set -euo pipefail
cd "$(dirname "$0")/.."
actions="${1:-100000}"
seed="${2:-$(date +%s)}"
build="${KESTO_BUILD_DIR:-build}"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTO_WERROR=ON >/dev/null
cmake --build "$build" --target test_soak -j"$(nproc)"

export QT_QPA_PLATFORM=offscreen
start=$(date +%s)
status=0
KESTO_SOAK_SEED="$seed" KESTO_SOAK_ACTIONS="$actions" KESTO_SOAK_SUMMARY=1 \
  "$build/tests/test_soak" || status=$?
end=$(date +%s)
echo "soak: $actions actions, seed $seed, $((end - start)) s, exit status $status"
exit "$status"
