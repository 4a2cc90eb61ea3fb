#!/usr/bin/env bash
# A checkout that was moved keeps build trees CMake refuses ("CMakeCache.txt directory ... is
# different"); scripts/configure.sh, which the Makefile configures through, configures them afresh.
# A one-line project stands in for the real one, so the check takes a second.
# Usage: stale_build_tree.sh CONFIGURE_SH
set -euo pipefail
configure=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir "$work/first"
printf 'cmake_minimum_required(VERSION 3.20)\nproject(Moved NONE)\n' >"$work/first/CMakeLists.txt"
bash "$configure" "$work/first" "$work/first/build" -G Ninja
mv "$work/first" "$work/moved"

if cmake -S "$work/moved" -B "$work/moved/build" -G Ninja >/dev/null 2>&1; then
  echo "FAIL: CMake itself accepted the moved tree, so this check proves nothing"
  exit 1
fi
bash "$configure" "$work/moved" "$work/moved/build" -G Ninja 2>"$work/err"
grep -q "configuring it afresh" "$work/err" || { echo "FAIL: no word that the tree was configured afresh"; exit 1; }
grep -qx "CMAKE_HOME_DIRECTORY:INTERNAL=$(cd "$work/moved" && pwd -P)" "$work/moved/build/CMakeCache.txt" ||
  { echo "FAIL: the cache still names the old checkout"; exit 1; }
bash "$configure" "$work/moved" "$work/moved/build" -G Ninja 2>"$work/err"
[ ! -s "$work/err" ] || { echo "FAIL: a tree made here was configured afresh again"; exit 1; }
echo "PASS: the moved build tree was configured afresh, once"
