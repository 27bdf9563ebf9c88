#!/usr/bin/env python3
"""Draws the plug-in's icon group "MAX": a shaded cube on a transparent
background, as 16x16 and 32x32 in 16 colours and 32x32 in 256 colours.
Writes max.ico next to this script. Run it again after changing the drawing."""
import os
import struct

# The standard 16-colour palette (RGB).
VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
         (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
         (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def inside(poly, x, y):
    """Even-odd test of the pixel centre against a polygon."""
    px, py = x + 0.5, y + 0.5
    hit = False
    for i in range(len(poly)):
        (x1, y1), (x2, y2) = poly[i], poly[i - 1]
        if (y1 > py) != (y2 > py) and px < (x2 - x1) * (py - y1) / (y2 - y1) + x1:
            hit = not hit
    return hit


def cube_faces(size):
    """Top, left and right faces of an isometric cube filling the square."""
    s = size / 32.0
    c = (16 * s, 16 * s)
    top = [(16 * s, 2 * s), (29 * s, 9 * s), (16 * s, 16 * s), (3 * s, 9 * s)]
    left = [(3 * s, 9 * s), c, (16 * s, 30 * s), (3 * s, 23 * s)]
    right = [c, (29 * s, 9 * s), (29 * s, 23 * s), (16 * s, 30 * s)]
    return top, left, right


def draw(size, shades):
    """Pixels as colour indices (None = transparent), top row first."""
    top, left, right = cube_faces(size)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            colour = None
            for face, shade in ((top, shades[0]), (left, shades[1]), (right, shades[2])):
                if inside(face, x, y):
                    colour = shade
            row.append(colour)
        rows.append(row)
    # Dark outline around the cube and along its front edge.
    outline = shades[3]
    edge = [[c for c in r] for r in rows]
    for y in range(size):
        for x in range(size):
            if rows[y][x] is None:
                continue
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                nx, ny = x + dx, y + dy
                if not (0 <= nx < size and 0 <= ny < size) or rows[ny][nx] is None:
                    edge[y][x] = outline
    for y in range(size // 2, size):
        edge[y][size // 2] = outline if rows[y][size // 2] is not None else None
    return edge


def bitmap(size, bits, palette, pixels):
    colours = len(palette)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0, 0, 0, 0, colours, 0)
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in palette)
    xor = b''
    stride = ((size * bits + 31) // 32) * 4
    for row in reversed(pixels):
        if bits == 4:
            line = bytearray()
            for x in range(0, size, 2):
                a = row[x] or 0
                b = row[x + 1] or 0
                line.append((a << 4) | b)
        else:
            line = bytearray((c or 0) for c in row)
        xor += bytes(line) + b'\0' * (stride - len(line))
    mask_stride = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(pixels):
        line = bytearray(mask_stride)
        for x, c in enumerate(row):
            if c is None:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    return header + pal + xor + mask


def palette256():
    pal = list(VGA16)
    # Blue ramp for the shaded faces, then grey fill to 256 entries.
    for i in range(16, 256):
        t = (i - 16) / 239.0
        pal.append((int(20 + 120 * t), int(60 + 150 * t), int(120 + 135 * t)))
    return pal


def main():
    images = []
    # 16 colours: top light cyan, left blue, right dark blue, black outline.
    for size in (16, 32):
        images.append((size, 16, 4, bitmap(size, 4, VGA16, draw(size, (14, 12, 4, 0)))))
    # 256 colours: smoother shades from the ramp.
    images.append((32, 0, 8, bitmap(32, 8, palette256(), draw(32, (240, 150, 70, 0)))))

    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b''
    data = b''
    for size, colours, bits, blob in images:
        entries += struct.pack('<BBBBHHII', size, size, colours, 0, 1, bits, len(blob), offset + len(data))
        data += blob
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'max.ico')
    with open(path, 'wb') as f:
        f.write(out + entries + data)


if __name__ == '__main__':
    main()
