#!/usr/bin/env bash
# A screen end to end: zorvex-sim --dose-plate recorded by zorvex-cli record
# for three minutes (45 s on a clock 4 times as fast) on a z96flat project
# whose twelve column groups are annotated in groupinfo.csv (vehicle, ten
# doses, paralysed), then zorvex-cli screen: the IC50 fitted lies near the
# simulator's 1 uM, the plate quality file holds a Z', and the figures are
# written.
set -euo pipefail
cli="$1"
sim="$2"
work=$(mktemp -d)
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2> /dev/null || true
  wait 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

program="$work/program"
project="$program/p00001"
"$cli" init "$program" > /dev/null

# The project: z96flat (4 beams a well, the beam columns in pairs), a
# 3-minute lapse with RT_Buffer 200, plate column k (beam columns 2k-2 and
# 2k-1) in group k-1.
sed -i '2s/"z96f"/"z96flat"/; 4s/^\([^,]*\),[^,]*,\([^,]*\),[^,]*,/\1,3,\2,200,/' "$project/setup.dat"
{
  printf '"<Channel>, <Group: -1=Free>"\r\n'
  for (( c = 0; c < 384; c++ )); do printf '%d,%d\r\n' "$c" $(( c / 32 )); done
} > "$project/chgroup.dat"
{
  printf '"<Group_Number>, <Group_Name>"\r\n'
  printf '0,"Vehicle"\r\n'
  for (( g = 1; g <= 10; g++ )); do printf '%d,"Dose %d"\r\n' "$g" "$g"; done
  printf '11,"Paralysed"\r\n'
  for (( g = 12; g < 385; g++ )); do printf '%d,"Free"\r\n' "$g"; done
} > "$project/groups.dat"
# The annotations, as the setup editor saves them: the simulator's dilution
# series, 100 uM / 3^(11 - k) in plate column k.
{
  printf 'group,name,compound,concentration,unit,role\r\n'
  printf '0,Vehicle,DMSO,0.5,%%,negative\r\n'
  for (( g = 1; g <= 10; g++ )); do
    printf '%d,Dose %d,Compound X,%s,uM,sample\r\n' "$g" "$g" "$(awk -v g="$g" 'BEGIN { printf "%.6g", 100 / 3 ^ (10 - g) }')"
  done
  printf '11,Paralysed,Levamisole,1,mM,positive\r\n'
} > "$project/groupinfo.csv"

before=$(sed -n '5p' "$program/comports.dat")
"$sim" --program-folder "$program" --com 4 --seconds 600 --dose-plate --seed 7 > "$work/sim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do
  [ "$(sed -n '5p' "$program/comports.dat")" != "$before" ] && break
  sleep 0.1
done
[ "$(sed -n '5p' "$program/comports.dat")" != "$before" ] || fail "the simulator did not start"

"$cli" record --program-folder "$program" --clock-rate 4 --minutes 3 --name "Dose plate" > "$work/record.out" 2> "$work/record.err" ||
  fail "record: exit status $? ($(tail -n 3 "$work/record.err"))"
folder=$(sed -n 's/^Acquisition folder: //p' "$work/record.out")
[ -d "$folder" ] || fail "no acquisition folder printed"
cmp -s "$project/groupinfo.csv" "$folder/groupinfo.csv" || fail "groupinfo.csv was not copied into the acquisition folder"

"$cli" screen "$folder" --window 0-0.05 --bin 1 --program-folder "$program" > "$work/screen.out" 2> "$work/screen.err" ||
  fail "screen: exit status $? ($(cat "$work/screen.err"))"
for name in results.csv percent_of_control.csv plate_quality.csv wells.csv dose_response.pdf percent_of_control.pdf \
  plate_map.pdf; do
  grep -qx "$folder/screening/$name" "$work/screen.out" || fail "screen did not print $name"
  [ -s "$folder/screening/$name" ] || fail "$name is missing or empty"
done

# results.csv: compound,ic50,ic50_low,ic50_high,hill,top,bottom,r2,wells,status and the appended columns
results="$folder/screening/results.csv"
head -n 1 "$results" | tr -d '\r' | grep -qx 'compound,ic50,ic50_low,ic50_high,hill,top,bottom,r2,wells,status,unit,log10_ic50_se,hill_se,top_se,bottom_se,df,residual_sd,concentrations,direction,ic50_kind' ||
  fail "results.csv header: $(head -n 1 "$results")"
row=$(grep '^Compound X,' "$results" | tr -d '\r') || fail "no row for Compound X in results.csv"
awk -F, '{
  if ($10 != "ok") { print "status " $10; exit 1 }
  if ($2 < 0.5 || $2 > 2) { print "IC50 " $2 " uM, not near 1"; exit 1 }
  if (!($3 < $2 && $2 < $4)) { print "interval " $3 ".." $4 " does not hold " $2; exit 1 }
  if ($5 < 0.6 || $5 > 1.6) { print "Hill slope " $5 ", not near 1"; exit 1 }
  if ($9 != 80) { print $9 " wells, not 80"; exit 1 }
}' <<< "$row" > "$work/check.txt" || fail "Compound X: $(cat "$work/check.txt") in: $row"

# plate_quality.csv: z_prime,signal_to_background,negative_wells,positive_wells,outliers,status
quality=$(sed -n '2p' "$folder/screening/plate_quality.csv" | tr -d '\r')
awk -F, '{
  if ($1 == "" || $1 < 0 || $1 > 1) { print "Z-prime " $1; exit 1 }
  if ($3 != 8 || $4 != 8) { print $3 " negative and " $4 " positive wells"; exit 1 }
  if ($6 != "excellent" && $6 != "marginal") { print "status " $6; exit 1 }
}' <<< "$quality" > "$work/check.txt" || fail "plate quality: $(cat "$work/check.txt") in: $quality"
head -c 5 "$folder/screening/dose_response.pdf" | grep -q '%PDF-' || fail "dose_response.pdf is no PDF"
echo "Compound X: $row; plate quality: $quality"
echo "1 passed, 0 failed"
