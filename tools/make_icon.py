#!/usr/bin/env python3
"""Draws the program's icon: six rings of a rose curve in three colours on black.

Writes
  resources/vuzuduzi-2.png                the 32 x 32, 16-colour icon built into the window
  resources/icons/vuzuduzi-2-<N>.png      16, 48, 64, 128 and 256 px, the same curves
                                          drawn smooth, lines scaled with the size
  resources/icons/vuzuduzi-2.svg          the same curves as vector paths
Run again only to change the design; the 32 px file stays byte for byte as it is."""
import math, struct, zlib, os

DESIGN = 32          # the design's own grid; every size is drawn on it, scaled
RINGS = 6
SMOOTH_SIZES = (16, 48, 64, 128, 256)
SUPERSAMPLE = 4      # subpixels per pixel along each axis for the smooth sizes

palette = [(0, 0, 0)] + [
    (int(128 + 127 * math.sin(i / 2.4)), int(128 + 127 * math.sin(i / 2.4 + 2.1)), int(128 + 127 * math.sin(i / 2.4 + 4.2)))
    for i in range(15)
]


def ring_colour(ring):
    return 1 + (ring * 5) % 15


def ring_point(ring, theta):
    """A point of ring `ring` at angle `theta`, in design units (0..32, y down)."""
    radius = 15.5 - ring * 2.3
    a = theta * 3 + ring * 0.35
    r = radius * math.sin(theta * 5)
    return r * math.sin(a) + DESIGN / 2, r * math.cos(a) + DESIGN / 2


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png(size, colour_type, bit_depth, raw, plte=b""):
    out = b"\x89PNG\r\n\x1a\n"
    out += chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, bit_depth, colour_type, 0, 0, 0))
    if plte:
        out += chunk(b"PLTE", plte)
    out += chunk(b"IDAT", zlib.compress(raw, 9))
    out += chunk(b"IEND", b"")
    return out


def pixel_icon():
    """The 32 px icon: every point of the curve lights the pixel it falls in."""
    pixels = [[0] * DESIGN for _ in range(DESIGN)]
    for ring in range(RINGS):
        for step in range(4000):
            x, y = ring_point(ring, step / 4000 * 2 * math.pi)
            x, y = int(math.floor(x)), int(math.floor(y))
            if 0 <= x < DESIGN and 0 <= y < DESIGN:
                pixels[y][x] = ring_colour(ring)
    raw = b"".join(b"\0" + bytes((row[i] << 4) | row[i + 1] for i in range(0, DESIGN, 2)) for row in pixels)
    return png(DESIGN, 3, 4, raw, b"".join(bytes(c) for c in palette))


def smooth_icon(size):
    """The same curves at `size` px: a round pen one design unit wide (at least one
    pixel), later rings over earlier ones, averaged down from a finer grid. Below
    the design size only every other ring is drawn, so the figure stays readable."""
    grid = size * SUPERSAMPLE
    scale = grid / DESIGN
    pen = max(1.0, size / DESIGN) * SUPERSAMPLE / 2      # pen radius in subpixels
    offsets = [(dx, dy) for dy in range(-int(pen), int(pen) + 1) for dx in range(-int(pen), int(pen) + 1)
               if dx * dx + dy * dy <= pen * pen]
    cells = [0] * (grid * grid)
    for ring in range(0, RINGS, 1 if size >= DESIGN else 2):
        colour = ring_colour(ring)
        last = None
        steps = 40 * grid
        for step in range(steps + 1):
            x, y = ring_point(ring, step / steps * 2 * math.pi)
            cx, cy = int(x * scale), int(y * scale)
            if last and abs(cx - last[0]) + abs(cy - last[1]) < 1:
                continue
            last = (cx, cy)
            for dx, dy in offsets:
                px, py = cx + dx, cy + dy
                if 0 <= px < grid and 0 <= py < grid:
                    cells[py * grid + px] = colour
    rows = []
    area = SUPERSAMPLE * SUPERSAMPLE
    for y in range(size):
        row = bytearray(b"\0")
        for x in range(size):
            total = [0, 0, 0]
            for sy in range(SUPERSAMPLE):
                base = (y * SUPERSAMPLE + sy) * grid + x * SUPERSAMPLE
                for sx in range(SUPERSAMPLE):
                    c = palette[cells[base + sx]]
                    total[0] += c[0]; total[1] += c[1]; total[2] += c[2]
            row += bytes((t + area // 2) // area for t in total)
        rows.append(bytes(row))
    return png(size, 2, 8, b"".join(rows))


def svg_icon():
    paths = []
    for ring in range(RINGS):
        points = [ring_point(ring, step / 720 * 2 * math.pi) for step in range(720)]
        d = "M" + " ".join(f"{x:.2f},{y:.2f}" for x, y in points) + "Z"
        r, g, b = palette[ring_colour(ring)]
        paths.append(f'  <path stroke="#{r:02x}{g:02x}{b:02x}" d="{d}"/>\n')
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">\n'
            '  <rect width="32" height="32" fill="#000000"/>\n'
            '  <g fill="none" stroke-width="1" stroke-linejoin="round">\n'
            + "".join("  " + p for p in paths) +
            '  </g>\n</svg>\n')


resources = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
icons = os.path.join(resources, "icons")
os.makedirs(icons, exist_ok=True)
with open(os.path.join(resources, "vuzuduzi-2.png"), "wb") as f:
    f.write(pixel_icon())
for size in SMOOTH_SIZES:
    with open(os.path.join(icons, f"vuzuduzi-2-{size}.png"), "wb") as f:
        f.write(smooth_icon(size))
with open(os.path.join(icons, "vuzuduzi-2.svg"), "w") as f:
    f.write(svg_icon())
