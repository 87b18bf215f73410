#!/usr/bin/env python3
"""Draws Corvanta's tray icon (corvanta.ico, drawn into the build at build time), 32 bits per pixel:
the small and large icon sizes of 100 %, 125 %, 150 % and 200 % displays.

A rounded square shading from indigo to teal, with a white upward chevron over
three short menu bars: "launch from a menu".  Drawn with 8x8 supersampling so the
small sizes stay smooth.  Standard library only, so the output is reproducible:
    python3 scripts/make_icon.py build/res/art/corvanta.ico
"""
import struct
import sys

SS = 8  # supersampling factor per axis


def inside_round_rect(x, y, size, radius):
    r = radius
    cx = min(max(x, r), size - r)
    cy = min(max(y, r), size - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def dist_to_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    qx, qy = ax + t * dx, ay + t * dy
    return ((px - qx) ** 2 + (py - qy) ** 2) ** 0.5


def render(size):
    """Returns rows of (b, g, r, a) tuples, top row first."""
    s = float(size)
    chevron = [(0.25 * s, 0.50 * s), (0.50 * s, 0.24 * s), (0.75 * s, 0.50 * s)]
    stroke = 0.085 * s
    bars = [(0.62 * s, 0.26 * s, 0.74 * s), (0.76 * s, 0.32 * s, 0.68 * s)]
    bar_half = 0.045 * s
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SS):
                for sx in range(SS):
                    px = x + (sx + 0.5) / SS
                    py = y + (sy + 0.5) / SS
                    if not inside_round_rect(px, py, s, 0.22 * s):
                        continue
                    t = (px + py) / (2 * s)
                    r = 0x3a * (1 - t) + 0x14 * t
                    g = 0x3f * (1 - t) + 0xa8 * t
                    b = 0xb8 * (1 - t) + 0xa0 * t
                    white = False
                    for (ax, ay), (bx, by) in zip(chevron, chevron[1:]):
                        if dist_to_segment(px, py, ax, ay, bx, by) <= stroke:
                            white = True
                    for by_, x0, x1 in bars:
                        if x0 <= px <= x1 and abs(py - by_) <= bar_half:
                            white = True
                    if white:
                        r, g, b = 255, 255, 255
                    acc[0] += b
                    acc[1] += g
                    acc[2] += r
                    acc[3] += 1
            n = SS * SS
            a = acc[3] / n
            if acc[3]:
                pixel = tuple(int(round(c / acc[3] * a)) for c in acc[:3]) + (int(round(a * 255)),)
            else:
                pixel = (0, 0, 0, 0)
            row.append(pixel)
        rows.append(row)
    return rows


def dib(size):
    rows = render(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(struct.pack('<BBBB', *p) for row in reversed(rows) for p in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b'\0' * (mask_stride * size)  # the alpha channel decides; AND mask all clear
    return header + pixels + mask


def main(path):
    sizes = [16, 20, 24, 32, 40, 48, 64]
    images = [dib(n) for n in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, img in zip(sizes, images):
        out += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'res/corvanta.ico')
