#!/usr/bin/env bash
# Times a silent installation of 1,000 files of 10 KB and 10 files of 10 MB on a fresh
# sandbox machine, from a stored archive (vornbuild --store) and from a deflated one,
# beside `cp -r` of the same files, and beside zlib's own inflate of the deflated
# payload (python3's zlib module, which calls the same inflate, plus the CRC-32 the
# installation computes), and beside tests/bench/install_floor_bench: the least any
# installation of these files must do (a temporary name, a date stamp, a rename and a log
# line per file), whose share of cp -r's throughput is as far as the installation's can go.
#
# The measures run side by side in each round, each into a folder of its own that is
# removed only after the last round: a file system that has just deleted a thousand files
# makes the next thousand creations slower, which would charge one measure with the
# cleaning-up of another; and each round starts with the next measure, so that the state
# the file system is in when a round starts falls on every measure in turn. The install
# step alone is the installation's time less that of the same setup program with no files
# (start-up, machine and archive opening, log). Ratios compare the best round of each
# measure, the least disturbed by the machine's other work.
#
# The files are generated into a temporary folder: fixed text of numbered lines, so
# every run packs the same bytes and deflate shrinks them about as much as real text.
#
# Usage: tests/bench/install_speed.sh [--build DIR] [--baseline DIR] [--runs N] [--keep]
#   --build DIR     the build folder whose vornbuild, vornsetup and engine are timed
#                   (default build/release)
#   --baseline DIR  another build folder (an older version, say) whose vornsetup and
#                   engine install the same setups in the same rounds, each right after
#                   this build's, so that the two meet the same state of the machine
#   --runs N        rounds of the measurements; the table shows the best and the median
#                   (default 5)
#   --keep          keep the temporary folder and print its path
set -euo pipefail

build=build/release
baseline=
runs=5
keep=0
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=${2:?--build needs a folder}; shift 2 ;;
    --baseline) baseline=${2:?--baseline needs a folder}; shift 2 ;;
    --runs) runs=${2:?--runs needs a number}; shift 2 ;;
    --keep) keep=1; shift ;;
    -h | --help) sed -n '2,30p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "install_speed: unknown argument '$1' (see --help)" >&2; exit 2 ;;
  esac
done
case "$runs" in
  '' | *[!0-9]* | 0) echo "install_speed: --runs takes a positive number" >&2; exit 2 ;;
esac
vornbuild=$build/apps/vornbuild/vornbuild
vornsetup=$build/apps/vornsetup/vornsetup
engine=$build/installer/engine/libvorn0132.so
floor=$build/tests/bench/install_floor_bench
for program in "$vornbuild" "$vornsetup" "$engine" "$floor"; do
  [ -x "$program" ] || { echo "install_speed: no $program (build it first)" >&2; exit 2; }
done
command -v python3 >/dev/null || { echo "install_speed: python3 is missing" >&2; exit 2; }
vornbuild=$(realpath "$vornbuild")
vornsetup=$(realpath "$vornsetup")
engine=$(realpath "$engine")
floor=$(realpath "$floor")
# The builds timed: this one ("this") and the baseline ("base") when given.
builds=this
if [ -n "$baseline" ]; then
  for program in "$baseline/apps/vornsetup/vornsetup" "$baseline/installer/engine/libvorn0132.so"; do
    [ -x "$program" ] || { echo "install_speed: no $program (build it first)" >&2; exit 2; }
  done
  base_vornsetup=$(realpath "$baseline/apps/vornsetup/vornsetup")
  base_engine=$(realpath "$baseline/installer/engine/libvorn0132.so")
  builds="this base"
fi

work=$(mktemp -d)
if [ "$keep" = 1 ]; then echo "install_speed: files in $work"; else trap 'rm -rf "$work"' EXIT; fi

# The payload and the script.
python3 - "$work" <<'EOF'
import os, sys
work = sys.argv[1]
words = b"alpha bravo charlie delta echo foxtrot golf hotel india juliet kilo lima".split()
seed, lines = 12345, []
while sum(map(len, lines)) < (1 << 20) + 10 * 10240:
    seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
    picked = b" ".join(words[(seed >> s) % len(words)] for s in (3, 7, 11, 15, 19))
    lines.append(b"%08d %08x %s\r\n" % (len(lines), seed, picked))
text = b"".join(lines)
script = ['set INSTDIR "C:\\\\BENCH"', 'mkdir "%INSTDIR%\\\\SMALL"', 'mkdir "%INSTDIR%\\\\LARGE"']
for folder, count, size in (("SMALL", 1000, 10240), ("LARGE", 10, 10 << 20)):
    os.makedirs(os.path.join(work, "files", folder))
    for n in range(count):
        name = "F%04d.DAT" % n
        with open(os.path.join(work, "files", folder, name), "wb") as out:
            left, at = size, (n * 7919) % (1 << 20)
            while left:
                piece = text[at:at + left]
                out.write(piece)
                left -= len(piece)
                at = 0
        script.append('install "files/%s/%s" to "%%INSTDIR%%\\\\%s\\\\%s"' % (folder, name, folder, name))
with open(os.path.join(work, "bench.vns"), "w") as out:
    out.write("\n".join(script) + "\n")
with open(os.path.join(work, "empty.vns"), "w") as out:
    out.write("\n".join(script[:3]) + "\n")
EOF

cd "$work"
TIMEFORMAT='%R %U %S'
# Appends "wall user system" of one run of the command to the file named first.
timed() {
  local into=$1
  shift
  { time "$@" >/dev/null 2>>messages; } 2>>"$into"
}
median() {
  sort -n | awk '{ v[NR] = $1 } END { printf "%.3f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
best() { sort -n | head -1 | awk '{ printf "%.3f", $1 }'; }
# Best or median (first argument) of the wall time (field 1) or of user + system (fields
# 2 and 3) in the file named second.
wall() { awk '{ print $1 }' "$2" | "$1"; }
cpu() { awk '{ print $2 + $3 }' "$2" | "$1"; }
# The install step alone: each round's installation less that round's empty setup (the
# second argument names the build, "" for this one).
step() {
  paste -d ' ' "t-install-$1$2" "t-install-empty$2" |
    awk '{ printf "%.4f %.4f 0\n", $1 - $4, $2 + $3 - $5 - $6 }' >"t-step-$1$2"
}
same() {
  cmp -s "files/SMALL/F0999.DAT" "$1/SMALL/F0999.DAT" && cmp -s "files/LARGE/F0009.DAT" "$1/LARGE/F0009.DAT" ||
    { echo "install_speed: $1 does not hold the files" >&2; exit 1; }
}

# Each build once: deflating 110 MB at the best compression takes a while.
timed t-build-stored "$vornbuild" --store bench.vns -o stored
timed t-build-deflated "$vornbuild" bench.vns -o deflated
"$vornbuild" --store empty.vns -o empty >/dev/null
bytes=$(du -sb --apparent-size files | awk '{ print $1 }')

# One measure of a round: "copy", "floor", or a setup kind and a build ("stored-this").
measure() {
  local round=$1 which program library suffix
  case "$2" in
    copy) timed t-copy cp -r files "round$round/copy" && same "round$round/copy" ;;
    floor) timed t-floor "$floor" files "round$round/floor" && same "round$round/floor" ;;
    *)
      which=${2#*-}
      if [ "$which" = this ]; then
        program=$vornsetup library=$engine suffix=
      else
        program=$base_vornsetup library=$base_engine suffix=-base
      fi
      timed "t-install-${2%-*}$suffix" "$program" --machine "round$round/$2" --silent \
        --engine "$library" "${2%-*}/SETUP.VRN"
      [ "${2%-*}" = empty ] || same "round$round/$2/drive_c/BENCH"
      ;;
  esac
}
measures=(copy floor)
for kind in empty stored deflated; do
  for which in $builds; do measures+=("$kind-$which"); done
done
for round in $(seq "$runs"); do
  mkdir "round$round"
  for kind in empty stored deflated; do
    for which in $builds; do
      if [ "$which" = this ]; then program=$vornsetup; else program=$base_vornsetup; fi
      "$program" --new-machine "round$round/$kind-$which" >/dev/null
    done
  done
  for ((at = 0; at < ${#measures[@]}; ++at)); do
    sync
    measure "$round" "${measures[(round - 1 + at) % ${#measures[@]}]}"
  done
done
rm -rf round*
for suffix in "" ${baseline:+-base}; do
  step stored "$suffix"
  step deflated "$suffix"
done

# zlib's own inflate of the same payload, each file by itself as the installation does,
# with the CRC-32 of what it gives.
python3 - deflated/SETUP.VRN "$runs" >t-inflate <<'EOF'
import struct, sys, time, zlib
data = open(sys.argv[1], "rb").read()
count, table_length = struct.unpack_from("<II", data, 80)
payload_length = struct.unpack_from("<I", data, 92)[0]
base = len(data) - payload_length
items, at = [], 100
for _ in range(count):
    offset, packed, size, crc = struct.unpack_from("<IIII", data, at)
    at += 17 + data[at + 16]
    items.append((data[base + offset:base + offset + packed], size, crc))
for _ in range(int(sys.argv[2])):
    start, cpu = time.perf_counter(), time.process_time()
    for packed, size, crc in items:
        out = zlib.decompressobj(-15).decompress(packed)
        if len(out) != size or zlib.crc32(out) != crc:
            sys.exit("install_speed: the payload does not inflate to its files")
    print("%.4f %.4f 0" % (time.perf_counter() - start, time.process_time() - cpu))
EOF

ratio() { echo "$1 $2" | awk '{ printf "%.2f", ($2 > 0 ? $1 / $2 : 0) }'; }
mbps() { echo "$bytes $1" | awk '{ printf "%.0f", ($2 > 0 ? $1 / $2 / 1e6 : 0) }'; }
echo "Payload: $bytes bytes in 1,010 files; stored archive $(wc -c <stored/SETUP.VRN) bytes," \
  "deflated $(wc -c <deflated/SETUP.VRN) bytes; $runs rounds; load average $(cut -d ' ' -f 1-3 /proc/loadavg)"
echo
echo "| measure | best wall (s) | best user + system (s) | median wall (s) | median user + system (s) | MB/s (best wall) |"
echo "|---|---:|---:|---:|---:|---:|"
for row in "cp -r:copy" "install, stored:install-stored" "install, deflated:install-deflated" \
  "required steps alone (install_floor_bench):floor" \
  "setup with no files (start-up):install-empty" "install step alone, stored:step-stored" \
  "install step alone, deflated:step-deflated" "zlib inflate + CRC-32 alone (python3 zlib):inflate" \
  "vornbuild --store (one run):build-stored" "vornbuild, deflate (one run):build-deflated"; do
  times=t-${row#*:}
  for suffix in "" ${baseline:+-base}; do
    [ -z "$suffix" ] || case "$times" in t-install-* | t-step-*) ;; *) continue ;; esac
    echo "| ${row%%:*}${suffix:+ (baseline)} | $(wall best "$times$suffix")" \
      "| $(cpu best "$times$suffix") | $(wall median "$times$suffix")" \
      "| $(cpu median "$times$suffix") | $(mbps "$(wall best "$times$suffix")") |"
  done
done
echo
for suffix in "" ${baseline:+-base}; do
  for row in "installation:install" "install step alone:step"; do
    times=t-${row#*:}-stored$suffix
    echo "Stored ${row%%:*}${suffix:+ (baseline)}, throughput as a share of cp -r's (best" \
      "rounds): wall $(ratio "$(wall best t-copy)" "$(wall best "$times")")," \
      "CPU $(ratio "$(cpu best t-copy)" "$(cpu best "$times")") (the aim is at least 0.80)"
  done
done
echo "The required steps alone, throughput as a share of cp -r's (best rounds): wall" \
  "$(ratio "$(wall best t-copy)" "$(wall best t-floor)"), CPU $(ratio "$(cpu best t-copy)" "$(cpu best t-floor)")" \
  "(as far as any installation can go here); the stored install step's throughput as a share" \
  "of theirs: $(ratio "$(wall best t-floor)" "$(wall best t-step-stored)")"
echo "Deflated installation: inflate alone is a share of" \
  "$(ratio "$(cpu best t-inflate)" "$(cpu best t-step-deflated)") of its install step's CPU time and" \
  "$(ratio "$(wall best t-inflate)" "$(wall best t-step-deflated)") of its wall time (best rounds)"
