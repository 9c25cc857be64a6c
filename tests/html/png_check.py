#!/usr/bin/env python3
"""Checks that a PNG screenshot really shows the layout picture (its size, colours and role fills),
or with --fleet the fleet table (its header and a failed row standing out)."""
import struct
import sys
import zlib

# Role fills of the page (kept in step with the style sheet in picture_style.cpp).
ROLE_COLOURS = {
    "PBR": (0xC2, 0x41, 0x0C),
    "EFI/SYS": (0x1D, 0x4E, 0xD8),
    "OS": (0x15, 0x80, 0x3D),
    "Recovery": (0x7E, 0x22, 0xCE),
}

# Fills of the fleet table (kept in step with the style sheet in src/fleet/table_html.cpp).
FLEET_COLOURS = {
    "header": (0xF0, 0xF0, 0xF0),
    "failed row": (0xFD, 0xE8, 0xE8),
}


def read_png(path):
    """Width, height and rows of RGB(A) pixels of an 8-bit, non-interlaced PNG."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        raise ValueError(f"unexpected PNG format: depth {depth}, colour type {colour}")
    bpp = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * bpp
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        if kind == 1:
            for i in range(bpp, stride):
                line[i] = (line[i] + line[i - bpp]) & 0xFF
        elif kind == 2:
            line = bytearray((a + b) & 0xFF for a, b in zip(line, previous))
        elif kind == 3:
            for i in range(stride):
                left = line[i - bpp] if i >= bpp else 0
                line[i] = (line[i] + ((left + previous[i]) >> 1)) & 0xFF
        elif kind == 4:
            for i in range(stride):
                a = line[i - bpp] if i >= bpp else 0
                b = previous[i]
                c = previous[i - bpp] if i >= bpp else 0
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pred) & 0xFF
        rows.append(line)
        previous = line
    return width, height, bpp, rows


def main():
    fleet = sys.argv[1] == "--fleet"
    args = sys.argv[2:] if fleet else sys.argv[1:]
    path, width_wanted, height_wanted = args[0], int(args[1]), int(args[2])
    width, height, bpp, rows = read_png(path)
    if (width, height) != (width_wanted, height_wanted):
        sys.exit(f"{path}: {width}x{height}, expected {width_wanted}x{height_wanted}")
    counts = {}
    for line in rows:
        for x in range(0, len(line), bpp):
            pixel = (line[x], line[x + 1], line[x + 2])
            counts[pixel] = counts.get(pixel, 0) + 1
    background = max(counts, key=counts.get)
    drawn = width * height - counts[background]
    fills = FLEET_COLOURS if fleet else ROLE_COLOURS
    roles = [name for name, rgb in fills.items() if counts.get(rgb, 0) >= 500]
    print(f"{path}: {width}x{height}, {len(counts)} colours, {100 * drawn / (width * height):.1f}% "
          f"off the background, fills: {', '.join(roles) or 'none'}")
    if len(counts) < 32 or drawn < width * height // (50 if fleet else 10):
        sys.exit(f"{path}: looks blank")
    if fleet and len(roles) < len(FLEET_COLOURS):
        sys.exit(f"{path}: the table's header or its failed row is missing")
    if not fleet and len(roles) < 2:
        sys.exit(f"{path}: the partition bars are missing (fewer than two role colours)")


if __name__ == "__main__":
    main()
