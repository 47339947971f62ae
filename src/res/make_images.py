#!/usr/bin/env python3
"""Draws Nimbra's toolbar pictures and about-box logo into images/*.png, and the application
icon at every size of the desktop's icon theme into icons/ (PNG files and one SVG).

Each picture is a stack of filled shapes painted back to front and sampled 4 x 4 times per
pixel, which gives smooth edges without a drawing library. Run it again after changing a shape;
the build only compiles the files in and installs the icons.
"""
import math
import os
import struct
import zlib

SAMPLES = 4


def num(value):
    return f"{round(value, 3):g}"


def drawable(inside, svg):
    """Gives an inside test its SVG element, a function of the shape's colour."""
    inside.svg = svg
    return inside


def rect(x0, y0, x1, y1):
    return drawable(lambda x, y: x0 <= x < x1 and y0 <= y < y1,
                    lambda fill: f'<rect x="{num(x0)}" y="{num(y0)}" width="{num(x1 - x0)}" '
                                 f'height="{num(y1 - y0)}" fill="{fill}"/>')


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r0, r1, start=0.0, end=360.0):
    """An annulus between two radii, from angle start to end (degrees, counter-clockwise)."""
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if not r0 <= d <= r1:
            return False
        if end - start >= 360:
            return True
        a = math.degrees(math.atan2(cy - y, x - cx)) % 360
        return (a - start) % 360 <= (end - start) % 360
    return inside


def segment(x0, y0, x1, y1, width):
    def inside(x, y):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= width / 2
    # A line with round caps covers exactly the points within half its width of the segment.
    return drawable(inside, lambda fill: f'<line x1="{num(x0)}" y1="{num(y0)}" x2="{num(x1)}" '
                                         f'y2="{num(y1)}" stroke="{fill}" '
                                         f'stroke-width="{num(width)}" stroke-linecap="round"/>')


def polygon(*points):
    def inside(x, y):
        result = False
        n = len(points)
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                result = not result
        return result
    corners = " ".join(f"{num(x)},{num(y)}" for x, y in points)
    return drawable(inside, lambda fill: f'<polygon points="{corners}" fill="{fill}"/>')


def framed(x0, y0, x1, y1, face, edge):
    """A box with a one-pixel outline."""
    return [(rect(x0, y0, x1, y1), edge), (rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1), face)]


def render(width, height, layers, scale=1):
    """Pixels of layers drawn at scale pixels per unit of their coordinates."""
    rows = []
    for py in range(height):
        row = bytearray()
        for px in range(width):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / scale
                    y = (py + (sy + 0.5) / SAMPLES) / scale
                    colour = None
                    for shape, c in layers:
                        if shape(x, y):
                            colour = c
                    if colour:
                        for i in range(3):
                            acc[i] += colour[i]
                        acc[3] += 255
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            if alpha == 0:
                row += bytes(4)
            else:
                cover = acc[3] / 255
                row += bytes([round(acc[0] / cover), round(acc[1] / cover),
                              round(acc[2] / cover), round(alpha)])
        rows.append(bytes(row))
    return rows


def write_png(path, width, height, rows, alpha=True):
    """RGBA rows; without alpha the picture is stored with 24 bits per pixel."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    if not alpha:
        rows = [bytes(b for i, b in enumerate(r) if i % 4 != 3) for r in rows]
    raw = b"".join(b"\x00" + r for r in rows)
    png = (b"\x89PNG\r\n\x1a\n"
           + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(raw, 9))
           + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(png)


def write_svg(path, size, layers):
    """The layers as vector shapes on a size x size canvas, for the scalable icon."""
    elements = []
    for shape, colour in layers:
        if not hasattr(shape, "svg"):
            raise ValueError("a shape of the icon has no SVG form")
        elements.append("  " + shape.svg("#%02x%02x%02x" % colour))
    with open(path, "w", encoding="utf-8") as f:
        f.write(f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" '
                f'viewBox="0 0 {size} {size}">\n' + "\n".join(elements) + "\n</svg>\n")


BLACK = (32, 32, 32)
GREY = (128, 128, 128)
LIGHT = (224, 224, 224)
WHITE = (255, 255, 255)
PAPER = (250, 250, 245)
BLUE = (40, 90, 190)
SKY = (110, 160, 230)
GREEN = (40, 150, 60)
BROWN = (150, 100, 50)
STEEL = (90, 100, 115)

PICTURES = {
    # Two arrows chasing each other round a circle.
    "refresh": (16, [
        (ring(8, 8, 4, 6.4, 20, 160), GREEN),
        (ring(8, 8, 4, 6.4, 200, 340), GREEN),
        (polygon((1.2, 6.8), (7.4, 6.8), (4.3, 10.8)), GREEN),
        (polygon((14.8, 9.2), (8.6, 9.2), (11.7, 5.2)), GREEN),
    ]),
    # Three sliders, as in a settings panel.
    "options": (16, [
        (segment(2, 3.5, 14, 3.5, 1.2), GREY),
        (segment(2, 8, 14, 8, 1.2), GREY),
        (segment(2, 12.5, 14, 12.5, 1.2), GREY),
        (rect(4, 1.5, 7, 5.5), BLUE),
        (rect(9.5, 6, 12.5, 10), BLUE),
        (rect(5.5, 10.5, 8.5, 14.5), BLUE),
    ]),
    # Open scissors: two blades meeting at a pivot, two finger rings below.
    "cut": (16, [
        (segment(4.5, 1, 10, 10, 1.6), STEEL),
        (segment(11.5, 1, 6, 10, 1.6), STEEL),
        (ring(4.5, 12, 1.4, 2.7), BLUE),
        (ring(11.5, 12, 1.4, 2.7), BLUE),
    ]),
    # Two overlapping sheets with lines of text.
    "copy": (16, [
        *framed(1, 1, 10, 12, PAPER, GREY),
        (rect(3, 4, 8, 5), GREY), (rect(3, 6, 8, 7), GREY),
        *framed(6, 4, 15, 15, PAPER, BLACK),
        (rect(8, 7, 13, 8), BLUE), (rect(8, 9, 13, 10), BLUE), (rect(8, 11, 12, 12), BLUE),
    ]),
    # A clipboard with a sheet on it.
    "paste": (16, [
        *framed(1, 2, 12, 15, (205, 160, 100), BROWN),
        *framed(4, 1, 9, 4, LIGHT, BLACK),
        *framed(6, 6, 15, 15, PAPER, BLACK),
        (rect(8, 9, 13, 10), BLUE), (rect(8, 11, 13, 12), BLUE),
    ]),
    # A printer with paper in and out.
    "print": (16, [
        *framed(4, 1, 12, 7, PAPER, GREY),
        *framed(1, 6, 15, 12, LIGHT, BLACK),
        (rect(11, 8, 13, 9), GREEN),
        *framed(4, 10, 12, 15, PAPER, BLACK),
        (rect(6, 12, 10, 13), GREY),
    ]),
    # An "i" in a blue disc.
    "about": (16, [
        (circle(8, 8, 7.3), BLUE),
        (circle(8, 4.6, 1.3), WHITE),
        (rect(7, 7, 9, 12.5), WHITE),
        (rect(6, 7, 9, 8), WHITE),
        (rect(6, 11.5, 10, 12.5), WHITE),
    ]),
}

# The application icon: a database drum with a pulse line across it, designed on 32 x 32 units
# and drawn at the sizes of the hicolor icon theme.
ICON_UNITS = 32
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
ICON = [
    (rect(5, 7, 27, 25), BLUE),
    (polygon(*[(16 + 11 * math.cos(math.radians(a)), 25 + 3.5 * math.sin(math.radians(a)))
               for a in range(0, 181, 10)]), BLUE),
    (polygon(*[(16 + 11 * math.cos(math.radians(a)), 7 + 3.5 * math.sin(math.radians(a)))
               for a in range(0, 360, 10)]), SKY),
    (segment(5, 18, 11, 18, 2), WHITE),
    (segment(11, 18, 14, 12, 2), WHITE),
    (segment(14, 12, 18, 23, 2), WHITE),
    (segment(18, 23, 21, 18, 2), WHITE),
    (segment(21, 18, 27, 18, 2), WHITE),
]


# The about-box logo: a larger drum and the lower-case word "nimbra" built from stems, rings and
# arcs, on white. Letters take their left edge and give back their shapes and width.
STROKE = 4.5
X_TOP, BASE, ASCENT = 31, 51, 13
INK = (30, 60, 130)


def stem(x, top=X_TOP):
    return rect(x, top, x + STROKE, BASE)


def humps(x, count, pitch):
    """Stems pitch apart joined by round tops, as in n and m."""
    r = (pitch + STROKE) / 2
    shapes = [stem(x)]
    for k in range(count):
        left = x + k * pitch
        shapes += [ring(left + r, X_TOP + r, r - STROKE, r, 0, 180), stem(left + pitch, X_TOP + r)]
    return shapes, count * pitch + STROKE


def bowl(x):
    r = (BASE - X_TOP) / 2
    return ring(x + r, X_TOP + r, r - STROKE, r)


def letter(ch, x):
    if ch == "n":
        return humps(x, 1, 12)
    if ch == "m":
        return humps(x, 2, 12)
    if ch == "i":
        return [stem(x), circle(x + STROKE / 2, X_TOP - 6, 2.8)], STROKE
    if ch == "b":
        return [stem(x, ASCENT), bowl(x)], BASE - X_TOP
    if ch == "r":
        return [stem(x), ring(x + 8, X_TOP + 8, 8 - STROKE, 8, 55, 180)], 12.6
    if ch == "a":
        width = BASE - X_TOP
        return [bowl(x), stem(x + width - STROKE)], width
    raise ValueError(ch)


def word(text, x, gap):
    shapes = []
    for ch in text:
        parts, width = letter(ch, x)
        shapes += parts
        x += width + gap
    return [(s, INK) for s in shapes], x - gap


def logo():
    drum_x, drum_r, top, bottom, ry = 25, 17, 19, 49, 5.5
    layers = [
        (rect(0, 0, 180, 70), WHITE),
        (rect(drum_x - drum_r, top, drum_x + drum_r, bottom), BLUE),
        (polygon(*[(drum_x + drum_r * math.cos(math.radians(a)),
                    bottom + ry * math.sin(math.radians(a))) for a in range(0, 181, 10)]), BLUE),
        (polygon(*[(drum_x + drum_r * math.cos(math.radians(a)),
                    top + ry * math.sin(math.radians(a))) for a in range(0, 360, 10)]), SKY),
        (segment(8, 36, 16, 36, 3), WHITE),
        (segment(16, 36, 21, 27, 3), WHITE),
        (segment(21, 27, 28, 45, 3), WHITE),
        (segment(28, 45, 33, 36, 3), WHITE),
        (segment(33, 36, 42, 36, 3), WHITE),
    ]
    letters, end = word("nimbra", 54, 3.5)
    layers += letters
    layers.append((rect(54, 56, end, 57.5), SKY))
    return layers


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = os.path.join(here, "images")
    os.makedirs(folder, exist_ok=True)
    for name, (size, layers) in PICTURES.items():
        write_png(os.path.join(folder, name + ".png"), size, size, render(size, size, layers))
    # Opaque, 24 bits per pixel.
    write_png(os.path.join(folder, "logo.png"), 180, 70, render(180, 70, logo()), alpha=False)
    icons = os.path.join(here, "icons")
    os.makedirs(icons, exist_ok=True)
    for size in ICON_SIZES:
        write_png(os.path.join(icons, f"nimbra-{size}.png"), size, size,
                  render(size, size, ICON, size / ICON_UNITS))
    write_svg(os.path.join(icons, "nimbra.svg"), ICON_UNITS, ICON)


if __name__ == "__main__":
    main()
