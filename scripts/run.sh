#!/usr/bin/env bash
# Sets up, builds and starts Kesto.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTO_BUILD_TESTS=OFF >/dev/null
cmake --build build --target kesto -j"$(nproc)"
exec build/kesto "$@"
