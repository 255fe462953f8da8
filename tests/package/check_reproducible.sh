#!/usr/bin/env bash
# Two builds of one tree give the same Brindlework.exe byte for byte: the tree is copied to another
# folder and only the program is built there again, then compared with the exe built beside the
# tests. Runs on Linux. Usage: check_reproducible.sh Brindlework.exe BUILD_TYPE TOOLCHAIN_FILE
set -euo pipefail
exe=$1 build_type=$2 toolchain=$3
repo=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Another source path and another build path: neither may reach the exe.
mkdir "$work/source"
tar -C "$repo" --exclude=./build --exclude=./dist --exclude=./.git -cf - . |
  tar -C "$work/source" -xf -
if ! cmake -S "$work/source" -B "$work/build" -DCMAKE_BUILD_TYPE="$build_type" \
       -DCMAKE_TOOLCHAIN_FILE="$toolchain" >"$work/build.log" ||
   ! cmake --build "$work/build" --target Brindlework -j "$(nproc)" >>"$work/build.log"; then
  cat "$work/build.log"
  exit 1
fi

if ! cmp "$exe" "$work/build/Brindlework.exe"; then
  echo "FAIL: the second build differs"
  cmp -l "$exe" "$work/build/Brindlework.exe" | head -20
  exit 1
fi
echo "the second build is byte for byte the same ($(stat -c %s "$exe") bytes)"
