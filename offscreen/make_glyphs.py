#!/usr/bin/env python3
"""Builds the renderer's 8x13 glyph table from Debian's fixed font (xfonts-base,
a PCF file, gzip-compressed) at build time.

    make_glyphs.py FONT.pcf.gz CONSOLE_FONT.psf.gz OUTPUT.cpp

The window draws its overlay with freeglut's 8 by 13 bitmap font, one glBitmap
per character. Traced in the window, every character from 1 to 255 is issued as
an 8 by 14 bitmap, origin (0, 3), advance (8, 0), with unpack alignment 1 and
rows from the bottom up; character 0 issues nothing, and the codes the font
lacks (127 to 159) are blank cells. The same fixed font ships
with X as misc-fixed 8x13 (ISO 8859-1): its cell is 8 wide, 11 above the
baseline and 2 below, so the 14-row bitmap holds it with one blank row at the
bottom. This script lays each of the font's glyphs into that cell.

freeglut's copy of the font is an earlier revision than Debian's: six printable
characters were redrawn since (the straight quotes, the asterisk, the hyphen
and the round B and D). Debian's console font Fixed13 (console-setup-linux,
made from the same X font, 8 wide and 13 tall, 11 rows above the baseline)
keeps those six as they were, so they are taken from it; it has changes of its
own elsewhere ($ and J), so nothing else is.
"""
import gzip
import struct
import sys

CELL_WIDTH = 8     # pixels; one byte a row
CELL_HEIGHT = 14   # rows of each glBitmap the window issues
CELL_ORIGIN_Y = 3  # rows of the cell below the baseline

# PCF table types and format bits (X11 PCF format).
PCF_METRICS = 1 << 2
PCF_BITMAPS = 1 << 3
PCF_BDF_ENCODINGS = 1 << 5
PCF_BYTE_MASK = 1 << 2  # most significant byte first
PCF_BIT_MASK = 1 << 3   # most significant bit first
PCF_COMPRESSED_METRICS = 0x100

# The characters misc-fixed redrew after freeglut took its copy.
EARLIER_GLYPHS = "'*-BD`"
# PSF version 1 (the console fonts), and the rows of Fixed13 above its baseline.
PSF1_MAGIC = b'\x36\x04'
PSF1_512_GLYPHS = 0x01
PSF1_UNICODE_TABLE = 0x02
CONSOLE_ASCENT = 11


class Table:
    def __init__(self, data, offset):
        self.data = data
        self.format, = struct.unpack_from('<I', data, offset)  # always little-endian
        self.pos = offset + 4
        self.endian = '>' if self.format & PCF_BYTE_MASK else '<'

    def read(self, kind):
        value, = struct.unpack_from(self.endian + kind, self.data, self.pos)
        self.pos += struct.calcsize(kind)
        return value


def read_tables(data):
    if data[:4] != b'\x01fcp':
        raise ValueError('not a PCF font')
    count, = struct.unpack_from('<I', data, 4)
    tables = {}
    for k in range(count):
        kind, _fmt, _size, offset = struct.unpack_from('<4I', data, 8 + 16 * k)
        tables[kind] = offset
    return tables


def read_metrics(data, offset):
    t = Table(data, offset)
    metrics = []
    if t.format & PCF_COMPRESSED_METRICS:
        for _ in range(t.read('h')):
            lsb, rsb, width, ascent, descent = (t.read('B') - 0x80 for _ in range(5))
            metrics.append((lsb, rsb, width, ascent, descent))
    else:
        for _ in range(t.read('i')):
            lsb, rsb, width, ascent, descent, _attributes = (t.read('h') for _ in range(6))
            metrics.append((lsb, rsb, width, ascent, descent))
    return metrics


def read_bitmaps(data, offset, metrics):
    """Each glyph's ink as rows of bits, top row first, leftmost pixel first."""
    t = Table(data, offset)
    count = t.read('i')
    offsets = [t.read('i') for _ in range(count)]
    t.pos += 16  # the four padded sizes of the bitmap data
    start = t.pos
    pad = 1 << (t.format & 3)
    msbit = bool(t.format & PCF_BIT_MASK)
    if (t.format >> 4) & 3:
        raise ValueError('scan units other than bytes are not read here')
    glyphs = []
    for index, (lsb, rsb, _width, ascent, descent) in enumerate(metrics):
        ink_width = rsb - lsb
        stride = (ink_width + 7) // 8
        stride = (stride + pad - 1) // pad * pad
        rows = []
        for r in range(ascent + descent):
            row_bytes = data[start + offsets[index] + r * stride:][:stride]
            bits = []
            for x in range(ink_width):
                byte = row_bytes[x // 8]
                shift = 7 - x % 8 if msbit else x % 8
                bits.append((byte >> shift) & 1)
            rows.append(bits)
        glyphs.append(rows)
    return glyphs


def read_encoding(data, offset):
    t = Table(data, offset)
    min2, max2, min1, max1, _default = (t.read('h') for _ in range(5))
    encoding = {}
    for byte1 in range(min1, max1 + 1):
        for byte2 in range(min2, max2 + 1):
            index = t.read('H')
            if index != 0xFFFF:
                encoding[byte1 * 256 + byte2] = index
    return encoding


def cell_rows(metrics, rows):
    """The glyph laid into the 8 by 14 cell: 14 bytes, bottom row first,
    most significant bit leftmost (glBitmap's default unpacking)."""
    lsb, _rsb, _width, ascent, _descent = metrics
    cell = [0] * CELL_HEIGHT
    for r, bits in enumerate(rows):
        y = CELL_ORIGIN_Y + ascent - 1 - r  # row index from the bottom of the cell
        for x, bit in enumerate(bits):
            cx = lsb + x
            if not bit:
                continue
            if not (0 <= y < CELL_HEIGHT and 0 <= cx < CELL_WIDTH):
                raise ValueError('a glyph reaches outside the 8 by 14 cell')
            cell[y] |= 0x80 >> cx
    return cell


def read_console_font(data):
    """A PSF 1 font with a Unicode table: {character: rows of bits, top first}."""
    if data[:2] != PSF1_MAGIC or not data[2] & PSF1_UNICODE_TABLE:
        raise ValueError('not a PSF 1 console font with a Unicode table')
    height = data[3]
    count = 512 if data[2] & PSF1_512_GLYPHS else 256
    table = 4 + count * height
    glyphs = {}
    index = 0
    for k in range(table, len(data) - 1, 2):
        if index == count:
            break
        value, = struct.unpack_from('<H', data, k)
        if value == 0xFFFF:
            index += 1
        elif value != 0xFFFE and value not in glyphs:
            rows = data[4 + index * height:4 + (index + 1) * height]
            glyphs[value] = [[(row >> (7 - x)) & 1 for x in range(CELL_WIDTH)] for row in rows]
    return glyphs


def console_cell(rows):
    """A console glyph laid into the cell as cell_rows lays a PCF glyph."""
    return cell_rows((0, CELL_WIDTH, CELL_WIDTH, CONSOLE_ASCENT, len(rows) - CONSOLE_ASCENT), rows)


def main():
    if len(sys.argv) != 4:
        sys.exit('usage: make_glyphs.py FONT.pcf.gz CONSOLE_FONT.psf.gz OUTPUT.cpp')
    with gzip.open(sys.argv[1], 'rb') as f:
        data = f.read()
    with gzip.open(sys.argv[2], 'rb') as f:
        console = read_console_font(f.read())
    tables = read_tables(data)
    metrics = read_metrics(data, tables[PCF_METRICS])
    glyphs = read_bitmaps(data, tables[PCF_BITMAPS], metrics)
    encoding = read_encoding(data, tables[PCF_BDF_ENCODINGS])
    for code, index in encoding.items():
        if code < 256 and metrics[index][2] != CELL_WIDTH:
            raise ValueError('character %d does not advance 8 pixels' % code)
    if not all(c in encoding for c in range(32, 127)):
        raise ValueError('the font lacks printable ASCII characters')
    if not all(ord(c) in console for c in EARLIER_GLYPHS + 'AEx_'):
        raise ValueError('the console font lacks printable ASCII characters')
    # Letters neither revision changed must agree: the two fonts are laid
    # into the cell alike.
    for c in 'AEx_':
        pcf = cell_rows(metrics[encoding[ord(c)]], glyphs[encoding[ord(c)]])
        if console_cell(console[ord(c)]) != pcf:
            raise ValueError("the console font's %r is not the fixed font's" % c)

    out = ['// Generated at build time by offscreen/make_glyphs.py from',
           '// %s' % sys.argv[1],
           '// and, for %s, %s. Do not edit.' % (EARLIER_GLYPHS, sys.argv[2]),
           '#include "offscreen/glyphs.h"',
           '',
           'const uint8_t kGlyphRows[256][kGlyphHeight] = {']
    for code in range(256):
        # A code the font has no glyph for (127 to 159) is a blank cell that
        # still advances, as in the window.
        if chr(code) in EARLIER_GLYPHS:
            cell = console_cell(console[code])
        elif code in encoding:
            cell = cell_rows(metrics[encoding[code]], glyphs[encoding[code]])
        else:
            cell = [0] * CELL_HEIGHT
        out.append('    {%s}, // %d' % (', '.join('0x%02x' % b for b in cell), code))
    out.append('};')
    with open(sys.argv[3], 'w') as f:
        f.write('\n'.join(out) + '\n')


if __name__ == '__main__':
    main()
