#!/usr/bin/env bash
# One whole game through the real binary in a real X window (Xvfb), driven with real key
# events: the title appears, space starts a run, firing from the start scores on the
# first enemy, the run ends in "Game Over", the name entry opens, the typed name and
# score land in data/hi.sav, and the table dialog opens from the menu.
# Usage: play_test.sh SOURCE_DIR GAME_BINARY
VANTOR_SOURCE=$1
binary=$2
source "$VANTOR_SOURCE/tests/e2e/xvfb_session.sh"

fail() {
  echo "FAIL: $*" >&2
  echo "--- the game's output:" >&2
  tail -n 30 "$e2e_dir/game.log" >&2 || true
  exit 1
}
tap() { xdotool keydown "$1"; sleep "${2:-0.08}"; xdotool keyup "$1"; }

e2e_start_x
e2e_copy_data
cd "$e2e_dir/game"
ALSOFT_DRIVERS=null "$binary" >"$e2e_dir/game.log" 2>&1 &
game_pid=$!

win=$(e2e_wait_window '^Vantor$' 15) || fail "no game window"
eval "$(xdotool getwindowgeometry --shell "$win")"
[ "$WIDTH" -eq 640 ] || fail "window is $WIDTH wide"
# The window shows before the game has started; give it a moment to make the file.
for _ in $(seq 1 50); do [ -s data/hi.sav ] && break; sleep 0.1; done
[ -s data/hi.sav ] || fail "no high-score file created"
sleep 1
e2e_shot title
tap space 0.15
sleep 0.5
e2e_shot play

# Tap fire until the run is over and the name entry asks for a name.
entry=$(e2e_fire_until_entry run) || fail "the run never ended in a name entry"
e2e_shot entry
sleep 0.3
xdotool type --delay 60 "Ace Pilot"
tap Return
for _ in $(seq 1 50); do
  [ "$(dd if=data/hi.sav bs=1 skip=4 count=9 2>/dev/null)" = "Ace Pilot" ] && break
  sleep 0.1
done

# Bytes 4.. of the first record: the name; bytes 0..3: a score of at least 500.
name=$(dd if=data/hi.sav bs=1 skip=4 count=9 2>/dev/null)
[ "$name" = "Ace Pilot" ] || fail "first name in data/hi.sav is '$name'"
score=$(od -An -t d4 -N 4 data/hi.sav | tr -d ' ')
(( score >= 500 )) || fail "first score in data/hi.sav is $score"
[ "$(stat -c %s data/hi.sav)" -eq 576 ] || fail "data/hi.sav is not 576 bytes"

xdotool key alt+g
sleep 0.3
xdotool key s
table=$(e2e_wait_window '^High Score Table$' 5) || fail "no table dialog from the menu"
e2e_shot table
tap Return
sleep 0.3

xdotool key alt+g
sleep 0.3
xdotool key x
for _ in $(seq 1 50); do
  kill -0 "$game_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$game_pid" 2>/dev/null && fail "Exit did not end the game"
wait "$game_pid" || fail "the game exited with an error"
game_pid=""
echo "scored $score as 'Ace Pilot'; table shown; exit clean"
