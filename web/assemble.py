#!/usr/bin/env python3
"""Puts the preview page into one HTML file: web/page.html with its style (page.css), its script
(page.js), the module's loader script, the module itself (base64), the default KOV.ini, the
stand-in fonts (cut to the characters a KOV.ini text can show) and the game's San Andreas (its three
texts, each ended by a NUL, gzipped, base64) inline.

usage: assemble.py WEB_DIR MODULE.js MODULE.wasm DEFAULT_KOV.ini FONT_DIR WORLD_DIR OUT.html
"""
import base64
import gzip
import io
import json
import pathlib
import sys

from fontTools import subset

# The stand-in faces of tools/preview/host_look.h: family, weight, file.
FONTS = [
    ("DejaVu Sans Condensed", 400, "DejaVuSansCondensed.ttf"),
    ("DejaVu Sans Condensed", 700, "DejaVuSansCondensed-Bold.ttf"),
    ("DejaVu Sans", 400, "DejaVuSans.ttf"),
    ("DejaVu Sans", 700, "DejaVuSans-Bold.ttf"),
]
# Latin-1 and the Windows-1252 punctuation: what the plug-in's texts can hold.
CHARACTERS = list(range(0x20, 0x7F)) + list(range(0xA0, 0x100)) + [
    0x2013, 0x2014, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2026, 0x20AC]


def font_faces(font_dir):
    rules = []
    for family, weight, name in FONTS:
        options = subset.Options()
        options.hinting = False
        options.desubroutinize = True
        font = subset.load_font(str(font_dir / name), options)
        subsetter = subset.Subsetter(options)
        subsetter.populate(unicodes=CHARACTERS)
        subsetter.subset(font)
        data = io.BytesIO()
        subset.save_font(font, data, options)
        rules.append('@font-face { font-family: "%s"; font-weight: %d; src: url(data:font/ttf;base64,%s) format("truetype"); }'
                     % (family, weight, base64.b64encode(data.getvalue()).decode("ascii")))
    return "\n".join(rules)


# The files of sim/world/data in the order sim/world/san_andreas.h reads them.
WORLD_FILES = ["zones.tsv", "roads.tsv", "links.tsv"]


def world_data(world_dir):
    texts = b"".join((world_dir / name).read_bytes() + b"\0" for name in WORLD_FILES)
    return base64.b64encode(gzip.compress(texts, compresslevel=9, mtime=0)).decode("ascii")


def main():
    if len(sys.argv) != 8:
        sys.exit(__doc__)
    web, loader, module, default_ini, font_dir, world_dir, out = (pathlib.Path(a) for a in sys.argv[1:])
    page = (web / "page.html").read_text(encoding="utf-8")
    parts = {
        "/*STYLE*/": font_faces(font_dir) + "\n" + (web / "page.css").read_text(encoding="utf-8"),
        "/*LOADER*/": loader.read_text(encoding="utf-8"),
        "/*MODULE*/": base64.b64encode(module.read_bytes()).decode("ascii"),
        "/*WORLD*/": world_data(world_dir),
        "/*DEFAULT_INI*/": json.dumps(default_ini.read_text(encoding="utf-8")).replace("</", "<\\/"),
        "/*SCRIPT*/": (web / "page.js").read_text(encoding="utf-8"),
    }
    for mark, text in parts.items():
        if page.count(mark) != 1:
            sys.exit(f"assemble.py: page.html must hold {mark} exactly once")
        if "</script" in text.lower() and mark != "/*STYLE*/":
            sys.exit(f"assemble.py: the text for {mark} contains </script")
        page = page.replace(mark, text)
    out.write_text(page, encoding="utf-8")


if __name__ == "__main__":
    main()
