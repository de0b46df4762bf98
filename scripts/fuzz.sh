#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs them.
#
#   scripts/fuzz.sh [-t SECONDS] [TARGET ...]
#
# TARGET is transfer_file, parse_eng or options_file (with or without the
# "fuzz_" in front); without one, every target runs, one after the other, each
# for SECONDS (default 60). Each run starts from the seeds in
# tests/fuzz/corpus/<target>/ and the inputs earlier runs kept in
# build-fuzz/corpus/<target>/, with the dictionary tests/fuzz/<target>.dict.
# Every input that made a target fail is copied to tests/fuzz/crashes/<target>/,
# where the replay test of the normal build picks it up; the script then exits
# with status 1.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
while getopts "t:h" option; do
  case "$option" in
    t) seconds="$OPTARG" ;;
    *)
      sed -n '2,13p' "$0"
      exit 2
      ;;
  esac
done
shift $((OPTIND - 1))

all_targets=()
for source in tests/fuzz/targets/fuzz_*.cpp; do
  name="$(basename "$source" .cpp)"
  all_targets+=("${name#fuzz_}")
done
targets=()
for target in "$@"; do
  target="${target#fuzz_}"
  if [[ ! -f "tests/fuzz/targets/fuzz_${target}.cpp" ]]; then
    echo "unknown target '$target'; the targets are: ${all_targets[*]}" >&2
    exit 2
  fi
  targets+=("$target")
done
if [[ ${#targets[@]} -eq 0 ]]; then targets=("${all_targets[@]}"); fi

build=build-fuzz
if [[ ! -f "$build/CMakeCache.txt" ]]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKESTO_FUZZ=ON -DKESTO_BUILD_TESTS=OFF -DKESTO_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"

status=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  artifacts="$build/artifacts/$target"
  crashes="tests/fuzz/crashes/$target"
  mkdir -p "$corpus" "$artifacts" "$crashes"
  flags=()
  if [[ -f "tests/fuzz/$target.dict" ]]; then flags+=(-dict="tests/fuzz/$target.dict"); fi
  # Options files grow past the longest folder name kept (2047 UTF-16 units).
  if [[ $target == options_file ]]; then flags+=(-max_len=8192); fi
  log="$build/fuzz-$target.log"
  echo "== fuzz_$target for ${seconds}s (log: $log)"
  # The first folder takes the new inputs; the seeds stay as they are.
  set +e
  "$build/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "${flags[@]}" \
    "$corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1
  result=$?
  set -e
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)|^Done ' "$log" || true
  found=0
  for artifact in "$artifacts"/*; do
    [[ -f "$artifact" ]] || continue
    cp "$artifact" "$crashes/"
    echo "new failing input: $crashes/$(basename "$artifact")"
    rm "$artifact"
    found=1
  done
  if [[ $result -ne 0 || $found -ne 0 ]]; then
    echo "fuzz_$target failed (status $result); see $log" >&2
    status=1
  fi
done
exit $status
