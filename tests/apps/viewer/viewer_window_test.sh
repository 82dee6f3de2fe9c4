#!/usr/bin/env bash
# The viewer under a virtual X display, driven by real mouse and key events: it opens
# a sample, takes a window zoom dragged with the mouse, switches a layer off in its
# panel, and what its drawing surface shows must equal, pixel for pixel, plandra
# script's picture of the same calls; the view it exports must equal the script's
# SaveWMF byte for byte. Then every other tool once: the wheel, drill-down, pan,
# redline markup saved with the drawing, find, print, the Appearance dialog opening
# another drawing, a broken drawing and one with bare line feeds. Exits 77 (skipped)
# without Xvfb or xdotool.
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

export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data ASAN_OPTIONS=detect_leaks=0
"$viewer" --report --timings --capture "$work/viewer" --size 640x480 "$sample" >"$work/report.txt" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

# Waits for COUNT (default 1) lines of the viewer's report that match.
await() {
  for _ in $(seq 300); do
    [ "$(grep -c "$1" "$work/report.txt")" -ge "${2:-1}" ] && return 0
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

# Gives the keyboard to the newest window whose title matches.
focus() {
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1 || true)
    [ -n "$id" ] && xdotool windowfocus --sync "$id" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "FAIL: no window '$1' came up" >&2
  exit 1
}
viewer() { focus 'Plandra viewer$' && xdotool mousemove $((x + 20)) $((y + 20)) "$@"; }
drag() {
  xdotool mousemove $((x + $1)) $((y + $2)) mousedown 1 \
    mousemove $((x + ($1 + $3) / 2)) $((y + ($2 + $4) / 2)) \
    mousemove $((x + $3)) $((y + $4)) mouseup 1
}
# A file chosen in the dialog KEY brings up, by its full name.
choose() {
  viewer key "$1"
  focus "$2"
  # The open dialog takes a typed name in its location field, once that is shown.
  sleep 0.5
  [ "$1" = ctrl+o ] && xdotool key ctrl+l && sleep 0.5
  xdotool key ctrl+a type "$3"
  # Return once the field's completion has settled.
  sleep 0.5
  xdotool key Return
}
# Answers the message box that comes up with its default button.
answer() {
  focus '^Plandra$'
  xdotool key Return
}
# Waits until FILE is written in full.
await_file() {
  for _ in $(seq 300); do
    [ -s "$1" ] && sleep 0.3 && return 0
    sleep 0.1
  done
  echo "FAIL: the viewer did not write $1" >&2
  exit 1
}

# The wheel in and out about the cursor, two drill-down clicks, the previous view,
# the extents and a pan drag: seven more zooms.
viewer
xdotool mousemove $((x + 320)) $((y + 240)) click 4 click 5
xdotool key d click 1 click 3 key BackSpace e p
drag 200 200 250 230
await '^zoom' 8
# Redline markup: a line, a rectangle, a circle and a text, then the rectangle's left
# side selected and deleted; the copy saved with the markup holds the rest.
xdotool key l && drag 100 100 200 150
xdotool key r && drag 300 100 400 200
xdotool key c && drag 500 300 540 340
xdotool key t mousemove $((x + 100)) $((y + 400)) click 1
focus '^Redline text$'
xdotool type NOTE
xdotool key Return
await '^zoom' 12
viewer key s mousemove $((x + 300)) $((y + 150)) click 1 key Delete
choose ctrl+s 'Save a copy' "$work/marked.dxf"
await_file "$work/marked.dxf"
choose ctrl+p 'Print to a PDF' "$work/site-plan.pdf"
await_file "$work/site-plan.pdf"
# The Appearance dialog: both percentages, the next zoom function, attributes shown and
# another drawing, applied and then taken with OK.
viewer key ctrl+comma
focus '^Appearance$'
xdotool key ctrl+a type 150
xdotool key Tab ctrl+a type 60
xdotool key Tab Down Tab space Tab ctrl+a type "${sample%/*}/find-texts.dxf"
xdotool key Tab Tab Tab Tab Return
xdotool key shift+Tab shift+Tab Return
await '^ready' 2
viewer key ctrl+f type abc
xdotool key Return F3 F3 shift+F3 ctrl+a type zzz
xdotool key Return
# A drawing that ends early is an error in a message box and leaves no drawing; one
# with bare line feeds is read from a converted copy once the user agrees.
printf '  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nLINE\r\n 10\r\n' >"$work/broken.dxf"
tr -d '\r' <"${sample%/*}/blocks.dxf" >"$work/unix.dxf"
choose ctrl+o 'Open a drawing' "$work/broken.dxf"
answer
choose ctrl+o 'Open a drawing' "$work/unix.dxf"
answer
await '^ready' 3
choose ctrl+p 'Print to a PDF' "$work/unix.pdf"
await_file "$work/unix.pdf"
viewer key ctrl+q
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
# The drawing by the name the user gave, not the converted copy, and the dialog's
# settings.
for kept in "FileName = String:$work/unix.dxf" "OnTheSpotZoomPctLeft = Single:150" \
            "OnTheSpotZoomPctRight = Single:60" "DisplayAttributes = Long:1"; do
  if ! grep -qx "$kept" "$work/config/plandra/viewer.properties"; then
    echo "FAIL: the viewer did not keep '$kept' in $work/config/plandra" >&2
    exit 1
  fi
done
markup=$(tr -d '\r' <"$work/marked.dxf" | paste - - | awk -F '\t' '
  $1 ~ /^ *0$/ { kind = $2 }
  $1 ~ /^ *8$/ && $2 == "REDLINE" { count[kind]++ }
  END { printf "%d LINE %d CIRCLE %d TEXT", count["LINE"], count["CIRCLE"], count["TEXT"] }')
if [ "$markup" != "4 LINE 1 CIRCLE 1 TEXT" ]; then
  echo "FAIL: the copy saved with the markup holds $markup on REDLINE" >&2
  exit 1
fi
echo "the viewer's ${width}x${height} drawing surface equals plandra script's picture"
