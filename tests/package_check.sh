#!/bin/sh
# Packs a build with cpack, unpacks the package and checks what a user gets:
# the file list, the program (the very one the tests ran), the user's guide
# (README.txt on Windows, the man page on Linux), saying how to run the
# program, and the example with its expected text.
# Every entry carries the build's source date, not the time its file was made,
# so that two builds of one commit give the same package.
# Usage: package_check.sh BUILD_DIR PROGRAM PACKAGE_NAME EXAMPLES_DIR VERSION
#   PACKAGE_NAME ending in .zip: the Windows layout, text files with CR LF;
#   ending in .tar.gz: the Linux layout.
set -eu
build=$1 program=$2 package=$3 examples=$4 version=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" > "$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
[ -f "$work/out/$package" ] || fail "cpack made $(ls "$work/out") and no $package"
mkdir "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf "$work/out/$package")
(cd "$work/unpacked" && find . -type f | sort) > "$work/files"

top=./${package%.zip}
top=${top%.tar.gz}
case $package in
  *.zip)
    printf '%s\n' "$top/README.txt" "$top/RARedir.exe" "$top/examples/ZBA_D001.KYX" \
      "$top/examples/ZBA_D001.expected.txt" > "$work/wanted"
    packed_program=$top/RARedir.exe guide=$top/README.txt doc=$top
    # Text files end every line with CR LF, as Windows' own tools expect.
    sed 's/$/\r/' "$examples/ZBA_D001.expected.txt" > "$work/expected"
    [ "$(grep -c "$(printf '\r')\$" "$work/unpacked/$guide")" = "$(wc -l < "$work/unpacked/$guide")" ] ||
      fail "README.txt has lines without CR LF"
    ;;
  *)
    printf '%s\n' "$top/bin/RARedir" "$top/share/man/man1/RARedir.1" \
      "$top/share/doc/RARedir/examples/ZBA_D001.KYX" \
      "$top/share/doc/RARedir/examples/ZBA_D001.expected.txt" > "$work/wanted"
    packed_program=$top/bin/RARedir guide=$top/share/man/man1/RARedir.1 doc=$top/share/doc/RARedir
    cp "$examples/ZBA_D001.expected.txt" "$work/expected"
    ;;
esac
sort "$work/wanted" -o "$work/wanted"
cmp -s "$work/files" "$work/wanted" || { diff "$work/wanted" "$work/files"; fail "file list"; }
source_date=${SOURCE_DATE_EPOCH:-$(sed -n 's/.*SOURCE_DATE_EPOCH} \([0-9]*\)).*/\1/p' "$build/package_date.cmake")}
[ -n "$source_date" ] || fail "no source date in $build/package_date.cmake"
(cd "$work/unpacked" && find . -type f -exec stat -c '%Y %n' {} +) > "$work/times"
grep -v "^$source_date " "$work/times" && fail "entries not dated $source_date (the source date)"
# The guide is dated with the source date too, not the day it was built.
guide_date=$(date -u -d "@$source_date" +%Y-%m-%d)
grep -q -- "$guide_date" "$work/unpacked/$guide" || fail "the guide is not dated $guide_date"
cmp -s "$work/unpacked/$packed_program" "$program" || fail "the packed program is not $program"
# The guide says how to run it, with the version the program shows; the
# Windows README.txt reads as a Windows program's readme, not a man page.
case $package in
  *.zip) status="EXIT CODE (ERRORLEVEL)" ;;
  *) status="EXIT STATUS" ;;
esac
for words in "iZBA_D001.KYX" "Dropping a file" "$status" "BAD INPUT" "RARedir $version"; do
  grep -q -- "$words" "$work/unpacked/$guide" || fail "the guide does not say \"$words\""
done
case $package in
  *.zip)
    for words in "RAREDIR(1)" "SYNOPSIS" "^NAME" "status"; do
      grep -q -- "$words" "$work/unpacked/$guide" && fail "README.txt says \"$words\", as a man page would"
    done
    head -1 "$work/unpacked/$guide" | grep -q "^RARedir - convert" || fail "README.txt has no title line"
    ;;
esac
cmp -s "$work/unpacked/$doc/examples/ZBA_D001.KYX" "$examples/ZBA_D001.KYX" || fail "example datalog"
cmp -s "$work/unpacked/$doc/examples/ZBA_D001.expected.txt" "$work/expected" || fail "expected text"
echo "$package: $(wc -l < "$work/files") files, the tested program among them"
