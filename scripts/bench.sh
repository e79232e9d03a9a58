#!/usr/bin/env bash
# Runs every benchmark; they make their own data with the simulated supervisor.
set -euo pipefail
build=$1
for b in "$build"/bin/bench_*; do
  echo "== $(basename "$b")"
  QT_QPA_PLATFORM=offscreen "$b" --benchmark_counters_tabular=true
done
