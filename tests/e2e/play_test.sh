#!/usr/bin/env bash
# One whole game through the real binary in a real X window (Xvfb), driven with real key
# events: the title appears with its scene centred on the game area, space starts a run,
# firing from the start scores on the first enemy, the run ends in "Game Over", where the
# Game menu is opened and left open, the name entry opens all the same and takes the
# typed name, name and score land in data/hi.sav, and the table dialog opens from the menu.
# With no window manager, a missing title picture first shows its message box in front,
# answered with Enter, and a second time with a termination signal, which ends the game.
# Usage: play_test.sh SOURCE_DIR GAME_BINARY [openbox]
VANTOR_SOURCE=$1
binary=$2
wm=${3:-none}
source "$VANTOR_SOURCE/tests/e2e/xvfb_session.sh"

fail() {
  echo "FAIL: $*" >&2
  echo "--- the game's output:" >&2
  tail -n 30 "$e2e_dir/game.log" >&2 || true
  exit 1
}
tap() { xdotool keydown "$1"; sleep "${2:-0.08}"; xdotool keyup "$1"; }

start_game() {
  ALSOFT_DRIVERS=null "$binary" >"$e2e_dir/game.log" 2>&1 &
  game_pid=$!
}

# White pixels where "Game Over" stands.
game_over_shown() {
  local n
  n=$(import -window root -crop "80x16+$((area_x + 284))+$((area_y + 200))" +repage -depth 8 txt:- 2>/dev/null |
      grep -c '#FFFFFF' || true)
  (( n >= 20 ))
}

e2e_start_x
[ "$wm" = openbox ] && { e2e_start_openbox || fail "openbox did not start"; }
e2e_copy_data
cd "$e2e_dir/game"

if [ "$wm" = none ]; then
  mv data/title.bmp "$e2e_dir/title.bmp"
  start_game
  box=$(e2e_wait_window '^ERROR$' 15) || fail "no message box for the missing title picture"
  sleep 0.5
  eval "$(xwininfo -id "$box" | awk '/Absolute upper-left X/ {print "bx=" $NF} /Absolute upper-left Y/ {print "by=" $NF}
                                     /Width:/ {print "bw=" $NF} /Height:/ {print "bh=" $NF}')"
  light=$(import -window root -crop "${bw}x${bh}+$bx+$by" +repage -depth 8 txt:- |
          awk -F'[(),]+' 'NR > 1 && $3 > 200 && $4 > 200 && $5 > 200 {n++} END {print n + 0}')
  (( light * 2 > bw * bh )) || fail "the message box is hidden ($light of $((bw * bh)) pixels show it)"
  e2e_shot missing-title
  xdotool key Return
  for _ in $(seq 1 30); do xdotool search --onlyvisible --name '^ERROR$' >/dev/null 2>&1 || break; sleep 0.1; done
  xdotool search --onlyvisible --name '^ERROR$' >/dev/null 2>&1 && fail "Enter did not answer the message box"
  kill -TERM "$game_pid"
  wait "$game_pid" || fail "the game without its title picture did not end cleanly"
  # A termination signal while the box waits answers it and ends the game, unanswered.
  start_game
  e2e_wait_window '^ERROR$' 15 >/dev/null || fail "no message box the second time"
  kill -TERM "$game_pid"
  for _ in $(seq 1 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$game_pid" 2>/dev/null && fail "a signal left the game waiting on its message box"
  wait "$game_pid" || fail "the game ended by a signal over its message box did not end cleanly"
  mv "$e2e_dir/title.bmp" data/title.bmp
  rm -f data/hi.sav
fi

start_game
win=$(e2e_wait_window '^Vantor$' 15) || fail "no game window"
eval "$(xdotool getwindowgeometry --shell "$win")"
# The outer size counts the window manager's frame, as it reports it.
read -r left right top bottom < <(xprop -id "$win" _NET_FRAME_EXTENTS 2>/dev/null |
                                   grep -o '[0-9]*, [0-9]*, [0-9]*, [0-9]*$' | tr -d , || echo 0 0 0 0)
(( WIDTH + ${left:-0} + ${right:-0} == 640 && HEIGHT + ${top:-0} + ${bottom:-0} == 480 )) ||
  fail "the window is ${WIDTH} x ${HEIGHT} inside a frame of $left, $right, $top, $bottom"
# The window shows before the game has started; give it a moment to make the file.
for _ in $(seq 1 50); do [ -s data/hi.sav ] && break; sleep 0.1; done
[ -s data/hi.sav ] || fail "no high-score file created"
sleep 1
e2e_game_area "$win"
read -r cx cy < <(e2e_scene_centre)
echo "$wm: game area ${area_w} x ${area_h} at ($area_x, $area_y); scene centre at ($cx, $cy)"
awk -v x="$cx" -v y="$cy" -v w="$area_w" -v h="$area_h" \
  'BEGIN { exit !(x != "none" && (x - w / 2) ^ 2 <= 2.25 && (y - h / 2) ^ 2 <= 2.25) }' ||
  fail "the scene's centre ($cx, $cy) is not the game area's (${area_w} x ${area_h})"
e2e_shot "title-$wm"
tap space 0.15
sleep 0.5
e2e_shot play

# Tap fire until "Game Over", then open the Game menu and leave it open: the name entry
# must still come, with the menu gone, and take the keys.
menu_opened=""
for i in $(seq 1 900); do
  tap Control_L 0.05
  sleep 0.05
  if (( i % 4 == 0 )) && game_over_shown; then
    xdotool key alt+g
    menu_opened=1
    break
  fi
done
[ -n "$menu_opened" ] || fail "the run never reached Game Over"
sleep 0.3
e2e_shot game-over-menu
entry=$(e2e_wait_window '^High Score Entry$' 15) || fail "the run never ended in a name entry"
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
