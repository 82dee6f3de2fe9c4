#!/usr/bin/env bash
# The product on a fresh sandbox machine, as a user meets it: the product folder as the
# machine's read-only CD drive, a silent installation from the answer file on it, the
# installed sample drawn, exported and marked up by `plandra script`, and `rescind32 /A`
# with the installed log; the machine then equals its state before the installation but
# for what is left by design.
# Usage: sandbox_end_to_end.sh PRODUCT_DIR PLANDRA RESCIND32 SOURCE_DIR
set -euo pipefail
product=$1 plandra=$2 rescind32=$3 source=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
machine=$work/machine
c=$machine/drive_c
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Every path of the machine with a digest of each file's bytes.
snapshot() {
  (cd "$machine" && find . -print | LC_ALL=C sort | while IFS= read -r path; do
    if [ -d "$path" ]; then echo "$path/"; else echo "$path $(sha256sum <"$path" | cut -c1-16)"; fi
  done)
}

"$product/vornsetup" --new-machine "$machine" >/dev/null
snapshot >"$work/before"
ls -lR --time-style=full-iso "$product" >"$work/medium"

# The product folder is the medium in drive D:, read-only; the answer file is found there.
"$product/vornsetup" --machine "$machine" --medium "$product" --silent "$product/SETUP.VRN" \
  '/M=ANSWERS.TXT' || fail "the silent installation failed"
ls -lR --time-style=full-iso "$product" | diff -u "$work/medium" - ||
  fail "the installation wrote to its medium"

# Each installed file, its source, and the record the log must hold for it.
while read -r installed from; do
  cmp -s "$c/PLANDRA/$installed" "$source/$from" || fail "$installed differs from $from"
  grep -qF "File Copy: C:\\PLANDRA\\${installed//\//\\}"$'\r' "$c/PLANDRA/INSTALL.LOG" ||
    fail "INSTALL.LOG does not record $installed"
done <<'FILES'
SAMPLES/SITE-PLAN.DXF samples/site-plan.dxf
SAMPLES/BLOCKS.DXF samples/blocks.dxf
SAMPLES/TEXTS.DXF samples/texts.dxf
SAMPLES/POLYLINES.DXF samples/polylines.dxf
SAMPLES/PENS.DXF samples/pens-and-colours.dxf
SAMPLES/FIND.DXF samples/find-texts.dxf
EXAMPLES/LAYERS.VBS samples/layers.vbs
EXAMPLES/CONTAINER.CPP samples/container/container.cpp
README.TXT README.md
FILES
grep -q '^Title: Plandra Setup' "$c/PLANDRA/INSTALL.LOG" || fail "INSTALL.LOG has no title"
grep -q '|Success|' "$c/WINNT/PLANDRA.MIF" || fail "the status file does not say Success"

# The configuration: registry keys, the settings file and the Program Manager group with
# its three items, each on the machine and in the log.
for record in 'RegDB Key: Software\Vorn\Plandra' 'INI File: C:\WINNT\PLANDRA.INI' \
  'Icon Group: Plandra' 'Icon Name: Read me' 'Icon Name: Site plan' 'Icon Name: Uninstall Plandra'; do
  grep -qF "$record"$'\r' "$c/PLANDRA/INSTALL.LOG" || fail "INSTALL.LOG does not record $record"
done
grep -qF 'SOFTWARE\Vorn\Plandra]' "$machine/registry.reg" || fail "the registry lacks Plandra's key"
grep -qx 'Units=mm' <(tr -d '\r' <"$c/WINNT/PLANDRA.INI") || fail "PLANDRA.INI lacks its settings"
[ "$(grep -c 'Uninstall Plandra\|Read me\|Site plan' "$c/WINNT/GROUP1.GRP")" = 3 ] ||
  fail "the Program Manager group lacks its items"

# The user's work with the installed control: files the uninstaller must leave alone.
"$plandra" script --stop-on-error >"$work/script.out" <<SCRIPT || fail "plandra script failed"
FileName = "$c/PLANDRA/SAMPLES/SITE-PLAN.DXF"
Regen 0
SaveWMF "$c/PLANDRA/SITE-PLAN.EMF"
colLayers.Add -1, 255, "MARKUP", -1, True
DXFAddLine 0, 30, 40, 0, "MARKUP"
DXFAddCircle 20, 15, 28, 15, "MARKUP"
Save "$c/PLANDRA/MARKED.DXF"
SCRIPT
[ "$(od -An -c -j40 -N4 "$c/PLANDRA/SITE-PLAN.EMF" | tr -d ' ')" = EMF ] ||
  fail "SITE-PLAN.EMF is not an enhanced metafile"
tr -d '\r' <"$c/PLANDRA/MARKED.DXF" | grep -qx MARKUP || fail "MARKED.DXF lacks the markup layer"

status=0
"$rescind32" --machine "$machine" /A 'C:\PLANDRA\INSTALL.LOG' >"$work/rescind.out" || status=$?
# 3: done, with the folder of the user's files left in place.
[ "$status" = 3 ] || fail "rescind32 ended with $status: $(cat "$work/rescind.out")"
grep -q 'VALUE = "Success"' "$c/WINNT/PLANDRA.MIF" || fail "the status file does not record the removal"

# Left by design: the user's files and their folder (with the sandbox's record of its
# names), the status file, Program Manager's own settings file, and the sandbox's own
# records of DDE, window messages and the medium in its drive.
snapshot | grep -v -e '^\./drive_c/PLANDRA/$' -e '^\./drive_c/PLANDRA/MARKED\.DXF ' \
  -e '^\./drive_c/PLANDRA/SITE-PLAN\.EMF ' -e '^\./drive_c/PLANDRA/sandbox:entries ' \
  -e '^\./drive_c/WINNT/PLANDRA\.MIF ' -e '^\./drive_c/WINNT/PROGMAN\.INI ' -e '^\./dde/$' -e '^\./messages\.log ' \
  -e '^\./media\.txt ' >"$work/after" || true
diff -u "$work/before" "$work/after" || fail "the machine differs from its state before the installation"
echo "the product installed, worked and was removed"
