#!/usr/bin/env bash
# zorvex-cli on acquisition folders that are not what they seem: odd folder
# names, a 10 GB sparse counts.bin, a FIFO in place of setup.dat, links to
# devices, a real-time file that is a folder. Each run must end, quickly and
# with a message, never hang or crash, and never load the huge file.
set -euo pipefail
cli="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
program="$work/program"
"$cli" init "$program" > /dev/null
export ZORVEX_HOME="$program"

# One counts.bin record: minute (32-bit), 384 counts of 0 but channel 0, 25.0 degrees.
record() {
  printf "\\x$(printf %02x "$1")\\x00\\x00\\x00\\x05\\x00"
  head -c 766 /dev/zero
  printf '\xfa\x00'
}
# An acquisition folder of project 1 with the project's files and 3 records.
acquisition() {
  local folder="$program/p00001/$1"
  mkdir -p "$folder"
  cp "$program"/p00001/{setup.dat,status.dat,threshld.dat,groups.dat,chgroup.dat} "$folder/"
  { record 30; record 60; record 90; } > "$folder/counts.bin"
  echo "$folder"
}
# Runs the CLI with a time limit; its status in $status, its messages in $work/err.
run() {
  status=0
  timeout 60 "$cli" "$@" > "$work/out" 2> "$work/err" || status=$?
  [ "$status" -ne 124 ] || fail "$1 hung on $2"
  [ "$status" -lt 128 ] || fail "$1 crashed on $2 (status $status)"
}

plain=$(acquisition 06122026_1458)
run report "$plain"
[ "$status" -eq 0 ] || fail "report of a plain folder failed: $(cat "$work/err")"
[ -f "$plain/report.csv" ] || fail "no report.csv for a plain folder"

odd=$(acquisition "06122026_1459 it's \"odd\", ω")
run report "$odd"
[ "$status" -eq 0 ] || fail "report of an oddly named folder failed: $(cat "$work/err")"
[ -f "$odd/report.csv" ] || fail "no report.csv in the oddly named folder"

huge=$(acquisition 06122026_1500)
truncate -s 10G "$huge/counts.bin"
/usr/bin/time -o "$work/peak" -f '%M' timeout 60 "$cli" report "$huge" > /dev/null 2> "$work/err" || true
grep -q '^Report Error$' "$work/err" || fail "10 GB counts.bin: no Report Error ($(cat "$work/err"))"
[ -e "$huge/report.csv" ] && fail "10 GB counts.bin gave a report"
peak=$(tail -1 "$work/peak")
[ "$peak" -lt 600000 ] || fail "10 GB counts.bin: $peak kB resident, the file was loaded"

run join "$program/p00001" 06122026_1458 06122026_1500
[ "$status" -ne 0 ] || fail "join took a 10 GB counts.bin as empty"
grep -q '^Join Error: cannot read ' "$work/err" || fail "join gave no reason: $(cat "$work/err")"

fifo=$(acquisition 06122026_1501)
rm "$fifo/setup.dat"
mkfifo "$fifo/setup.dat"
run report "$fifo"
[ "$status" -ne 0 ] || fail "report read a FIFO as setup.dat"
grep -q 'setup.dat' "$work/err" || fail "FIFO setup.dat: no message naming it"

device=$(acquisition 06122026_1502)
ln -sf /dev/zero "$device/counts.bin"
run report "$device"
grep -q '^Activity file not Found$' "$work/err" || fail "counts.bin linked to /dev/zero was read"

folder=$(acquisition 06122026_1503)
mkdir "$folder/0.bin"
run recalc "$folder" --method 1 --snr 1.8 --replace
grep -q '^Real Time Data Not Found$' "$work/err" || fail "0.bin as a folder: $(cat "$work/err")"
cmp -s <({ record 30; record 60; record 90; }) "$folder/counts.bin" || fail "recalc touched counts.bin"

echo "1 passed, 0 failed"
