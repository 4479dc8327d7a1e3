#!/bin/sh
# Checks the cross-built RARedir.exe: a 32-bit console program that needs no DLL
# beyond Windows' own, carrying the 12-image APPICON group and an asInvoker
# manifest. Usage: windows_exe_check.sh RARedir.exe
set -eu
exe=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

i686-w64-mingw32-objdump -f "$exe" | grep -q 'file format pei-i386' || fail "not a PE32 (i386) program"
i686-w64-mingw32-objdump -p "$exe" > "$work/headers"
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
echo "RARedir.exe: PE32 console program, $(wc -l < "$work/dlls") DLLs of Windows, 12-image APPICON, asInvoker"
