#!/usr/bin/env bash
# Builds the settings-text fuzzers with clang (fuzz/ as a project of its own)
# and runs each of them.
#
#   scripts/fuzz.sh [--smoke | --long | --seconds N] [--build DIR] [--only NAME]
#
#   --smoke      7 seconds per harness, two at a time (the default; a CTest test)
#   --long       10 minutes per harness (slow: kept out of the default test run)
#   --seconds N  N seconds per harness
#   --build DIR  build folder (default: build-fuzz in the project root)
#   --only NAME  run one harness only
#
# Exits non-zero when a harness finds a crash; its input is kept in
# DIR/artifacts/. New corpus entries go to DIR/corpus/, never into the tree.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
seconds=7
parallel=2
only=""
harnesses=(settings_block_fuzzer record_fuzzer clip_fuzzer item_line_fuzzer)

usage() { sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'; }

while [ $# -gt 0 ]; do
  case "$1" in
    --smoke) seconds=7; parallel=2 ;;
    --long) seconds=600; parallel=1 ;;
    --seconds) seconds="$2"; shift ;;
    --build) build="$2"; shift ;;
    --only) only="$2"; shift ;;
    -h|--help) usage; exit 0 ;;
    *) echo "fuzz.sh: unknown option '$1' (see --help)" >&2; exit 2 ;;
  esac
  shift
done

clangxx=$(command -v clang++ || command -v clang++-14 || true)
clangc=$(command -v clang || command -v clang-14 || true)
if [ -z "$clangxx" ] || [ -z "$clangc" ]; then
  echo "fuzz.sh: clang is not installed (scripts/install-deps.sh installs it)" >&2
  exit 2
fi

generator=()
if command -v ninja > /dev/null; then generator=(-G Ninja); fi
mkdir -p "$build/artifacts" "$build/logs"
cmake -S "$root/fuzz" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE= \
  -DCMAKE_CXX_COMPILER="$clangxx" -DCMAKE_C_COMPILER="$clangc" > "$build/logs/configure.log" 2>&1 ||
  { cat "$build/logs/configure.log" >&2; exit 1; }
cmake --build "$build" -j2 > "$build/logs/build.log" 2>&1 ||
  { tail -50 "$build/logs/build.log" >&2; exit 1; }

if [ -n "$only" ]; then harnesses=("$only"); fi

run_one() {
  local h="$1"
  mkdir -p "$build/corpus/$h"
  "$build/$h" -dict="$root/fuzz/settings.dict" -max_total_time="$seconds" -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$h-" \
    "$build/corpus/$h" "$root/fuzz/corpus/$h" > "$build/logs/$h.log" 2>&1
}

failed=0
passed=0
pids=()
names=()
finish() {
  local i
  for i in "${!pids[@]}"; do
    local h="${names[$i]}"
    local runs
    if wait "${pids[$i]}"; then
      passed=$((passed + 1))
      runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/logs/$h.log" | grep -o '[0-9]*$' || echo "?")
      echo "$h: ok, $runs executions in ${seconds}s"
    else
      failed=$((failed + 1))
      echo "$h: FAILED, see $build/logs/$h.log and $build/artifacts/" >&2
      grep -m5 -E 'ERROR|SUMMARY|runtime error' "$build/logs/$h.log" >&2 || true
    fi
  done
  pids=()
  names=()
}

for h in "${harnesses[@]}"; do
  run_one "$h" &
  pids+=($!)
  names+=("$h")
  if [ "${#pids[@]}" -ge "$parallel" ]; then finish; fi
done
finish

echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
