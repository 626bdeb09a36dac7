#!/usr/bin/python3
"""Draw the Corvatta title banner: 326x36 slate-blue strip with white italic lettering.

Writes banner.jpg next to this script, and banner@2x.jpg, the same banner
drawn afresh at twice the size (652x72) for screens of twice the density:
the lettering is rendered at 42 pixels rather than enlarged from 21, so its
edges stay sharp. Re-run from the repository root with:

    /usr/bin/python3 ui/resources/draw_banner.py

The JPEGs are baseline RGB with no EXIF or other metadata, so repeated runs
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
# File name for each scale; "@2x" is the name toolkits look for.
SCALES = {1: "banner.jpg", 2: "banner@2x.jpg"}


def draw(scale=1):
    width, height = WIDTH * scale, HEIGHT * scale
    im = Image.new("RGB", (width, height))
    d = ImageDraw.Draw(im)
    for y in range(height):
        t = y / (height - 1)
        d.line([(0, y), (width - 1, y)],
               fill=tuple(round(a + (b - a) * t) for a, b in zip(TOP_COLOUR, BOTTOM_COLOUR)))

    font = ImageFont.truetype(FONT, FONT_SIZE * scale)
    # Centre on the ink box rather than the font's line box, which includes descender space.
    left, top, right, bottom = d.textbbox((0, 0), TEXT, font=font)
    x = (width - (right - left)) // 2 - left
    y = (height - (bottom - top)) // 2 - top
    d.text((x + SHADOW_OFFSET[0] * scale, y + SHADOW_OFFSET[1] * scale), TEXT, font=font,
           fill=SHADOW)
    d.text((x, y), TEXT, font=font, fill=(255, 255, 255))
    return im


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for scale, name in SCALES.items():
        out = os.path.join(here, name)
        draw(scale).save(out, "JPEG", quality=92, optimize=False, progressive=False,
                         subsampling=0)
        print(out)


if __name__ == "__main__":
    main()
