#!/usr/bin/env bash
# zorvex-cli figure, the real program, on an acquisition written here byte by
# byte: each kind written without a display (and with a display that is not
# there), each file whole in its format, and the failures with their status.
set -euo pipefail
cli="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$cli" init "$work/program" > /dev/null
acquisition="$work/program/p00001/14032026_0930"
mkdir "$acquisition"
for side in setup.dat status.dat threshld.dat groups.dat chgroup.dat; do
  cp "$work/program/p00001/$side" "$acquisition/"
done
# A day of 30-minute records: minutes (32 bits), 384 counts, the temperature
# (16 bits each, little-endian), every channel busy in its own way.
LC_ALL=C awk 'BEGIN {
  for (minute = 30; minute <= 1440; minute += 30) {
    printf "%c%c%c%c", minute % 256, int(minute / 256), 0, 0
    for (c = 0; c < 384; ++c) printf "%c%c", (c * 7 + minute * 3) % 23 + int(c / 48), 0
    printf "%c%c", 240, 0
  }
}' > "$acquisition/counts.bin"
[ "$(stat -c %s "$acquisition/counts.bin")" -eq $(( 48 * 774 )) ] || fail "the test's counts.bin is not 48 records"

draw() {  # draw FILE KIND [OPTIONS...]: the path printed is the file asked for
  local file="$1" kind="$2"
  shift 2
  local printed
  printed=$("$cli" figure "$acquisition" --kind "$kind" --program-folder "$work/program" --out "$work/$file" "$@") ||
    fail "$kind: exit status $?"
  [ "$printed" = "$work/$file" ] || fail "$kind: printed '$printed'"
}

(unset DISPLAY WAYLAND_DISPLAY; draw groups.pdf groups --bin 120)
[ "$(head -c 5 "$work/groups.pdf")" = "%PDF-" ] || fail "groups.pdf does not start as a PDF"
tail -c 32 "$work/groups.pdf" | grep -q '%%EOF' || fail "groups.pdf does not end as a PDF"

(export DISPLAY=:99999; draw plate.svg plate --window 2-20)
grep -q '<svg' "$work/plate.svg" || fail "plate.svg is no SVG"
grep -q '>Row A<' "$work/plate.svg" || fail "plate.svg does not name the group Row A"
grep -q '@font-face' "$work/plate.svg" || fail "plate.svg does not carry its font"

(unset DISPLAY WAYLAND_DISPLAY; draw actogram.png actogram --well C3)
[ "$(od -An -tx1 -N8 "$work/actogram.png" | tr -d ' ')" = "89504e470d0a1a0a" ] || fail "actogram.png is no PNG"
# IHDR's width, big-endian, after the signature, the chunk length and type: 85 mm at 300 dpi.
[ "$(od -An -tu1 -j16 -N4 "$work/actogram.png" | tr -s ' ')" = " 0 0 3 236" ] || fail "actogram.png is not 1004 pixels wide"

status=0
"$cli" figure "$acquisition" --kind groups --out "$work/groups.jpg" 2> "$work/err.txt" || status=$?
[ "$status" -eq 2 ] || fail "a .jpg figure gave status $status"
grep -q -- '--out: .*groups.jpg does not end in .pdf, .svg or .png' "$work/err.txt" || fail "no reason for the .jpg"

: > "$acquisition/counts.bin"
status=0
"$cli" figure "$acquisition" --kind plate --program-folder "$work/program" --out "$work/empty.pdf" \
  > "$work/out.txt" 2> "$work/err.txt" || status=$?
[ "$status" -eq 1 ] || fail "no records gave status $status"
[ "$(cat "$work/err.txt")" = "counts.bin holds no records: there is nothing to draw." ] || fail "no records: $(cat "$work/err.txt")"
[ ! -s "$work/out.txt" ] && [ ! -e "$work/empty.pdf" ] || fail "no records still wrote a figure"
echo "1 passed, 0 failed"
