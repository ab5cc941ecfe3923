#!/usr/bin/env bash
# Makes the README's pictures from the real game under Xvfb: the title screen, a run in
# play, and the name entry that ends a run which made the table. Each is the game's
# window as a player sees it, under a window manager (openbox) when one is installed.
# Usage: tools/make_screenshots.sh [BINARY] [OUTPUT FOLDER]
# The binary defaults to the play command's build-release/vantor, the folder to
# docs/screenshots/.
set -euo pipefail
VANTOR_SOURCE=$(cd "$(dirname "$0")/.." && pwd)
binary=$(realpath "${1:-$VANTOR_SOURCE/build-release/vantor}")
out=$(realpath -m "${2:-$VANTOR_SOURCE/docs/screenshots}")
[ -x "$binary" ] || { echo "no game at $binary: run tools/play.sh first, or name one" >&2; exit 1; }
mkdir -p "$out"
source "$VANTOR_SOURCE/tests/e2e/xvfb_session.sh"

tap() { xdotool keydown "$1"; sleep "${2:-0.08}"; xdotool keyup "$1"; }
# The window with its decorations; a dialog over it is in the picture too. The client's
# place comes from xwininfo: xdotool's is off by the decorations once a manager reparents.
shoot() {
  local extents l=0 r=0 t=0 b=0 X Y WIDTH HEIGHT
  eval "$(xwininfo -id "$win" | awk -F': *' '/Absolute upper-left X/ {print "X=" $2}
    /Absolute upper-left Y/ {print "Y=" $2} /^ *Width/ {print "WIDTH=" $2}
    /^ *Height/ {print "HEIGHT=" $2}')"
  extents=$(xprop -id "$win" _NET_FRAME_EXTENTS 2>/dev/null | grep -o '[0-9, ]*$' || true)
  [ -n "$extents" ] && IFS=', ' read -r l r t b <<<"$extents"
  import -window root -crop "$((WIDTH + l + r))x$((HEIGHT + t + b))+$((X - l))+$((Y - t))" +repage \
    "$out/$1.png"
  echo "wrote $out/$1.png"
}

e2e_start_x
wm_pid=""
if command -v openbox >/dev/null; then
  openbox >"$e2e_dir/openbox.log" 2>&1 &
  wm_pid=$!
  sleep 1
fi
e2e_copy_data
cd "$e2e_dir/game"
ALSOFT_DRIVERS=null "$binary" >"$e2e_dir/game.log" 2>&1 &
game_pid=$!
win=$(e2e_wait_window '^Vantor$' 15) || { echo "no game window" >&2; exit 1; }
sleep 2
shoot title

# Fire from the start and sway a little, so the picture holds lasers, enemies and a hit.
tap space 0.15
for i in $(seq 1 60); do
  tap Control_L 0.05
  case $(( i / 15 % 4 )) in 1) tap Left 0.05 ;; 3) tap Right 0.05 ;; esac
  sleep 0.05
done
shoot play

# Keep firing until the run ends in the name entry, then type a name into it.
e2e_fire_until_entry >/dev/null || { echo "the run never reached the name entry" >&2; exit 1; }
sleep 0.5
xdotool type --delay 60 "Ace Pilot"
sleep 0.3
shoot name-entry
tap Escape
sleep 0.3
kill -TERM "$game_pid"
wait "$game_pid" || true
game_pid=""
[ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
