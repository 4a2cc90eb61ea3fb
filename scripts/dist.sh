#!/usr/bin/env bash
# Builds the release zip: KOV.asi, the default KOV.ini, the player's README.txt and the preview page
# Wayglass-preview.html, side by side at the top of the archive (players unpack them straight into
# the game's folder); and beside the zip its SHA-256 (OUT.zip.sha256, as sha256sum writes it), which
# is published with it so that a player can check the download.
# usage: scripts/dist.sh PATH/TO/KOV.asi PATH/TO/Wayglass-preview.html OUT.zip
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: scripts/dist.sh KOV.asi Wayglass-preview.html OUT.zip" >&2
  exit 2
fi
asi=$1
page=$2
out=$3
root=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -f "$asi" ]; then
  echo "dist: $asi is missing; build it first (make windows)" >&2
  exit 1
fi

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
if [ ! -f "$page" ]; then
  echo "dist: $page is missing; build it first (make web)" >&2
  exit 1
fi
cp "$asi" "$stage/KOV.asi"
cp "$page" "$stage/Wayglass-preview.html"
# Windows line ends for the two text files, which players open in Notepad.
for text in KOV.ini README.txt; do
  sed 's/\r*$/\r/' "$root/dist/$text" >"$stage/$text"
done
# Fixed times (UTC, so the zip's local times do not follow the machine's zone), fixed modes and no
# extra attributes: the same inputs give the same zip.
export TZ=UTC
chmod 0644 "$stage"/*
touch -t 202001010000 "$stage"/*

mkdir -p "$(dirname "$out")"
out_abs="$(cd "$(dirname "$out")" && pwd)/$(basename "$out")"
rm -f "$out_abs"
(cd "$stage" && zip -X -q "$out_abs" KOV.asi KOV.ini README.txt Wayglass-preview.html)
(cd "$(dirname "$out_abs")" && sha256sum "$(basename "$out_abs")" >"$out_abs.sha256")
echo "dist: $out"
echo "dist: $out.sha256: $(cut -d' ' -f1 "$out_abs.sha256")"
