#!/usr/bin/python3
"""Draw the Corvatta title banner: 326x36 slate-blue strip with white italic lettering.

Writes banner.jpg next to this script. Re-run from the repository root with:

    /usr/bin/python3 ui/resources/draw_banner.py

The JPEG is baseline RGB with no EXIF or other metadata, so repeated runs
produce identical bytes.
"""
import os

from PIL import Image, ImageDraw, ImageFont

WIDTH, HEIGHT = 326, 36
TEXT = "Corvatta \u00b7 pay off your debt"
FONT = "/usr/share/fonts/truetype/liberation2/LiberationSans-BoldItalic.ttf"
FONT_SIZE = 21
TOP_COLOUR = (0x56, 0x67, 0x9A)
BOTTOM_COLOUR = (0x3E, 0x4D, 0x7C)
SHADOW = (0x14, 0x1A, 0x30)
SHADOW_OFFSET = (2, 2)


def draw():
    im = Image.new("RGB", (WIDTH, HEIGHT))
    d = ImageDraw.Draw(im)
    for y in range(HEIGHT):
        t = y / (HEIGHT - 1)
        d.line([(0, y), (WIDTH - 1, y)],
               fill=tuple(round(a + (b - a) * t) for a, b in zip(TOP_COLOUR, BOTTOM_COLOUR)))

    font = ImageFont.truetype(FONT, FONT_SIZE)
    # Centre on the ink box rather than the font's line box, which includes descender space.
    left, top, right, bottom = d.textbbox((0, 0), TEXT, font=font)
    x = (WIDTH - (right - left)) // 2 - left
    y = (HEIGHT - (bottom - top)) // 2 - top
    d.text((x + SHADOW_OFFSET[0], y + SHADOW_OFFSET[1]), TEXT, font=font, fill=SHADOW)
    d.text((x, y), TEXT, font=font, fill=(255, 255, 255))
    return im


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "banner.jpg")
    draw().save(out, "JPEG", quality=92, optimize=False, progressive=False, subsampling=0)
    print(out)


if __name__ == "__main__":
    main()
