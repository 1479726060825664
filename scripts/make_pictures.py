#!/usr/bin/env python3
"""Draws the program's pictures and writes them as BMP files into res/:

  buttons.bmp   the seven 40x40 grid pictures side by side (16 colours)
  save.bmp      the Save speed button: enabled and disabled glyphs (64x32, 16 colours)
  exit.bmp      the Exit speed button: enabled and disabled glyphs (64x32, 16 colours)
  input.bmp     the registration-mode button (32x32, 16 colours)
  run.bmp       the launcher-mode button (32x32, 16 colours)
  find.bmp      the Find speed button: enabled and disabled glyphs (64x32, 16 colours)
  product.bmp   the product name (160x32, 16 colours)
  logo.bmp      the maker's logo (120x72, 16 colours)

The speed-button glyphs use teal (0, 128, 128) as their transparent
background, which is also the colour of their bottom-left pixel. Each file
is run-length encoded (BI_RLE4) when that is smaller, as all but input.bmp
are: the program reads them with ui::LoadPicture."""
import os
import struct
import sys

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
SILVER = (192, 192, 192)
GRAY = (128, 128, 128)
BLUE = (0, 0, 255)
NAVY = (0, 0, 128)
RED = (255, 0, 0)
MAROON = (128, 0, 0)
YELLOW = (255, 255, 0)
OLIVE = (128, 128, 0)
MAGENTA = (255, 0, 255)
PURPLE = (128, 0, 128)
GREEN = (0, 128, 0)
LIME = (0, 255, 0)
TEAL = (0, 128, 128)
CYAN = (0, 255, 255)

VGA = [BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER,
       GRAY, RED, LIME, YELLOW, BLUE, MAGENTA, CYAN, WHITE]


class Canvas:
    def __init__(self, w, h, fill):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def get(self, x, y):
        return self.px[y][x]

    def rect(self, x0, y0, x1, y1, c):
        """Fills x0..x1-1, y0..y1-1."""
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1):
            self.set(x, y0, c)
            self.set(x, y1 - 1, c)
        for y in range(y0, y1):
            self.set(x0, y, c)
            self.set(x1 - 1, y, c)

    def line(self, x0, y0, x1, y1, c, thick=1):
        steps = max(abs(x1 - x0), abs(y1 - y0)) or 1
        for i in range(steps + 1):
            x = x0 + (x1 - x0) * i / steps
            y = y0 + (y1 - y0) * i / steps
            for dy in range(thick):
                for dx in range(thick):
                    self.set(int(round(x)) + dx - thick // 2, int(round(y)) + dy - thick // 2, c)

    def mask_shadow(self, pred, dx, dy, c, background):
        """Paints c at every pixel offset by (dx, dy) from a pixel where pred
        holds, unless that pixel itself holds the symbol."""
        pts = [(x, y) for y in range(self.h) for x in range(self.w) if pred(self.get(x, y))]
        symbol = set(pts)
        for (x, y) in pts:
            for sx in range(1, dx + 1):
                for sy in range(1, dy + 1):
                    if (x + sx, y + sy) not in symbol and 0 <= x + sx < self.w and 0 <= y + sy < self.h:
                        if self.get(x + sx, y + sy) == background:
                            self.set(x + sx, y + sy, c)

    def blit(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                self.set(ox + x, oy + y, other.get(x, y))


def write_bmp(path, canvas, bits):
    w, h = canvas.w, canvas.h
    if bits == 24:
        rowlen = (w * 3 + 3) & ~3
        data = b''
        for y in reversed(range(h)):
            row = bytearray()
            for x in range(w):
                r, g, b = canvas.get(x, y)
                row += bytes((b, g, r))
            row += bytes(rowlen - len(row))
            data += bytes(row)
        palette = b''
        colours = 0
        compression = 0
    else:
        # Run-length encoded (BI_RLE4) where that is smaller, rows from the
        # bottom: each pair of bytes draws count pixels alternating between
        # the two colours of its second byte, so a run of one colour or of
        # two takes 2 bytes.
        data = bytearray()
        for y in reversed(range(h)):
            px = [VGA.index(canvas.get(x, y)) for x in range(w)]
            x = 0
            while x < w:
                a = px[x]
                b = px[x + 1] if x + 1 < w else a
                n = 1
                while x + n < w and n < 255 and px[x + n] == (a if n % 2 == 0 else b):
                    n += 1
                data += bytes((n, a << 4 | b))
                x += n
            data += bytes((0, 0)) if y > 0 else bytes((0, 1))
        data = bytes(data)
        compression = 2
        plain = ((w * 4 + 31) // 32) * 4 * h
        if len(data) >= plain:   # no smaller: the pixels as they are
            compression = 0
            rowlen = plain // h
            data = b''
            for y in reversed(range(h)):
                row = bytearray(rowlen)
                for x in range(w):
                    i = VGA.index(canvas.get(x, y))
                    row[x // 2] |= (i << 4) if x % 2 == 0 else i
                data += bytes(row)
        palette = b''.join(bytes((b, g, r, 0)) for (r, g, b) in VGA)
        colours = 16
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, bits, compression, len(data), 2835, 2835, colours, 0)
    offset = 14 + len(info) + len(palette)
    head = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(head + info + palette + data)


# ---- the seven 40x40 grid pictures -------------------------------------

def raised_plate(sunken):
    c = Canvas(40, 40, SILVER)
    light, dark = (GRAY, WHITE) if sunken else (WHITE, GRAY)
    # 2-px light edge along top and left
    c.rect(0, 0, 40, 2, light)
    c.rect(0, 0, 2, 40, light)
    # 2-px dark edge along bottom and right
    c.rect(0, 38, 40, 40, dark)
    c.rect(38, 0, 40, 40, dark)
    # the dark edge widens into a diagonal wedge of up to 7 px in the corner
    for y in range(31, 40):
        for x in range(31, 40):
            if x + y >= 40 + 31 - 7 + 2:
                c.set(x, y, dark)
    # keep the light corners crisp at top-right and bottom-left
    for i in range(2):
        c.set(39 - i, i, light if i == 0 else c.get(39 - i, i))
    return c


def symbol_picture(sunken, draw_symbol, colour):
    c = raised_plate(sunken)
    shift = 1 if sunken else 0
    sym = Canvas(40, 40, None)
    draw_symbol(sym, shift)
    # shadow 2-3 px down and to the right
    for y in range(40):
        for x in range(40):
            if sym.get(x, y) is not None:
                for (dx, dy) in ((2, 2), (3, 3), (2, 3), (3, 2)):
                    if 0 <= x + dx < 38 and 0 <= y + dy < 38 and sym.get(x + dx, y + dy) is None:
                        c.set(x + dx, y + dy, GRAY)
    for y in range(40):
        for x in range(40):
            if sym.get(x, y) is not None:
                c.set(x, y, sym.get(x, y))
    return c


def ring(sym, s):
    cx, cy = 19 + s, 19 + s
    for y in range(40):
        for x in range(40):
            d2 = (x - cx) ** 2 + (y - cy) ** 2
            if 3.5 ** 2 <= d2 <= 11.5 ** 2:
                sym.set(x, y, BLUE)


def cross(sym, s):
    sym.line(8 + s, 8 + s, 31 + s, 31 + s, RED, thick=5)
    sym.line(31 + s, 8 + s, 8 + s, 31 + s, RED, thick=5)
    # keep the strokes inside the 8..31 box
    for y in range(40):
        for x in range(40):
            if not (6 + s <= x <= 33 + s and 6 + s <= y <= 33 + s):
                sym.set(x, y, None)


def bar(sym, s):
    for y in range(17 + s, 23 + s):
        for x in range(7 + s, 30 + s):
            sym.set(x, y, YELLOW)


def go_picture():
    c = Canvas(40, 40, SILVER)
    # etched frame: a gray outline 2 px inside the edge, a white one offset by (1, 1)
    c.frame(3, 3, 38, 38, WHITE)
    c.frame(2, 2, 37, 37, GRAY)
    # red triangle pointing down: top edge y 21..22 from x 8 to 31, apex near (19, 33)
    for y in range(21, 34):
        t = (y - 21) / 12.0
        x0 = 8 + t * (19 - 8)
        x1 = 31 - t * (31 - 20)
        for x in range(int(round(x0)), int(round(x1)) + 1):
            c.set(x, y, RED)
    # the letters GO! in thin black strokes above it
    c.line(13, 7, 9, 7, BLACK)
    c.line(8, 8, 8, 16, BLACK)
    c.line(9, 17, 13, 17, BLACK)
    c.line(14, 16, 14, 12, BLACK)
    c.line(14, 12, 11, 12, BLACK)
    c.line(18, 7, 22, 7, BLACK)
    c.line(23, 8, 23, 16, BLACK)
    c.line(22, 17, 18, 17, BLACK)
    c.line(17, 16, 17, 8, BLACK)
    c.line(27, 7, 27, 14, BLACK)
    c.set(27, 17, BLACK)
    return c


def grid_pictures():
    pics = [
        symbol_picture(False, ring, BLUE), symbol_picture(True, ring, BLUE),
        symbol_picture(False, cross, RED), symbol_picture(True, cross, RED),
        symbol_picture(False, bar, YELLOW), symbol_picture(True, bar, YELLOW),
        go_picture(),
    ]
    strip = Canvas(280, 40, SILVER)
    for i, p in enumerate(pics):
        strip.blit(p, i * 40, 0)
    return strip


# ---- speed buttons -------------------------------------------------------

def disabled_cross():
    c = Canvas(32, 32, TEAL)
    c.line(7, 7, 24, 24, GRAY, thick=3)
    c.line(24, 7, 7, 24, GRAY, thick=3)
    c.line(8, 8, 25, 25, WHITE)
    return c


def save_glyph():
    c = Canvas(32, 32, TEAL)
    # grey box
    c.rect(4, 18, 28, 29, SILVER)
    c.frame(4, 18, 28, 29, BLACK)
    c.rect(5, 27, 27, 28, GRAY)
    c.rect(21, 21, 25, 24, RED)          # red lamp
    c.frame(20, 20, 26, 25, BLACK)
    # blue arrow pointing down onto it
    c.rect(13, 2, 19, 11, BLUE)
    for i in range(7):
        c.rect(9 + i, 11 + i, 23 - i, 12 + i, BLUE)
    c.frame(12, 1, 20, 11, NAVY)
    return c


def exit_glyph():
    c = Canvas(32, 32, TEAL)
    c.rect(8, 2, 25, 30, GRAY)           # frame
    c.rect(10, 4, 23, 30, SILVER)        # door
    c.frame(10, 4, 23, 30, BLACK)
    c.rect(19, 16, 22, 19, YELLOW)       # knob
    c.frame(18, 15, 22, 19, OLIVE)
    c.rect(4, 29, 29, 30, BLACK)
    return c


def input_glyph():
    c = Canvas(32, 32, TEAL)
    c.rect(3, 3, 29, 29, SILVER)
    c.frame(3, 3, 29, 29, GRAY)
    c.rect(9, 8, 13, 25, MAGENTA)
    c.rect(19, 8, 23, 25, MAGENTA)
    c.rect(13, 9, 14, 26, PURPLE)
    c.rect(23, 9, 24, 26, PURPLE)
    return c


def run_glyph():
    c = Canvas(32, 32, TEAL)
    c.rect(3, 3, 29, 29, SILVER)
    c.frame(3, 3, 29, 29, GRAY)
    c.rect(7, 11, 25, 21, MAGENTA)
    c.frame(7, 11, 25, 21, PURPLE)
    c.rect(8, 12, 24, 13, WHITE)
    return c


def find_glyph():
    c = Canvas(32, 32, TEAL)
    # a magnifying glass: a navy rim round white-and-cyan glass, its
    # handle to the lower right
    cx, cy = 12, 12
    for y in range(32):
        for x in range(32):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if d <= 80:
                c.set(x, y, NAVY)
            if d <= 42:
                c.set(x, y, CYAN)
            if d <= 42 and x + y < cx + cy - 3:
                c.set(x, y, WHITE)
    c.line(19, 19, 27, 27, OLIVE, thick=4)
    c.line(20, 19, 28, 27, YELLOW)
    return c


def pair(a, b):
    c = Canvas(64, 32, TEAL)
    c.blit(a, 0, 0)
    c.blit(b, 32, 0)
    return c


# ---- About box pictures ----------------------------------------------------

FONT = {  # 5x7 capitals
    'K': ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    'O': ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    'R': ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    'V': ["10001", "10001", "10001", "10001", "01010", "01010", "00100"],
    'A': ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    'N': ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    'E': ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    'W': ["10001", "10001", "10001", "10101", "10101", "11011", "10001"],
    'S': ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
}


def text(c, s, x, y, scale, colour, shadow=None):
    for ch in s:
        glyph = FONT.get(ch)
        if glyph:
            for gy, row in enumerate(glyph):
                for gx, bit in enumerate(row):
                    if bit == '1':
                        if shadow:
                            c.rect(x + gx * scale + 1, y + gy * scale + 1,
                                   x + gx * scale + scale + 1, y + gy * scale + scale + 1, shadow)
            for gy, row in enumerate(glyph):
                for gx, bit in enumerate(row):
                    if bit == '1':
                        c.rect(x + gx * scale, y + gy * scale,
                               x + gx * scale + scale, y + gy * scale + scale, colour)
        x += 6 * scale


def product_picture():
    c = Canvas(160, 32, SILVER)
    text(c, "KORVANE", 12, 5, 3, NAVY, shadow=GRAY)
    return c


def logo_picture():
    c = Canvas(120, 72, SILVER)
    # a stylised launch key: a raised plate with a ring, above the maker's name
    c.rect(40, 6, 80, 46, WHITE)
    c.rect(42, 8, 80, 46, GRAY)
    c.rect(42, 8, 78, 44, SILVER)
    for y in range(8, 44):
        for x in range(42, 78):
            d2 = (x - 60) ** 2 + (y - 26) ** 2
            if 5 ** 2 <= d2 <= 13 ** 2:
                c.set(x, y, BLUE)
    text(c, "KORVANE", 19, 52, 2, MAROON)
    return c


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', 'res')
    write_bmp(os.path.join(out, 'buttons.bmp'), grid_pictures(), 4)
    write_bmp(os.path.join(out, 'save.bmp'), pair(save_glyph(), disabled_cross()), 4)
    write_bmp(os.path.join(out, 'exit.bmp'), pair(exit_glyph(), disabled_cross()), 4)
    write_bmp(os.path.join(out, 'input.bmp'), input_glyph(), 4)
    write_bmp(os.path.join(out, 'run.bmp'), run_glyph(), 4)
    write_bmp(os.path.join(out, 'find.bmp'), pair(find_glyph(), disabled_cross()), 4)
    write_bmp(os.path.join(out, 'product.bmp'), product_picture(), 4)
    write_bmp(os.path.join(out, 'logo.bmp'), logo_picture(), 4)


if __name__ == '__main__':
    main()
