#!/usr/bin/env bash
# Measures plandra export of a large generated drawing as an enhanced metafile (load,
# draw into the metafile, write it), with the metafile's size beside the drawing's,
# and LibreOffice's conversion of the same drawing to EMF where soffice is installed.
# Each line gives the wall time, the CPU time (user + system) and the peak memory; the
# load average is shown first, since a loaded machine stretches the wall times.
# Usage: tests/bench/emf_export_bench.sh [MEGABYTES]   (run from the project root)
set -euo pipefail
megabytes=${1:-100}
work=${PLANDRA_BENCH_DIR:-/tmp/plandra-emf-bench}
mkdir -p "$work"

cmake --preset release >/dev/null
cmake --build --preset release --target plandra generate_r12_drawing >/dev/null
drawing="$work/r12-${megabytes}mb.dxf"
[ -f "$drawing" ] || build/release/tests/bench/generate_r12_drawing "$drawing" "$megabytes"

# "WALL s wall, CPU s CPU, PEAK MB" for one run of the command.
measure() {
  local figures
  figures=$(mktemp)
  /usr/bin/time -o "$figures" -f '%e %U %S %M' "$@" >/dev/null 2>&1
  awk '{ printf "%.2f s wall, %.2f s CPU, %d MB peak\n", $1, $2 + $3, $4 / 1024 }' "$figures"
  rm -f "$figures"
}

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
ours=$(measure build/release/apps/plandra/plandra export --strict "$drawing" -o "$work/ours.emf")
dxf_bytes=$(stat -c %s "$drawing")
emf_bytes=$(stat -c %s "$work/ours.emf")
echo "drawing: $dxf_bytes bytes"
echo "plandra export: $ours; $emf_bytes bytes ($(echo "scale=2; $emf_bytes / $dxf_bytes" | bc) of the drawing)"
if command -v soffice >/dev/null; then
  # A profile of its own, so that a running LibreOffice does not take the request.
  theirs=$(measure soffice "-env:UserInstallation=file://$work/soffice-profile" --headless \
    --convert-to emf --outdir "$work/soffice" "$drawing")
  echo "soffice --convert-to emf: $theirs; $(stat -c %s "$work/soffice/r12-${megabytes}mb.emf" 2>/dev/null || echo no) bytes"
else
  echo "soffice --convert-to emf: not installed here"
fi
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
