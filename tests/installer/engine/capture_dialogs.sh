#!/usr/bin/env bash
# Shows each page of the sample dialog scripts, the language and path dialogs, the engine's
# message box, the wizard frame with its picture, the disk prompt (disk-prompt), the wait
# dialog and the progress window under Wine on a virtual X screen and captures each as a
# PNG. Not run by ctest: it is for looking at the dialogs.
# Usage: tests/installer/engine/capture_dialogs.sh [BUILD_DIR] [OUT_DIR]
#   BUILD_DIR  a windows64 build with installer_custom_dialog_set_wine_test and
#              installer_win32_display_test built (default build/windows64)
#   OUT_DIR    where the pictures go (default BUILD_DIR/dialog-captures)
# The tests ask for a picture by writing its name into OUT_DIR/capture.txt and wait until
# the file is gone; this script takes the picture and removes the file. Some of them are
# docs/install-dialog-lists.png, docs/install-progress.png, docs/install-wizard-frame.png
# and docs/install-message-box.png.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../../.." && pwd)
build=$(cd "${1:-$source_dir/build/windows64}" && pwd)
out=${2:-$build/dialog-captures}
mkdir -p "$out"
out=$(cd "$out" && pwd)
[ -n "${CAPTURE_ON_SCREEN:-}" ] || rm -f "$out"/*.png "$out/capture.txt"

run_capturing() {
  local program=$1
  (cd "$build" && VORN_CAPTURE_DIR=$out WINE_RUN_DESKTOP=1 \
     "$source_dir/cmake/wine-run" win64 "$program") &
  local test=$!
  while kill -0 "$test" 2>/dev/null; do
    if [ -s "$out/capture.txt" ]; then
      local name
      name=$(tr -cd 'A-Za-z0-9_-' < "$out/capture.txt")
      # Let the windows finish painting.
      sleep 0.5
      import -window root "$out/$name.png"
      rm -f "$out/capture.txt"
      echo "captured $out/$name.png"
    fi
    sleep 0.1
  done
  wait "$test" || echo "$program failed" >&2
}

# A wine server left from a run on another display would keep the windows from showing.
stop_wine() { WINEPREFIX="$build/wineprefix-win64-desktop" wineserver -k 2>/dev/null || true; }

if [ -z "${CAPTURE_ON_SCREEN:-}" ]; then
  stop_wine
  CAPTURE_ON_SCREEN=1 xvfb-run -a -s "-screen 0 800x600x24" "$0" "$build" "$out"
  stop_wine
  exit 0
fi
# The virtual screen has no window manager: Wine draws the captions and frames itself.
(cd "$build" && WINE_RUN_DESKTOP=1 "$source_dir/cmake/wine-run" win64 reg add \
   'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null)
run_capturing "$build/tests/installer/engine/installer_custom_dialog_set_wine_test.exe"
run_capturing "$build/tests/installer/engine/installer_win32_display_test.exe"
