#!/usr/bin/env python3
"""Writes the two pictures of the example shop: logo.pcx (a shopping bag, 1-bit PCX) and
mark.bmp (a round "new" badge, 1-bit BMP). Run it from anywhere; the files land in
examples/shop/. Only the standard library is used."""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# A 5 x 7 font for the few letters the pictures carry.
GLYPHS = {
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "W": ["10001", "10001", "10001", "10101", "10101", "11011", "10001"],
}


def blank(width, height):
    """A picture as rows of booleans; True is ink (a printed dot)."""
    return [[False] * width for _ in range(height)]


def draw_text(pic, text, left, top, scale, ink):
    for k, letter in enumerate(text):
        for row, bits in enumerate(GLYPHS[letter]):
            for col, bit in enumerate(bits):
                if bit == "1":
                    for dy in range(scale):
                        for dx in range(scale):
                            pic[top + row * scale + dy][left + (k * 6 + col) * scale + dx] = ink


def bag(width=64, height=64):
    """A shopping bag: a handle ring above a filled body with a white P."""
    pic = blank(width, height)
    cx = width / 2
    for y in range(height):
        for x in range(width):
            # Handle: a ring of outer radius 14 and inner radius 9 above the body.
            r = math.hypot(x + 0.5 - cx, y + 0.5 - 20)
            if y < 24 and 9 <= r <= 14:
                pic[y][x] = True
            # Body: a trapezoid from y 20 to 62, a little wider at the bottom.
            if 20 <= y <= 61:
                half = 22 + (y - 20) * 4 / 42
                if abs(x + 0.5 - cx) <= half:
                    pic[y][x] = True
    draw_text(pic, "P", int(cx) - 7, 28, 3, False)
    return pic


def badge(width=64, height=64):
    """A filled circle with NEW in white."""
    pic = blank(width, height)
    for y in range(height):
        for x in range(width):
            pic[y][x] = math.hypot(x + 0.5 - width / 2, y + 0.5 - height / 2) <= 31
    draw_text(pic, "NEW", 15, 25, 2, False)
    return pic


def packed_rows(pic, row_bytes):
    """Rows packed 8 dots a byte, most significant bit first; a 1 bit is white."""
    rows = []
    for line in pic:
        out = bytearray(b"\xff" * row_bytes)
        for x, ink in enumerate(line):
            if ink:
                out[x // 8] &= ~(0x80 >> (x % 8))
        rows.append(bytes(out))
    return rows


def pcx(pic):
    height, width = len(pic), len(pic[0])
    row_bytes = (width + 15) // 16 * 2  # PCX lines have an even byte count
    palette = bytes([0, 0, 0, 255, 255, 255]) + bytes(42)
    header = struct.pack(
        "<BBBBHHHHHH48sBBHHHH54s",
        10, 5, 1, 1, 0, 0, width - 1, height - 1, 203, 203, palette,
        0, 1, row_bytes, 1, 0, 0, bytes(54))
    data = bytearray()
    for row in packed_rows(pic, row_bytes):
        k = 0
        while k < len(row):
            run = 1
            while k + run < len(row) and row[k + run] == row[k] and run < 63:
                run += 1
            if run > 1 or row[k] >= 0xC0:
                data += bytes([0xC0 | run, row[k]])
            else:
                data.append(row[k])
            k += run
    return header + bytes(data)


def bmp(pic):
    height, width = len(pic), len(pic[0])
    row_bytes = (width + 31) // 32 * 4
    pixels = b"".join(reversed(packed_rows(pic, row_bytes)))  # BMP rows go bottom up
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])  # index 0 black, 1 white
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 1, 0, len(pixels), 7992, 7992, 2, 2)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + palette + pixels


def main():
    shop = os.path.join(HERE, "shop")
    with open(os.path.join(shop, "logo.pcx"), "wb") as f:
        f.write(pcx(bag()))
    with open(os.path.join(shop, "mark.bmp"), "wb") as f:
        f.write(bmp(badge()))


if __name__ == "__main__":
    main()
