#!/usr/bin/env bash
# Every C++ file in git is as .clang-format lays it out: clang-format changes nothing, and names
# each file it would change. Run `clang-format -i FILE` to fix one.
set -euo pipefail
cd "$1"
mapfile -t files < <(git ls-files '*.cpp' '*.h')
[ ${#files[@]} -gt 0 ] || { echo "format: no C++ files found under $1" >&2; exit 1; }
status=0
for file in "${files[@]}"; do
  clang-format --dry-run -Werror "$file" >/dev/null 2>&1 || { echo "format: $file is not as .clang-format lays it out"; status=1; }
done
exit $status
