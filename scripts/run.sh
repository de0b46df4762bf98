#!/usr/bin/env bash
# Sets up, builds and starts Kesto. On a machine without a display it draws an
# example filter with kesto-plot instead, says where the picture is and how to
# look at it, and exits 0. KESTO_BUILD_DIR chooses the build folder (build).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build="${KESTO_BUILD_DIR:-build}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTO_BUILD_TESTS=OFF >/dev/null

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cmake --build "$build" --target kesto-plot -j"$(nproc)"
  example=examples/butterworth-lpf5-1kHz.csv
  picture="$(cd "$build" && pwd)/butterworth-lpf5-1kHz.png"
  "$build/kesto-plot" "$example" -o "$picture"
  cat <<MESSAGE

No display here (DISPLAY and WAYLAND_DISPLAY are empty), so Kesto's window
cannot open. kesto-plot has drawn $example as the window shows it:

  $picture

To look at it, open it in any image viewer on a machine with a display, for
example after copying it there:  scp $(hostname):$picture .
To use the window itself here, start it on a virtual display and take a
screenshot from inside it:  xvfb-run -a $build/kesto
Graphs of other filters and their response data:  $build/kesto-plot --help
MESSAGE
  exit 0
fi

cmake --build "$build" --target kesto -j"$(nproc)"
exec "$build/kesto" "$@"
