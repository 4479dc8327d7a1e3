#!/bin/sh
# The Linux program on an older processor, emulated by qemu-user: the
# formatting path it chooses there must be PATH, the example must convert to
# its expected text, and the value path and conversion tests must pass on
# every path that processor runs.
#   emulated_processor.sh MODEL PATH BUILD_DIR EXAMPLES_DIR
# Exits 77 (skipped) where qemu-x86_64 is not installed.
model=$1 expected=$2 build=$3 examples=$4
qemu=$(command -v qemu-x86_64) || {
  echo "skipped: qemu-x86_64 is not installed (apt-get install qemu-user)"
  exit 77
}

chosen=$("$qemu" -cpu "$model" "$build/datalog_bench_programs" path 2>/dev/null)
[ "$chosen" = "$expected" ] || { echo "$model: took the path '$chosen', not $expected"; exit 1; }
echo "$model: takes the $chosen path"

out=$(mktemp) || exit 1
trap 'rm -f "$out"' EXIT
"$qemu" -cpu "$model" "$build/RARedir" "-i$examples/ZBA_D001.KYX" "-o$out" </dev/null >/dev/null 2>&1 ||
  { echo "$model: the program failed on the example"; exit 1; }
cmp "$out" "$examples/ZBA_D001.expected.txt" || exit 1

"$qemu" -cpu "$model" "$build/tests/unit_tests" --gtest_brief=1 \
  --gtest_filter='ValuePaths.*:ValueText*:ConversionModel.RandomDatalogsMatchTheIndependentModel:-ValuePaths.FewValuesButTies*' \
  >"$out" 2>&1
status=$?
grep -v "^qemu-x86_64: warning: TCG doesn't support" "$out"
exit $status
