#!/usr/bin/env bash
# Times building a setup of 1,000 small files and 10 registry values with vornbuild
# beside makensis building the same setup from its own script. Both scripts and the
# files are generated into a temporary folder: 10 folders of 100 files, each file
# 1 to 4 KB of fixed text, so every run packs the same bytes.
#
# The NSIS script writes an uninstaller that deletes the 1,000 files, the folders and
# the values, because our setup writes an installation log from which Rescind32 does
# the same: a setup without its removal would be less work than ours.
#
# Usage: tests/bench/build_speed_vs_nsis.sh [--vornbuild FILE] [--runs N] [--keep]
#   --vornbuild FILE  the vornbuild to time (default build/native/apps/vornbuild/vornbuild)
#   --runs N          runs of each builder; the table shows the median (default 5)
#   --keep            keep the temporary folder and print its path
# makensis comes from Debian's nsis, which scripts/bootstrap installs for this only.
set -euo pipefail

vornbuild=build/native/apps/vornbuild/vornbuild
runs=5
keep=0
while [ $# -gt 0 ]; do
  case "$1" in
    --vornbuild) vornbuild=${2:?--vornbuild needs a file}; shift 2 ;;
    --runs) runs=${2:?--runs needs a number}; shift 2 ;;
    --keep) keep=1; shift ;;
    -h | --help) sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "build_speed_vs_nsis: unknown argument '$1' (see --help)" >&2; exit 2 ;;
  esac
done
case "$runs" in
  '' | *[!0-9]* | 0) echo "build_speed_vs_nsis: --runs takes a positive number" >&2; exit 2 ;;
esac
[ -x "$vornbuild" ] || { echo "build_speed_vs_nsis: no vornbuild at $vornbuild" >&2; exit 2; }
command -v makensis >/dev/null || { echo "build_speed_vs_nsis: makensis is missing (scripts/bootstrap test)" >&2; exit 2; }
vornbuild=$(realpath "$vornbuild")

work=$(mktemp -d)
if [ "$keep" = 1 ]; then echo "build_speed_vs_nsis: files in $work"; else trap 'rm -rf "$work"'  EXIT; fi

# The payload and both scripts, written by one awk program so that 1,000 files take
# well under a second to make.
mkdir -p "$work/files" "$work/out-vorn" "$work/out-nsis"
awk -v dir="$work" 'BEGIN {
  vns = dir "/bench.vns"; nsi = dir "/bench.nsi"
  print "log-path \"%INSTDIR%\\\\INSTALL.LOG\"" > vns
  print "set INSTDIR \"C:\\\\BENCH\"" > vns
  print "Unicode true\nName \"Bench\"\nOutFile \"" dir "/out-nsis/setup.exe\"" > nsi
  print "InstallDir \"C:\\BENCH\"\nRequestExecutionLevel admin\n\nSection" > nsi
  line = "The quick brown fox jumps over the lazy dog; 0123456789 abcdefghijklmnopqrstuvwxyz\n"
  for (d = 0; d < 10; d++) {
    system("mkdir -p \"" dir "/files/d" d "\"")
    print "mkdir \"%INSTDIR%\\\\D" d "\"" > vns
    print "    SetOutPath \"$INSTDIR\\D" d "\"" > nsi
    for (f = 0; f < 100; f++) {
      n = d * 100 + f
      name = sprintf("F%03d.TXT", n)
      path = dir "/files/d" d "/" name
      # 12 to 48 lines of 85 bytes: 1,020 to 4,080 bytes, with the file number in each.
      lines = 12 + (n * 7) % 37
      text = ""
      for (l = 0; l < lines; l++) text = text sprintf("%04d %04d ", n, l) substr(line, 11)
      printf "%s", text > path
      close(path)
      print "install \"files/d" d "/" name "\" to \"%INSTDIR%\\\\D" d "\\\\" name "\"" > vns
      print "    File \"files/d" d "/" name "\"" > nsi
    }
  }
  print "    WriteUninstaller \"$INSTDIR\\UNINST.EXE\"" > nsi
  for (k = 0; k < 10; k++) {
    print "registry HKLM \"Software\\\\Vorn\\\\Bench\\\\Key" k "\" \"Value\" string \"" k "\"" > vns
    print "    WriteRegStr HKLM \"Software\\Vorn\\Bench\\Key" k "\" \"Value\" \"" k "\"" > nsi
  }
  print "SectionEnd\n\nSection Uninstall" > nsi
  for (d = 0; d < 10; d++) {
    for (f = 0; f < 100; f++) printf "    Delete \"$INSTDIR\\D%d\\F%03d.TXT\"\n", d, d * 100 + f > nsi
    print "    RMDir \"$INSTDIR\\D" d "\"" > nsi
  }
  for (k = 0; k < 10; k++) print "    DeleteRegKey HKLM \"Software\\Vorn\\Bench\\Key" k "\"" > nsi
  print "    Delete \"$INSTDIR\\UNINST.EXE\"\n    RMDir \"$INSTDIR\"\nSectionEnd" > nsi
}'

# Runs a command once in the work folder and prints its wall, user and system seconds.
timed() {
  local TIMEFORMAT='%R %U %S'
  { time (cd "$work" && "$@" >/dev/null); } 2>&1
}
median() {
  sort -n | awk '{ v[NR] = $1 } END { printf "%.3f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
for _ in $(seq "$runs"); do
  timed "$vornbuild" bench.vns -o out-vorn >>"$work/vorn.times"
  timed makensis -V1 bench.nsi >>"$work/nsis.times"
done

row() {
  local times=$work/$2.times
  echo "| $1 | $(cut -d' ' -f1 "$times" | median) | $(cut -d' ' -f2 "$times" | median) | $(cut -d' ' -f3 "$times" | median) | $3 |"
}
echo "1,000 files ($(cat "$work"/files/d*/* | wc -c) bytes), 10 registry values; median of $runs runs; load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "| builder | wall (s) | user (s) | system (s) | output (bytes) |"
echo "|---|---:|---:|---:|---:|"
row "vornbuild" vorn "$(wc -c <"$work/out-vorn/SETUP.VRN")"
row "makensis $(makensis -VERSION)" nsis "$(wc -c <"$work/out-nsis/setup.exe")"
