#!/usr/bin/env bash
# The resources of Brindlework.exe as other tools read them (icoutils): the icon group with its
# ten images, the version record and the manifest. Runs on Linux, not under Wine.
# Usage: check_resources.sh Brindlework.exe. Saves a preview of the icon in the screenshot folder.
set -euo pipefail
exe=$1
repo=$(cd "$(dirname "$0")/../.." && pwd)
shots=${BRINDLEWORK_SCREENSHOTS:-$repo/build/screenshots}
. "$repo/tests/support/checks.sh"

. "$repo/tests/resources/binary.sh"
# UTF-16LE text of a file: utf16 FILE OFFSET BYTES
utf16() { bytes "$@" | iconv -f UTF-16LE -t UTF-8; }

echo "== wrestool -l"
wrestool -l "$exe" | tee "$work/list"
grep -q -- '--type=14 --name=1 ' "$work/list" || fail "no icon group with id 1"
[ "$(grep -c -- '--type=14 ' "$work/list")" -eq 1 ] || fail "not exactly one icon group"
[ "$(grep -c -- '--type=3 ' "$work/list")" -eq 10 ] || fail "not ten icon images"
grep -q -- '--type=16 --name=1 ' "$work/list" || fail "no version resource"
grep -q -- '--type=24 --name=1 ' "$work/list" || fail "no manifest"

echo "== the icon group (wrestool -x -t 14): the directory"
wrestool -x -t 14 -n 1 "$exe" >"$work/icon.ico"
# Ten 32-bit images, largest first; 512 and 256 stored as PNG (their width and height read 0).
expected_sizes=(512 256 128 96 72 64 48 32 24 16)
expected=$(for size in "${expected_sizes[@]}"; do
  if [ "$size" -ge 256 ]; then echo "0 0 32 png"; else echo "$size $size 32 bmp"; fi
done)
ico_directory "$work/icon.ico" | tee "$work/directory"
[ "$(cat "$work/directory")" = "$expected" ] || fail "the icon directory is not as expected"

echo "== the PNG images decode as 8-bit RGBA (ImageMagick)"
icotool -x -o "$work" "$work/icon.ico"
for size in 512 256; do
  # Decoding checks every chunk's CRC and the zlib stream's checksum.
  image=$(ls "$work"/*_"${size}x${size}x32.png")
  if ! info=$(identify -format '%w %h %[channels] %z' "$image" 2>&1); then
    fail "the $size PNG does not decode: $info"
    continue
  fi
  echo "$size PNG: $info"
  [ "$info" = "$size $size srgba 8" ] || fail "the $size PNG reads as $info"
done
# What the pixels show, and their alpha, is read by Windows itself (tests/win32/AppIconTest.cpp).

echo "== the version record (wrestool -x --raw -t 16)"
wrestool -x --raw -t 16 -n 1 "$exe" >"$work/version"
v=$work/version
# Each block: length, value length, type (1: text), a NUL-ended UTF-16 key, padding to 32 bits,
# its value, padding, then its child blocks up to its length. Prints "path=value" lines.
walk() {
  local at=$1 parent=$2
  local length value_length type key_end key value_at value_bytes child text
  length=$(u16 "$v" "$at")
  value_length=$(u16 "$v" $((at + 2)))
  type=$(u16 "$v" $((at + 4)))
  key_end=$((at + 6))
  while [ "$(u16 "$v" "$key_end")" -ne 0 ]; do key_end=$((key_end + 2)); done
  key=$(utf16 "$v" $((at + 6)) $((key_end - at - 6)))
  value_at=$(((key_end + 2 + 3) / 4 * 4))
  value_bytes=$((type == 1 ? 2 * value_length : value_length))
  if [ "$key" = VS_VERSION_INFO ]; then
    [ "$(u32 "$v" "$value_at")" -eq $((0xFEEF04BD)) ] || fail "no fixed file information"
    echo "FixedFileVersion=$(u16 "$v" $((value_at + 10))).$(u16 "$v" $((value_at + 8))).$(u16 "$v" $((value_at + 14))).$(u16 "$v" $((value_at + 12)))"
    echo "FixedProductVersion=$(u16 "$v" $((value_at + 18))).$(u16 "$v" $((value_at + 16))).$(u16 "$v" $((value_at + 22))).$(u16 "$v" $((value_at + 20)))"
  elif [ "$type" -eq 1 ] && [ "$value_length" -gt 0 ]; then
    text=$(utf16 "$v" "$value_at" "$value_bytes" | tr -d '\0')
    echo "$parent$key=$text"
  elif [ "$key" = Translation ]; then
    printf '%s%s=%04X%04X\n' "$parent" "$key" "$(u16 "$v" "$value_at")" "$(u16 "$v" $((value_at + 2)))"
  fi
  child=$(((value_at + value_bytes + 3) / 4 * 4))
  while [ "$child" -lt $((at + length)) ]; do
    walk "$child" "$parent$key/"
    child=$(((child + $(u16 "$v" "$child") + 3) / 4 * 4))
  done
}
walk 0 "" | sed 's|^VS_VERSION_INFO/||' | tee "$work/strings"
# The version's texts are literals here, and only here: the one check that project(VERSION) comes
# out in the record (and the manifest below) as 1.0.0's fields must read.
while IFS= read -r line; do
  grep -qxF -- "$line" "$work/strings" || fail "the version record lacks: $line"
done <<'LINES'
FixedFileVersion=1.0.0.0
FixedProductVersion=1.0.0.0
StringFileInfo/040904B0/FileVersion=1.00
StringFileInfo/040904B0/ProductVersion=1.00
StringFileInfo/040904B0/FileDescription=Brindlework to windows taskbar!
StringFileInfo/040904B0/ProductName=Brindlework
StringFileInfo/040904B0/InternalName=Brindlework
StringFileInfo/040904B0/OriginalFilename=Brindlework.exe
VarFileInfo/Translation=040904B0
LINES
grep -qE '^StringFileInfo/040904B0/CompanyName=.+' "$work/strings" || fail "no company name"
grep -qE '^StringFileInfo/040904B0/LegalCopyright=.+' "$work/strings" || fail "no copyright"
[ "$(grep -c '^StringFileInfo/' "$work/strings")" -eq 8 ] || fail "not exactly the eight text fields"

echo "== the manifest (wrestool -x --raw -t 24)"
wrestool -x --raw -t 24 -n 1 "$exe" | tr -s ' \t\r\n' ' ' >"$work/manifest"
grep -q '<assemblyIdentity type="win32" name="Brindlework" version="1.0.0.0"' "$work/manifest" ||
  fail "the manifest does not name Brindlework 1.0.0.0"
grep -q '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>' \
  "$work/manifest" || fail "the manifest does not declare per-monitor DPI awareness (dpiAware)"
grep -q '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2' \
  "$work/manifest" || fail "the manifest does not declare PerMonitorV2 (dpiAwareness)"
grep -qE '<assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" version="6.0.0.0" processorArchitecture="[^"]+" publicKeyToken="6595b64144ccf1df"' \
  "$work/manifest" || fail "the manifest does not ask for common controls 6"
grep -q '<trustInfo xmlns="urn:schemas-microsoft-com:asm.v3"> <security> <requestedPrivileges> <requestedExecutionLevel level="asInvoker" uiAccess="false"/>' \
  "$work/manifest" || fail "the manifest does not declare the user's own rights (asInvoker)"
echo "per-monitor DPI awareness, common controls 6 and asInvoker declared"

# A preview for people: every size on a light and on a dark ground, and 16 and 32 enlarged.
preview() {
  local ground size images=() small=()
  for size in "${expected_sizes[@]}"; do images+=("$(ls "$work"/*_"${size}x${size}x32.png")"); done
  for ground in '#f3f3f3' '#202020'; do
    convert -background "$ground" "${images[@]}" -gravity center +append \
      -bordercolor "$ground" -border 8 "$work/row-${ground#\#}.png"
    small+=(\( "${images[9]}" -background "$ground" -flatten -scale 800% \)
            \( "${images[7]}" -background "$ground" -flatten -scale 400% \))
  done
  convert "${small[@]}" -bordercolor '#808080' -border 4 +append "$work/enlarged.png"
  mkdir -p "$shots"
  convert "$work/row-f3f3f3.png" "$work/row-202020.png" "$work/enlarged.png" \
    -background '#808080' -gravity west -append "$shots/icon.png"
}
preview && echo "saved $shots/icon.png" || fail "no preview of the icon"

checks_done "all resource checks passed"
