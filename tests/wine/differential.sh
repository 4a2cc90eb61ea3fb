#!/usr/bin/env bash
# Runs one scenario twice, natively through KOV.so and under Wine through KOV.asi next to the
# emulated ScriptHookV.dll, and fails on any difference: the exit status, the trace (every native
# call, argument, result and wait), what kov-sim printed, and the lines of KOV.log. The Windows
# side writes text files with CRLF line ends; lines are compared without them.
# Usage: differential.sh SCENARIO.json NATIVE_KOV_SIM NATIVE_PLUGIN KOV_SIM_EXE KOV_ASI OUT_DIR
set -uo pipefail
scenario=$1 native_sim=$2 native_plugin=$3 wine_sim=$4 wine_plugin=$5 out=$6
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../../scripts/wine-run.sh

for file in "$native_sim" "$native_plugin"; do
  [ -e "$file" ] || { echo "FAIL: $file is missing: build the Linux side first (make linux)"; exit 1; }
done

# A run that stopped while its folder was read-only (made immutable under Wine) leaves it so.
[ -d "$out" ] && chattr -R -i "$out" 2>/dev/null
rm -rf "$out"
mkdir -p "$out/native" "$out/wine"

"$native_sim" "$scenario" --plugin "$native_plugin" --workdir "$out/native" \
  --trace "$out/native.trace" --log "$out/native.log" >"$out/native.out" 2>"$out/native.err"
native_status=$?
"$wine_run" "$wine_sim" "$scenario" --plugin "$wine_plugin" --workdir "$out/wine" \
  --trace "$out/wine.trace" --log "$out/wine.log" >"$out/wine.out" 2>"$out/wine.err"
wine_status=$?

failures=0
if [ "$native_status" -ne 0 ] || [ "$wine_status" -ne 0 ]; then
  echo "FAIL: exit status native $native_status, Wine $wine_status"
  sed 's/^/  native: /' "$out/native.err"
  sed 's/^/  wine:   /' "$out/wine.err"
  failures=1
fi

# compare WHAT NATIVE_FILE WINE_FILE: the two files' lines, CRLF read as LF.
compare() {
  local what=$1
  [ -e "$2" ] || [ -e "$3" ] || return 0
  if ! diff -u --label "native $what" --label "wine $what" <(sed 's/\r$//' "$2" 2>/dev/null) \
      <(sed 's/\r$//' "$3" 2>/dev/null) >"$out/$what.diff"; then
    echo "FAIL: $what differs ($(grep -c '^[-+][^-+]' "$out/$what.diff") lines); first differences:"
    head -n 40 "$out/$what.diff" | sed 's/^/  /'
    failures=$((failures + 1))
  fi
}
compare trace "$out/native.trace" "$out/wine.trace"
compare output "$out/native.out" "$out/wine.out"
compare log-lines "$out/native.log" "$out/wine.log"
compare KOV.log "$out/native/KOV.log" "$out/wine/KOV.log"

[ -s "$out/native.trace" ] || { echo "FAIL: the native run traced nothing"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ] || exit 1
echo "PASS: $(wc -l <"$out/native.trace") trace lines, $(sed 's/\r$//' "$out/native.log" | wc -l) log lines identical"
