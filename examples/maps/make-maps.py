#!/usr/bin/env python3
"""Writes the small bitmaps the example scenes use: paletted PNG, TGA and BMP
images and one true-colour PNG, and the car's collision zone map and door
deform and damage maps. Run from any folder; the files land beside this
script."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def png(name, width, height, rows, palette=None):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    colour_type = 3 if palette else 2
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    raw = b"".join(b"\0" + bytes(row) for row in rows)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
    if palette:
        data += chunk(b"PLTE", bytes(c for rgb in palette for c in rgb))
    data += chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")
    write(name, data)


def tga_rle(name, width, height, rows, palette):
    # Colour-mapped, run-length encoded, rows stored top first.
    header = struct.pack("<BBBHHBHHHHBB", 0, 1, 9, 0, len(palette), 24, 0, 0, width, height, 8, 0x20)
    cmap = bytes(c for r, g, b in palette for c in (b, g, r))
    texels = [i for row in rows for i in row]
    packets = b""
    i = 0
    while i < len(texels):
        run = 1
        while i + run < len(texels) and run < 128 and texels[i + run] == texels[i]:
            run += 1
        packets += bytes([0x80 | (run - 1), texels[i]])
        i += run
    write(name, header + cmap + packets)


def bmp4(name, width, height, rows, palette):
    # 4 bits a texel, rows stored bottom first, each padded to 4 bytes.
    stride = (width * 4 + 31) // 32 * 4
    pixels = b""
    for row in reversed(rows):
        packed = bytes((row[x] << 4) | (row[x + 1] if x + 1 < width else 0) for x in range(0, width, 2))
        pixels += packed + b"\0" * (stride - len(packed))
    cmap = bytes(c for r, g, b in palette for c in (b, g, r, 0))
    offset = 14 + 40 + len(cmap)
    head = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 2835, 2835, len(palette), 0)
    write(name, head + info + cmap + pixels)


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


reds = [(120, 10, 10), (160, 20, 20), (200, 30, 30), (240, 60, 60)]
png("paint.png", 16, 16, [[(x // 4 + y // 4) % 4 for x in range(16)] for y in range(16)], reds)
greys = [(40, 40, 40), (120, 120, 120), (200, 200, 200), (250, 250, 250)]
tga_rle("chrome.tga", 8, 8, [[min(3, y // 2) for x in range(8)] for y in range(8)], greys)
woods = [(90, 60, 30), (130, 90, 45), (170, 120, 60)]
bmp4("crate.bmp", 8, 8, [[(x + y) % 3 for x in range(8)] for y in range(8)], woods)
png("glass.png", 4, 4, [[c for x in range(4) for c in (150, 200, 230)] for y in range(4)])

# The car's collision zones: 256 palette entries (a zone each), texel k of the
# 4 x 4 map holding zone k.
zones = [(k, (k * 37) % 256, 255 - k) for k in range(256)]
png("zones.png", 4, 4, [[4 * y + x for x in range(4)] for y in range(4)], zones)
# The door's deform and damage maps, square and paletted.
dents = [(0, 0, 0), (64, 64, 64), (128, 128, 128), (255, 255, 255)]
png("door_deform.png", 8, 8, [[min(3, abs(x - 4) + abs(y - 4)) // 2 for x in range(8)] for y in range(8)], dents)
scars = [(255, 255, 255), (200, 120, 40), (90, 40, 10)]
tga_rle("door_damage.tga", 8, 8, [[(x * y) % 3 for x in range(8)] for y in range(8)], scars)
