#!/usr/bin/env bash
# cmake --install of this build into a temporary prefix: the installed
# zorvex-cli init fills a program folder from the installed share/zorvex, also
# after the whole tree has moved, and names the installed file it misses.
set -euo pipefail
build="$1"
with_windows="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$work/prefix" > /dev/null
mv "$work/prefix" "$work/moved"
prefix="$work/moved"
expected=(bin/zorvex-cli bin/zorvex-sim)
for plate in z384 z96f z96u z24 z48 z6 z96flat; do expected+=("share/zorvex/$plate.dat"); done
if [ "$with_windows" = 1 ]; then
  expected+=(bin/zorvex share/zorvex/zorvex_help.pdf share/applications/zorvex.desktop
             share/icons/hicolor/scalable/apps/zorvex.svg)
fi
for file in "${expected[@]}"; do [ -s "$prefix/$file" ] || fail "$file not installed"; done

# Run from outside the build so nothing but the installed tree can be found.
cd "$work"
env -u ZORVEX_DATA_DIR "$prefix/bin/zorvex-cli" init "$work/program" > /dev/null || fail "init from the installed tree"
for plate in z384 z96f z6; do
  cmp -s "$prefix/share/zorvex/$plate.dat" "$work/program/$plate.dat" || fail "$plate.dat is not the installed one"
done
if [ "$with_windows" = 1 ]; then
  grep -q '^Exec=zorvex$' "$prefix/share/applications/zorvex.desktop" || fail "the desktop entry does not start zorvex"
  cmp -s "$prefix/share/zorvex/zorvex_help.pdf" "$work/program/zorvex_help.pdf" || fail "the guide was not copied"
fi

rm "$prefix/share/zorvex/z6.dat"
if env -u ZORVEX_DATA_DIR "$prefix/bin/zorvex-cli" init "$work/second" 2> "$work/err.txt"; then
  fail "init succeeded without an installed plate file"
fi
grep -qF "$prefix/share/zorvex/z6.dat" "$work/err.txt" || fail "the message does not name the missing file: $(cat "$work/err.txt")"
[ -e "$work/second/config.dat" ] && fail "a failed init left config.dat"
echo "1 passed, 0 failed"
