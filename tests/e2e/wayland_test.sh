#!/usr/bin/env bash
# The game as a native Wayland client of weston (headless, pixman renderer): it starts, its
# scene shows on weston's own screenshot with an opaque game area, and SIGTERM ends it
# cleanly. weston and its runtime folder are this test's own.
# Usage: wayland_test.sh SOURCE_DIR GAME_BINARY
set -euo pipefail
source_dir=$1
binary=$2
work=$(mktemp -d)
weston_pid=""
game_pid=""

cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null && sleep 1
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  tail -n 20 "$work/game.log" "$work/weston.log" >&2 || true
  exit 1
}

export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
weston --backend=headless-backend.so --use-pixman --debug --no-config --idle-time=0 \
  --width=1024 --height=768 --socket=vantor-test >"$work/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 1 100); do [ -S "$XDG_RUNTIME_DIR/vantor-test" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/vantor-test" ] || fail "weston did not start"

mkdir -p "$work/game/data" "$work/shots"
cp "$source_dir"/data/*.wav "$source_dir"/data/title.bmp "$work/game/data/"
cd "$work/game"
env -u DISPLAY WAYLAND_DISPLAY=vantor-test QT_QPA_PLATFORM=wayland ALSOFT_DRIVERS=null \
  "$binary" >"$work/game.log" 2>&1 &
game_pid=$!
for _ in $(seq 1 100); do grep -q '^display: ' "$work/game.log" && break; sleep 0.1; done
read -r area_w _ area_h < <(grep '^display: ' "$work/game.log" | tail -n 1 | cut -d' ' -f2-) ||
  fail "the game made no display"
sleep 1.5
(cd "$work/shots" && WAYLAND_DISPLAY=vantor-test weston-screenshooter) || fail "no screenshot"
shot=$(ls "$work/shots"/*.png | head -n 1)
[ -n "${VANTOR_SHOTS:-}" ] && cp "$shot" "$VANTOR_SHOTS/wayland.png"

# The track's blue lines reach both sides of the game area: their box is the area's width.
# Inside that box a transparent area would show weston's background, not black.
convert "$shot" -depth 8 txt:- | awk -F'[,:() ]+' 'NR > 1 {print $1, $2, $3, $4, $5}' >"$work/pixels"
read -r blue x0 x1 y0 y1 < <(awk '$3 < 40 && $4 < 40 && $5 > 200 {
    if (!n++) { x0 = x1 = $1; y0 = y1 = $2 }
    if ($1 < x0) x0 = $1; if ($1 > x1) x1 = $1; if ($2 < y0) y0 = $2; if ($2 > y1) y1 = $2 }
  END { print n + 0, x0 + 0, x1 + 0, y0 + 0, y1 + 0 }' "$work/pixels")
black=$(awk -v x0="$x0" -v x1="$x1" -v y0="$y0" -v y1="$y1" '
  $1 >= x0 && $1 <= x1 && $2 >= y0 && $2 <= y1 && $3 + $4 + $5 == 0 {n++} END {print n + 0}' "$work/pixels")
echo "wayland: game area $area_w x $area_h; track seen from ($x0, $y0) to ($x1, $y1), $blue blue pixels"
(( blue > 2000 )) || fail "the scene is not visible ($blue track pixels)"
(( x1 - x0 + 1 == area_w )) || fail "the track spans $((x1 - x0 + 1)) columns of a $area_w-wide area"
(( black * 2 > (x1 - x0 + 1) * (y1 - y0 + 1) )) || fail "the game area is not opaque ($black black pixels)"

kill -TERM "$game_pid"
for _ in $(seq 1 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$game_pid" 2>/dev/null && fail "SIGTERM did not end the game"
wait "$game_pid" || fail "the game ended with an error on SIGTERM"
game_pid=""
echo "wayland: scene visible and opaque; SIGTERM ended the game cleanly"
