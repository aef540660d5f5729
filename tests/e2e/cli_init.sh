#!/usr/bin/env bash
# zorvex-cli init on a temporary folder: the files a first start needs, byte
# for byte where their layout is fixed, and no second init over them.
set -euo pipefail
cli="$1"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$cli" init "$folder/program" > "$folder/out.txt"
grep -q "Program folder ready" "$folder/out.txt" || fail "no confirmation printed"

expected=$(printf '"Config: <Actual_Project_Number>, <Last_Project>,<Serial_COM>,<Restart_Time>"\r\n1,1,4,0\r\n' | od -An -c)
actual=$(od -An -c < "$folder/program/config.dat")
[ "$expected" = "$actual" ] || fail "config.dat differs"

for plate in z384 z96f z96u z24 z48 z6 z96flat; do
  [ -s "$folder/program/$plate.dat" ] || fail "$plate.dat missing"
done
for project in "$folder/program" "$folder/program/p00001"; do
  [ "$(wc -l < "$project/setup.dat")" -eq 20 ] || fail "$project/setup.dat is not 20 lines"
  for side in status.dat threshld.dat groups.dat chgroup.dat; do
    [ "$(wc -l < "$project/$side")" -eq 385 ] || fail "$project/$side is not 385 lines"
  done
done
head -2 "$folder/program/p00001/setup.dat" | tail -1 | grep -q '^1,"Demo",' || fail "p00001 is not the demo project"

before=$(md5sum "$folder/program/config.dat")
if "$cli" init "$folder/program" 2> "$folder/err.txt"; then fail "second init did not refuse"; fi
[ -s "$folder/err.txt" ] || fail "second init gave no reason"
[ "$before" = "$(md5sum "$folder/program/config.dat")" ] || fail "second init touched config.dat"

if "$cli" no-such-command 2> /dev/null; then fail "unknown command accepted"; fi
echo "1 passed, 0 failed"
