#!/usr/bin/env bash
# Runs every benchmark program and keeps medians of repeated runs.
set -euo pipefail
BUILD=${1:-build}
mkdir -p out
for b in "$BUILD"/bench/*_bench; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
done
