#!/usr/bin/env bash
# The game as a native Wayland client of weston (headless, pixman renderer): it starts, its
# scene shows on weston's own screenshots in an opaque game area, centred on it, and
# SIGTERM ends it cleanly. weston and its runtime folder are this test's own.
# Usage: wayland_test.sh SOURCE_DIR GAME_BINARY
VANTOR_SOURCE=$1
binary=$2
source "$VANTOR_SOURCE/tests/e2e/xvfb_session.sh"
weston_pid=""

cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null && sleep 1
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null
  e2e_cleanup
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  tail -n 20 "$e2e_dir/game.log" "$e2e_dir/weston.log" >&2 || true
  exit 1
}

# weston's screenshot of the whole output into $1.
screen_shot() {
  rm -rf "$e2e_dir/shots" && mkdir "$e2e_dir/shots"
  (cd "$e2e_dir/shots" && weston-screenshooter) || return 1
  mv "$e2e_dir/shots"/*.png "$1"
}
e2e_area_shot() {
  screen_shot "$e2e_dir/screen.png" &&
    convert "$e2e_dir/screen.png" -crop "${area_w}x${area_h}+$area_x+$area_y" +repage "$1"
}

unset DISPLAY
export XDG_RUNTIME_DIR=$e2e_dir/runtime WAYLAND_DISPLAY=vantor-test
mkdir -m 700 "$XDG_RUNTIME_DIR"
weston --backend=headless-backend.so --use-pixman --debug --no-config --idle-time=0 \
  --width=1024 --height=768 --socket=vantor-test >"$e2e_dir/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 1 100); do [ -S "$XDG_RUNTIME_DIR/vantor-test" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/vantor-test" ] || fail "weston did not start"

e2e_copy_data
cd "$e2e_dir/game"
QT_QPA_PLATFORM=wayland ALSOFT_DRIVERS=null "$binary" >"$e2e_dir/game.log" 2>&1 &
game_pid=$!
for _ in $(seq 1 100); do grep -q '^display: ' "$e2e_dir/game.log" && break; sleep 0.1; done
sleep 1.5
read -r area_w _ area_h < <(grep '^display: ' "$e2e_dir/game.log" | tail -n 1 | cut -d' ' -f2-) ||
  fail "the game made no display"
shot=$e2e_dir/wayland.png
screen_shot "$shot" || fail "no screenshot"
[ -n "${VANTOR_SHOTS:-}" ] && cp "$shot" "$VANTOR_SHOTS/"

# The track's blue lines reach both sides of the game area: their box is the area's width.
# Inside that box a transparent area would show weston's background, not black.
convert "$shot" -depth 8 txt:- | awk -F'[,:() ]+' 'NR > 1 {print $1, $2, $3, $4, $5}' >"$e2e_dir/pixels"
read -r blue x0 x1 y0 y1 < <(awk '$3 < 40 && $4 < 40 && $5 > 200 {
    if (!n++) { x0 = x1 = $1; y0 = y1 = $2 }
    if ($1 < x0) x0 = $1; if ($1 > x1) x1 = $1; if ($2 < y0) y0 = $2; if ($2 > y1) y1 = $2 }
  END { print n + 0, x0 + 0, x1 + 0, y0 + 0, y1 + 0 }' "$e2e_dir/pixels")
black=$(awk -v x0="$x0" -v x1="$x1" -v y0="$y0" -v y1="$y1" '
  $1 >= x0 && $1 <= x1 && $2 >= y0 && $2 <= y1 && $3 + $4 + $5 == 0 {n++} END {print n + 0}' "$e2e_dir/pixels")
(( blue > 2000 )) || fail "the scene is not visible ($blue track pixels)"
(( x1 - x0 + 1 == area_w )) || fail "the track spans $((x1 - x0 + 1)) columns of a $area_w-wide area"
(( black * 2 > (x1 - x0 + 1) * (y1 - y0 + 1) )) || fail "the game area is not opaque ($black black pixels)"

# The area's lowest row is the last black or blue one at its left edge, above the frame.
bottom=$(awk -v x="$((x0 + 1))" '$1 == x && $3 < 40 && $4 < 40 && ($5 == 0 || $5 > 200) {y = $2} END {print y + 0}' \
         "$e2e_dir/pixels")
area_x=$x0 area_y=$((bottom - area_h + 1))
read -r cx cy < <(e2e_scene_centre)
echo "wayland: game area $area_w x $area_h at ($area_x, $area_y); scene centre at ($cx, $cy);" \
     "$blue track pixels, $black black"
awk -v x="$cx" -v y="$cy" -v w="$area_w" -v h="$area_h" \
  'BEGIN { exit !(x != "none" && (x - w / 2) ^ 2 <= 2.25 && (y - h / 2) ^ 2 <= 2.25) }' ||
  fail "the scene's centre ($cx, $cy) is not the game area's (${area_w} x ${area_h})"

kill -TERM "$game_pid"
for _ in $(seq 1 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$game_pid" 2>/dev/null && fail "SIGTERM did not end the game"
wait "$game_pid" || fail "the game ended with an error on SIGTERM"
game_pid=""
echo "wayland: SIGTERM ended the game cleanly"
