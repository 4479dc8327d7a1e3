#!/bin/sh
# Runs fuzz_convert for a bounded time from the shipped examples and the kept
# regression inputs; fails on any finding, leaving it in the build folder.
#   tests/fuzz/run_fuzz.sh BUILD_DIR [SECONDS]
set -u
here=$(cd "$(dirname "$0")" && pwd)
build=$1
seconds=${2:-60}
corpus=$build/fuzz_corpus
findings=$build/fuzz_findings
mkdir -p "$corpus" "$findings"
cp "$here"/../../examples/*.KYX "$here"/regressions/* "$corpus"/
"$build/fuzz_convert" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=1024 \
  -artifact_prefix="$findings/" -print_final_stats=1 "$corpus" > "$build/fuzz.log" 2>&1
status=$?
grep -E '^(stat::|Done|==|SUMMARY|invariant)' "$build/fuzz.log" | head -40
if [ "$status" -ne 0 ] || ls "$findings"/* >/dev/null 2>&1; then
  tail -40 "$build/fuzz.log"
  echo "fuzz_convert failed (status $status); findings, if any, are in $findings/"
  exit 1
fi
echo "fuzz_convert: ${seconds} s without a finding"
