#!/usr/bin/env bash
# `rescind32 /A` over logs of registry, service and uninstall-program records on fresh
# sandbox machines: the database engine's use count, values put back with their types,
# values removed with the keys they leave empty, whole key trees, services deleted and
# uninstall programs run, folders and files it must keep, a rollback without its backup.
# Each case starts from a new machine holding what the installation left, and checks the
# registry file line by line, the files and the program's output afterwards.
# Last, the program removing itself, in two runs.
# Usage: rescind32_records.sh VORNSETUP RESCIND32
set -euo pipefail
vornsetup=$1 rescind32=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

header=$'***  Installation Started 01/02/03 4:05  ***\nTitle: Demo Installation\nSource: C:\\SETUP.EXE\n'
hklm='HKEY_LOCAL_MACHINE\SOFTWARE'
engine="[$hklm\\Borland\\Database Engine]"
service='[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\DemoService]'

# run_case NAME EXIT ADMIN REGISTRY LOG EXPECTED [FILES [OPTIONS]]
#   REGISTRY: regedit text added to the new machine's registry before the run.
#   LOG: the records after the log's header.
#   EXPECTED: lines of "+TEXT" (a line the registry file must hold afterwards), "-TEXT"
#   (one it must not hold), ">TEXT" (text the program's output must hold), "#TEXT" (text
#   that must stand on exactly one line of the output), "=PATH" (a file of the machine
#   folder that must stay), "!PATH" (one that must be gone) and "log" (the log stays).
#   FILES: lines of "PATH=TEXT", each adding a line to a file of the machine folder.
#   OPTIONS: the program's options before the log (/A unless given).
run_case() {
  local name=$1 exit=$2 admin=$3 registry=$4 log=$5 expected=$6 files=${7:-} options=${8:-/A}
  local machine=$work/$name status=0 keepLog=0
  "$vornsetup" --new-machine "$machine" >/dev/null
  sed -i "s/^Admin=1/Admin=$admin/" "$machine/machine.ini"
  printf '%s\n' "$registry" | sed 's/$/\r/' >>"$machine/registry.reg"
  mkdir -p "$machine/drive_c/APP"
  while IFS= read -r line; do
    [ -n "$line" ] || continue
    mkdir -p "$(dirname "$machine/${line%%=*}")"
    printf '%s\r\n' "${line#*=}" >>"$machine/${line%%=*}"
  done <<<"$files"
  printf '%s%s' "$header" "$log" | sed 's/$/\r/' >"$machine/drive_c/APP/INSTALL.LOG"
  # shellcheck disable=SC2086 # the options are words of their own
  "$rescind32" --machine "$machine" $options 'C:\APP\INSTALL.LOG' >"$work/$name.out" 2>&1 ||
    status=$?
  local problems=()
  [ "$status" = "$exit" ] || problems+=("exit status $status, not $exit")
  local after
  after=$(tr -d '\r' <"$machine/registry.reg")
  while IFS= read -r line; do
    case $line in
    +*) grep -qxF -- "${line:1}" <<<"$after" || problems+=("lacks ${line:1}") ;;
    -*) ! grep -qxF -- "${line:1}" <<<"$after" || problems+=("still holds ${line:1}") ;;
    \>*) grep -qF -- "${line:1}" "$work/$name.out" || problems+=("never showed ${line:1}") ;;
    \#*) [ "$(grep -cF -- "${line:1}" "$work/$name.out")" = 1 ] ||
      problems+=("did not show once ${line:1}") ;;
    =*) [ -e "$machine/${line:1}" ] || problems+=("lost ${line:1}") ;;
    !*) [ ! -e "$machine/${line:1}" ] || problems+=("left ${line:1}") ;;
    log) keepLog=1 ;;
    esac
  done <<<"$expected"
  if [ "$keepLog" = 1 ] && [ ! -e "$machine/drive_c/APP/INSTALL.LOG" ]; then
    problems+=("removed the log")
  elif [ "$keepLog" = 0 ] && [ -e "$machine/drive_c/APP/INSTALL.LOG" ]; then
    problems+=("kept the log")
  fi
  if [ ${#problems[@]} -gt 0 ]; then
    failures=$((failures + 1))
    echo "FAIL: $name"
    printf '  %s\n' "${problems[@]}"
    sed 's/^/  | /' "$work/$name.out"
  fi
}

run_case count_down_from_text 0 1 "$engine
\"UseCount\"=\"3\"" $'SubSystem: BDE\n' "+$engine
+\"UseCount\"=\"2\""

run_case count_down_from_number 0 1 "$engine
\"UseCount\"=dword:00000105" $'SubSystem: BDE\n' "+\"UseCount\"=\"260\""

run_case last_user_takes_the_engine_and_the_empty_vendor_key 0 1 "$engine
\"UseCount\"=dword:00000001

[$hklm\\Borland\\Database Engine\\Settings\\Drivers]
\"Path\"=\"C:\\\\IDAPI\"

[$hklm\\Borland\\BLW32]
\"BLAPIPATH\"=\"C:\\\\IDAPI\"" $'SubSystem: BDE\n' "-$engine
-[$hklm\\Borland\\Database Engine\\Settings\\Drivers]
-[$hklm\\Borland\\BLW32]
-[$hklm\\Borland]
+[$hklm]"

run_case last_user_leaves_the_vendors_other_products 0 1 "$engine
\"UseCount\"=\"1\"

[$hklm\\Borland\\Delphi]
\"Version\"=\"2.0\"" $'SubSystem: BDE\n' "-$engine
+[$hklm\\Borland\\Delphi]"

run_case old_values_go_back_with_their_types 0 1 "[HKEY_CURRENT_USER\\Software\\Demo]
\"Text\"=\"after\"
\"Number\"=dword:00000009" 'RegDB Key: Software\Demo
RegDB Val: after
RegDB Name: Text
RegDB Root: 1
RegDB Old: before
RegDB Key: Software\Demo
RegDB Val: 9
RegDB Name: Number
RegDB Type: 3
RegDB Root: 1
RegDB Old: 7
RegDB Key: Software\Demo\Gone
RegDB Val: 0102
RegDB Name: Bytes
RegDB Type: 4
RegDB Root: 1
RegDB Old: 0a 0b
RegDB Key: Software\Demo\Gone
RegDB Val: x
RegDB Name: List
RegDB Type: 2
RegDB Root: 1
RegDB Old: a
RegDB Old: b
' '+[HKEY_CURRENT_USER\Software\Demo]
+"Text"="before"
+"Number"=dword:00000007
+[HKEY_CURRENT_USER\Software\Demo\Gone]
+"Bytes"=hex:0a,0b
+"List"=hex(7):61,00,62,00,00'

run_case removed_values_take_the_keys_they_empty 0 1 "[$hklm\\Demo]
\"Keep\"=\"the user's\"

[$hklm\\Demo\\App\\Sub]
\"Path\"=\"C:\\\\APP\"" 'RegDB Key: Software\Demo\App\Sub
RegDB Val: C:\APP
RegDB Name: Path
RegDB Root: 2
RegDB Key: Software\Demo
RegDB Val: gone already
RegDB Name: Missing
RegDB Root: 2
RegDB Key: Software\Never\Made
RegDB Val: x
RegDB Name: Path
RegDB Root: 2
' "-[$hklm\\Demo\\App\\Sub]
-[$hklm\\Demo\\App]
+[$hklm\\Demo]
+\"Keep\"=\"the user's\""

run_case trees_go_whole_but_shared_top_level_keys_stay 3 1 "[$hklm\\Demo\\One\\Two]
\"Deep\"=\"1\"

[$hklm\\Classes\\CLSID\\Shared]

[$hklm\\Demo Company\\Demo Product Name\\Version 1.0\\Settings]" 'RegDB Tree: Software\Demo
RegDB Root: 2
RegDB Tree: Software\Demo Company\Demo Product Name\Version 1.0\Settings
RegDB Root: 2
RegDB Tree: Software\Absent
RegDB Root: 2
RegDB Tree: CLSID
RegDB Root: 0
RegDB Tree: Software
RegDB Root: 1
RegDB Tree: Software\Demo
RegDB Root: 9
' "-[$hklm\\Demo\\One\\Two]
-[$hklm\\Demo]
+[$hklm\\Classes\\CLSID\\Shared]
-[$hklm\\Demo Company\\Demo Product Name\\Version 1.0\\Settings]
+[$hklm\\Demo Company\\Demo Product Name\\Version 1.0]
>Key Sub-Tree: Software\\...mo Product Name\\Version 1.0\\Settings
+[HKEY_CURRENT_USER\\Software]"

run_case without_rights_nothing_is_written_and_the_log_stays 3 0 "[$hklm\\Demo\\Tree]
\"Value\"=\"new\"

$service
\"Type\"=dword:00000010" 'RegDB Key: Software\Demo\Tree
RegDB Val: new
RegDB Name: Value
RegDB Root: 2
RegDB Old: old
RegDB Tree: Software\Demo
RegDB Root: 2
Create Service: DemoService
' "+[$hklm\\Demo\\Tree]
+\"Value\"=\"new\"
+$service
log"

run_case services_go_and_a_missing_one_is_no_fault 0 1 "$service
\"Type\"=dword:00000010
\"ImagePath\"=\"C:\\\\APP\\\\DEMO.EXE\"" $'Create Service: DemoService\nCreate Service: NeverMade\n' \
  "-$service"

# The uninstall program runs before anything else goes; one that is not there is passed
# over with a word to the user, and the log, which a later run cannot mend, goes.
run_case uninstall_programs_run_first 3 1 "" 'Execute Path: C:\APP\UNINST.EXE
Execute Name: Demo clean-up
Execute Path: C:\APP\GONE.EXE
' '!drive_c/APP/DATA.DAT
=drive_c/APP/UNINST.EXE' 'drive_c/APP/UNINST.EXE=program
drive_c/APP/DATA.DAT=the program'"'"'s own data
programs.ini=[C:\APP\UNINST.EXE]
programs.ini=Deletes=C:\APP\DATA.DAT'

run_case folders_and_files_it_may_not_remove 3 1 "" 'File Copy: C:\APP\SUB
Made Dir: C:\WINNT\SYSTEM32
Made Dir: C:\
' "=drive_c/APP/SUB/NOTES.TXT
=drive_c/WINNT/SYSTEM32
#Left C:\\APP\\SUB: a folder stands where the log names a file
#Left C:\\WINNT\\SYSTEM32\\: a system folder or a drive's root is never removed
#Left C:\\: a system folder or a drive's root is never removed" "drive_c/APP/SUB/NOTES.TXT=the user's"

# A rollback whose backup is gone leaves the newer file and keeps the first installation's
# records in the log.
run_case rollback_without_its_backup 3 1 "" 'Made Dir: C:\APP
File Copy: C:\APP\A.EXE
'"$header"'Made Dir: C:\APP\BACKUP
File Overwrite: C:\APP\A.EXE
Backup Copy: C:\APP\BACKUP\A.EXE
' '=drive_c/APP/A.EXE
>Left C:\APP\A.EXE: its backup C:\APP\BACKUP\A.EXE is missing
log' 'drive_c/APP/A.EXE=version 2' '/A /R'

# The program removing itself on a Windows 95 machine: the first run leaves its own file,
# starts a copy of itself from the temporary folder, has Windows delete that copy at the
# next start through WININIT.INI, and reports nothing left, since the copy's run then
# deletes the program and its folder.
self=$work/self
c=$self/drive_c
"$vornsetup" --new-machine "$self" >/dev/null
sed -i 's/^Family=NT/Family=95/' "$self/machine.ini"
# Lays C:\APP out as the setup made it (the program and the log that names it) and runs
# the program from there.
run_from_app() {
  mkdir -p "$c/APP"
  echo program >"$c/APP/RESCIND32.EXE"
  printf '%sMade Dir: C:\\APP\nFile Copy: C:\\APP\\RESCIND32.EXE\n' "$header" | sed 's/$/\r/' \
    >"$c/APP/INSTALL.LOG"
  status=0
  "$rescind32" --machine "$self" --program 'C:\APP\RESCIND32.EXE' /A 'C:\APP\INSTALL.LOG' \
    >"$work/self.out" 2>&1 || status=$?
}
run_from_app
copy=$(sed -n 's/^NUL=C:\\TEMP\\\(KTB[0-9A-F]*\.EXE\)\r$/\1/p' "$c/WINNT/WININIT.INI" 2>/dev/null || true)
broken=0
[ "$status" = 0 ] || broken=1
[ -n "$copy" ] && cmp -s "$c/TEMP/$copy" "$c/APP/RESCIND32.EXE" || broken=1
[ "$(head -n 1 "$c/WINNT/WININIT.INI")" = $'[rename]\r' ] || broken=1
grep -qF "CreateProcessA: \"C:\\TEMP\\$copy\" /z \"C:\\APP\\RESCIND32.EXE\" \"C:\\APP\\\"" \
  "$self/processes.log" || broken=1
if [ "$broken" = 1 ]; then
  failures=$((failures + 1))
  echo "FAIL: the first run did not hand its own removal to a copy (exit status $status)"
  sed 's/^/  | /' "$work/self.out"
fi
"$rescind32" --machine "$self" /z 'C:\APP\RESCIND32.EXE' "C:\\APP\\" >/dev/null 2>&1 || true
if [ -e "$c/APP" ]; then
  failures=$((failures + 1))
  echo "FAIL: the copy's run left C:\APP"
fi
# A file the log does not name beside the program keeps the folder, and the run says so.
mkdir -p "$c/APP"
echo other >"$c/APP/OTHER.TXT"
run_from_app
if [ "$status" != 3 ] || ! grep -qF 'Left C:\APP\: the folder still holds' "$work/self.out"; then
  failures=$((failures + 1))
  echo "FAIL: a folder with a file the log does not name was not reported (exit status $status)"
fi

[ "$failures" = 0 ] || exit 1
echo "all cases passed"
