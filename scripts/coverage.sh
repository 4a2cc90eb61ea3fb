#!/usr/bin/env bash
# Line and branch coverage of the plug-in (src/) from the native test suite: a Debug build with
# gcov instrumentation in a tree of its own, the suite without the long soak, then gcovr's table
# and summary. The plug-in writes its counts when the simulated host unloads it.
#   coverage.sh [BUILD_DIR] [JOBS]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build/coverage}
jobs=${2:-2}

bash scripts/configure.sh . "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=--coverage \
  -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_SHARED_LINKER_FLAGS=--coverage \
  -DCMAKE_MODULE_LINKER_FLAGS=--coverage
cmake --build "$dir" -j "$jobs"
find "$dir" -name '*.gcda' -delete

status=0
(cd "$dir" && ctest -j "$jobs" -LE long --output-on-failure) || status=$?

gcovr --root . --filter 'src/' --exclude-unreachable-branches --exclude-throw-branches \
  --sort-percentage --print-summary "$dir"
[ "$status" -eq 0 ] || echo "coverage: some tests failed (figures above count what ran)" >&2
exit "$status"
