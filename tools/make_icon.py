#!/usr/bin/env python3
"""Renders ZOLM's icon drawing (res/zolm.svg) into a Windows icon file.

The images are the sizes Windows asks for in the notification area and in
Explorer at 100 to 300 % scaling: 16, 20, 24, 32, 40 and 48 pixels, 32 bits
with alpha; and 16 and 32 pixels in the standard 16 colours (4 bits per pixel)
for displays without alpha. Each is a BITMAPINFOHEADER image with its AND mask,
as every Windows since 95 reads them; but the two largest, which only Windows
Vista and later ask for, are PNG images, a tenth of the size in the program.
The output depends on the drawing alone.

Usage: make_icon.py DRAWING.svg OUTPUT.ico
"""
import math
import struct
import sys
import xml.etree.ElementTree as ElementTree
import zlib

TRUE_COLOUR_SIZES = [48, 40, 32, 24, 20, 16]
PNG_SIZES = [48, 40]
SIXTEEN_COLOUR_SIZES = [32, 16]
SAMPLES = 6  # per pixel and axis, for smooth edges

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]


def colour(text):
    if text is None or text == "none":
        return None
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def segment_distance(x, y, a, b):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    length = dx * dx + dy * dy
    t = 0.0 if length == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


class Shape:
    """One element: tells whether a point lies in its fill or on its stroke."""

    def __init__(self, element):
        self.fill = colour(element.get("fill", "#000000"))
        self.stroke = colour(element.get("stroke"))
        self.half_width = float(element.get("stroke-width", "1")) / 2
        tag = element.tag.split("}")[-1]
        number = lambda name: float(element.get(name))
        if tag == "circle":
            self.kind, self.centre, self.radii = "ellipse", (number("cx"), number("cy")), (number("r"),) * 2
        elif tag == "ellipse":
            self.kind, self.centre, self.radii = "ellipse", (number("cx"), number("cy")), (number("rx"), number("ry"))
        elif tag in ("polygon", "polyline"):
            self.kind = tag
            self.points = [tuple(float(v) for v in pair.split(",")) for pair in element.get("points").split()]
        else:
            raise ValueError("unsupported element <%s>" % tag)

    def boundary_distance(self, x, y):
        """Signed distance to the outline: negative inside."""
        if self.kind == "ellipse":
            (cx, cy), (rx, ry) = self.centre, self.radii
            u, v = (x - cx) / rx, (y - cy) / ry
            gradient = math.hypot(2 * u / rx, 2 * v / ry)
            value = u * u + v * v - 1
            return value / gradient if gradient > 0 else -min(rx, ry)
        edges = list(zip(self.points, self.points[1:]))
        if self.kind == "polygon":
            edges.append((self.points[-1], self.points[0]))
        distance = min(segment_distance(x, y, a, b) for a, b in edges)
        if self.kind == "polygon" and self.contains(x, y):
            return -distance
        return distance

    def contains(self, x, y):
        inside = False
        points = self.points
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return inside

    def colour_at(self, x, y):
        distance = self.boundary_distance(x, y)
        if self.stroke is not None and abs(distance) <= self.half_width:
            return self.stroke
        if self.fill is not None and self.kind != "polyline" and distance <= 0:
            return self.fill
        return None


def read_drawing(path):
    root = ElementTree.parse(path).getroot()
    left, top, width, height = (float(v) for v in root.get("viewBox").split())
    shapes = [Shape(element) for element in root if element.tag.split("}")[-1] != "title"]
    return (left, top, width, height), shapes


def render(drawing, size):
    """Rows of (red, green, blue, alpha), top row first."""
    (left, top, width, height), shapes = drawing
    rows = []
    for row in range(size):
        pixels = []
        for column in range(size):
            red = green = blue = covered = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = left + (column + (sx + 0.5) / SAMPLES) * width / size
                    y = top + (row + (sy + 0.5) / SAMPLES) * height / size
                    painted = None
                    for shape in shapes:
                        painted = shape.colour_at(x, y) or painted
                    if painted is not None:
                        red, green, blue, covered = red + painted[0], green + painted[1], blue + painted[2], covered + 1
            if covered == 0:
                pixels.append((0, 0, 0, 0))
            else:
                pixels.append((round(red / covered), round(green / covered), round(blue / covered),
                               round(255 * covered / SAMPLES ** 2)))
        rows.append(pixels)
    return rows


def mask_bits(rows):
    """AND mask, bottom row first, 1 = transparent, rows padded to 4 bytes."""
    size = len(rows)
    stride = (size + 31) // 32 * 4
    data = b""
    for pixels in reversed(rows):
        bits = bytearray(stride)
        for column, (_, _, _, alpha) in enumerate(pixels):
            if alpha < 128:
                bits[column // 8] |= 0x80 >> (column % 8)
        data += bytes(bits)
    return data


def header(size, bits, image_bytes, colours):
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, image_bytes, 0, 0, colours, 0)


def true_colour_image(rows):
    size = len(rows)
    colours = b"".join(struct.pack("<BBBB", b, g, r, a) for pixels in reversed(rows) for (r, g, b, a) in pixels)
    mask = mask_bits(rows)
    return header(size, 32, len(colours) + len(mask), 0) + colours + mask


def png_image(rows):
    size = len(rows)
    raw = b"".join(b"\0" + bytes(v for pixel in pixels for v in pixel) for pixels in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def nearest_palette_index(red, green, blue):
    return min(range(16), key=lambda i: (PALETTE[i][0] - red) ** 2 + (PALETTE[i][1] - green) ** 2 +
               (PALETTE[i][2] - blue) ** 2)


def sixteen_colour_image(rows):
    size = len(rows)
    data = b""
    for pixels in reversed(rows):
        indices = [nearest_palette_index(r, g, b) if a >= 128 else 0 for (r, g, b, a) in pixels]
        row = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2))
        data += row + b"\0" * (-len(row) % 4)
    mask = mask_bits(rows)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    return header(size, 4, len(data) + len(mask), 16) + palette + data + mask


def icon_file(drawing):
    renders = {size: render(drawing, size) for size in TRUE_COLOUR_SIZES}
    images = [(size, 0, 32, png_image(renders[size]) if size in PNG_SIZES else true_colour_image(renders[size]))
              for size in TRUE_COLOUR_SIZES]
    images += [(size, 16, 4, sixteen_colour_image(renders[size])) for size in SIXTEEN_COLOUR_SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, colours, bits, data in images:
        entries += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(data for _, _, _, data in images)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    data = icon_file(read_drawing(sys.argv[1]))
    with open(sys.argv[2], "wb") as out:
        out.write(data)


if __name__ == "__main__":
    main()
