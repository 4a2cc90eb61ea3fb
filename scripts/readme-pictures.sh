#!/usr/bin/env bash
# Renders the README's pictures into docs/ with kov-preview: small PNGs that are committed.
# usage: scripts/readme-pictures.sh [BUILD_DIR]   (default build/linux)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build/linux}
preview="$build/kov-preview"
out="$root/docs"
mkdir -p "$out"

picture() {
  local name=$1
  shift
  "$preview" "$@" -o "$out/$name" >/dev/null
  echo "docs/$name"
}

# The panel beside the radar at the default anchor: a freeway crossing.
picture panel.png --size 1920x1080 --crop 0,0.72,0.4,0.28 --zoom 0.75 \
  --street "Los Santos Freeway" --crossing "Olympic Fwy" --zone LMesa --heading 270
# The big map open: the panel moves to its second anchor.
picture big-map.png --size 1920x1080 --crop 0,0.5,0.5,0.5 --zoom 0.6 --bigmap \
  --street "Vinewood Blvd" --crossing "Alta St" --zone DTVine
# Online: the player list held open and a death notice in the feed.
picture online.png --size 1280x720 --crop 0,0.22,1,0.78 --zoom 0.6 --session-players 8 --player-list --death 3:2 \
  --street "Del Perro Fwy" --zone DelPe --heading 250
# The same KOV.ini on five screens, lower left corner of each: as the panel has always been
# placed (top row), and with AnchorToRadar=true (bottom row).
picture resolutions.png --size 1280x720,2560x1080,3440x1440,5120x1440,1024x768 --both-modes \
  --crop 0,0.74,0.42,0.26 --tile-height 120
# The game's safe zone at 0.9: the radar moves in from the edges; plain and anchored.
picture safe-zone.png --size 1920x1080,3440x1440 --safe-zone 0.9 --both-modes \
  --crop 0,0.7,0.4,0.3 --tile-height 160
# The drive on the game's own roads (scenarios/drive.json): the radar corner at each of its stops on
# the roads (kov-preview --at, the map answering), joined into one animated PNG by apngasm, which
# takes the first of numbered frames (frame01.png, frame02.png, ...).
frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
number=0
while read -r at heading; do
  number=$((number + 1))
  "$preview" --size 1920x1080 --crop 0,0.72,0.4,0.28 --zoom 0.75 --at "$at" --heading "$heading" \
    -o "$frames/frame$(printf %02d "$number").png" >/dev/null
done < <(python3 -c '
import json, sys
for step in json.load(open(sys.argv[1]))["steps"]:
    ped = step["world"]["peds"]["1"]
    if not step["world"].get("islandLoaded"):
        print(",".join(str(c) for c in ped["pos"]), ped["heading"])
' "$root/scenarios/drive.json")
apngasm "$out/drive.png" "$frames/frame01.png" 3 2 >/dev/null  # 1.5 s a stop
echo "docs/drive.png"
