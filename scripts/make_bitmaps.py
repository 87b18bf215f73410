#!/usr/bin/env python3
"""Draws the program's pictures at build time, 32 bits per pixel.

The arrangement previews (150 x 105):

Each shows a miniature desktop with a taskbar and the windows of one pattern:
  preview_none.bmp         (109) one window at a free place: no arrangement
  preview_horizontal.bmp   (110) two windows side by side, full height
  preview_tile.bmp         (111) four windows in two rows of two
  preview_vertical.bmp     (112) two windows one above the other, full width
  preview_unavailable.bmp  (113) the first picture in grey
The product logo (88 x 31 at 100 %), shown on the settings sheet's version page:
  logo.bmp                 (108) the tray icon's mark and the name in capitals,
                           drawn at twice that size: the page scales it to its
                           DPI, down from detail rather than up from pixels
Standard library only, so the output is reproducible:
    python3 scripts/make_bitmaps.py build/res/art
"""
import os
import struct
import sys

W, H = 150, 105
TASKBAR = 12

DESKTOP = (0x3a, 0x6e, 0xa5)
TASKBAR_COLOUR = (0x1f, 0x2a, 0x38)
START = (0x4c, 0xaf, 0x50)
FRAME = (0x20, 0x20, 0x20)
TITLE = (0x2b, 0x57, 0x9a)
CLIENT = (0xfa, 0xfa, 0xfa)
LINE = (0xc8, 0xd0, 0xd8)


def blank():
    pixels = [[DESKTOP for _ in range(W)] for _ in range(H)]
    for y in range(H - TASKBAR, H):
        for x in range(W):
            pixels[y][x] = TASKBAR_COLOUR
    for y in range(H - TASKBAR + 3, H - 3):
        for x in range(3, 15):
            pixels[y][x] = START
    return pixels


def window(pixels, x0, y0, w, h):
    """A window with frame, title bar and a few text lines, inside (x0, y0, w, h)."""
    for y in range(y0, y0 + h):
        for x in range(x0, x0 + w):
            edge = x in (x0, x0 + w - 1) or y in (y0, y0 + h - 1)
            if edge:
                colour = FRAME
            elif y < y0 + 6:
                colour = TITLE
            else:
                colour = CLIENT
            pixels[y][x] = colour
    for line_y in range(y0 + 10, y0 + h - 3, 5):
        for x in range(x0 + 4, x0 + max(5, w * 3 // 4)):
            pixels[line_y][x] = LINE


def layout(cells):
    pixels = blank()
    for cell in cells:
        window(pixels, *cell)
    return pixels


def grey(pixels):
    out = []
    for row in pixels:
        out_row = []
        for r, g, b in row:
            v = (r * 30 + g * 59 + b * 11) // 100
            v = 128 + (v - 128) // 2  # flattened: reads as disabled
            out_row.append((v, v, v))
        out.append(out_row)
    return out


# 5 x 7 capitals for the logo's lettering, one string of five bits per row.
GLYPHS = {
    'C': ['01110', '10001', '10000', '10000', '10000', '10001', '01110'],
    'O': ['01110', '10001', '10001', '10001', '10001', '10001', '01110'],
    'R': ['11110', '10001', '10001', '11110', '10100', '10010', '10001'],
    'V': ['10001', '10001', '10001', '10001', '10001', '01010', '00100'],
    'A': ['01110', '10001', '10001', '11111', '10001', '10001', '10001'],
    'N': ['10001', '11001', '10101', '10011', '10001', '10001', '10001'],
    'T': ['11111', '00100', '00100', '00100', '00100', '00100', '00100'],
}
LOGO_W, LOGO_H = 88, 31
LOGO_SCALE = 2
LOGO_BACK = (0x1f, 0x2a, 0x38)
LOGO_EDGE = (0x4a, 0x5a, 0x6e)
INDIGO = (0x3f, 0x51, 0xb5)
TEAL = (0x00, 0x96, 0x88)
WHITE = (0xff, 0xff, 0xff)


def blend(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def near_segment(px, py, ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy)))
    return (px - ax - t * dx) ** 2 + (py - ay - t * dy) ** 2 <= width * width


def logo(k=LOGO_SCALE):
    """A dark badge: the tray icon's mark (a chevron over two menu bars on a
    square shading from indigo to teal) and "CORVANTA" in white, at k times
    the 100 % size: the mark with k times the detail, everything else in
    blocks of k x k pixels."""
    w, h = LOGO_W * k, LOGO_H * k
    pixels = [[LOGO_BACK for _ in range(w)] for _ in range(h)]
    for x in range(w):
        for y in range(k):
            pixels[y][x] = pixels[h - 1 - y][x] = LOGO_EDGE
    for y in range(h):
        for x in range(k):
            pixels[y][x] = pixels[y][w - 1 - x] = LOGO_EDGE
    x0, y0, size = 4 * k, 4 * k, 23 * k
    for y in range(size):
        for x in range(size):
            corner = min(x, size - 1 - x) + min(y, size - 1 - y)
            if corner < 2 * k:
                continue  # rounded corners
            colour = blend(INDIGO, TEAL, (x + y) / (2.0 * (size - 1)))
            cx, cy = (x + 0.5) / k, (y + 0.5) / k  # in 100 % pixels
            if near_segment(cx, cy, 6, 12, 11.5, 6.5, 1.4) or near_segment(cx, cy, 11.5, 6.5, 17, 12, 1.4):
                colour = WHITE
            if (int(cy) in (15, 16) and 7 <= int(cx) <= 15) or (int(cy) in (19, 20) and 8 <= int(cx) <= 14):
                colour = WHITE
            pixels[y0 + y][x0 + x] = colour
    left, top = 33, 12
    for index, letter in enumerate('CORVANTA'):
        for row, bits in enumerate(GLYPHS[letter]):
            for column, bit in enumerate(bits):
                if bit == '1':
                    for dy in range(k):
                        for dx in range(k):
                            pixels[(top + row) * k + dy][(left + index * 6 + column) * k + dx] = WHITE
    return pixels


def write_bmp(path, pixels):
    height, width = len(pixels), len(pixels[0])
    row_bytes = width * 4
    image = b''.join(struct.pack('<BBBB', b, g, r, 0) for row in reversed(pixels) for (r, g, b) in row)
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(image), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 32, 0, len(image), 2835, 2835, 0, 0)
    assert len(image) == row_bytes * height
    with open(path, 'wb') as f:
        f.write(header + info + image)


def main(folder):
    area = H - TASKBAR
    none = layout([(28, 14, 80, 56)])
    pictures = {
        'preview_none.bmp': none,
        'preview_horizontal.bmp': layout([(0, 0, W // 2, area), (W // 2, 0, W // 2, area)]),
        'preview_tile.bmp': layout([(0, 0, W // 2, area // 2), (W // 2, 0, W // 2, area // 2),
                                    (0, area // 2, W // 2, area // 2), (W // 2, area // 2, W // 2, area // 2)]),
        'preview_vertical.bmp': layout([(0, 0, W, area // 2), (0, area // 2, W, area // 2)]),
        'preview_unavailable.bmp': grey(none),
        'logo.bmp': logo(),
    }
    for name, pixels in pictures.items():
        write_bmp(os.path.join(folder, name), pixels)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'res')
