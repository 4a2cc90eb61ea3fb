#!/usr/bin/env python3
"""Include arrows in src/ run one way: a file includes headers of its own folder or of a lower
layer, never of a higher one, nor of another folder of its own layer.
Usage: include_layers.py SRC_DIR"""
import pathlib
import re
import sys

# The plug-in's folders, bottom to top. The folders of one row form one layer.
LAYERS = [
    ["text"],
    ["host"],
    ["frame"],
    ["config"],
    ["draw"],
    ["location", "input", "multiplayer"],
    ["core"],
]
LAYER_OF = {folder: level for level, row in enumerate(LAYERS) for folder in row}

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)


def wrong_arrow(folder, included, src):
    """Why including `included` from a file of `folder` runs the wrong way, or None."""
    if "/" not in included:
        # Headers generated into the build tree (kov_version.h) name no folder; a header of src
        # always does.
        return f"{included} names no folder" if any(src.rglob(included)) else None
    target = included.split("/", 1)[0]
    if target not in LAYER_OF:
        return f"{target}/ is no layer of the plug-in"
    if target == folder:
        return None
    if LAYER_OF[target] == LAYER_OF[folder]:
        return f"{target}/ is a sibling of {folder}/ in the same layer"
    if LAYER_OF[target] > LAYER_OF[folder]:
        return f"{target}/ lies above {folder}/"
    return None


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: include_layers.py SRC_DIR")
    src = pathlib.Path(sys.argv[1])
    files = sorted(p for p in src.rglob("*") if p.suffix in (".h", ".cpp"))
    if not files:
        sys.exit(f"FAIL: no sources under {src}")
    failures, arrows = [], 0
    for path in files:
        relative = path.relative_to(src)
        folder = relative.parts[0] if len(relative.parts) > 1 else ""
        if folder not in LAYER_OF:
            failures.append(f"{relative}: {folder or 'src'}/ is no layer of the plug-in (add it to LAYERS)")
            continue
        text = path.read_text(encoding="utf-8")
        for match in INCLUDE.finditer(text):
            arrows += 1
            reason = wrong_arrow(folder, match.group(1), src)
            if reason is not None:
                line = text.count("\n", 0, match.start()) + 1
                failures.append(f"{relative}:{line}: includes \"{match.group(1)}\": {reason}")
    for failure in failures:
        print(f"FAIL: {failure}")
    if failures:
        sys.exit(1)
    print(f"PASS: {arrows} includes in {len(files)} files run down the layers")


if __name__ == "__main__":
    main()
