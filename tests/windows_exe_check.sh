#!/bin/sh
# Checks the cross-built RARedir.exe: a console program of the given width
# (32: PE32 for i386, 64: PE32+ for x86-64) that needs no DLL beyond Windows'
# own, with no time stamp, carrying the 12-image APPICON group, an asInvoker
# manifest that names its own architecture and the Windows versions it
# supports, and the version resource Explorer shows (version
# VERSION, as the banner shows it). Usage: windows_exe_check.sh RARedir.exe 32|64 VERSION
set -eu
exe=$1
bits=${2:-32}
version=${3:?the version, as the banner shows it}
if [ "$bits" = 64 ]; then
  tools=x86_64-w64-mingw32 format=pei-x86-64 arch=amd64
else
  tools=i686-w64-mingw32 format=pei-i386 arch=x86
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$tools-objdump" -f "$exe" | grep -q "file format $format\$" || fail "not a $format program"
"$tools-objdump" -p "$exe" > "$work/headers"
grep -q 'Subsystem.*(Windows CUI)' "$work/headers" || fail "not a console program"
grep 'DLL Name:' "$work/headers" | awk '{print tolower($3)}' > "$work/dlls"
while read -r dll; do
  case "$dll" in
    kernel32.dll|msvcrt.dll|user32.dll|advapi32.dll|api-ms-win-*|ucrtbase.dll) ;;
    *) fail "needs $dll" ;;
  esac
done < "$work/dlls"

# No time stamp from the build's clock: the COFF header's TimeDateStamp, four
# bytes at the PE header (whose offset is at 0x3C) plus 8, is 0.
pe=$(od -An -tu4 -j 60 -N 4 "$exe" | tr -d ' ')
stamp=$(od -An -tu4 -j $((pe + 8)) -N 4 "$exe" | tr -d ' ')
[ "$stamp" = 0 ] || fail "the program carries a time stamp ($stamp)"

wrestool -x -t 14 -n APPICON -o "$work/APPICON.ico" "$exe" || fail "no icon group APPICON"
icotool -l "$work/APPICON.ico" | sed 's/.*--width=\([0-9]*\).*--bit-depth=\([0-9]*\).*/\1x\2/' |
  sort > "$work/images"
for size in 16 32 48 64; do for depth in 4 24 32; do echo "${size}x${depth}"; done; done |
  sort > "$work/wanted"
cmp -s "$work/images" "$work/wanted" || fail "APPICON holds $(tr '\n' ' ' < "$work/images")"

wrestool -x --raw -t 24 -n 1 -o "$work/manifest" "$exe" || fail "no manifest"
grep -q 'requestedExecutionLevel level="asInvoker"' "$work/manifest" || fail "manifest is not asInvoker"
grep -q "processorArchitecture=\"$arch\"" "$work/manifest" || fail "manifest does not name $arch"
# The Windows versions it is written for, Vista to 10 and 11, so that newer
# Windows runs it without the compatibility behaviour for older programs.
for os in e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a \
  4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78 \
  8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
  grep -q "supportedOS Id=\"{$os}\"" "$work/manifest" || fail "manifest lacks supportedOS $os"
done
# The version resource: its strings (UTF-16, read here without the zero
# bytes), the numeric versions 1.4.0.0 after the fixed part's signature, and
# the English (US), Unicode translation.
wrestool -x --raw -t 16 -n 1 -o "$work/version" "$exe" && [ -s "$work/version" ] || fail "no version resource"
tr -d '\000' < "$work/version" > "$work/version.text"
for field in "CompanyNameVeltrask Ltd" "FileDescriptionDatalog file conversion program" \
  "FileVersion$version" "ProductVersion$version" "OriginalFilenameRARedir.exe" "040904B0"; do
  grep -aq "$field" "$work/version.text" || fail "version resource lacks $field"
done
major=${version%%.*} minor=$(expr "${version#*.}" + 0)
numeric=$(printf '%02x00%02x0000000000' "$minor" "$major")
od -An -tx1 -v "$work/version" | tr -d ' \n' > "$work/version.hex"
grep -q "bd04effe00000100${numeric}${numeric}" "$work/version.hex" ||
  fail "version resource's numbers are not $major.$minor.0.0"
grep -Eq '5400720061006e0073006c006100740069006f006e000000(0000)?0904b004' "$work/version.hex" ||
  fail "version resource has no English (US) translation"

echo "RARedir.exe: $format console program, $(wc -l < "$work/dlls") DLLs of Windows, 12-image APPICON, asInvoker, version $version"
