#!/bin/sh
# Checks the cross-built RARedir.exe: a console program of the given width
# (32: PE32 for i386, 64: PE32+ for x86-64) that needs no DLL beyond Windows'
# own, carrying the 12-image APPICON group, an asInvoker manifest that names
# its own architecture, and the version resource Explorer shows (version
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

wrestool -x -t 14 -n APPICON -o "$work/APPICON.ico" "$exe" || fail "no icon group APPICON"
icotool -l "$work/APPICON.ico" | sed 's/.*--width=\([0-9]*\).*--bit-depth=\([0-9]*\).*/\1x\2/' |
  sort > "$work/images"
for size in 16 32 48 64; do for depth in 4 24 32; do echo "${size}x${depth}"; done; done |
  sort > "$work/wanted"
cmp -s "$work/images" "$work/wanted" || fail "APPICON holds $(tr '\n' ' ' < "$work/images")"

wrestool -x --raw -t 24 -n 1 -o "$work/manifest" "$exe" || fail "no manifest"
grep -q 'requestedExecutionLevel level="asInvoker"' "$work/manifest" || fail "manifest is not asInvoker"
grep -q "processorArchitecture=\"$arch\"" "$work/manifest" || fail "manifest does not name $arch"
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
