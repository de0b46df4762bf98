#!/usr/bin/env bash
# Times kesto-plot as a whole process: one 30-stage transfer file drawn to a
# PNG and its 697-row response CSV written, the way a report script calls it.
# Usage: bench/kesto-plot-bench.sh [path/to/kesto-plot] [runs]
# Prints the median, the fastest and the slowest run in milliseconds; the
# target is a median under 100 ms.
set -euo pipefail
cd "$(dirname "$0")/.."
exe="${1:-build/kesto-plot}"
runs="${2:-30}"
input=tests/data/transfer/stage-lines-30.csv
[ -x "$exe" ] || { echo "kesto-plot not found at $exe (build it first)" >&2; exit 2; }

out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

# One run first to check the result and to warm the file and font caches.
"$exe" "$input" -o "$out/graph.png" --csv "$out/data.csv"
rows=$(($(wc -l <"$out/data.csv") - 1))
columns=$(head -1 "$out/data.csv" | tr ',' '\n' | wc -l)
echo "$input: $rows rows, $columns columns, $(stat -c %s "$out/graph.png") bytes of PNG"
[ "$rows" -eq 697 ] || { echo "expected 697 rows" >&2; exit 1; }

# Wall-clock time, and the processor time (user + system) that tells the
# tool's own cost apart from waiting for a busy machine.
TIMEFORMAT='%3R %3U %3S'
for ((i = 0; i < runs; i++)); do
  { time "$exe" "$input" -o "$out/graph.png" --csv "$out/data.csv" 2>/dev/null; } 2>>"$out/times"
done
awk -v runs="$runs" '
  { wall[NR] = $1 * 1000; cpu[NR] = ($2 + $3) * 1000 }
  function median(a, n,    i, j, v) {
    for (i = 2; i <= n; i++) { v = a[i]; for (j = i - 1; j >= 1 && a[j] > v; j--) a[j + 1] = a[j]; a[j + 1] = v }
    return (n % 2) ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }
  END {
    w = median(wall, runs); fastest = wall[1]; slowest = wall[runs]
    printf "kesto-plot, %d runs: wall median %.0f ms (fastest %.0f, slowest %.0f), processor median %.0f ms\n",
           runs, w, fastest, slowest, median(cpu, runs)
  }' "$out/times"
