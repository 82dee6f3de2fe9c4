"""Reads drawings of today's CAD programs with plandra and with ezdxf (python3-ezdxf) and
compares the extents of what each finds: splines, bulges and hatch boundaries evaluated
by two readers that share no code must cover the same area.

Usage: compare_extents.py PLANDRA CORPUS
Exit status 77 (a skipped test) when ezdxf or the corpus is missing.
"""
import json
import pathlib
import subprocess
import sys

SKIPPED = 77
# "same": every side agrees within the tolerance. "contains": plandra's box holds
# ezdxf's; the control widens the extents of a drawing from a small box round the
# origin, which ezdxf does not, and testHatch's hatch lies far from the origin.
DRAWINGS = [
    ("skymakerolof-dxf/lwpolylines.dxf", "same"),
    ("skymakerolof-dxf/splines.dxf", "same"),
    ("skymakerolof-dxf/squircle2.dxf", "same"),
    ("dxf-parser/splines.dxf", "same"),
    ("ezdxf/hatches_1.dxf", "same"),
    ("skymakerolof-dxf/testHatch.dxf", "contains"),
]


def main():
    plandra, corpus = sys.argv[1], pathlib.Path(sys.argv[2])
    try:
        import ezdxf
        from ezdxf import bbox
    except ImportError:
        print("SKIPPED: the Python module ezdxf is not installed (apt-get install python3-ezdxf)")
        return SKIPPED
    if not corpus.is_dir():
        print(f"SKIPPED: the shared DXF corpus is not at {corpus}")
        return SKIPPED
    failures = 0
    for name, rule in DRAWINGS:
        box = bbox.extents(ezdxf.readfile(corpus / name).modelspace())
        theirs = (box.extmin.x, box.extmax.y, box.extmax.x, box.extmin.y)
        report = subprocess.run([plandra, "info", "--json", "--calc-extents", corpus / name],
                                capture_output=True, text=True, check=True)
        extents = json.loads(report.stdout)["extents"]
        ours = (extents["left"], extents["top"], extents["right"], extents["bottom"])
        # The readers evaluate curves to different chords: 1/2000 of the drawing's size.
        tolerance = max(box.size.x, box.size.y) / 2000
        if rule == "same":
            agree = all(abs(a - b) <= tolerance for a, b in zip(ours, theirs))
        else:
            agree = (ours[0] <= theirs[0] + tolerance and ours[1] >= theirs[1] - tolerance and
                     ours[2] >= theirs[2] - tolerance and ours[3] <= theirs[3] + tolerance)
        print(f"{name}: plandra {ours}, ezdxf {theirs}: {'agree' if agree else 'DIFFER'}")
        failures += not agree
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
