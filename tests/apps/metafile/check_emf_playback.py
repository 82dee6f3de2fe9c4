#!/usr/bin/env python3
"""Our Linux-written enhanced metafiles (the files in WRITTEN, made by the Linux build's
plandra export at 800x600) played by Windows' PlayEnhMetaFile under Wine against the
Windows build's own picture of the same view, compared as check_metafile_reader.py
compares: every inked pixel outside the texts has ink nearby in the other picture.

Usage: check_emf_playback.py "PLANDRA" "PLAYER" WRITTEN WORKDIR DRAWING...
(PLANDRA and PLAYER are commands, emulator included.)"""
import os
import shlex
import subprocess
import sys

from check_metafile_reader import SIZE, matches


def main():
    plandra, player = shlex.split(sys.argv[1]), shlex.split(sys.argv[2])
    written, workdir, drawings = sys.argv[3], sys.argv[4], sys.argv[5:]
    os.makedirs(workdir, exist_ok=True)
    failures = 0
    for drawing in drawings:
        name = os.path.splitext(os.path.basename(drawing))[0]
        stem = os.path.join(workdir, name)
        subprocess.run(plandra + ['render', drawing, '-o', stem + '.png', '--size',
                                  f'{SIZE[0]}x{SIZE[1]}', '--text-boxes', stem + '.boxes'],
                       check=True)
        subprocess.run(player + [os.path.join(written, name + '.emf'), stem + '.played.png',
                                 str(SIZE[0]), str(SIZE[1])], check=True)
        failures += not matches(name, stem, stem + '.played.png')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
