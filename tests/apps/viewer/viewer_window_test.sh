#!/usr/bin/env bash
# The viewer under a virtual X display, driven by real mouse and key events: it opens
# a sample, takes a window zoom dragged with the mouse, switches a layer off in its
# panel, and what its drawing surface shows must equal, pixel for pixel, plandra
# script's picture of the same calls; the view it exports must equal the script's
# SaveWMF byte for byte. Exits 77 (skipped) without Xvfb or xdotool.
#   viewer_window_test.sh VIEWER PLANDRA SAMPLE WORKDIR
set -euo pipefail
viewer=$1 plandra=$2 sample=$3 work=$4

for tool in xvfb-run xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (scripts/bootstrap test installs it)"
    exit 77
  fi
done

if [ -z "${VIEWER_TEST_DISPLAY:-}" ]; then
  rm -rf "$work" && mkdir -p "$work"
  export VIEWER_TEST_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

export XDG_CONFIG_HOME=$work/config ASAN_OPTIONS=detect_leaks=0
"$viewer" --report --timings --capture "$work/viewer" --size 640x480 "$sample" >"$work/report.txt" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

# Waits for a line of the viewer's report.
await() {
  for _ in $(seq 300); do
    grep -q "$1" "$work/report.txt" && return 0
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  echo "FAIL: the viewer did not report '$1'; it reported:" >&2
  cat "$work/report.txt" >&2
  exit 1
}

await '^ready'
await '^timings open: read .* first pass .* first picture '
read -r _ x y width height < <(grep '^drawing ' "$work/report.txt")
read -r _ layer lx ly _ < <(grep ' TREES$' "$work/report.txt")

# Window zoom: W, then a drag from (100, 80) to (400, 300) on the drawing surface.
xdotool mousemove $((x + 20)) $((y + 20)) key w
xdotool mousemove $((x + 100)) $((y + 80)) mousedown 1
xdotool mousemove $((x + 250)) $((y + 190))
xdotool mousemove $((x + 400)) $((y + 300)) mouseup 1
await '^zoom'
await '^timings redraw: pass '
xdotool mousemove "$lx" "$ly" click 1
await "^layer $layer off"
xdotool key F12
await '^captured'
# Export: Ctrl+E, then the file's full name typed into the chooser.
xdotool mousemove $((x + 20)) $((y + 20)) key ctrl+e
chooser=$(xdotool search --sync --name 'Export the view' | head -n 1)
xdotool mousemove --window "$chooser" 40 40 key ctrl+a type "$work/viewer.emf"
xdotool key Return
await '^exported'
xdotool key ctrl+q
wait $pid
trap - EXIT

cat >"$work/same.script" <<SCRIPT
FileName = "$sample"
Regen 0
ZoomFunction = 0
ZoomInitiate 100, 80
ZoomFeedback 400, 300
ZoomEnd
colLayers.Item($layer).LayerOn = False
DXFRefresh
!render $work/script.png
SaveWMF "$work/script.emf"
SCRIPT
"$plandra" script --size "${width}x${height}" --stop-on-error "$work/same.script" >/dev/null

if ! cmp -s "$work/viewer-drawing.png" "$work/script.png"; then
  echo "FAIL: the viewer's drawing surface differs from plandra script's picture:" >&2
  echo "  $work/viewer-drawing.png and $work/script.png" >&2
  exit 1
fi
if ! cmp -s "$work/viewer.emf" "$work/script.emf"; then
  echo "FAIL: the viewer's exported view differs from plandra script's SaveWMF:" >&2
  echo "  $work/viewer.emf and $work/script.emf" >&2
  exit 1
fi
if ! grep -q "^FileName = String:$sample" "$work/config/plandra/viewer.properties"; then
  echo "FAIL: the viewer did not keep its properties in $work/config/plandra" >&2
  exit 1
fi
echo "the viewer's ${width}x${height} drawing surface equals plandra script's picture"
