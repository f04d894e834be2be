#!/usr/bin/env python3
"""Draws the program's 32 x 32, 16-colour icon: three rose rings on black.
Writes resources/vuzuduzi-2.png; run again only to change the design."""
import math, struct, zlib, os

SIZE = 32
palette = [(0, 0, 0)] + [
    (int(128 + 127 * math.sin(i / 2.4)), int(128 + 127 * math.sin(i / 2.4 + 2.1)), int(128 + 127 * math.sin(i / 2.4 + 4.2)))
    for i in range(15)
]
pixels = [[0] * SIZE for _ in range(SIZE)]
for ring in range(6):
    radius = 15.5 - ring * 2.3
    for step in range(4000):
        theta = step / 4000 * 2 * math.pi
        a = theta * 3 + ring * 0.35
        r = radius * math.sin(theta * 5)
        x = int(math.floor(r * math.sin(a) + SIZE / 2))
        y = int(math.floor(r * math.cos(a) + SIZE / 2))
        if 0 <= x < SIZE and 0 <= y < SIZE:
            pixels[y][x] = 1 + (ring * 5) % 15

def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

raw = b"".join(b"\0" + bytes((row[i] << 4) | row[i + 1] for i in range(0, SIZE, 2)) for row in pixels)
png = b"\x89PNG\r\n\x1a\n"
png += chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 4, 3, 0, 0, 0))
png += chunk(b"PLTE", b"".join(bytes(c) for c in palette))
png += chunk(b"IDAT", zlib.compress(raw, 9))
png += chunk(b"IEND", b"")
out = os.path.join(os.path.dirname(__file__), "..", "resources", "vuzuduzi-2.png")
with open(out, "wb") as f:
    f.write(png)
