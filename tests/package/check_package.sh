#!/usr/bin/env bash
# dist/ as a Windows user meets it. The exe and the msi are signed with a throw-away key and verify;
# a changed byte breaks them; the zip comes out the same wherever and whenever it is made. Then,
# under Wine in a prefix of its own: the msi installs per user, an item pinned through the
# installed program reaches its application, a newer package replaces it in place (the pin still
# works, one entry in Apps & features), an older one is refused, and the uninstall removes the
# program and its Start menu entry but leaves the user's shortcut and settings.
# Usage: check_package.sh Brindlework.exe recorder.exe pin_through.exe VERSION
set -euo pipefail
exe=$1 recorder=$2 pin_through=$3 version=$4
repo=$(cd "$(dirname "$0")/../.." && pwd)
. "$repo/scripts/lib/dist"
. "$repo/scripts/lib/wine-env"
. "$repo/scripts/lib/test-handlers"
. "$repo/tests/support/checks.sh"
name=Brindlework-$version-x64
newer=${version%.*}.$((${version##*.} + 1))

echo "== dist/, signed with a throw-away key"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Brindlework Software" \
  -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/key.pfx" \
  -passout pass:throw-away
export BRINDLEWORK_SIGN_PFX=$work/key.pfx BRINDLEWORK_SIGN_PASSWORD=throw-away
# Signed no earlier than the certificate's start.
export SOURCE_DATE_EPOCH=$(date +%s)
dist_write "$exe" "$version" "$work/dist"
dist=$work/dist
[ "$(ls "$dist" | tr '\n' ' ')" = "$name.msi $name.zip SHA256SUMS " ] ||
  fail "dist/ holds $(ls "$dist")"
(cd "$dist" && sha256sum --check --strict SHA256SUMS) || fail "SHA256SUMS does not match"
[ "$(unzip -Z1 "$dist/$name.zip" | tr '\n' ' ')" = "Brindlework.exe README.txt LICENSE.txt " ] ||
  fail "the zip holds $(unzip -Z1 "$dist/$name.zip")"
unzip -q "$dist/$name.zip" -d "$work/unzipped"
signed=$work/unzipped/Brindlework.exe

# The signature holds, and breaks with one byte changed where it covers: in a text of the file.
check_signature() {
  local file=$1 offset byte
  osslsigncode verify -CAfile "$work/cert.pem" -in "$file" >"$work/verify.log" 2>&1 ||
    { cat "$work/verify.log"; fail "$(basename "$file") does not verify"; }
  offset=$(grep -obUaF -m1 "$2" "$file" | head -1 | cut -d: -f1) || { fail "no $2 in $file"; return; }
  byte=$(od -An -tu1 -j "$offset" -N1 "$file" | tr -d ' ')
  cp "$file" "$work/changed"
  printf "\\$(printf %03o $((byte ^ 1)))" |
    dd of="$work/changed" bs=1 seek="$offset" conv=notrunc status=none
  if osslsigncode verify -CAfile "$work/cert.pem" -in "$work/changed" >/dev/null 2>&1; then
    fail "$(basename "$file") verifies with a byte changed"
  fi
}
check_signature "$signed" "Brindlework to windows taskbar!"
check_signature "$dist/$name.msi" 'Software\Brindlework\Installer'
echo "the exe and the msi verify, and fail to with one byte changed"

echo "== the zip made again elsewhere, from a copy of another age and mode, in another time zone"
mkdir "$work/again"
cp "$signed" "$work/again/Brindlework.exe"
touch -d '2001-02-03 04:05:06' "$work/again/Brindlework.exe"
chmod 0700 "$work/again/Brindlework.exe"
(umask 077 && cd "$work/again" && TZ=Pacific/Auckland dist_zip Brindlework.exe again.zip)
cmp "$dist/$name.zip" "$work/again/again.zip" && echo "the same bytes" || fail "the zip differs"

echo "== the product code belongs to the version"
dist_msi "$signed" "$version" "$work/rebuilt.msi"
dist_msi "$signed" "$newer" "$work/newer.msi"
property() { msiinfo export "$1" Property | tr -d '\r' | sed -n "s/^$2\t//p"; }
[ "$(property "$work/rebuilt.msi" ProductCode)" = "$(property "$dist/$name.msi" ProductCode)" ] ||
  fail "a rebuilt package of $version is another product"
# Apps & features takes its icon from here; Wine's msi does not write it (below).
[ "$(property "$dist/$name.msi" ARPPRODUCTICON)" = Brindlework.ico ] &&
  msiinfo export "$dist/$name.msi" Icon | grep -q '^Brindlework.ico' ||
  fail "the msi names no product icon"

echo "== under Wine, in a prefix of its own"
started=$SECONDS
wine_env package
rm -rf "$WINEPREFIX" "$HOME"
wine_env package
wine_prefix
wine_server_start
trap 'wine_server_stop; rm -rf "$work"' EXIT
echo "new prefix in $((SECONDS - started)) s"
register_test_handlers "$recorder"
export BRINDLEWORK_RECORD=$(winpath "$work/record.txt")
folder_of() { winepath -u "$(timeout 30 wine cmd /c echo "%$1%" </dev/null | tr -d '\r')"; }
program=$(folder_of LOCALAPPDATA)/Programs/Brindlework/Brindlework.exe
start_entry="$(folder_of APPDATA)/Microsoft/Windows/Start Menu/Programs/Brindlework.lnk"
desktop=$(folder_of USERPROFILE)/Desktop
msiexec() { timeout 120 wine msiexec "$1" "$(winpath "$2")" /qn </dev/null >>"$WINE_LOG" 2>&1; }
registry() { timeout 30 wine reg query "$@" </dev/null 2>/dev/null | tr -d '\r'; }
# The entries of Apps & features named Brindlework, as "version|publisher|help link|icon" lines.
# Windows Installer writes the entry under HKLM (its "Uninstall Registry Key" page), by public
# reports a per-user product's too, as Wine's msi does; both roots are read.
entries() {
  local root
  for root in HKCU HKLM; do
    registry "$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s
  done | awk -v OFS='|' '
    /^HKEY_/ { if (mine) print version, publisher, help, icon
               mine = 0; version = publisher = help = icon = "-" }
    $1 == "DisplayName" && $3 == "Brindlework" { mine = 1 }
    $1 == "DisplayVersion" { version = $3 }
    $1 == "Publisher" { publisher = $3 " " $4 }
    $1 == "HelpLink" { help = $3 }
    $1 == "DisplayIcon" { icon = $3 }
    END { if (mine) print version, publisher, help, icon }'
}
link_target() { lnkinfo "$1" 2>/dev/null | sed -n 's/^[[:space:]]*Local path[[:space:]]*: //p'; }
open_pin() {
  local before
  before=$(cat "$work/record.txt" 2>/dev/null | wc -l)
  timeout 30 wine start /unix "$desktop/pinned.lnk" </dev/null >>"$WINE_LOG" 2>&1
  for _ in $(seq 100); do
    [ "$(cat "$work/record.txt" 2>/dev/null | wc -l)" -gt "$before" ] && break
    sleep 0.1
  done
  # The whole line: the recorder marks a hidden start before it.
  tail -1 "$work/record.txt" 2>/dev/null | grep -q '^"[^"]*" "brtest:pinned through the package"$'
}

echo "-- install $version"
msiexec /i "$dist/$name.msi" || fail "msiexec /i $name.msi exits $?"
cmp -s "$signed" "$program" || fail "the exe is not in AppData\\Local\\Programs\\Brindlework"
[ "$(link_target "$start_entry")" = "$(winpath "$program")" ] ||
  fail "the Start menu entry does not start $(winpath "$program")"
entry=$(entries)
echo "Apps & features: $entry"
[ "${entry%|*}" = "$version|Brindlework Software|https://brindle.work/support/" ] ||
  fail "Apps & features shows: $entry"
if [ "${entry##*|}" = - ]; then
  echo "No DisplayIcon, which Windows Installer does not write either (the icon is checked above)"
fi

echo "-- pin an item through the installed program, open it in launch mode"
timeout 60 wine "$pin_through" "$(winpath "$program")" "brtest:pinned through the package" pinned \
  </dev/null || fail "pinning through the installed program failed"
[ "$(link_target "$desktop/pinned.lnk")" = "$(winpath "$program")" ] ||
  fail "the pinned shortcut does not start the installed program"
open_pin || fail "the pinned item did not reach its application"
registry 'HKCU\Software\Brindlework\toremember' >/dev/null || fail "Remember all kept nothing"

echo "-- upgrade to $newer"
msiexec /i "$work/newer.msi" || fail "msiexec /i of $newer exits $?"
[ "$(entries | cut -d'|' -f1)" = "$newer" ] || fail "Apps & features holds: $(entries)"
cmp -s "$signed" "$program" || fail "the upgrade left no exe at the same path"
open_pin || fail "the item pinned through $version does not open after the upgrade"

echo "-- downgrade to $version"
refused=0
msiexec /i "$dist/$name.msi" || refused=$?
[ "$refused" -ne 0 ] && echo "refused: msiexec exits $refused" || fail "the downgrade was not refused"
[ "$(entries | cut -d'|' -f1)" = "$newer" ] || fail "after the refused downgrade: $(entries)"

echo "-- uninstall"
msiexec /x "$work/newer.msi" || fail "msiexec /x exits $?"
[ ! -e "$(dirname "$program")" ] || fail "the program's folder is still there"
[ ! -e "$start_entry" ] || fail "the Start menu entry is still there"
[ -z "$(entries)" ] || fail "Apps & features still holds: $(entries)"
if registry 'HKCU\Software\Brindlework\Installer' >/dev/null; then
  fail "the installer's values are left"
fi
[ -f "$desktop/pinned.lnk" ] || fail "the uninstall removed the desktop shortcut"
registry 'HKCU\Software\Brindlework\toremember' >/dev/null ||
  fail "the uninstall removed the remembered settings"

checks_done "all package checks passed"
