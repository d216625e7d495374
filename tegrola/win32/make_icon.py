#!/usr/bin/env python3
"""Writes tegrola.ico: a logo's black dots (a "T" over a row of dots) on a white label with a
blue edge, 16 and 32 pixels, 32 bits a pixel. Run once; the icon is committed."""
import struct
import sys


def pixel(x, y, size):
    s = size / 16.0
    u, v = x / s, y / s
    if u < 1 or v < 1 or u >= 15 or v >= 15:
        return (200, 90, 20, 255)  # blue edge (BGRA)
    if 3 <= v < 5 and 3 <= u < 13 or 5 <= v < 11 and 7 <= u < 9:
        return (0, 0, 0, 255)  # the T
    if 12 <= v < 13 and int(u) % 2 == 1 and 2 <= u < 14:
        return (0, 0, 0, 255)  # the dots
    return (255, 255, 255, 255)


def image(size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b''.join(bytes(c for x in range(size) for c in pixel(x, y, size))
                    for y in reversed(range(size)))
    mask = bytes(((size + 31) // 32 * 4) * size)
    return header + rows + mask


images = [image(16), image(32)]
out = struct.pack('<HHH', 0, 1, len(images))
offset = 6 + 16 * len(images)
for size, data in zip((16, 32), images):
    out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
    offset += len(data)
out += b''.join(images)
open(sys.argv[1] if len(sys.argv) > 1 else 'tegrola.ico', 'wb').write(out)
