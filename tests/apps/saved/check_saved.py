"""Saves a drawing with markup through plandra and reads the result with a DXF reader
we did not write: ezdxf (python3-ezdxf) or GDAL's ogrinfo (gdal-bin).

Usage: check_saved.py ezdxf|ogrinfo PLANDRA IN.dxf SCRIPT OUT.dxf
Exit status 77 (a skipped test) when the reader is not installed.
"""
import collections
import shutil
import subprocess
import sys

SKIPPED = 77
# The drawing's own entities and the markup of markup.script, per layer.
EXPECTED = {
    "WALLS": {"LINE": 2},
    "0": {"CIRCLE": 1},
    "MARKUP": {"LINE": 2, "CIRCLE": 1},
    "HIDDEN NOTES": {"TEXT": 1},
}


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def check_ezdxf(path):
    try:
        import ezdxf
    except ImportError:
        print("SKIPPED: the Python module ezdxf is not installed (apt-get install python3-ezdxf)")
        sys.exit(SKIPPED)
    doc = ezdxf.readfile(path)
    counts = collections.defaultdict(collections.Counter)
    handles = []
    for entity in doc.modelspace():
        counts[entity.dxf.layer][entity.dxftype()] += 1
        handles.append(entity.dxf.handle)
    for layer in doc.layers:
        handles.append(layer.dxf.handle)
    if {k: dict(v) for k, v in counts.items()} != EXPECTED:
        fail("entities per layer: %s" % dict(counts))
    if len(handles) != len(set(handles)):
        fail("handles are not unique: %s" % handles)
    markup, notes = doc.layers.get("MARKUP"), doc.layers.get("HIDDEN NOTES")
    if (markup.color, markup.is_off(), notes.color, notes.is_off()) != (1, False, 3, True):
        fail("layer colours and states: %s %s" % (markup.dxf.color, notes.dxf.color))
    text = next(e for e in doc.modelspace() if e.dxftype() == "TEXT")
    if text.dxf.text.rstrip() != "CHECKED" or text.dxf.height != 3:
        fail("text %r height %s" % (text.dxf.text, text.dxf.height))
    print("ezdxf %s read %d entities with unique handles" % (ezdxf.__version__, len(handles)))


def check_ogrinfo(path):
    ogrinfo = shutil.which("ogrinfo")
    if ogrinfo is None:
        print("SKIPPED: GDAL's ogrinfo is not installed (apt-get install gdal-bin)")
        sys.exit(SKIPPED)
    result = subprocess.run([ogrinfo, "-ro", "-al", path], capture_output=True, text=True)
    if result.returncode != 0:
        fail("ogrinfo: " + result.stderr)
    counts = collections.defaultdict(collections.Counter)
    layer = None
    for line in result.stdout.splitlines():
        line = line.strip()
        if line.startswith("Layer (String) = "):
            layer = line[len("Layer (String) = "):]
        elif line.startswith(("LINESTRING", "POINT", "POLYGON")):
            counts[layer][line.split(" ")[0]] += 1
    total = sum(sum(c.values()) for c in counts.values())
    wanted = {name: sum(kinds.values()) for name, kinds in EXPECTED.items()}
    got = {name: sum(kinds.values()) for name, kinds in counts.items()}
    if got != wanted:
        fail("features per layer: %s, expected %s" % (got, wanted))
    print("ogrinfo read %d features" % total)


def main():
    reader, plandra, source, script, output = sys.argv[1:6]
    saved = subprocess.run([plandra, "save", source, "-o", output, "--script", script,
                            "--stop-on-error"], capture_output=True, text=True)
    if saved.returncode != 0:
        fail("plandra save: " + saved.stdout + saved.stderr)
    {"ezdxf": check_ezdxf, "ogrinfo": check_ogrinfo}[reader](output)


main()
