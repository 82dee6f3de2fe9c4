#!/usr/bin/env python3
"""Our metafiles drawn by a reader we did not write (emf2svg for EMF, libwmf's wmf2svg
for placeable WMF, then librsvg) against plandra's own picture of the same view: every
inked pixel outside the texts must have ink within a small distance in the other
picture, both ways.

Usage: check_metafile_reader.py emf|wmf PLANDRA WORKDIR DRAWING...
Exits 77 (skipped) when the reader is not installed."""
import os
import shutil
import struct
import subprocess
import sys
import zlib

SIZE = (800, 600)
REACH = 2          # pixels an inked pixel may stand off its partner
AT_LEAST = 0.95    # share of inked pixels that must find a partner (dashes are the reader's own)


def read_png(name):
    """The pixels of an 8-bit, non-interlaced RGB or RGBA PNG as rows of (r, g, b, a)."""
    with open(name, 'rb') as f:
        data = f.read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        raise ValueError(f'{name}: not a PNG')
    pos, idat, header = 8, b'', None
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            header = struct.unpack('>IIBBBBB', body)
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    channels = {2: 3, 6: 4}.get(colour)
    if depth != 8 or channels is None or interlace:
        raise ValueError(f'{name}: only 8-bit RGB or RGBA without interlacing is read')
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                predictor = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                line[i] = (line[i] + predictor) & 0xFF
        rows.append(line)
        previous = line
    return width, height, channels, rows


def ink(name, boxes):
    """The inked pixels (not near white, not transparent) outside the text boxes."""
    width, height, channels, rows = read_png(name)
    inked = set()
    for y, line in enumerate(rows):
        for x in range(width):
            r, g, b = line[x * channels:x * channels + 3]
            alpha = line[x * channels + 3] if channels == 4 else 255
            if alpha >= 128 and min(r, g, b) < 200:
                inked.add((x, y))
    return {p for p in inked
            if not any(l - 2 <= p[0] <= r + 2 and t - 2 <= p[1] <= b + 2 for l, t, r, b in boxes)}


def fitted(pixels, onto):
    """`pixels` moved and scaled so that their ink box covers the ink box of `onto`:
    libwmf sizes a picture by what is drawn in it, not by the placeable header."""
    if not pixels or not onto:
        return pixels
    def box(points):
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        return min(xs), min(ys), max(xs), max(ys)
    l, t, r, b = box(pixels)
    L, T, R, B = box(onto)
    sx, sy = (R - L) / max(r - l, 1), (B - T) / max(b - t, 1)
    return {(round(L + (x - l) * sx), round(T + (y - t) * sy)) for x, y in pixels}


def matched_share(pixels, other):
    if not pixels:
        return 1.0
    found = sum(1 for x, y in pixels
                if any((x + dx, y + dy) in other
                       for dx in range(-REACH, REACH + 1) for dy in range(-REACH, REACH + 1)))
    return found / len(pixels)


def main():
    kind, plandra, workdir, drawings = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    reader = {'emf': 'emf2svg-conv', 'wmf': 'wmf2svg'}[kind]
    missing = [tool for tool in (reader, 'rsvg-convert') if shutil.which(tool) is None]
    if missing:
        print(f'skipped: {" and ".join(missing)} not installed (scripts/bootstrap test installs '
              'emf2svg, libwmf-bin and librsvg2-bin)')
        return 77
    os.makedirs(workdir, exist_ok=True)
    size = f'{SIZE[0]}x{SIZE[1]}'
    failures = 0
    for drawing in drawings:
        stem = os.path.join(workdir, os.path.splitext(os.path.basename(drawing))[0])
        subprocess.run([plandra, 'render', drawing, '-o', stem + '.png', '--size', size,
                        '--text-boxes', stem + '.boxes'], check=True)
        metafile = f'{stem}.{kind}'
        subprocess.run([plandra, 'export', drawing, '-o', metafile, '--size', size], check=True)
        if kind == 'emf':
            subprocess.run([reader, '-i', metafile, '-o', stem + '.svg'], check=True)
        else:
            subprocess.run([reader, '-o', stem + '.svg', metafile], check=True)
        # The reader's own size for the picture, brought to the surface's.
        subprocess.run(['rsvg-convert', '-w', str(SIZE[0]), '-h', str(SIZE[1]), stem + '.svg',
                        '-o', metafile + '.png'], check=True)
        failures += not matches(os.path.basename(drawing), stem, metafile + '.png',
                                fit=kind == 'wmf')
    return 1 if failures else 0


def matches(name, stem, theirs_png, fit=False):
    """Whether the ink of STEM.png and of `theirs_png` outside the boxes of STEM.boxes
    matches both ways; prints the figures. `fit` brings theirs onto ours first."""
    with open(stem + '.boxes') as f:
        boxes = [tuple(map(int, line.split())) for line in f if line.strip()]
    ours, theirs = ink(stem + '.png', boxes), ink(theirs_png, boxes)
    if fit:
        theirs = fitted(theirs, ours)
    there, back = matched_share(ours, theirs), matched_share(theirs, ours)
    verdict = 'ok' if min(there, back) >= AT_LEAST and ours else 'DIFFERENT'
    print(f'{name}: {len(ours)} inked pixels, {there:.3f} found in the other picture, '
          f'{back:.3f} of its {len(theirs)} found in ours: {verdict}')
    return verdict == 'ok'


if __name__ == '__main__':
    sys.exit(main())
