#!/usr/bin/env bash
# Whether two .ico files hold the same icon: the same directory (image sizes, bit depths, which
# images are PNG) and the same pixels once decoded. Their bytes may differ.
# Usage: same_icon.sh A.ico B.ico
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
. "$repo/tests/support/checks.sh"
. "$repo/tests/resources/binary.sh"

diff <(ico_directory "$1") <(ico_directory "$2") || fail "the directories differ ($1 <, $2 >)"
for side in a b; do mkdir "$work/$side"; done
cp "$1" "$work/a/icon.ico"
cp "$2" "$work/b/icon.ico"
icotool -x -o "$work/a" "$work/a/icon.ico"
icotool -x -o "$work/b" "$work/b/icon.ico"
for image in "$work"/a/*.png; do
  name=$(basename "$image")
  # Every channel of every pixel, alpha included, as raw bytes.
  cmp -s <(convert "$image" RGBA:-) <(convert "$work/b/$name" RGBA:-) ||
    fail "the pixels of $name differ"
done
checks_done "same icon: $(ico_directory "$1" | wc -l) images, directory and pixels"
