#!/usr/bin/python3
"""Turn the window icon (ui/resources/corvatta.ico) into the 32x32 PNG that
the Linux desktop shows in menus and docks.

Writes io.github.corvatta.Corvatta.png next to this script. Re-run from the
repository root after the icon changes:

    /usr/bin/python3 app/desktop/make_png_icon.py

Needs Pillow (Debian: python3-pil). The ICO's AND mask becomes the PNG's
alpha channel, so pixels that are transparent on the window stay
transparent on the desktop. The PNG carries no timestamp or other metadata,
so the output is the same on every run.
"""
import os
import sys

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.join(HERE, "..", "..", "ui", "resources", "corvatta.ico")
TARGET = os.path.join(HERE, "io.github.corvatta.Corvatta.png")
SIZE = (32, 32)


def main():
    with Image.open(SOURCE) as ico:
        if SIZE not in ico.info.get("sizes", {ico.size}):
            sys.exit(f"{SOURCE} has no {SIZE[0]}x{SIZE[1]} image")
        ico.size = SIZE
        image = ico.convert("RGBA")
    if image.size != SIZE:
        sys.exit(f"expected a {SIZE[0]}x{SIZE[1]} image, got {image.size}")
    image.save(TARGET, format="PNG", optimize=True)
    print(f"wrote {os.path.relpath(TARGET)}")


if __name__ == "__main__":
    main()
