#!/usr/bin/env bash
# Measures our DXF load beside other public DXF readers on the same generated
# drawing, in one run on one machine: wall time (hyperfine) and peak memory.
# The other readers are installed here for the measurement only; nothing of
# them becomes part of the project.
# Usage: tests/bench/compare_readers.sh [MEGABYTES]   (run from the project root)
set -euo pipefail
megabytes=${1:-100}
root=$(pwd)
work=${PLANDRA_PEERS_DIR:-/tmp/plandra-peers}

export DEBIAN_FRONTEND=noninteractive
for needed in ogrinfo:gdal-bin hyperfine:hyperfine node:nodejs npm:npm; do
  command -v "${needed%%:*}" >/dev/null || apt-get install -y -qq --no-install-recommends "${needed#*:}" >/dev/null
done
/usr/bin/python3 -c 'import ezdxf' 2>/dev/null ||
  apt-get install -y -qq --no-install-recommends python3-ezdxf >/dev/null
mkdir -p "$work"
if [ ! -d "$work/node_modules/dxf-parser" ] || [ ! -d "$work/node_modules/dxf" ]; then
  (cd "$work" && npm init -y >/dev/null && npm install --silent dxf-parser dxf >/dev/null)
fi

cmake --preset release >/dev/null
cmake --build --preset release --target plandra generate_r12_drawing >/dev/null
drawing="$work/r12-${megabytes}mb.dxf"
[ -f "$drawing" ] || build/release/tests/bench/generate_r12_drawing "$drawing" "$megabytes"

plandra="$root/build/release/apps/plandra/plandra info --strict $drawing"
dxf_parser="node -e \"const P=require('$work/node_modules/dxf-parser');new P().parseSync(require('fs').readFileSync('$drawing','utf8'))\""
dxf_package="node -e \"require('$work/node_modules/dxf').parseString(require('fs').readFileSync('$drawing','utf8'))\""
ogrinfo="ogrinfo -al -so $drawing"
ezdxf="/usr/bin/python3 -c \"import ezdxf; ezdxf.readfile('$drawing')\""
wc="wc -l $drawing"

peak_megabytes() {
  /usr/bin/python3 -c '
import resource, subprocess, sys
subprocess.run(sys.argv[1], shell=True, stdout=subprocess.DEVNULL, check=True)
print(round(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024))' "$1"
}

echo "drawing: $drawing ($(stat -c %s "$drawing") bytes)"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
hyperfine --warmup 1 --runs "${RUNS:-5}" --export-markdown "$work/times.md" \
  -n "plandra info" "$plandra" -n "dxf-parser (npm)" "$dxf_parser" \
  -n "dxf (npm)" "$dxf_package" -n "ogrinfo -al -so (GDAL)" "$ogrinfo" \
  -n "ezdxf (Python)" "$ezdxf" -n "wc -l" "$wc"
cat "$work/times.md"
echo
echo "| reader | peak memory (MB) |"
echo "|---|---|"
for entry in "plandra info|$plandra" "dxf-parser (npm)|$dxf_parser" "dxf (npm)|$dxf_package" \
             "ogrinfo -al -so (GDAL)|$ogrinfo" "ezdxf (Python)|$ezdxf" "wc -l|$wc"; do
  echo "| ${entry%%|*} | $(peak_megabytes "${entry#*|}") |"
done
