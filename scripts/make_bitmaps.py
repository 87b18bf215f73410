#!/usr/bin/env python3
"""Draws the arrangement preview pictures (drawn into the build at build time) (150 x 105, 32 bits per pixel).

Each shows a miniature desktop with a taskbar and the windows of one pattern:
  preview_none.bmp         (109) one window at a free place: no arrangement
  preview_horizontal.bmp   (110) two windows side by side, full height
  preview_tile.bmp         (111) four windows in two rows of two
  preview_vertical.bmp     (112) two windows one above the other, full width
  preview_unavailable.bmp  (113) the first picture in grey
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


def write_bmp(path, pixels):
    row_bytes = W * 4
    image = b''.join(struct.pack('<BBBB', b, g, r, 0) for row in reversed(pixels) for (r, g, b) in row)
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(image), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 32, 0, len(image), 2835, 2835, 0, 0)
    assert len(image) == row_bytes * H
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
    }
    for name, pixels in pictures.items():
        write_bmp(os.path.join(folder, name), pixels)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'res')
