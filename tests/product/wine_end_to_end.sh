#!/usr/bin/env bash
# The Windows product in a fresh Wine prefix, as a user meets it: SETUP.EXE installs
# silently from the answer file beside it, the files, the control's registration and
# INSTALL.LOG are checked, a VBScript drives the installed control through cscript, and
# the installed Rescind32.exe removes everything again with the log; the prefix's files
# under drive_c and its registry (wine regedit /E) then equal their state before the
# installation but for what is left by design.
# Usage: wine_end_to_end.sh win32|win64 PRODUCT_DIR BUILD_DIR SOURCE_DIR
set -euo pipefail
# Wine's Program Manager (the shell's DDE service) answers only on a display: the test
# runs on a virtual one when it can, and checks the group there.
if [ -z "${PLANDRA_ON_VIRTUAL_DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  PLANDRA_ON_VIRTUAL_DISPLAY=1 exec xvfb-run -a -s '-screen 0 1024x768x24' "$0" "$@"
fi
arch=$1 product=$2 build=$3 source=$4
case "$arch" in
  win32) wine=/usr/lib/wine/wine ;;
  win64) wine=/usr/lib/wine/wine64 ;;
  *) echo "usage: $0 win32|win64 PRODUCT_DIR BUILD_DIR SOURCE_DIR" >&2; exit 2 ;;
esac
work=$(mktemp -d)
# No menu entries on the host for the shortcuts of the Program Manager group.
export WINEPREFIX=$work/prefix WINEARCH=$arch WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
c=$WINEPREFIX/drive_c
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
run() {
  "$wine" "$@"
}

# Every path under drive_c with a digest of each file's bytes, then the registry but
# for the state of the hardware, which Wine sets anew as programs and the machine start:
# the display adapter's keys (made by each program started without an X display), the
# devices' interfaces and tree, the network adapters, and the count of service starts.
# On a display two more keys come and go with the session, not with the product: the
# system parameters Wine keeps for the running desktop alone ("Temporary System
# Parameters", the mouse's once a window has had it), and the settings key Wine's
# explorer makes when it opens a window on a folder, as Program Manager's CreateGroup
# and ShowGroup do for the group's folder.
snapshot() {
  (cd "$c" && {
    find . -type d -printf '%p/\n'
    find . -type f -print0 | xargs -0 sha256sum | sed -E 's/^(.{16}).*  (.*)$/\2 \1/'
  } | LC_ALL=C sort)
  run regedit /E 'C:\registry.reg'
  iconv -f UTF-16 -t UTF-8 "$c/registry.reg" | tr -d '\r' |
    awk '/^\[/ {
      skip = index($0, "\\Control\\Video\\") || index($0, "{4D36E968-") ||
        index($0, "\\Control\\DeviceClasses\\") || index($0, "\\CurrentControlSet\\Enum\\") ||
        index($0, "\\NetworkCards\\") || index($0, "\\ServiceCurrent]") ||
        index($0, "\\Software\\Wine\\Temporary System Parameters\\") ||
        index($0, "\\CurrentVersion\\Explorer\\Advanced]")
    } !skip'
  rm "$c/registry.reg"
}
# Drops what the uninstaller leaves by design: the status file, and the files the user
# made (once the script made them) with the folder that holds them.
user_files=()
by_design() {
  grep -v -e '^\./windows/PLANDRA\.MIF ' "${user_files[@]}" || true
}

# One Wine session for the whole test: its services start once, and keep the keys they
# make at each start (the display adapter's) the same throughout.
mkdir -p "$WINEPREFIX"
/usr/lib/wine/wineserver -p
run wineboot --init
# Wine registers the VBScript engine's type libraries at its first use: that is done
# before the first snapshot, so the comparison sees only what the product changes.
cscript=$c/windows/system32/cscript.exe
if [ -f "$cscript" ]; then
  echo 'WScript.Quit 0' >"$work/first.vbs"
  run cscript //nologo 'Z:'"${work//\//\\}"'\first.vbs'
fi
snapshot | by_design >"$work/before"

run "$product/SETUP.EXE" --silent "$product/SETUP.VRN" /M=ANSWERS.TXT ||
  fail "the silent installation failed"

# Each installed file, its source, and the record the log must hold for it.
while read -r installed from; do
  cmp -s "$c/PLANDRA/$installed" "$from" || fail "$installed differs from $from"
  grep -qF "File Copy: C:\\PLANDRA\\${installed//\//\\}"$'\r' "$c/PLANDRA/INSTALL.LOG" ||
    fail "INSTALL.LOG does not record $installed"
done <<FILES
PLANDRA.OCX $build/product/programs/Plandra.ocx
RESCIND32.EXE $build/product/programs/Rescind32.exe
SAMPLES/SITE-PLAN.DXF $source/samples/site-plan.dxf
SAMPLES/BLOCKS.DXF $source/samples/blocks.dxf
EXAMPLES/LAYERS.VBS $source/samples/layers.vbs
EXAMPLES/CONTAINER.CPP $source/samples/container/container.cpp
README.TXT $source/README.md
FILES
grep -q '^Title: Plandra Setup' "$c/PLANDRA/INSTALL.LOG" || fail "INSTALL.LOG has no title"
grep -q '|Success|' "$c/windows/PLANDRA.MIF" || fail "the status file does not say Success"
# The Program Manager group as Wine's shell keeps it: a folder of shortcuts in the
# Start Menu. Without a display Wine's Program Manager does not answer, and the setup
# passes its commands over, as it must.
group=
if [ -n "${DISPLAY:-}" ]; then
  group=$(find "$c/users" -type d -path '*/Start Menu/Programs' -print -quit)/Plandra
  for item in 'Read me' 'Site plan' 'Uninstall Plandra'; do
    [ -f "$group/$item.lnk" ] || fail "the Program Manager group Plandra lacks $item"
  done
else
  echo "notice: no display (xvfb-run is missing): the Program Manager group was not checked"
fi
for record in 'Self-Register: C:\PLANDRA\PLANDRA.OCX' 'RegDB Key: Software\Vorn\Plandra'; do
  grep -qF "$record"$'\r' "$c/PLANDRA/INSTALL.LOG" || fail "INSTALL.LOG does not record $record"
done
run reg query 'HKCR\PlandraOCX.DXF' >/dev/null 2>&1 || fail "the installation did not register PlandraOCX.DXF"

# The user's work with the installed control.
if [ ! -f "$cscript" ]; then
  echo "notice: this Wine has no cscript: the installed control was not driven by a VBScript"
else
  run cscript //nologo 'Z:'"${source//\//\\}"'\tests\product\use_installed_control.vbs' \
    'C:\PLANDRA' || fail "the VBScript failed"
  [ "$(od -An -c -j40 -N4 "$c/PLANDRA/SITE-PLAN.EMF" | tr -d ' ')" = EMF ] ||
    fail "SITE-PLAN.EMF is not an enhanced metafile"
  tr -d '\r' <"$c/PLANDRA/MARKED.DXF" | grep -qx MARKUP || fail "MARKED.DXF lacks the markup layer"
  user_files=(-e '^\./PLANDRA/$' -e '^\./PLANDRA/SITE-PLAN\.EMF ' -e '^\./PLANDRA/MARKED\.DXF ')
fi

# /S as well as /A: nobody is there to press the wizard's buttons.
run 'C:\PLANDRA\RESCIND32.EXE' /A /S 'C:\PLANDRA\INSTALL.LOG' || true
# Its copy in the temporary folder deletes the installed program once it has ended.
for _ in $(seq 60); do
  [ -e "$c/PLANDRA/RESCIND32.EXE" ] || break
  sleep 0.5
done
sleep 2
# The uninstaller's copy of itself, which deleted the installed program, goes at the
# next start of Windows.
run wineboot --restart
[ ! -e "$c/PLANDRA/INSTALL.LOG" ] || fail "Rescind32.exe left INSTALL.LOG"
# Wine's shell cannot tell what a group holds and would delete a group with the user's
# own shortcuts in it, so the uninstaller deletes its items by name and leaves the group.
if [ -n "$group" ]; then
  [ -z "$(ls -A "$group")" ] || fail "Rescind32.exe left items in the Program Manager group"
  user_files+=(-e '/Start Menu/Programs/Plandra/$')
fi
snapshot | by_design >"$work/after"
diff -u "$work/before" "$work/after" || fail "the prefix differs from its state before the installation"
echo "the product installed, worked and was removed"
