#!/usr/bin/env bash
# Measures Plandra's setup beside an NSIS setup of the same payload
# (tests/bench/installers/plandra.nsi), in one Wine prefix on one machine: the time to
# build each setup, its size, and the time of a silent installation and of a silent
# removal. NSIS (Debian's nsis) is installed here for the measurement only.
# Usage: tests/bench/compare_installers.sh [ROUNDS]   (run from the project root)
# PRESET=windows measures the 32-bit build where Wine runs 32-bit programs; the
# default is windows64.
set -euo pipefail
rounds=${1:-5}
preset=${PRESET:-windows64}
case "$preset" in
  windows64) arch=win64 wine=/usr/lib/wine/wine64 target=amd64-unicode ;;
  windows) arch=win32 wine=/usr/lib/wine/wine target=x86-unicode ;;
  *) echo "compare_installers: PRESET is windows or windows64" >&2; exit 2 ;;
esac
root=$(pwd)
build=$root/build/$preset
product=$build/product/Plandra

command -v makensis >/dev/null ||
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends nsis >/dev/null
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target product >/dev/null
cmake --preset release >/dev/null
cmake --build --preset release --target vornbuild >/dev/null

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEARCH=$arch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
c=$WINEPREFIX/drive_c
mkdir -p "$WINEPREFIX"
/usr/lib/wine/wineserver -p
"$wine" wineboot --init 2>/dev/null
export WINEDEBUG=-all

# Seconds taken by a command, its output dropped.
seconds() {
  local start
  start=$(date +%s.%N)
  "$@" >/dev/null
  echo "$(date +%s.%N) - $start" | bc
}
median() {
  sort -n | awk '{ v[NR] = $1 } END { printf "%.3f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
gone() {
  for _ in $(seq 400); do
    [ -e "$1" ] || return 0
    sleep 0.05
  done
  echo "compare_installers: $1 was not removed" >&2
  exit 1
}
rescind() {
  "$wine" 'C:\PLANDRA\RESCIND32.EXE' /A /S 'C:\PLANDRA\INSTALL.LOG' || true
  # Its copy in the temporary folder deletes the program itself once it has ended.
  gone "$c/PLANDRA"
}
# NSIS's uninstaller, too, runs from a copy of itself in the temporary folder.
nsis_uninstall() {
  "$wine" 'C:\PLANDRA\UNINST.EXE' /S
  gone "$c/PLANDRA"
}

nsis=$work/plandra-nsis.exe
for _ in $(seq "$rounds"); do
  seconds "$root/build/release/apps/vornbuild/vornbuild" samples/installer/plandra.vns -o "$work/vorn" \
    --search "$build/product/programs" >>"$work/build-vorn"
  seconds makensis -DTARGET=$target -DBUILD="$build" -DSOURCE="$root" -DOUTFILE="$nsis" \
    tests/bench/installers/plandra.nsi >>"$work/build-nsis"
done
for _ in $(seq "$rounds"); do
  seconds "$wine" "$product/SETUP.EXE" --silent "$product/SETUP.VRN" /M=ANSWERS.TXT >>"$work/install-vorn"
  [ -f "$c/PLANDRA/SAMPLES/FIND.DXF" ] || { echo "compare_installers: SETUP.EXE did not install" >&2; exit 1; }
  seconds rescind >>"$work/remove-vorn"
  seconds "$wine" "$nsis" /S >>"$work/install-nsis"
  [ -f "$c/PLANDRA/SAMPLES/FIND.DXF" ] || { echo "compare_installers: the NSIS setup did not install" >&2; exit 1; }
  seconds nsis_uninstall >>"$work/remove-nsis"
done

vorn_size=$(cat "$product/SETUP.EXE" "$product/VORN0132.DLL" "$product/SETUP.VRN" | wc -c)
echo "| measure ($preset, median of $rounds) | VORN0132 | NSIS $(makensis -VERSION) |"
echo "|---|---:|---:|"
echo "| build time (s) | $(median <"$work/build-vorn") | $(median <"$work/build-nsis") |"
echo "| setup size (bytes) | $vorn_size | $(wc -c <"$nsis") |"
echo "| silent install (s) | $(median <"$work/install-vorn") | $(median <"$work/install-nsis") |"
echo "| silent removal (s) | $(median <"$work/remove-vorn") | $(median <"$work/remove-nsis") |"
