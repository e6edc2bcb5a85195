#!/usr/bin/env bash
# Runs every benchmark program of a build; each reports its figures against a baseline
# measured in the same run.
set -euo pipefail
dir=${1:-build/release}
found=0
for b in "$dir"/bench/bench_*; do
  [ -x "$b" ] || continue
  found=1
  echo "== $(basename "$b")"
  "$b" --benchmark_counters_tabular=true
done
[ $found -eq 1 ] || echo "bench: no benchmarks built in $dir"
