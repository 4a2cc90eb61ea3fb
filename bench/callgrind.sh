#!/usr/bin/env bash
# Instructions per frame of each measured frame and of its floor, counted by callgrind: a figure
# that does not move with the machine's load. Usage: bench/callgrind.sh KOV-BENCH-FRAMES [FRAMES]
set -euo pipefail

driver=$1
frames=${2:-200}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! valgrind --tool=callgrind --callgrind-out-file="$work/cg" "$driver" "$frames" >"$work/calls" 2>"$work/log"; then
  cat "$work/log" >&2
  exit 1
fi

# One "label instructions" line per dump.
for dump in "$work"/cg.*; do
  label=$(sed -n 's/^desc: Trigger: Client Request: //p' "$dump")
  total=$(sed -n 's/^summary: //p' "$dump")
  echo "$label|$total"
done >"$work/counts"

awk -v frames="$frames" -F'|' '
  FNR == NR { count[$1] = $2 / frames; next }
  {
    split($0, f, " ")
    name = f[1]; natives = f[2]
    frame = count[name " frame"]; floor = count[name " floor"]; sw = count["switch"]
    printf "%-24s %12.0f %12.0f %7.2f %12.0f %8d\n", name, frame, floor, (frame - sw) / (floor - sw), frame - floor, natives
  }
  BEGIN {
    printf "\nInstructions per frame (callgrind, %d frames each; the fiber switch, left out of the ratio as above):\n", frames
    printf "%-24s %12s %12s %7s %12s %8s\n", "frame", "frame", "floor", "ratio", "plug-in", "natives"
  }
  END { printf "fiber switch onto the script and back: %.0f instructions\n", count["switch"] }
' "$work/counts" "$work/calls"
