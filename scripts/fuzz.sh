#!/usr/bin/env bash
# Runs every fuzz target (every fuzz/fuzz_*.cpp) for a time from its checked-in seed
# corpus.
#   fuzz.sh BUILD SECS               each target SECS seconds; new inputs go to a
#                                    scratch folder, so the corpus in the tree stays small
#   fuzz.sh BUILD SECS CORPUS [JOBS] each target SECS seconds, growing CORPUS/<target>
#                                    from run to run, JOBS targets at a time (one core
#                                    each); a crash is kept and the run goes on
# Inputs that broke a target are written to BUILD/fuzz-artifacts (CORPUS/artifacts in
# the long form); the script fails when a run left one.
set -euo pipefail
build=$1; secs=${2:-20}; corpus=${3:-}; jobs=${4:-1}
root=$(cd "$(dirname "$0")/.." && pwd)
mapfile -t targets < <(cd "$root/fuzz" && ls fuzz_*.cpp | sed 's/\.cpp$//')
artifacts=${corpus:+$corpus/artifacts}
artifacts=${artifacts:-$build/fuzz-artifacts}
mkdir -p "$artifacts"

run() {
  local t=$1 dir log
  [ -x "$build/bin/$t" ] || { echo "== $t: not built in $build" >&2; return 1; }
  local opts=(-max_total_time="$secs" -timeout=10 -rss_limit_mb=4096 -print_final_stats=0
              -artifact_prefix="$artifacts/$t-")
  if [ -n "$corpus" ]; then
    dir=$corpus/$t; mkdir -p "$dir"
    log=$corpus/$t.log
    echo "== $t for ${secs}s, corpus $dir, log $log"
    ASAN_OPTIONS=detect_leaks=0 "$build/bin/$t" "${opts[@]}" -fork=1 -ignore_crashes=1 \
      -ignore_timeouts=1 -ignore_ooms=1 "$dir" "$root/fuzz/corpus/$t" >"$log" 2>&1 || true
    echo "== $t done: $(ls "$dir" | wc -l) inputs in the corpus, $(ls "$artifacts" | grep -c "^$t-" || true) findings"
  else
    dir=$(mktemp -d)
    echo "== $t for ${secs}s"
    local rc=0
    ASAN_OPTIONS=detect_leaks=0 "$build/bin/$t" "${opts[@]}" -max_len=65536 "$dir" "$root/fuzz/corpus/$t" \
      >"$dir.log" 2>&1 || rc=$?
    tail -n 3 "$dir.log"
    [ $rc -eq 0 ] || { echo "== $t FAILED, input and log in $artifacts" >&2; cp "$dir.log" "$artifacts/$t.log"; }
    rm -rf "$dir" "$dir.log"
    return $rc
  fi
}

before=$(ls "$artifacts" | grep -cv '\.log$' || true)
failed=0
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || failed=1; done
  if [ "$jobs" -gt 1 ]; then run "$t" & else run "$t" || failed=1; fi
done
while [ "$(jobs -rp | wc -l)" -gt 0 ]; do wait -n || failed=1; done
after=$(ls "$artifacts" | grep -cv '\.log$' || true)
if [ "$failed" -ne 0 ] || [ "$after" -gt "$before" ]; then
  echo "fuzzing found $((after - before)) new failing inputs in $artifacts" >&2
  exit 1
fi
