#!/usr/bin/env python3
"""Our metafiles drawn by a reader we did not write against plandra's own picture of the
same view: every inked pixel outside the texts must have ink within a small distance in
the other picture, both ways. Readers: emf2svg (EMF to SVG, then librsvg), Inkscape and
LibreOffice (EMF to PNG), libwmf's wmf2svg (placeable WMF to SVG, then librsvg).

Usage: check_metafile_reader.py emf2svg|inkscape|soffice|libwmf PLANDRA WORKDIR DRAWING...
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
    return outside(inked, boxes)


def outside(pixels, boxes):
    return {p for p in pixels
            if not any(l - 2 <= p[0] <= r + 2 and t - 2 <= p[1] <= b + 2 for l, t, r, b in boxes)}


def ink_box(points):
    """The box of the inked pixels that have an inked neighbour: single dots (a reader's
    marks of the picture's corners, a lone SetPixel) do not stretch it."""
    kept = [(x, y) for x, y in points
            if any((x + dx, y + dy) in points for dx in (-1, 0, 1) for dy in (-1, 0, 1)
                   if dx or dy)] or list(points)
    xs, ys = [p[0] for p in kept], [p[1] for p in kept]
    return min(xs), min(ys), max(xs), max(ys)


def fitted(pixels, onto):
    """`pixels` moved and scaled so that their ink box covers the ink box of `onto`:
    libwmf sizes a picture by what is drawn in it, not by the placeable header."""
    if not pixels or not onto:
        return pixels
    l, t, r, b = ink_box(pixels)
    L, T, R, B = ink_box(onto)
    sx, sy = (R - L) / max(r - l, 1), (B - T) / max(b - t, 1)
    return {(round(L + (x - l) * sx), round(T + (y - t) * sy)) for x, y in pixels}


def from_page(pixels, page):
    """LibreOffice puts the picture on a page at 96 dpi, fitted into its 1 cm margins,
    centred and keeping its proportions: `pixels` brought back into the picture's own
    SIZE, less what lies outside it (LibreOffice does not clip to the frame)."""
    margin = 10 * 96 / 25.4
    scale = min((page[0] - 2 * margin) / SIZE[0], (page[1] - 2 * margin) / SIZE[1])
    left, top = (page[0] - SIZE[0] * scale) / 2, (page[1] - SIZE[1] * scale) / 2
    moved = {(round((x - left) / scale), round((y - top) / scale)) for x, y in pixels}
    return {(x, y) for x, y in moved if 0 <= x < SIZE[0] and 0 <= y < SIZE[1]}


def matched_share(pixels, other):
    if not pixels:
        return 1.0
    found = sum(1 for x, y in pixels
                if any((x + dx, y + dy) in other
                       for dx in range(-REACH, REACH + 1) for dy in range(-REACH, REACH + 1)))
    return found / len(pixels)


READERS = {  # the programs each reader needs
    'emf2svg': ('emf2svg-conv', 'rsvg-convert'),
    'inkscape': ('inkscape',),
    'soffice': ('soffice',),
    'libwmf': ('wmf2svg', 'rsvg-convert'),
}


def main():
    reader, plandra, workdir, drawings = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    missing = [tool for tool in READERS[reader] if shutil.which(tool) is None]
    if missing:
        print(f'skipped: {" and ".join(missing)} not installed (scripts/bootstrap test installs '
              'emf2svg, inkscape, libreoffice-draw-nogui, libwmf-bin and librsvg2-bin)')
        return 77
    kind = 'wmf' if reader == 'libwmf' else 'emf'
    # The metafiles in a folder of their own: the batch readers write NAME.png beside them.
    metafiles = os.path.join(workdir, 'metafiles')
    os.makedirs(metafiles, exist_ok=True)
    size = f'{SIZE[0]}x{SIZE[1]}'
    stems = []
    for drawing in drawings:
        name = os.path.splitext(os.path.basename(drawing))[0]
        stem = os.path.join(workdir, name)
        subprocess.run([plandra, 'render', drawing, '-o', stem + '.png', '--size', size,
                        '--text-boxes', stem + '.boxes'], check=True)
        metafile = os.path.join(metafiles, f'{name}.{kind}')
        subprocess.run([plandra, 'export', drawing, '-o', metafile, '--size', size], check=True)
        stems.append((name, stem, metafile))
    theirs = draw(reader, workdir, [metafile for _, _, metafile in stems])
    failures = 0
    for (name, stem, _), picture in zip(stems, theirs):
        failures += not matches(name, stem, picture,
                                fit='ink' if reader == 'libwmf' else
                                'page' if reader == 'soffice' else None)
    return 1 if failures else 0


def draw(reader, workdir, metafiles):
    """The reader's PNG picture of each metafile."""
    pictures = [os.path.splitext(metafile)[0] + '.png' for metafile in metafiles]
    if reader == 'inkscape':
        # One Inkscape for all files: it writes NAME.png beside each.
        subprocess.run(['inkscape', '--export-type=png', f'--export-width={SIZE[0]}',
                        f'--export-height={SIZE[1]}', *metafiles], check=True,
                       stderr=subprocess.DEVNULL)
    elif reader == 'soffice':
        # One LibreOffice start for all files (it is slow to start), with a profile of
        # its own so that a desktop's LibreOffice or a parallel test does not hold it.
        profile = 'file://' + os.path.abspath(os.path.join(workdir, 'profile'))
        subprocess.run(['soffice', f'-env:UserInstallation={profile}', '--headless',
                        '--convert-to', 'png', '--outdir', os.path.dirname(metafiles[0]),
                        *metafiles], check=True, stdout=subprocess.DEVNULL)
    else:
        for metafile in metafiles:
            svg = os.path.splitext(metafile)[0] + '.svg'
            if reader == 'emf2svg':
                subprocess.run(['emf2svg-conv', '-i', metafile, '-o', svg], check=True)
            else:
                subprocess.run(['wmf2svg', '-o', svg, metafile], check=True)
            # The reader's own size for the picture, brought to the surface's.
            subprocess.run(['rsvg-convert', '-w', str(SIZE[0]), '-h', str(SIZE[1]), svg,
                            '-o', os.path.splitext(metafile)[0] + '.png'], check=True)
    return pictures


def matches(name, stem, theirs_png, fit=None):
    """Whether the ink of STEM.png and of `theirs_png` outside the boxes of STEM.boxes
    matches both ways; prints the figures. `fit` brings theirs onto ours first: 'ink'
    by the ink boxes, 'page' from LibreOffice's page."""
    with open(stem + '.boxes') as f:
        boxes = [tuple(map(int, line.split())) for line in f if line.strip()]
    ours = ink(stem + '.png', boxes)
    if not os.path.exists(theirs_png):
        print(f'{name}: the reader wrote no picture')
        return False
    if fit == 'page':
        width, height = read_png(theirs_png)[:2]
        theirs = outside(from_page(ink(theirs_png, []), (width, height)), boxes)
    else:
        theirs = ink(theirs_png, boxes)
    if fit == 'ink':
        theirs = fitted(theirs, ours)
    there, back = matched_share(ours, theirs), matched_share(theirs, ours)
    verdict = 'ok' if min(there, back) >= AT_LEAST and ours else 'DIFFERENT'
    print(f'{name}: {len(ours)} inked pixels, {there:.3f} found in the other picture, '
          f'{back:.3f} of its {len(theirs)} found in ours: {verdict}')
    return verdict == 'ok'


if __name__ == '__main__':
    sys.exit(main())
