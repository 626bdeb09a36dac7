#!/usr/bin/python3
"""Turn the window icon (ui/resources/corvatta.ico) into the PNGs that the
Linux desktop shows in menus, docks and software centres.

Writes io.github.corvatta.Corvatta.png (32x32) next to this script, and the
same picture at 64x64, 128x128 and 256x256 under hicolor/<size>/apps/, so
that high-resolution screens are not left to blur the 32-pixel image. The
icon is pixel art: each larger size repeats every pixel 2, 4 or 8 times
(no smoothing), which keeps its edges as sharp as in the original. A 48-pixel
size is left out on purpose, as 1.5 pixels per pixel would make some lines
thicker than others. The web build's app icons, at 192 and 512 pixels (6 and
16 times), go to app/web/icon-192.png and icon-512.png. The Windows program's
icon, app/corvatta.exe.ico, holds the window icon's own image, byte for byte,
and the three larger PNGs, for Windows to pick the one nearest the size it
draws. Re-run from the repository root after the icon changes:

    /usr/bin/python3 app/desktop/make_png_icon.py

Needs Pillow (Debian: python3-pil). The ICO's AND mask becomes the PNG's
alpha channel, so pixels that are transparent on the window stay
transparent on the desktop. The PNGs carry no timestamp or other metadata,
so the output is the same on every run.
"""
import os
import struct
import sys

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.join(HERE, "..", "..", "ui", "resources", "corvatta.ico")
NAME = "io.github.corvatta.Corvatta.png"
SIZE = (32, 32)
SCALES = (2, 4, 8)
WEB = os.path.join(HERE, "..", "web")
WEB_SCALES = (6, 16)
EXE_ICON = os.path.join(HERE, "..", "corvatta.exe.ico")


def save(image, target):
    os.makedirs(os.path.dirname(target), exist_ok=True)
    image.save(target, format="PNG", optimize=True)
    print(f"wrote {os.path.relpath(target)}")


def write_exe_icon(larger):
    """The .ico's own image first, then the PNGs (32 bits, a size of 256
    written 0), each directory entry 16 bytes after a 6-byte header."""
    with open(SOURCE, "rb") as f:
        ico = f.read()
    reserved, kind, count = struct.unpack_from("<HHH", ico)
    if (reserved, kind, count) != (0, 1, 1):
        sys.exit(f"{SOURCE} must hold exactly one icon image")
    size, offset = struct.unpack_from("<II", ico, 14)
    images = [(ico[6:14], ico[offset:offset + size])]
    for png in larger:
        with open(png, "rb") as f:
            data = f.read()
        width, height = struct.unpack_from(">II", data, 16)  # the IHDR chunk
        images.append((struct.pack("<BBBBHH", width % 256, height % 256, 0, 0, 1, 32), data))
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    directory = b""
    for entry, data in images:
        directory += entry + struct.pack("<II", len(data), offset)
        offset += len(data)
    with open(EXE_ICON, "wb") as f:
        f.write(header + directory + b"".join(data for _, data in images))
    print(f"wrote {os.path.relpath(EXE_ICON)}")


def main():
    with Image.open(SOURCE) as ico:
        if SIZE not in ico.info.get("sizes", {ico.size}):
            sys.exit(f"{SOURCE} has no {SIZE[0]}x{SIZE[1]} image")
        ico.size = SIZE
        image = ico.convert("RGBA")
    if image.size != SIZE:
        sys.exit(f"expected a {SIZE[0]}x{SIZE[1]} image, got {image.size}")
    save(image, os.path.join(HERE, NAME))
    pngs = []
    for scale in SCALES:
        width, height = SIZE[0] * scale, SIZE[1] * scale
        larger = image.resize((width, height), Image.Resampling.NEAREST)
        pngs.append(os.path.join(HERE, "hicolor", f"{width}x{height}", "apps", NAME))
        save(larger, pngs[-1])
    for scale in WEB_SCALES:
        width, height = SIZE[0] * scale, SIZE[1] * scale
        larger = image.resize((width, height), Image.Resampling.NEAREST)
        save(larger, os.path.join(WEB, f"icon-{width}.png"))
    write_exe_icon(pngs)


if __name__ == "__main__":
    main()
