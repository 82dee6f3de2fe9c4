#!/usr/bin/env bash
# Measures plandra export of a large generated drawing as an enhanced metafile (load,
# draw into the metafile, write it), with the metafile's size beside the drawing's,
# and LibreOffice's conversion of the same drawing to EMF when soffice is installed
# (it is not installed for this: a machine that has it gets the figure).
# Usage: tests/bench/emf_export_bench.sh [MEGABYTES]   (run from the project root)
set -euo pipefail
megabytes=${1:-100}
work=${PLANDRA_BENCH_DIR:-/tmp/plandra-emf-bench}
mkdir -p "$work"

cmake --preset release >/dev/null
cmake --build --preset release --target plandra generate_r12_drawing >/dev/null
drawing="$work/r12-${megabytes}mb.dxf"
[ -f "$drawing" ] || build/release/tests/bench/generate_r12_drawing "$drawing" "$megabytes"

seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}

ours=$(seconds build/release/apps/plandra/plandra export --strict "$drawing" -o "$work/ours.emf")
dxf_bytes=$(stat -c %s "$drawing")
emf_bytes=$(stat -c %s "$work/ours.emf")
echo "drawing: $dxf_bytes bytes"
echo "plandra export: ${ours} s, $emf_bytes bytes ($(echo "scale=2; $emf_bytes / $dxf_bytes" | bc) of the drawing)"
if command -v soffice >/dev/null; then
  theirs=$(seconds soffice --headless --convert-to emf --outdir "$work" "$drawing")
  echo "soffice --convert-to emf: ${theirs} s"
else
  echo "soffice --convert-to emf: not installed here"
fi
