#!/usr/bin/env bash
# zorvex-cli record against zorvex-sim on a pty, three runs side by side:
# a clean 2-minute recording with RT_Buffer 200, the same with faulty and
# short sample blocks at 5 %, and a run stopped by SIGINT. The clean and the
# stopped run go on a clock 4 times as fast; the faulty line's run keeps real
# time, for its short blocks cost real read timeouts: on the fast clock its
# lapse could end within the zero-level reading, before any bin.
set -euo pipefail
cli="$1"
sim="$2"
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
  wait 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
dump_bytes=$(( (200 + 1) * 385 * 2 ))

# A program folder whose project 1 has RT_Buffer 200, with a simulator on COM4.
prepare() {
  local program="$work/$1"
  "$cli" init "$program" > /dev/null
  sed -i '4s/^\([^,]*\),\([^,]*\),\([^,]*\),[^,]*,/\1,\2,\3,200,/' "$program/p00001/setup.dat"
  local before
  before=$(sed -n '5p' "$program/comports.dat")
  shift
  "$sim" --program-folder "$program" --com 4 --seconds 600 "$@" > "$work/$(basename "$program").sim" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    [ "$(sed -n '5p' "$program/comports.dat")" != "$before" ] && return 0
    sleep 0.1
  done
  fail "simulator for $1 did not start"
}

# Checks the acquisition folder printed in $1.out: whole records, one per
# bin line, dumps of the right size, minutes never falling. Leaves the folder
# in $checked_folder and the last record's minute in $checked_minute.
check_folder() {
  local name="$1" folder records bins
  folder=$(sed -n 's/^Acquisition folder: //p' "$work/$name.out")
  [ -d "$folder" ] || fail "$name: no acquisition folder printed"
  [ -f "$folder/counts.bin" ] || fail "$name: no counts.bin"
  local size
  size=$(stat -c %s "$folder/counts.bin")
  [ $(( size % 774 )) -eq 0 ] || fail "$name: counts.bin of $size bytes holds a partial record"
  records=$(( size / 774 ))
  bins=$(grep -c '^record ' "$work/$name.out" || true)
  [ "$records" -ge 1 ] || fail "$name: no record"
  [ "$records" -eq "$bins" ] || fail "$name: $records records for $bins bins"
  grep -q 'not saved' "$work/$name.out" && fail "$name: a bin was not saved"
  local dumps=0 file
  for file in "$folder"/[0-9]*.bin; do
    local bytes
    bytes=$(stat -c %s "$file")
    [ $(( bytes % dump_bytes )) -eq 0 ] || fail "$name: $file is not whole dumps"
    [ $(( bytes / dump_bytes )) -le 11 ] || fail "$name: $file holds more than 11 dumps"
    dumps=$(( dumps + bytes / dump_bytes ))
  done
  [ "$dumps" -eq "$records" ] || fail "$name: $dumps dumps for $records records"
  local previous=0 k minute
  for (( k = 0; k < records; k++ )); do
    minute=$(od -An -t d4 -j $(( k * 774 )) -N 4 "$folder/counts.bin" | tr -d ' ')
    [ "$minute" -ge "$previous" ] || fail "$name: record $k at minute $minute after minute $previous"
    previous=$minute
  done
  [ -f "$folder/setup.dat" ] || fail "$name: no setup copy"
  [ -f "$folder/subproj.dat" ] || fail "$name: no subproj.dat"
  checked_folder="$folder"
  checked_minute=$previous
  echo "$name: $records bins recorded, last at minute $previous"
}

prepare clean
prepare faults --faults faulty=0.05,short=0.05
prepare stopped

"$cli" record --program-folder "$work/clean" --clock-rate 4 --minutes 2 --name "End to end" --description "clean line" \
  > "$work/clean.out" 2> "$work/clean.err" &
clean_pid=$!
"$cli" record --program-folder "$work/faults" --minutes 2 --name "Faults" \
  > "$work/faults.out" 2> "$work/faults.err" &
faults_pid=$!
"$cli" record --program-folder "$work/stopped" --clock-rate 4 --minutes 30 --name "Stopped" \
  > "$work/stopped.out" 2> "$work/stopped.err" &
stopped_pid=$!

for _ in $(seq 600); do
  grep -q '^record 2 ' "$work/stopped.out" && break
  sleep 0.1
done
kill -INT "$stopped_pid"
wait "$stopped_pid" || fail "stopped: exit status $?"
wait "$clean_pid" || fail "clean: exit status $?"
wait "$faults_pid" || fail "faults: exit status $?"

check_folder clean
folder="$checked_folder"
[ "$checked_minute" -ge 1 ] || fail "clean: minutes never rose (last $checked_minute)"
grep -q '^Acquisition finished$' "$work/clean.err" || fail "clean: no end message"
printf '"End to end"\r\n"clean line"\r\n' | cmp -s - "$folder/subproj.dat" || fail "clean: subproj.dat differs"
sed -n '4p' "$folder/setup.dat" | grep -q '^1,2,99,200,' || fail "clean: setup copy does not record the 2 minutes"
sed -n '4p' "$work/clean/p00001/setup.dat" | grep -q '^1,10,99,200,' || fail "clean: project setup.dat was rewritten"
grep -q '^Report: ' "$work/clean.out" || fail "clean: no report at the end of the lapse"
"$cli" rhythm "$folder" --program-folder "$work/clean" > "$work/rhythm.out" 2>&1 || fail "rhythm: $(cat "$work/rhythm.out")"
[ -f "$folder/rhythm/Monitor1.txt" ] && [ -f "$folder/rhythm/metadata.csv" ] || fail "rhythm: files missing"
awk -F'\t' 'NF != 42 { exit 1 }' "$folder/rhythm/Monitor1.txt" || fail "rhythm: a monitor line without 42 columns"
"$cli" export "$folder" --program-folder "$work/clean" > "$work/export.out" 2>&1 || fail "export: $(cat "$work/export.out")"
table="$folder/activity_1min.csv"
[ "$(cat "$work/export.out")" = "$table" ] || fail "export: printed $(cat "$work/export.out")"
head -1 "$table" | grep -q '^datetime,elapsed_min,well,row,column,beams,group,group_name,activity,light,temperature_c,status' \
  || fail "export: header $(head -1 "$table")"
# The demo plate's 96 wells, each with one row per line of the monitor files.
[ "$(wc -l < "$table")" -eq $(( 1 + 96 * $(wc -l < "$folder/rhythm/Monitor1.txt") )) ] || fail "export: rows do not match"

check_folder faults

check_folder stopped
folder="$checked_folder"
grep -q 'Acquisition finished' "$work/stopped.err" && fail "stopped: reported as finished"
[ -e "$folder/report.csv" ] && fail "stopped: a stop wrote a report"
echo "1 passed, 0 failed"
