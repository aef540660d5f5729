#!/usr/bin/env bash
# A run nobody watches, end to end with the real programs, in parallel:
#   outage   zorvex-cli record loses the instrument during bin 3 for a
#            minute of its clock (zorvex-sim pulled by SIGUSR1, back after
#            --reconnect-after 15 on a clock 4 times as fast, power-cycled)
#            and completes its lapse with every bin paired;
#   term     SIGTERM to zorvex-cli record, light and heating on: state 0 sent;
#   window   SIGTERM to the windows recording with /RUN: state 0 sent;
#   calib    a recording of the demo project calibrates, zeroes and
#            re-adjusts like the windows; --no-auto-calibration and
#            --no-auto-zero each skip their step.
#   interrupt Ctrl-C during the calibration ends zorvex-cli record at once;
#   splash   SIGTERM to the windows during the splash with /RUN: the program
#            ends and no recording starts.
# The recordings of zorvex-cli run on a clock 4 times as fast.
#   unattended.sh CLI SIM [ZORVEX]
set -euo pipefail
cli="$1"
sim="$2"
gui="${3:-}"
work=$(mktemp -d)
mine=()
trap 'kill "${mine[@]}" 2> /dev/null || true; wait 2> /dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
dump_bytes=$(( (200 + 1) * 385 * 2 ))

# $work/NAME: project 1 (demo) with RT_Buffer 200 (a bin every 6 s), a pulse
# train that keeps the light on and a set temperature of 30.0 C (heating on),
# a simulator on COM4 logging its frames to NAME.frames with the remaining
# options. Sets $sim_pid.
prepare() {
  local name="$1" program="$work/$1" before
  shift
  "$cli" init "$program" > /dev/null
  sed -i -e '4s/^\([^,]*\),\([^,]*\),\([^,]*\),[^,]*,/\1,\2,\3,200,/' \
         -e '12s/^.*$/1,9,21,1,1000,10\r/' -e '14s/^.*$/1,300,0,0,0,0\r/' "$program/p00001/setup.dat"
  before=$(sed -n '5p' "$program/comports.dat")
  "$sim" --program-folder "$program" --com 4 --seconds 400 --log "$work/$name.frames" "$@" \
    > "$work/$name.sim" 2>&1 &
  sim_pid=$!
  mine+=("$sim_pid")
  for _ in $(seq 100); do
    [ "$(sed -n '5p' "$program/comports.dat")" != "$before" ] && return 0
    sleep 0.1
  done
  fail "simulator for $name did not start"
}

# Waits up to $2 seconds for a line matching $3 in file $1.
await() {
  for _ in $(seq $(( $2 * 10 ))); do
    grep -q "$3" "$1" 2> /dev/null && return 0
    sleep 0.1
  done
  fail "$1: no '$3' within $2 s"
}

# The set-outputs arguments the simulator received, one per line, in order.
outputs_sent() { sed -n 's/^[0-9.]* RX FF 00 10 \(..\) F0$/\1/p' "$work/$1.frames"; }

# The outputs were switched off last, after a state with light and heating.
check_outputs_off() {
  local name="$1" states last
  states=$(outputs_sent "$name")
  last=$(tail -n 1 <<< "$states")
  [ "$last" = "00" ] || fail "$name: the last output state sent was $last, not 00"
  grep -qE '^0[67]$' <<< "$states" || fail "$name: light and heating were never on: $(tr '\n' ' ' <<< "$states")"
}

# The acquisition folder of $work/NAME (the only one of project 1).
acquisition_of() { find "$work/$1/p00001" -mindepth 1 -maxdepth 1 -type d -name '*_*' | head -1; }

outage() {
  prepare outage --reconnect-after 15
  local status=0 folder size records dumps=0 file minutes back_line
  "$cli" record --program-folder "$work/outage" --clock-rate 4 --minutes 2 --name "Outage" \
    > "$work/outage.out" 2> "$work/outage.err" &
  local pid=$!
  mine+=("$pid")
  await "$work/outage.out" 120 '^record 2 '
  kill -USR1 "$sim_pid"  # the cable is pulled during bin 3
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || fail "outage: exit status $status: $(cat "$work/outage.err")"
  grep -q '^Acquisition finished$' "$work/outage.err" || fail "outage: the lapse did not complete"
  [ "$(grep -c '^The instrument stopped answering on COM4' "$work/outage.err")" -eq 1 ] ||
    fail "outage: not told once of the loss: $(cat "$work/outage.err")"
  [ "$(grep -c '^The instrument answers again on COM4 since .*; recording goes on. Lost: ' "$work/outage.err")" -eq 1 ] ||
    fail "outage: not told once of the return: $(cat "$work/outage.err")"
  folder=$(acquisition_of outage)
  size=$(stat -c %s "$folder/counts.bin")
  [ $(( size % 774 )) -eq 0 ] || fail "outage: counts.bin holds a partial record"
  records=$(( size / 774 ))
  [ "$records" -eq "$(grep -c '^record ' "$work/outage.out")" ] || fail "outage: a closed record is missing from counts.bin"
  for file in "$folder"/[0-9]*.bin; do
    [ $(( $(stat -c %s "$file") % dump_bytes )) -eq 0 ] || fail "outage: $(basename "$file") is not whole dumps"
    dumps=$(( dumps + $(stat -c %s "$file") / dump_bytes ))
  done
  [ "$dumps" -eq "$records" ] || fail "outage: $dumps dumps for $records records"
  minutes=$(for (( k = 0; k < records; k++ )); do od -An -t d4 -j $(( k * 774 )) -N 4 "$folder/counts.bin"; done |
    tr -s ' \n' ' ')
  # Two bins before the loss; after the return the minutes jump past the outage.
  awk -v m="$minutes" 'BEGIN { n = split(m, a, " "); if (n < 3 || a[3] - a[2] < 1) exit 1 }' ||
    fail "outage: records before and after the outage do not show it: minutes $minutes"
  grep -q 'Instrument lost on COM4' "$folder/events.log" || fail "outage: events.log does not name the loss"
  grep -q 'Instrument back on COM4' "$folder/events.log" || fail "outage: events.log does not name the return"
  # After the power cycle the instrument got its beams and outputs back.
  back_line=$(grep -n 'NOTE power on' "$work/outage.frames" | cut -d: -f1)
  [ -n "$back_line" ] || fail "outage: the simulator never came back"
  local after
  after=$(tail -n +"$back_line" "$work/outage.frames")
  [ "$(grep -c ' RX FF 8[01] ' <<< "$after")" -ge 384 ] || fail "outage: the beam settings were not sent again"
  grep -qE ' RX FF 00 10 0[4-7] F0$' <<< "$after" || fail "outage: the output state was not sent again"
  check_outputs_off outage
  echo "outage: $records bins whole and paired, minutes $minutes, told twice, state sent again"
}

term() {
  prepare term
  local status=0 folder
  "$cli" record --program-folder "$work/term" --clock-rate 4 --minutes 30 --name "Term" --no-auto-zero \
    > "$work/term.out" 2> "$work/term.err" &
  local pid=$!
  mine+=("$pid")
  await "$work/term.out" 120 '^record 2 '
  kill -TERM "$pid"
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || fail "term: exit status $status"
  folder=$(acquisition_of term)
  grep -q 'Program exit (SIGTERM): the acquisition is stopped' "$folder/events.log" ||
    fail "term: events.log does not tell the exit: $(cat "$folder/events.log")"
  check_outputs_off term
  echo "term: stopped by SIGTERM, outputs off"
}

window() {
  prepare window
  local status=0 folder
  QT_QPA_PLATFORM=offscreen timeout 200 "$gui" --program-folder "$work/window" /RUN > "$work/window.out" 2>&1 &
  local pid=$!
  mine+=("$pid")
  for _ in $(seq 1200); do
    folder=$(acquisition_of window)
    [ -n "$folder" ] && [ -f "$folder/counts.bin" ] && [ "$(stat -c %s "$folder/counts.bin")" -ge 1548 ] && break
    sleep 0.1
  done
  [ -f "$folder/counts.bin" ] || fail "window: no bin recorded within 120 s: $(cat "$work/window.out")"
  kill -TERM "$pid"
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || fail "window: exit status $status"
  grep -q 'Program exit (SIGTERM): the acquisition is stopped' "$folder/events.log" ||
    fail "window: events.log does not tell the exit: $(cat "$folder/events.log")"
  grep -q 'Online: the instrument answers on COM4' "$work/window/zorvex.log" || fail "window: zorvex.log lacks the port"
  check_outputs_off window
  echo "window: stopped by SIGTERM, outputs off"
}

# A recording of the demo project stopped after its second bin; $2... are
# extra options. Leaves its events.log in $events.
calib_run() {
  local name="$1" pid
  shift
  prepare "$name"
  "$cli" record --program-folder "$work/$name" --clock-rate 4 --minutes 30 --name "$name" "$@" \
    > "$work/$name.out" 2> "$work/$name.err" &
  pid=$!
  mine+=("$pid")
  await "$work/$name.out" 120 '^record 2 '
  kill -INT "$pid"
  wait "$pid" || fail "$name: exit status $?"
  events="$(acquisition_of "$name")/events.log"
}

calib() {
  calib_run calib
  [ -f "$work/calib/calvalue.dat" ] || fail "calib: no calvalue.dat"
  grep -q 'Calibration OK after' "$events" || fail "calib: not calibrated: $(cat "$events")"
  grep -q 'Zero level read' "$events" || fail "calib: no zero level"
  grep -q 'Re-adjustment of [1-9][0-9]* saturated beams' "$events" || fail "calib: no re-adjustment"
  # Verified writes: every beam is sent and each send is echoed.
  [ "$(grep -c ' RX FF 8[01] ' "$work/calib.frames")" -ge $(( 384 * 9 )) ] || fail "calib: beams not all written"
  grep -q '^[0-9.]* TX 05 ' "$work/calib.frames" || fail "calib: no echo of a channel write"
  grep -q '^<AUTOCALIBRATION>' "$work/calib.err" || fail "calib: no progress on stderr"

  calib_run nocal --no-auto-calibration
  [ ! -f "$work/nocal/calvalue.dat" ] || fail "nocal: calvalue.dat written"
  if grep -q ' RX FF 8[01] ' "$work/nocal.frames"; then
    fail "nocal: a beam setting was written: $(grep -m 3 ' RX FF 8[01] ' "$work/nocal.frames"); events: $(cat "$events")"
  fi
  grep -q 'auto calibration off, auto zero on' "$events" || fail "nocal: switches not logged"
  grep -q 'Zero level read' "$events" || fail "nocal: no zero level"

  calib_run nozero --no-auto-zero
  grep -q 'Calibration OK after' "$events" || fail "nozero: not calibrated"
  grep -q 'Zero level' "$events" && fail "nozero: the zero level was read"
  echo "calib: calibrated, zeroed and re-adjusted; each flag skipped its step"
}

interrupt() {
  prepare interrupt
  local status=0 folder start
  "$cli" record --program-folder "$work/interrupt" --minutes 30 --name "Interrupted" \
    > "$work/interrupt.out" 2> "$work/interrupt.err" &
  local pid=$!
  mine+=("$pid")
  await "$work/interrupt.err" 60 '^Writing calibration'
  start=$(date +%s)
  kill -INT "$pid"
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || fail "interrupt: exit status $status: $(cat "$work/interrupt.err")"
  # A whole calibration takes far longer than this on the simulator.
  [ $(( $(date +%s) - start )) -le 5 ] || fail "interrupt: Ctrl-C during the calibration took $(( $(date +%s) - start )) s"
  grep -q '^record ' "$work/interrupt.out" && fail "interrupt: the run went on to write records"
  folder=$(acquisition_of interrupt)
  grep -q 'SIGINT received: the acquisition is stopped' "$folder/events.log" ||
    fail "interrupt: events.log: $(cat "$folder/events.log")"
  [ "$(outputs_sent interrupt | tail -n 1)" = "00" ] || fail "interrupt: the outputs were not switched off last"
  echo "interrupt: Ctrl-C during the calibration honoured at once, outputs off"
}

splash() {
  prepare splash
  local status=0
  QT_QPA_PLATFORM=offscreen timeout 60 "$gui" --program-folder "$work/splash" /RUN > "$work/splash.out" 2>&1 &
  local pid=$!
  mine+=("$pid")
  await "$work/splash/zorvex.log" 30 'Start-up of the windows'
  kill -TERM "$pid"
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || fail "splash: exit status $status (124: it ran on after the signal)"
  [ -z "$(acquisition_of splash)" ] || fail "splash: a recording started after SIGTERM"
  echo "splash: SIGTERM during the start-up ended the program, nothing recorded"
}

status_all=0
pids=()
jobs_to_run=(outage term calib interrupt)
[ -n "$gui" ] && jobs_to_run+=(window splash)
for job in "${jobs_to_run[@]}"; do
  $job &
  pids+=($!)
done
for pid in "${pids[@]}"; do wait "$pid" || status_all=1; done
[ "$status_all" -eq 0 ] || fail "see above"
echo "1 passed, 0 failed"
