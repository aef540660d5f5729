#!/usr/bin/env bash
# scripts/run --demo without a display, on the programs of this build: a new
# short-demo folder, a recorded acquisition, its report and group figure, the
# paths printed, and the simulator gone afterwards with COM4 given back. The
# 2-minute demo records on a clock 4 times as fast.
set -euo pipefail
run="$1"
build="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

env -u DISPLAY -u WAYLAND_DISPLAY bash "$run" --demo --clock-rate 4 --build-dir "$build" --folder "$work/demo" \
  > "$work/out.txt" 2> "$work/err.txt" || fail "exit status $? ($(tail -n 3 "$work/err.txt"))"

acquisition=$(sed -n 's/^Demo acquisition folder: //p' "$work/out.txt")
report=$(sed -n 's/^Demo report: //p' "$work/out.txt")
figure=$(sed -n 's/^Demo figure: //p' "$work/out.txt")
[ -d "$acquisition" ] || fail "no acquisition folder printed"
[ -f "$report" ] || fail "no report file printed"
[ "$(dirname "$acquisition")" = "$work/demo/p00001" ] || fail "$acquisition is not in the demo project"
[ "$(dirname "$report")" = "$acquisition" ] || fail "$report is not in $acquisition"
[ "$figure" = "$acquisition/groups.pdf" ] || fail "the figure printed is '$figure', not groups.pdf beside the report"
[ "$(head -c 5 "$figure")" = "%PDF-" ] && tail -c 32 "$figure" | grep -q '%%EOF' || fail "$figure is not a whole PDF file"

sed -n '4p' "$work/demo/p00001/setup.dat" | grep -q '^1,2,' || fail "the demo project does not record 2 minutes"
size=$(stat -c %s "$acquisition/counts.bin")
bins=$(grep -c '^record ' "$work/out.txt" || true)
[ "$size" -gt 0 ] && [ $(( size % 774 )) -eq 0 ] || fail "counts.bin of $size bytes"
[ $(( size / 774 )) -eq "$bins" ] || fail "$(( size / 774 )) records for $bins bins"
# Organisms cross the beams: every row group has an average above zero in the
# report's first section.
sed -n '/Average Activity Counts/,/^\r\?$/p' "$report" > "$work/averages.txt"
for row in A B C D E F G H; do
  grep -aq "^\"00[0-7]_Row $row\".[0-9]*[1-9]" "$work/averages.txt" || fail "no activity for row $row in the report"
done
grep -q '^Acquisition finished$' "$work/err.txt" || fail "the lapse did not end the run"

grep -q '/dev/pts' "$work/demo/comports.dat" && fail "the simulator still holds COM4"
echo "1 passed, 0 failed"
