#!/usr/bin/env bash
# zorvex-cli record against zorvex-sim when things go wrong: the instrument
# vanishing mid-run, a disk that fills up (a file-size limit with SIGXFSZ
# ignored), and the program killed with SIGKILL at random moments. Every bin
# that completed must stay whole on disk and readable by zorvex-cli report.
# The recordings run on a clock 4 times as fast: a bin every 1.5 s.
#   faults.sh CLI SIM [KILL_TRIALS]
set -euo pipefail
cli="$1"
sim="$2"
trials="${3:-20}"
work=$(mktemp -d)
trap 'wait 2> /dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
dump_bytes=$(( (200 + 1) * 385 * 2 ))

# Each run is a background job of its own; whatever it started ends with it.
mine=()
own() {
  mine+=("$1")
  trap 'kill "${mine[@]}" 2> /dev/null || true' EXIT
}

# A program folder $work/NAME whose project 1 has RT_Buffer 200 (a bin every
# 6 s of the clock), with a simulator on COM4 given the remaining options.
# Sets $sim_pid.
prepare() {
  local name="$1" program="$work/$1" before
  shift
  "$cli" init "$program" > /dev/null
  sed -i '4s/^\([^,]*\),\([^,]*\),\([^,]*\),[^,]*,/\1,\2,\3,200,/' "$program/p00001/setup.dat"
  before=$(sed -n '5p' "$program/comports.dat")
  "$sim" --program-folder "$program" --com 4 --seconds 300 "$@" > "$work/$name.sim" 2>&1 &
  sim_pid=$!
  own "$sim_pid"
  for _ in $(seq 100); do
    [ "$(sed -n '5p' "$program/comports.dat")" != "$before" ] && return 0
    sleep 0.1
  done
  fail "simulator for $name did not start"
}

# Waits up to $2 seconds for the line "record $3 " in $work/$1.out.
await_bin() {
  for _ in $(seq $(( $2 * 10 ))); do
    grep -q "^record $3 " "$work/$1.out" && return 0
    sleep 0.1
  done
  fail "$1: record $3 did not come within $2 s"
}

# Checks the acquisition of $work/NAME: counts.bin whole records, each
# real-time file whole dumps (at most 11), one dump per record (a kill between
# a bin's dump and its record leaves one dump more). Sets $records, $folder.
check_whole() {
  local name="$1" size dumps=0 file bytes
  folder=$(find "$work/$name/p00001" -mindepth 1 -maxdepth 1 -type d -name '*_*' | head -1)
  records=0
  [ -n "$folder" ] || return 0
  if [ -f "$folder/counts.bin" ]; then
    size=$(stat -c %s "$folder/counts.bin")
    [ $(( size % 774 )) -eq 0 ] || fail "$name: counts.bin of $size bytes holds a partial record"
    records=$(( size / 774 ))
  fi
  for file in "$folder"/[0-9]*.bin; do
    [ -f "$file" ] || continue
    bytes=$(stat -c %s "$file")
    [ $(( bytes % dump_bytes )) -eq 0 ] || fail "$name: $(basename "$file") of $bytes bytes is not whole dumps"
    [ $(( bytes / dump_bytes )) -le 11 ] || fail "$name: $(basename "$file") holds more than 11 dumps"
    dumps=$(( dumps + bytes / dump_bytes ))
  done
  [ "$dumps" -ge "$records" ] && [ "$dumps" -le $(( records + 1 )) ] ||
    fail "$name: $dumps dumps for $records records"
}

# One kill trial: SIGKILL after a random 7.0 to 24.9 s, then the folder is
# checked and reported on.
kill_trial() {
  local k="$1" name="kill$1" pid moment
  prepare "$name" --seed "$k"
  "$cli" record --program-folder "$work/$name" --clock-rate 4 --minutes 30 --name "Kill $k" \
    > "$work/$name.out" 2> "$work/$name.err" &
  pid=$!
  own "$pid"
  moment="$(( 7 + RANDOM % 18 )).$(( RANDOM % 10 ))"
  sleep "$moment"
  kill -KILL "$pid"
  wait "$pid" 2> /dev/null || true
  check_whole "$name"
  if [ "$records" -gt 0 ]; then
    "$cli" report "$folder" --program-folder "$work/$name" > "$work/$name.report" 2>&1 ||
      fail "$name: report of the folder failed: $(cat "$work/$name.report")"
  fi
  echo "kill trial $k at $moment s: $records bins whole"
}

# The instrument vanishes for good once bin 1 is recorded: the run notices
# within a few ticks, tells the operator once, waits for it without
# recording held samples, and still ends at the end of its lapse with the
# bins before kept. A --disconnect-after beyond the simulator's life gives
# it the link of an instrument that will be pulled; SIGUSR1 pulls it.
disconnect() {
  prepare gone --disconnect-after 600
  local status=0 bins pid
  timeout 150 "$cli" record --program-folder "$work/gone" --clock-rate 4 --minutes 1 --name "Gone" \
    > "$work/gone.out" 2> "$work/gone.err" &
  pid=$!
  own "$pid"
  await_bin gone 120 1
  kill -USR1 "$sim_pid"
  wait "$pid" || status=$?
  [ "$status" -ne 124 ] || fail "gone: still running long after its lapse"
  [ "$status" -eq 0 ] || fail "gone: exit status $status, 0 expected: $(cat "$work/gone.err")"
  check_whole gone
  [ "$records" -ge 1 ] && [ "$records" -le 4 ] || fail "gone: $records bins kept, 1 to 4 completed before"
  bins=$(grep -c '^record ' "$work/gone.out" || true)
  [ "$bins" -eq "$records" ] || fail "gone: $bins bins closed, $records kept"
  [ "$(grep -c 'The instrument stopped answering on COM4' "$work/gone.err")" -eq 1 ] ||
    fail "gone: the operator was not told exactly once: $(cat "$work/gone.err")"
  grep -qF " in $folder. Check the cable" "$work/gone.err" ||
    fail "gone: the message does not name $folder: $(cat "$work/gone.err")"
  grep -q '^Acquisition finished$' "$work/gone.err" || fail "gone: the lapse did not end"
  grep -q 'Instrument lost on COM4' "$folder/events.log" || fail "gone: events.log does not name the loss"
  echo "disconnect: $records bins whole, waited, told once, lapse ended"
}

# Files may not grow past 400 kB: two dumps fit in 0.bin, the third does not,
# while counts.bin stays small. Every bin keeps its count record, the bins
# without real-time data are named in events.log, the operator is told once,
# the run goes on, and a recalculation skips them with a word.
disk_full() {
  prepare full
  (
    trap '' XFSZ
    ulimit -f 400
    exec "$cli" record --program-folder "$work/full" --clock-rate 4 --minutes 30 --name "Full"
  ) > "$work/full.out" 2> "$work/full.err" &
  local pid=$!
  own "$pid"
  await_bin full 90 5
  kill -INT "$pid"
  wait "$pid" || fail "full: exit status $? after the stop"
  folder=$(find "$work/full/p00001" -mindepth 1 -maxdepth 1 -type d -name '*_*' | head -1)
  local bins size bin
  bins=$(grep -c '^record ' "$work/full.out")
  size=$(stat -c %s "$folder/counts.bin")
  [ "$size" -eq $(( bins * 774 )) ] || fail "full: counts.bin of $size bytes for $bins bins"
  [ "$(stat -c %s "$folder/0.bin")" -eq $(( 2 * dump_bytes )) ] || fail "full: 0.bin is not the two dumps that fit"
  ! grep -q '(not saved)' "$work/full.out" || fail "full: a bin lost its count record"
  for bin in $(seq 3 "$bins"); do
    grep -q "Missing real-time data: record $bin (minute" "$folder/events.log" ||
      fail "full: events.log does not name record $bin's missing real-time data"
  done
  [ "$(grep -c 'Data writing ERROR' "$work/full.err")" -eq 1 ] || fail "full: the operator was not told exactly once"
  "$cli" recalc "$folder" --program-folder "$work/full" --method 1 --snr 1.8 --replace > /dev/null 2> "$work/full.recalc" ||
    fail "full: the recalculation failed: $(cat "$work/full.recalc")"
  grep -q "$(( bins - 2 )) records have no real-time data" "$work/full.recalc" ||
    fail "full: the recalculation does not name the records it skipped: $(cat "$work/full.recalc")"
  echo "disk full: $bins count records kept, $(( bins - 2 )) without real-time data told, one message, run went on"
}

# Batches of five runs side by side keep the wall time near half a minute each.
jobs_status=0
run_batch() {
  local pids=() pid
  for job in "$@"; do
    $job &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || jobs_status=1; done
}
run_batch disconnect disk_full "kill_trial 1" "kill_trial 2" "kill_trial 3"
for (( first = 4; first <= trials; first += 5 )); do
  batch=()
  for (( k = first; k < first + 5 && k <= trials; k++ )); do batch+=("kill_trial $k"); done
  run_batch "${batch[@]}"
done
[ "$jobs_status" -eq 0 ] || fail "see above"
echo "1 passed, 0 failed"
