#!/usr/bin/env python3
"""Draws the application icon: resources/RARedir.ico.

Twelve images, 16, 32, 48 and 64 pixels square at 4, 24 and 32 bits per pixel:
a blue rounded square with a white measurement trace across it. Standard
library only; run it again after changing the drawing.

    python3 tools/make_icon.py resources/RARedir.ico
"""
import struct
import sys

SIZES = (16, 32, 48, 64)
DEPTHS = (4, 24, 32)
BLUE = (0x1F, 0x5F, 0xA8)
WHITE = (0xFF, 0xFF, 0xFF)
TRACE = [(0.16, 0.60), (0.32, 0.60), (0.43, 0.28), (0.57, 0.76), (0.68, 0.48), (0.84, 0.48)]
# The 16-colour palette of 4-bit images; the drawing uses navy (4) and white (15).
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def in_rounded_square(x, y, low=0.06, high=0.94, radius=0.18):
    cx = min(max(x, low + radius), high - radius)
    cy = min(max(y, low + radius), high - radius)
    return low <= x <= high and low <= y <= high and (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def near_trace(x, y, half_width):
    for (x0, y0), (x1, y1) in zip(TRACE, TRACE[1:]):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        if (x - x0 - t * dx) ** 2 + (y - y0 - t * dy) ** 2 <= half_width ** 2:
            return True
    return False


def render(size):
    """Rows top to bottom of (coverage 0..1, is_trace) per pixel, 4x4 supersampled."""
    half_width = max(0.045, 0.9 / size)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            inside = trace = 0
            for sy in range(4):
                for sx in range(4):
                    x, y = (px + (sx + 0.5) / 4) / size, (py + (sy + 0.5) / 4) / size
                    if in_rounded_square(x, y):
                        inside += 1
                        trace += near_trace(x, y, half_width)
            row.append((inside / 16, trace / 16))
        rows.append(row)
    return rows


def colour(inside, trace):
    mix = trace / inside if inside else 0
    return tuple(round(b + (w - b) * mix) for b, w in zip(BLUE, WHITE))


def pad(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def dib(size, depth):
    pixels = render(size)
    xor_rows, and_rows = [], []
    for row in reversed(pixels):  # DIB rows run bottom-up
        if depth == 4:
            nibbles = [15 if t / max(i, 1e-9) >= 0.5 else 4 for i, t in row]
            xor = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        elif depth == 24:
            xor = b"".join(bytes(reversed(colour(i, t))) for i, t in row)
        else:
            xor = b"".join(bytes(reversed(colour(i, t))) + bytes([round(255 * i)]) for i, t in row)
        xor_rows.append(pad(xor))
        bits = [1 if i < 0.5 else 0 for i, _ in row]  # 1: transparent
        mask = bytes(sum(bits[b + k] << (7 - k) for k in range(8)) for b in range(0, size, 8))
        and_rows.append(pad(mask))
    image = b"".join(xor_rows) + b"".join(and_rows)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE) if depth == 4 else b""
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, depth, 0, len(image), 0, 0,
                         16 if depth == 4 else 0, 0)
    return header + palette + image


def main(path):
    images = [(size, depth, dib(size, depth)) for size in SIZES for depth in DEPTHS]
    offset = 6 + 16 * len(images)
    directory, data = struct.pack("<HHH", 0, 1, len(images)), b""
    for size, depth, image in images:
        directory += struct.pack("<BBBBHHII", size, size, 16 if depth == 4 else 0, 0, 1, depth,
                                 len(image), offset + len(data))
        data += image
    with open(path, "wb") as icon:
        icon.write(directory + data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/RARedir.ico")
