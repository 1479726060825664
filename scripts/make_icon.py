#!/usr/bin/env python3
"""Draws the program icon (32x32 and 16x16, 16 colours) and writes res/Korvane.ico:
a yellow hand pressing down on a grey window with a blue title stripe and a red corner."""
import struct, sys

# The 16-colour VGA palette (B, G, R, 0).
PAL = [(0,0,0),(128,0,0),(0,128,0),(128,128,0),(0,0,128),(128,0,128),(0,128,128),(192,192,192),
       (128,128,128),(255,0,0),(0,255,0),(255,255,0),(0,0,255),(255,0,255),(0,255,255),(255,255,255)]
BLACK, GREY, DGREY, RED, YELLOW, BLUE, WHITE = 0, 7, 8, 9, 11, 12, 15
T = None  # transparent

def draw(n):
    px = [[T]*n for _ in range(n)]
    s = n / 32.0
    def rect(x0, y0, x1, y1, c):
        for y in range(int(y0*s), max(int(y0*s)+1, int(y1*s))):
            for x in range(int(x0*s), max(int(x0*s)+1, int(x1*s))):
                if 0 <= x < n and 0 <= y < n: px[y][x] = c
    # the window
    rect(2, 12, 30, 31, BLACK); rect(3, 13, 29, 30, GREY); rect(3, 13, 29, 17, BLUE)
    rect(25, 26, 29, 30, RED); rect(4, 19, 28, 20, WHITE)
    # the hand: a pointing finger pressing onto the window's top
    rect(12, 1, 17, 12, BLACK); rect(13, 2, 16, 12, YELLOW)          # finger
    rect(10, 6, 22, 11, BLACK); rect(11, 7, 21, 11, YELLOW)          # knuckles
    rect(16, 8, 17, 11, DGREY); rect(19, 8, 20, 11, DGREY)
    return px

def bmp(px):
    n = len(px)
    hdr = struct.pack('<IiiHHIIiiII', 40, n, n*2, 1, 4, 0, 0, 0, 0, 16, 0)
    pal = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in PAL)
    rowlen = ((n*4 + 31)//32)*4
    xor = b''
    for y in reversed(range(n)):
        row = bytearray(rowlen)
        for x in range(n):
            c = px[y][x] or 0
            row[x//2] |= (c << 4) if x % 2 == 0 else c
        xor += bytes(row)
    masklen = ((n + 31)//32)*4
    andm = b''
    for y in reversed(range(n)):
        row = bytearray(masklen)
        for x in range(n):
            if px[y][x] is None: row[x//8] |= 0x80 >> (x % 8)
        andm += bytes(row)
    return hdr + pal + xor + andm

imgs = [bmp(draw(32)), bmp(draw(16))]
out = struct.pack('<HHH', 0, 1, len(imgs))
off = 6 + 16*len(imgs)
for n, data in zip((32, 16), imgs):
    out += struct.pack('<BBBBHHII', n, n, 16, 0, 1, 4, len(data), off)
    off += len(data)
out += b''.join(imgs)
open(sys.argv[1] if len(sys.argv) > 1 else 'res/Korvane.ico', 'wb').write(out)
