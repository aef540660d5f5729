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

  # The desktop entry's first start: no program folder anywhere yet. The
  # default one is made before the welcome box, which waits for an OK, so
  # the program is stopped once the folder is there.
  mkdir "$work/home"
  env -u ZORVEX_DATA_DIR -u ZORVEX_HOME HOME="$work/home" QT_QPA_PLATFORM=offscreen "$prefix/bin/zorvex" \
    > /dev/null 2>&1 &
  first_start=$!
  default_folder="$work/home/.local/share/zorvex"
  for _ in $(seq 100); do [ -f "$default_folder/zorvex_help.pdf" ] && break; sleep 0.1; done
  kill "$first_start" 2>/dev/null || true
  wait "$first_start" 2>/dev/null || true
  for file in config.dat comports.dat z96f.dat p00001/setup.dat zorvex_help.pdf; do
    [ -s "$default_folder/$file" ] || fail "the first start did not make $file in the default folder"
  done
  # A folder the operator names is never made: a typing error must show.
  env -u ZORVEX_DATA_DIR HOME="$work/home" QT_QPA_PLATFORM=offscreen timeout 20 "$prefix/bin/zorvex" \
    --program-folder "$work/mistyped" > /dev/null 2>&1 &
  named=$!
  sleep 2
  kill "$named" 2>/dev/null || true
  wait "$named" 2>/dev/null || true
  [ -e "$work/mistyped" ] && fail "a folder named on the command line was made"
fi

rm "$prefix/share/zorvex/z6.dat"
if env -u ZORVEX_DATA_DIR "$prefix/bin/zorvex-cli" init "$work/second" 2> "$work/err.txt"; then
  fail "init succeeded without an installed plate file"
fi
grep -qF "$prefix/share/zorvex/z6.dat" "$work/err.txt" || fail "the message does not name the missing file: $(cat "$work/err.txt")"
[ -e "$work/second/config.dat" ] && fail "a failed init left config.dat"
echo "1 passed, 0 failed"
