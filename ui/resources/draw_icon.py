#!/usr/bin/python3
"""Draw the Corvatta application icon: a grey pocket calculator, 32x32 pixel art.

Writes corvatta.ico next to this script (one 32x32, 256-colour image).
Re-run from the repository root with:

    /usr/bin/python3 ui/resources/draw_icon.py

The ICO is assembled by hand with struct so that the file layout stays fixed
(a single 8-bit DIB with its AND mask) and the output is byte-identical on
every run.
"""
import os
import struct

SIZE = 32

# Palette index -> RGB.  Index 0 doubles as the colour under transparent pixels.
PALETTE = [
    (0x00, 0x00, 0x00),  # 0 transparent background
    (0xFF, 0xFF, 0xFF),  # 1 outline
    (0x8C, 0x90, 0x98),  # 2 body
    (0xAC, 0xB0, 0xB8),  # 3 body highlight
    (0x6A, 0x6E, 0x76),  # 4 body shade
    (0xDC, 0xDE, 0xE2),  # 5 key face
    (0x4A, 0x4C, 0x52),  # 6 key edge / display frame
    (0xCC, 0xDE, 0x8E),  # 7 display
    (0x3A, 0x46, 0x24),  # 8 display digits
]
OUTLINE, BODY, LIGHT, SHADE, KEY, EDGE, LCD, DIGIT = range(1, 9)

# Body rectangle including the white outline (inclusive coordinates).
LEFT, TOP, RIGHT, BOTTOM = 4, 0, 27, 31
# Key grid: 3x3 keys with 2-pixel gaps, four columns and four rows.
KEY_X = [7, 12, 17, 22]
KEY_Y = [12, 17, 22, 27]
KEY_W = KEY_H = 3


def draw():
    px = [[0] * SIZE for _ in range(SIZE)]
    opaque = [[False] * SIZE for _ in range(SIZE)]

    def rect(x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                px[y][x] = c

    # Body with a bevel, then the outline; corners are clipped to look rounded.
    rect(LEFT, TOP, RIGHT, BOTTOM, OUTLINE)
    rect(LEFT + 1, TOP + 1, RIGHT - 1, BOTTOM - 1, BODY)
    rect(LEFT + 1, TOP + 1, RIGHT - 1, TOP + 1, LIGHT)
    rect(LEFT + 1, TOP + 1, LEFT + 1, BOTTOM - 1, LIGHT)
    rect(LEFT + 2, BOTTOM - 1, RIGHT - 1, BOTTOM - 1, SHADE)
    rect(RIGHT - 1, TOP + 2, RIGHT - 1, BOTTOM - 1, SHADE)
    for y in range(TOP, BOTTOM + 1):
        for x in range(LEFT, RIGHT + 1):
            opaque[y][x] = True
    for x, y in [(LEFT, TOP), (RIGHT, TOP), (LEFT, BOTTOM), (RIGHT, BOTTOM)]:
        px[y][x] = 0
        opaque[y][x] = False
    for x, y in [(LEFT + 1, TOP + 1), (RIGHT - 1, TOP + 1),
                 (LEFT + 1, BOTTOM - 1), (RIGHT - 1, BOTTOM - 1)]:
        px[y][x] = OUTLINE

    # Display: dark frame, pale screen, a small "0" at the right like a reset readout.
    rect(KEY_X[0], 3, KEY_X[-1] + KEY_W - 1, 9, EDGE)
    rect(KEY_X[0] + 1, 4, KEY_X[-1] + KEY_W - 2, 8, LCD)
    rect(20, 5, 22, 7, DIGIT)
    px[6][21] = LCD

    # Keys: light face with a dark right/bottom edge so they read as raised.
    def key(x0, y0, x1, y1):
        rect(x0, y0, x1, y1, EDGE)
        rect(x0, y0, x1 - 1, y1 - 1, KEY)

    for row, y in enumerate(KEY_Y):
        for col, x in enumerate(KEY_X):
            if col == 3 and row >= 2:
                continue  # covered by the tall key
            if row == 3 and col <= 1:
                continue  # covered by the wide key
            key(x, y, x + KEY_W - 1, y + KEY_H - 1)
    key(KEY_X[0], KEY_Y[3], KEY_X[1] + KEY_W - 1, KEY_Y[3] + KEY_H - 1)
    key(KEY_X[3], KEY_Y[2], KEY_X[3] + KEY_W - 1, KEY_Y[3] + KEY_H - 1)
    return px, opaque


def ico_bytes(px, opaque):
    palette = PALETTE + [(0, 0, 0)] * (256 - len(PALETTE))
    colours = b"".join(struct.pack("<4B", b, g, r, 0) for r, g, b in palette)
    # DIB rows run bottom-up; the AND mask is 1 bit per pixel, 1 = transparent.
    xor = b"".join(bytes(px[y]) for y in reversed(range(SIZE)))
    mask = b""
    for y in reversed(range(SIZE)):
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (0 if opaque[y][x] else 1)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 8, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    image = header + colours + xor + mask
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16)
    return icondir + entry + image


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corvatta.ico")
    with open(out, "wb") as f:
        f.write(ico_bytes(*draw()))
    print(out)


if __name__ == "__main__":
    main()
