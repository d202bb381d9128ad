#!/usr/bin/env python3
"""Draws the program's icon and writes it as a Windows icon file: one 48 x 48 image, 32 bits per
pixel with alpha, 9662 bytes.

The picture: a blue list card with a header strip, three list rows each led by a green link light,
and an amber network plug below it. Edges are anti-aliased by 4 x 4 supersampling.

Usage: make_icon.py OUTPUT.ico
"""
import struct
import sys

SIZE = 48
SUB = 4  # samples per pixel along each axis


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def solid(r, g, b, a=255):
    return lambda x, y: (r, g, b, a)


def vertical_gradient(top, bottom, y0, y1):
    def colour(x, y):
        t = min(max((y - y0) / (y1 - y0), 0.0), 1.0)
        return tuple(round(top[i] + (bottom[i] - top[i]) * t) for i in range(4))
    return colour


def layers():
    """Shapes bottom to top: (inside(x, y), colour(x, y)) in pixel coordinates, y downwards."""
    card = (5, 3, 43, 40, 6)
    out = [
        # Soft shadow under the card.
        (rounded_rect(6, 5, 44, 42, 6), solid(0, 0, 0, 60)),
        # Border, then the card face inside it.
        (rounded_rect(*card), solid(0x1B, 0x3F, 0x73)),
        (rounded_rect(6, 4, 42, 39, 5),
         vertical_gradient((0x4A, 0x8C, 0xE0, 255), (0x2A, 0x5E, 0xA8, 255), 4, 39)),
        # Header strip with three small marks.
        (lambda x, y: rounded_rect(6, 4, 42, 39, 5)(x, y) and y <= 11,
         solid(0x1F, 0x4A, 0x86)),
    ]
    for cx in (11, 16, 21):
        out.append((rounded_rect(cx - 1.6, 6, cx + 1.6, 9.2, 1.6), solid(255, 255, 255, 200)))
    # List rows: a link light and a line of text.
    for y, length in ((17, 22), (24, 16), (31, 19)):
        out.append((rounded_rect(10, y - 2, 14, y + 2, 1), solid(0x5C, 0xD6, 0x7A)))
        out.append((rounded_rect(17, y - 1.4, 17 + length, y + 1.4, 1.4),
                    solid(0xEE, 0xF4, 0xFF, 235)))
    # Network plug hanging from the card, with its contacts.
    out.append((rounded_rect(17, 38, 31, 46, 1.5), solid(0xB0, 0x74, 0x12)))
    out.append((rounded_rect(18, 38, 30, 45, 1), solid(0xF2, 0xB1, 0x3B)))
    for px in (20, 23, 26, 29):
        out.append((rect(px - 0.5, 40, px + 0.5, 43), solid(0x8A, 0x5A, 0x0C)))
    return out


def render():
    """Rows top to bottom of straight-alpha (r, g, b, a)."""
    shapes = layers()
    image = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied sums
            for sy in range(SUB):
                for sx in range(SUB):
                    x = px + (sx + 0.5) / SUB
                    y = py + (sy + 0.5) / SUB
                    r = g = b = a = 0.0  # premultiplied, over transparent
                    for inside, colour in shapes:
                        if inside(x, y):
                            cr, cg, cb, ca = colour(x, y)
                            ca /= 255.0
                            r = cr * ca + r * (1 - ca)
                            g = cg * ca + g * (1 - ca)
                            b = cb * ca + b * (1 - ca)
                            a = ca + a * (1 - ca)
                    acc[0] += r
                    acc[1] += g
                    acc[2] += b
                    acc[3] += a
            n = SUB * SUB
            alpha = acc[3] / n
            if alpha <= 0:
                row.append((0, 0, 0, 0))
                continue
            row.append(tuple(min(255, round(acc[i] / n / alpha)) for i in range(3)) +
                       (round(alpha * 255),))
        image.append(row)
    return image


def icon_file(image):
    xor = bytearray()
    for row in reversed(image):  # the bitmap is stored bottom-up
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    and_row_bytes = ((SIZE + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(image):
        bits = bytearray(and_row_bytes)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:  # a set bit marks a transparent pixel for readers that ignore alpha
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(mask),
                       0, 0, 0, 0)
    image_bytes = info + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image_bytes), 6 + 16)
    return directory + entry + image_bytes


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_icon.py OUTPUT.ico")
    data = icon_file(render())
    assert len(data) == 9662, len(data)
    try:
        with open(sys.argv[1], "rb") as f:
            if f.read() == data:
                return
    except OSError:
        pass
    with open(sys.argv[1], "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
