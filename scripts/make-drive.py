#!/usr/bin/env python3
"""Writes scenarios/drive.json: a drive along the game's own roads (sim/world/data), from the airport
to Paleto Bay by the shortest way on roads that are not back roads, then across to the island.
The stops are where the road's street changes, and along a long street every STOP_EVERY metres,
so the panel's street, crossing and area change as the game's would.

Usage: scripts/make-drive.py [OUT]   (default scenarios/drive.json)
"""
import heapq
import json
import math
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
DATA = ROOT / "sim" / "world" / "data"
START = (-1030.0, -2728.0)   # New Empire Way, at the airport's terminals
END = (-170.0, 6207.0)       # Great Ocean Hwy in Paleto Bay
ISLAND = (4930.0, -5130.0)   # on the island, once it is loaded
STOP_EVERY = 900.0           # metres between stops along one street
FRAMES = 2                   # frames a stop shows
FIRST_FRAMES = 12            # the first stop's: the plug-in's start, then the panel


def read_rows(name):
    with open(DATA / name, encoding="utf-8") as f:
        return [line.rstrip("\n").split("\t") for line in f if not line.startswith("#")]


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "scenarios" / "drive.json"
    nodes = [(float(r[0]), float(r[1]), float(r[2]), r[3], r[4]) for r in read_rows("roads.tsv")]
    joined = {}
    for r in read_rows("links.tsv"):
        a, b = int(r[0]), int(r[1])
        if "B" in nodes[a][4] or "B" in nodes[b][4] or "W" in nodes[a][4] or "W" in nodes[b][4]:
            continue
        length = math.dist(nodes[a][:3], nodes[b][:3])
        joined.setdefault(a, []).append((b, length))
        joined.setdefault(b, []).append((a, length))

    def nearest(point):
        return min(joined, key=lambda n: math.dist(nodes[n][:2], point))

    start, end = nearest(START), nearest(END)
    distance, previous, queue = {start: 0.0}, {}, [(0.0, start)]
    while queue:
        d, n = heapq.heappop(queue)
        if n == end:
            break
        if d > distance[n]:
            continue
        for m, length in joined[n]:
            if d + length < distance.get(m, math.inf):
                distance[m], previous[m] = d + length, n
                heapq.heappush(queue, (d + length, m))
    route = [end]
    while route[-1] != start:
        route.append(previous[route[-1]])
    route.reverse()

    steps, driven, since_stop, last_street = [], 0.0, math.inf, None
    for i, n in enumerate(route[:-1]):
        x, y, z, street, _ = nodes[n]
        nx, ny = nodes[route[i + 1]][:2]
        step = math.dist((x, y), (nx, ny))
        if (street and street != last_street) or since_stop >= STOP_EVERY:
            heading = math.degrees(math.atan2(-(nx - x), ny - y)) % 360
            steps.append({
                "label": f"{street or last_street}, {driven / 1000:.1f} km from the airport",
                "world": {"peds": {"1": {"pos": [round(x, 2), round(y, 2), round(z, 2)], "heading": round(heading, 1)}}},
                "frames": FIRST_FRAMES if not steps else FRAMES,
            })
            since_stop = 0.0
            last_street = street or last_street
        driven += step
        since_stop += step
    steps.append({
        "label": f"Across the sea to the island ({driven / 1000:.1f} km of road behind)",
        "world": {"islandLoaded": True, "peds": {"1": {"pos": [ISLAND[0], ISLAND[1], 10.0], "heading": 0.0}}},
        "frames": FRAMES,
    })
    scenario = {
        "description": "A drive on the game's own roads, made by scripts/make-drive.py from sim/world/data: "
                       "from the airport to Paleto Bay by the shortest way that keeps off back roads, "
                       "then across to the island. The street, crossing, road and zone are the map's.",
        "frameStepMs": 16,
        "world": {
            "screen": [1280, 720],
            "sanAndreas": True,
            "localPed": 1,
            "localPlayerIndex": 0,
            "peds": {"1": {"pos": [0.0, 0.0, 0.0], "heading": 0.0, "player": 0}},
        },
        "steps": steps,
    }
    # One stop a line, as the other scenarios are laid out.
    body = json.dumps({k: v for k, v in scenario.items() if k != "steps"}, indent=2, ensure_ascii=False)
    lines = ",\n    ".join(json.dumps(step, ensure_ascii=False) for step in steps)
    text = body[:-2] + ',\n  "steps": [\n    ' + lines + "\n  ]\n}\n"
    out.write_text(text, encoding="utf-8")
    print(f"{out}: {len(steps)} stops over {driven / 1000:.1f} km of road")


if __name__ == "__main__":
    main()
