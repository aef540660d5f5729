#!/usr/bin/env bash
# A mains blip of the instrument while its adapter stays up, end to end:
# zorvex-sim --blip answers nothing for a few seconds and comes back at its
# power-on settings with the outputs off; zorvex-cli record notices, sends
# every beam setting and the outputs again, and says so in events.log. The
# simulator writes its state before the blip and when it ends, one bin (6 s)
# after the blip: the two must be equal.
#   blip.sh CLI SIM
set -euo pipefail
cli="$1"
sim="$2"
work=$(mktemp -d)
mine=()
trap 'kill "${mine[@]}" 2> /dev/null || true; wait 2> /dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

blip_at=75
blip_len=3
bin_seconds=6
program="$work/blip"
"$cli" init "$program" > /dev/null
# Project 1 (demo): RT_Buffer 200 (a bin every 6 s), a pulse train that keeps
# the light on, temperature control off: the outputs stay at 04 all along.
sed -i -e '4s/^\([^,]*\),\([^,]*\),\([^,]*\),[^,]*,/\1,\2,\3,200,/' \
       -e '12s/^.*$/1,9,21,1,1000,10\r/' -e '14s/^.*$/0,300,0,0,0,0\r/' "$program/p00001/setup.dat"
before=$(sed -n '5p' "$program/comports.dat")
"$sim" --program-folder "$program" --com 4 --blip "$blip_at:$blip_len" \
  --seconds $(( blip_at + blip_len + bin_seconds )) --log "$work/frames" > "$work/sim.out" 2>&1 &
sim_pid=$!
mine+=("$sim_pid")
for _ in $(seq 100); do
  [ "$(sed -n '5p' "$program/comports.dat")" != "$before" ] && break
  sleep 0.1
done
# No auto zero: its re-adjustment at a bin end would change beams on purpose.
"$cli" record --program-folder "$program" --minutes 30 --name "Blip" --no-auto-zero \
  > "$work/out" 2> "$work/err" &
pid=$!
mine+=("$pid")
wait "$sim_pid" || fail "the simulator failed: $(cat "$work/sim.out")"
grep -q '^record 1 ' "$work/out" || fail "no record before the blip at ${blip_at} s; calibration too slow? $(cat "$work/err")"
kill -TERM "$pid"
wait "$pid" || fail "record: exit status $?: $(cat "$work/err")"

state_of() { sed -n "s/^[0-9.]* NOTE state $1: //p" "$work/frames"; }
before_state=$(state_of "before the blip")
after_state=$(state_of "at exit")
[ -n "$before_state" ] || fail "the blip never came: $(tail -n 3 "$work/frames")"
grep -q 'NOTE power lost' "$work/frames" || fail "no power loss in the frame log"
[[ "$before_state" == "outputs 04 beams "* ]] || fail "before the blip: ${before_state:0:40}"
grep -q ' beams 62 62 62 62 62 62 62 62' <<< "$before_state" && fail "the run was never calibrated"
[ "$before_state" = "$after_state" ] ||
  fail "the instrument was not put back within one bin: before ${before_state:0:60}..., after ${after_state:0:60}..."
folder=$(find "$program/p00001" -mindepth 1 -maxdepth 1 -type d -name '*_*' | head -1)
grep -qE 'No answer at [0-9:]{8}; beam settings of this run.s calibration and outputs sent again|Instrument back on COM4; .* beam settings of this run.s calibration and output state 4 sent again' \
  "$folder/events.log" || fail "events.log does not tell the blip: $(cat "$folder/events.log")"
echo "blip: beams and outputs as before within one bin, told in events.log"
echo "1 passed, 0 failed"
