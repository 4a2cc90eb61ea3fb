#!/usr/bin/env bash
# Runs a Windows program under Wine, headless and quiet, in the project's own Wine prefix.
# The prefix lives in the build tree (build/windows/wineprefix unless WAYGLASS_WINEPREFIX says
# otherwise) and is created on first use only; concurrent callers wait for one creation.
# Usage: wine-run.sh PROGRAM.exe [ARGS...]      (exit status is the program's)
#        wine-run.sh --init                     (create the prefix and stop)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WAYGLASS_WINEPREFIX:-$root/build/windows/wineprefix}
export WINEDEBUG=-all
# Never offer to install the .NET or HTML engines while the prefix is created.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
unset DISPLAY WAYLAND_DISPLAY

# Debian's 64-bit loader directly: the "wine" wrapper complains about a missing 32-bit part.
wine=$(command -v /usr/lib/wine/wine64 wine64 wine | head -n 1 || true)
[ -n "$wine" ] || { echo "wine-run: wine is not installed (make deps)" >&2; exit 127; }

stamp=$WINEPREFIX.stamp
if [ ! -e "$stamp" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -e "$stamp" ]; then
    echo "wine-run: creating the Wine prefix $WINEPREFIX (once per build tree, 10 to 30 s)" >&2
    "$wine" wineboot -i >/dev/null 2>&1
    wineserver -w
    touch "$stamp"
  fi
  flock -u 9
  exec 9>&-
fi

[ "${1:-}" = "--init" ] && exit 0
exec "$wine" "$@"
