#!/usr/bin/env bash
# End to end: the game opens its window on the X display, the user closes it (or holds Escape),
# the process exits 0 and the log ends with the closing block.
# Usage: play_close_test.sh QUIBBET_BINARY GAME_DATA_DIR close|escape
set -euo pipefail
game=$1
data=$2
how=${3:-close}
here=$(cd "$(dirname "$0")" && pwd)
run=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$run"' EXIT
cp -r "$data" "$run/DATA"
cd "$run"
export XDG_RUNTIME_DIR=$run

"$game" &
pid=$!
win=""
for _ in $(seq 1 100); do
  win=$(xdotool search --name '^Quibbet$' 2>/dev/null | head -n 1 || true)
  [ -n "$win" ] && break
  sleep 0.1
done
[ -n "$win" ] || { echo "no game window appeared"; exit 1; }
sleep 2
if [ "$how" = escape ]; then
  xdotool windowfocus "$win"
  sleep 0.5
  # Held across several frames: the keyboard is polled once per frame.
  xdotool keydown Escape
  sleep 0.5
  xdotool keyup Escape
else
  python3 "$here/xclose.py" "$win"
fi

status=0
for _ in $(seq 1 300); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  echo "the game did not exit after its window was closed"
  exit 1
fi
wait "$pid" || status=$?
[ "$status" -eq 0 ] || { echo "exit status $status"; exit 1; }

sep='|---------------------------------------------------|'
printf '\n%s\n%s\n--==: End of log.\n%s\n%s\n\n' "$sep" "$sep" "$sep" "$sep" > closing.expected
if ! tail -c "$(stat -c %s closing.expected)" gamelog.txt | cmp -s - closing.expected; then
  echo "gamelog.txt does not end with the closing block:"
  cat gamelog.txt
  exit 1
fi
grep -q -- '--==: Starting Quibbet v. 1.0' gamelog.txt || { echo "no run header"; exit 1; }
echo "ended by $how: exit 0, log closed"
