#!/usr/bin/env bash
# --help, --version and bad command lines of the real programs: exit codes,
# which stream, first and last lines, and every help line within 79 columns.
#   help_version.sh VERSION zorvex-cli zorvex-sim [zorvex]
set -uo pipefail
version="$1"
cli="$2"
sim="$3"
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run EXPECTED_STATUS COMMAND...: stdout in $work/out, stderr in $work/err.
run() {
  local expected="$1"; shift
  "$@" > "$work/out" 2> "$work/err"
  local status=$?
  [ "$status" -eq "$expected" ] || fail "$* exited $status, expected $expected"
}

helpShown() {  # USAGE_START COMMAND_WORDS... : help on stdout, nothing on stderr
  local usage="$1"; shift
  run 0 "$@"
  [[ "$(head -1 "$work/out")" == "Usage: $usage "* ]] \
    || fail "$*: first line '$(head -1 "$work/out")' is not 'Usage: $usage...'"
  [ -s "$work/err" ] && fail "$*: help wrote to stderr"
  awk 'length > 79 { exit 1 }' "$work/out" || fail "$*: a help line is wider than 79 columns"
}

usageRefused() {  # TRY_COMMAND COMMAND_WORDS... : status 2, nothing on stdout, a pointer to --help
  local try="$1"; shift
  run 2 "$@"
  [ -s "$work/out" ] && fail "$*: a usage error wrote to stdout"
  [ "$(tail -1 "$work/err")" = "Try '$try --help' for more information." ] \
    || fail "$*: last error line '$(tail -1 "$work/err")'"
}

for program in "$@"; do
  name=$(basename "$program")
  helpShown "$name" "$program" --help
  run 0 "$program" --version
  [ "$(cat "$work/out")" = "$name $version" ] || fail "$name --version printed '$(cat "$work/out")'"
  usageRefused "$name" "$program" --no-such-option
done

# The windows' help must not need a display: Qt is not started for it.
if [ $# -ge 3 ]; then
  zorvex="$3"
  run 0 env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$zorvex" --help
  grep -q '/RUN' "$work/out" || fail "zorvex --help does not mention /RUN"
  usageRefused zorvex "$zorvex" --program-folder
fi

usageRefused zorvex-cli "$cli"
usageRefused zorvex-cli "$cli" frobnicate
usageRefused zorvex-cli "$cli" help frobnicate

# Every listed command has its help both ways, and refuses an unknown option.
run 0 "$cli" --help
# Names start their line; a long summary goes on under the text column.
commands=$(awk '/^Commands:/ { listed = 1; next } /^$/ { listed = 0 } listed && /^  [^ ]/ { print $1 }' "$work/out")
[ "$(echo "$commands" | wc -w)" -ge 7 ] || fail "zorvex-cli --help lists only: $commands"
for command in $commands; do
  helpShown "zorvex-cli $command" "$cli" "$command" --help
  cp "$work/out" "$work/help-flag"
  helpShown "zorvex-cli $command" "$cli" help "$command"
  cmp -s "$work/out" "$work/help-flag" || fail "'help $command' and '$command --help' differ"
  usageRefused "zorvex-cli $command" "$cli" "$command" --no-such-option
  grep -q "^Usage: zorvex-cli $command" "$work/err" || fail "$command: usage error without the usage line"
done

# A bad value is named with what is wrong, written either way.
usageRefused zorvex-sim "$sim" --seconds=-1
[ "$(head -1 "$work/err")" = "zorvex-sim: --seconds: -1 is below 0" ] || fail "sim bad value: $(head -1 "$work/err")"
usageRefused "zorvex-cli report" "$cli" report "$work/acq" --layout grid
[ "$(head -1 "$work/err")" = "zorvex-cli report: --layout: grid is not rows, list or array" ] \
  || fail "report bad value: $(head -1 "$work/err")"

# A usage error stops before any work: no program folder appears.
usageRefused "zorvex-cli init" "$cli" init "$work/a" "$work/b"
[ -e "$work/a" ] && fail "init with two folders made one"

[ "$failures" -eq 0 ] || exit 1
echo "help and version: all checks passed"
