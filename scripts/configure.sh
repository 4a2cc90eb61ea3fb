#!/usr/bin/env bash
# Configures a build tree with CMake, afresh when the tree was made for a checkout elsewhere (the
# checkout was copied or moved): CMake refuses a cache whose source folder differs, so the cache
# and CMake's and Ninja's records go first. The rest of the tree (outputs, a Wine prefix) stays.
# Usage: configure.sh SOURCE_DIR BUILD_DIR [CMAKE_ARGS...]
set -euo pipefail
source=$(cd "$1" && pwd -P)
build=$2
shift 2

cache=$build/CMakeCache.txt
if [ -f "$cache" ]; then
  made_for=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$cache")
  made_for_now=$(cd "$made_for" 2>/dev/null && pwd -P || echo "$made_for")
  if [ "$made_for_now" != "$source" ]; then
    echo "configure: $build was made for $made_for; configuring it afresh for $source" >&2
    rm -rf "$cache" "$build/CMakeFiles" "$build/.ninja_deps" "$build/.ninja_log"
  fi
fi
cmake -S "$source" -B "$build" "$@" >/dev/null
