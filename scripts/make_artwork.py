#!/usr/bin/env python3
"""Draws Lumatrove's artwork: the toolbar bitmaps (32 x 32, white is transparent) and the
icons (32 x 32 and 16 x 16, with alpha). Pure Python, so the pictures are reproducible on any
machine: run it again and the same bytes come out.

    scripts/make_artwork.py src/ui/res/art
"""
import math
import os
import struct
import sys
import zlib

SS = 4  # supersampling per axis


class Canvas:
    """An RGBA canvas drawn at SS x the final size and averaged down."""

    def __init__(self, size, unit=None):
        self.size = size
        self.n = size * SS
        # The drawings use a 32-unit square; a larger canvas maps it onto its pixels.
        self.k = (unit or size) / size
        self.px = [[(0, 0, 0, 0)] * self.n for _ in range(self.n)]

    def _blend(self, x, y, color):
        r, g, b, a = color
        if a >= 255:
            self.px[y][x] = (r, g, b, 255)
            return
        br, bg, bb, ba = self.px[y][x]
        fa = a / 255.0
        na = fa + ba / 255.0 * (1 - fa)
        if na <= 0:
            return
        mix = lambda c, d: (c * fa + d * (ba / 255.0) * (1 - fa)) / na
        self.px[y][x] = (mix(r, br), mix(g, bg), mix(b, bb), na * 255)

    def shape(self, inside, color):
        """Paints every subpixel whose centre (in final-pixel units) satisfies inside(x, y)."""
        for sy in range(self.n):
            y = (sy + 0.5) / SS * self.k
            for sx in range(self.n):
                x = (sx + 0.5) / SS * self.k
                if inside(x, y):
                    self._blend(sx, sy, color)

    def circle(self, cx, cy, r, color):
        self.shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color)

    def ring(self, cx, cy, r, w, color):
        self.shape(lambda x, y: (r - w) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color)

    def rect(self, x0, y0, x1, y1, color, radius=0.0):
        def inside(x, y):
            if not (x0 <= x <= x1 and y0 <= y <= y1):
                return False
            if radius <= 0:
                return True
            cx = min(max(x, x0 + radius), x1 - radius)
            cy = min(max(y, y0 + radius), y1 - radius)
            return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius
        self.shape(inside, color)

    def line(self, x0, y0, x1, y1, w, color):
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy or 1e-9

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
            px, py = x0 + t * dx, y0 + t * dy
            return (x - px) ** 2 + (y - py) ** 2 <= (w / 2.0) ** 2
        self.shape(inside, color)

    def polygon(self, points, color):
        def inside(x, y):
            odd = False
            j = len(points) - 1
            for i in range(len(points)):
                xi, yi = points[i]
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    odd = not odd
                j = i
            return odd
        self.shape(inside, color)

    def pixels(self):
        """Final RGBA pixels, top row first."""
        out = []
        for y in range(self.size):
            row = []
            for x in range(self.size):
                acc = [0.0, 0.0, 0.0, 0.0]
                for sy in range(SS):
                    for sx in range(SS):
                        r, g, b, a = self.px[y * SS + sy][x * SS + sx]
                        acc[0] += r * a
                        acc[1] += g * a
                        acc[2] += b * a
                        acc[3] += a
                alpha = acc[3] / (SS * SS)
                if acc[3] > 0:
                    row.append(tuple(int(round(acc[i] / acc[3])) for i in range(3)) +
                               (int(round(alpha)),))
                else:
                    row.append((0, 0, 0, 0))
            out.append(row)
        return out


def write_bmp(path, pixels):
    """A bitmap on white: what is transparent becomes pure white, the toolbar's mask. The
    pictures use few colours, so the bitmap holds a palette of exactly those (4 bits a pixel
    up to 16 colours, 8 up to 256): the same picture at a third of the 24-bit size."""
    size = len(pixels)
    flat = []
    for row in reversed(pixels):
        line = []
        for r, g, b, a in row:
            f = a / 255.0
            # Keep drawn pixels away from pure white, which the toolbar treats as transparent.
            cr, cg, cb = (int(round(c * f + 255 * (1 - f))) for c in (r, g, b))
            if a > 0 and (cr, cg, cb) == (255, 255, 255):
                cr, cg, cb = 254, 254, 254
            line.append((cb, cg, cr))
        flat.append(line)
    colours = []
    for line in flat:
        for c in line:
            if c not in colours:
                colours.append(c)
    bits = 4 if len(colours) <= 16 else 8 if len(colours) <= 256 else 24
    rows = []
    for line in flat:
        data = bytearray()
        if bits == 24:
            for c in line:
                data += bytes(c)
        elif bits == 8:
            data += bytes(colours.index(c) for c in line)
        else:
            for x in range(0, size, 2):
                high = colours.index(line[x])
                low = colours.index(line[x + 1]) if x + 1 < size else 0
                data.append(high << 4 | low)
        while len(data) % 4:
            data.append(0)
        rows.append(bytes(data))
    image = b"".join(rows)
    palette = b"" if bits == 24 else b"".join(bytes(c) + b"\0" for c in colours)
    used = 0 if bits == 24 else len(colours)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, bits, 0, len(image), 2835, 2835, used,
                       0)
    with open(path, "wb") as f:
        f.write(header + info + palette + image)


def icon_image(pixels):
    size = len(pixels)
    xor = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    and_mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_row)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask),
                         0, 0, 0, 0)
    return header + bytes(xor) + bytes(and_mask)


def png_image(pixels):
    """The picture as a PNG, as icons since Vista may hold their larger images: a fraction of
    the bitmap's size. (Windows XP cannot read it and takes the icon's 32 x 32 image.)"""
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    size = len(pixels)
    raw = bytearray()
    for row in pixels:
        raw.append(0)  # no filter
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def write_ico(path, images):
    entries = b""
    data = b""
    offset = 6 + 16 * len(images)
    for pixels in images:
        blob = png_image(pixels) if len(pixels) > 32 else icon_image(pixels)
        size = len(pixels)
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(blob), offset)
        data += blob
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)) + entries + data)


# ---- the pictures ----

BLUE = (30, 110, 200, 255)
DARK = (40, 50, 70, 255)
GREEN = (40, 160, 70, 255)
RED = (205, 50, 45, 255)
ORANGE = (240, 150, 30, 255)
GREY = (120, 130, 140, 255)
WHITE = (255, 255, 255, 255)


def lighter(c, amount=0.35):
    return tuple(int(c[i] + (255 - c[i]) * amount) for i in range(3)) + (c[3],)


def computer(c, screen):
    c.rect(4, 5, 28, 22, DARK, 2)
    c.rect(6.5, 7.5, 25.5, 19.5, screen, 1)
    c.rect(13, 22, 19, 26, DARK)
    c.rect(8, 26, 24, 28.5, DARK, 1)


def draw_apply(c, hot):
    computer(c, lighter(BLUE) if hot else BLUE)
    check = GREEN if not hot else lighter(GREEN, 0.2)
    c.circle(23, 22, 8, WHITE)
    c.circle(23, 22, 7, check)
    c.line(19.2, 22.2, 22, 25, 2.4, WHITE)
    c.line(22, 25, 26.8, 18.8, 2.4, WHITE)


def draw_view(c, hot):
    lens = lighter(BLUE, 0.55) if hot else lighter(BLUE, 0.7)
    c.circle(13, 13, 9.5, DARK)
    c.circle(13, 13, 7, lens)
    c.line(19.5, 19.5, 28, 28, 4.5, ORANGE if hot else DARK)
    c.line(9.5, 11, 12, 8.5, 1.6, WHITE)


def draw_add(c, hot):
    color = lighter(GREEN, 0.2) if hot else GREEN
    c.circle(16, 16, 13, color)
    c.rect(14, 8, 18, 24, WHITE, 1)
    c.rect(8, 14, 24, 18, WHITE, 1)


def draw_modify(c, hot):
    c.rect(5, 4, 22, 28, GREY, 1.5)
    c.rect(6.5, 5.5, 20.5, 26.5, WHITE, 1)
    for y in (10, 14, 18):
        c.line(9, y, 17, y, 1.4, GREY)
    body = ORANGE if hot else (230, 180, 40, 255)
    c.polygon([(27, 7), (30, 10), (17, 23), (14, 20)], body)
    c.polygon([(14, 20), (17, 23), (12.5, 25)], DARK)


def draw_remove(c, hot):
    color = lighter(RED, 0.15) if hot else RED
    c.circle(16, 16, 13, color)
    c.line(10.5, 10.5, 21.5, 21.5, 3.6, WHITE)
    c.line(21.5, 10.5, 10.5, 21.5, 3.6, WHITE)


def draw_donate(c, hot):
    color = (235, 70, 110, 255) if hot else (210, 45, 80, 255)
    c.circle(11, 12, 6.5, color)
    c.circle(21, 12, 6.5, color)
    c.polygon([(5, 14), (27, 14), (16, 27)], color)
    c.circle(12, 10, 2, lighter(color, 0.6))


def draw_about(c, hot):
    color = lighter(BLUE, 0.2) if hot else BLUE
    c.circle(16, 16, 13, color)
    c.circle(16, 9.5, 2.2, WHITE)
    c.rect(14, 13.5, 18, 24, WHITE, 1)


def draw_help(c, hot):
    color = lighter(GREEN, 0.2) if hot else (30, 140, 120, 255)
    c.circle(16, 16, 13, color)
    c.ring(16, 12.5, 5.5, 2.6, WHITE)
    c.rect(9, 12, 16, 17, color)  # open the left side of the hook
    c.rect(14.7, 16, 17.3, 20, WHITE)
    c.circle(16, 24, 1.9, WHITE)


def draw_spare(c, hot):
    color = lighter(GREY) if hot else GREY
    c.rect(6, 6, 26, 26, color, 4)


def draw_app(c, small=False):
    c.rect(1, 1, 31, 31, BLUE, 7)
    c.rect(2.5, 2.5, 29.5, 16, lighter(BLUE, 0.18), 6)
    # Two arrows: switching between profiles.
    c.line(8, 12, 22, 12, 3.2, WHITE)
    c.polygon([(21, 6.5), (27.5, 12), (21, 17.5)], WHITE)
    c.line(24, 21, 10, 21, 3.2, WHITE)
    c.polygon([(11, 15.5), (4.5, 21), (11, 26.5)], WHITE)
    if not small:
        c.circle(25.5, 25.5, 3, ORANGE)


def draw_row(c):
    c.rect(3, 6, 29, 26, (70, 90, 110, 255), 3)
    c.rect(5, 8, 27, 21, GREEN, 2)
    for x in (9, 13, 17, 21):
        c.rect(x, 22, x + 2, 26, (250, 200, 60, 255))
    c.line(9, 14.5, 23, 14.5, 2.5, WHITE)
    c.polygon([(20, 10.5), (25, 14.5), (20, 18.5)], WHITE)


def draw_row_live(c):
    """The row icon with a check mark: the profile Windows uses now."""
    draw_row(c)
    c.circle(23, 23, 8.5, WHITE)
    c.ring(23, 23, 8.5, 1.6, (30, 130, 50, 255))
    c.polygon([(18, 23), (20.5, 21), (22.5, 23.5), (27, 18), (29, 20), (22.5, 27.5)],
              (30, 130, 50, 255))


def draw_shortcut(c):
    draw_app(c, small=True)
    c.rect(0, 18, 14, 32, WHITE, 2)
    c.rect(1, 19, 13, 31, (250, 250, 250, 255), 2)
    c.line(4, 28, 10, 22, 2.2, DARK)
    c.polygon([(6.5, 21.5), (10.5, 21.5), (10.5, 25.5)], DARK)


def picture(draw, size=32, **kwargs):
    if size > 32:
        c = Canvas(size, 32)
        draw(c, **kwargs)
        return c.pixels()
    c = Canvas(size)
    if size != 32:
        # Draw at 32 and scale by drawing on a canvas with a coordinate transform.
        big = Canvas(32)
        draw(big, **kwargs)
        pixels = big.pixels()
        step = 32 // size
        out = []
        for y in range(size):
            row = []
            for x in range(size):
                acc = [0, 0, 0, 0]
                for dy in range(step):
                    for dx in range(step):
                        r, g, b, a = pixels[y * step + dy][x * step + dx]
                        acc = [acc[0] + r * a, acc[1] + g * a, acc[2] + b * a, acc[3] + a]
                if acc[3]:
                    row.append(tuple(acc[i] // acc[3] for i in range(3)) + (acc[3] // (step * step),))
                else:
                    row.append((0, 0, 0, 0))
            out.append(row)
        return out
    draw(c, **kwargs)
    return c.pixels()


TOOLBAR = {
    # id: (drawing, hot)
    171: (draw_apply, False), 188: (draw_apply, True),
    172: (draw_view, False), 186: (draw_view, True),
    175: (draw_add, False), 182: (draw_add, True),
    179: (draw_modify, False), 184: (draw_modify, True),
    176: (draw_remove, False), 183: (draw_remove, True),
    178: (draw_donate, False), 180: (draw_donate, True),
    173: (draw_about, False), 181: (draw_about, True),
    174: (draw_help, False), 185: (draw_help, True),
    177: (draw_spare, False), 187: (draw_spare, True),
}


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    for number, (draw, hot) in sorted(TOOLBAR.items()):
        write_bmp(os.path.join(out, "tool%d.bmp" % number), picture(draw, hot=hot))
    write_ico(os.path.join(out, "app128.ico"), [picture(draw_app), picture(draw_app, 16, small=True)])
    # The list's row icons also come at 48 x 48 (PNG) for 144 DPI; the list picks the nearest.
    for name, draw in (("row155.ico", draw_row), ("row_live156.ico", draw_row_live)):
        write_ico(os.path.join(out, name), [picture(draw), picture(draw, 16), picture(draw, 48)])
    write_ico(os.path.join(out, "shortcut207.ico"),
              [picture(draw_shortcut), picture(draw_shortcut, 16)])


if __name__ == "__main__":
    main()
