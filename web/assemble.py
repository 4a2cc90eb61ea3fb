#!/usr/bin/env python3
"""Puts the preview page into one HTML file: web/page.html with its style (page.css), its script
(page.js), the module's loader script and the module itself (base64) inline.

usage: assemble.py WEB_DIR MODULE.js MODULE.wasm DEFAULT_KOV.ini OUT.html
"""
import base64
import json
import pathlib
import sys


def main():
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    web, loader, module, default_ini, out = (pathlib.Path(a) for a in sys.argv[1:])
    page = (web / "page.html").read_text(encoding="utf-8")
    parts = {
        "/*STYLE*/": (web / "page.css").read_text(encoding="utf-8"),
        "/*LOADER*/": loader.read_text(encoding="utf-8"),
        "/*MODULE*/": base64.b64encode(module.read_bytes()).decode("ascii"),
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
