#!/usr/bin/env bash
# Runs every fuzz target for a few seconds from its small checked-in corpus. New
# inputs go to a scratch folder, so the corpus in the tree stays small.
set -euo pipefail
build=$1; secs=${2:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
for t in fuzz_csvsplit fuzz_dayfile; do
  scratch=$(mktemp -d)
  echo "== $t for ${secs}s"
  ASAN_OPTIONS=detect_leaks=0 "$build/bin/$t" -max_total_time="$secs" -max_len=65536 \
    -rss_limit_mb=4096 -print_final_stats=0 "$scratch" "$root/fuzz/corpus/$t" 2>&1 | tail -n 3
  rm -rf "$scratch"
done
