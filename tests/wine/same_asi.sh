#!/usr/bin/env bash
# Builds KOV.asi a second time, in a build tree of its own at another path, and fails unless its
# bytes equal the first build's: no link time and no build path in the DLL, so a commit always
# gives the same KOV.asi (and the same release zip).
# Usage: same_asi.sh SOURCE_DIR FIRST_KOV_ASI WORK_DIR
set -euo pipefail
source=$1 first=$2 work=$3

rm -rf "$work"
cmake -S "$source" -B "$work" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=MinSizeRel >"$work.log" 2>&1
cmake --build "$work" -j 2 --target kov_plugin >>"$work.log" 2>&1 || { cat "$work.log"; exit 1; }
if ! cmp "$first" "$work/KOV.asi"; then
  echo "FAIL: a second build of KOV.asi differs from $first"
  exit 1
fi
echo "PASS: two builds of KOV.asi, $(stat -c %s "$first") bytes each, are identical"
rm -rf "$work" "$work.log"
