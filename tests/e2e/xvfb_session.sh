# Sourced by the end-to-end tests: starts a private Xvfb (24-bit, 1024 x 768 unless
# E2E_SCREEN says otherwise, as WxHxD) and a
# scratch folder holding a copy of the game's data, and cleans both up on exit.
# Needs: $VANTOR_SOURCE (repository root).
set -euo pipefail

e2e_dir=$(mktemp -d)
xvfb_pid=""
game_pid=""
wm_pid=""

e2e_cleanup() {
  if [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null; then
    # Let the game close before its X server goes away under it.
    for _ in $(seq 1 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
  fi
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$e2e_dir"
}
trap e2e_cleanup EXIT

e2e_start_x() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X${n}-lock" ] && continue
    # -noreset: otherwise the server resets as the probe below disconnects, and a client
    # that connects during the reset is turned away.
    Xvfb ":$n" -screen 0 "${E2E_SCREEN:-1024x768x24}" -nolisten tcp -noreset >"$e2e_dir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 1 50); do
      # Only our own server counts: another test may have taken the display just before.
      kill -0 "$xvfb_pid" 2>/dev/null || break
      xdpyinfo >/dev/null 2>&1 && kill -0 "$xvfb_pid" 2>/dev/null && return 0
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null || true
  done
  echo "no Xvfb display could be started" >&2
  return 1
}

# A window manager on the same display, running once it has claimed the screen.
e2e_start_openbox() {
  openbox --sm-disable >"$e2e_dir/openbox.log" 2>&1 &
  wm_pid=$!
  for _ in $(seq 1 150); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  cat "$e2e_dir/openbox.log" >&2
  return 1
}

e2e_copy_data() {
  mkdir -p "$e2e_dir/game/data"
  cp "$VANTOR_SOURCE"/data/*.wav "$VANTOR_SOURCE"/data/title.bmp "$e2e_dir/game/data/" 2>/dev/null || true
}

# Waits up to $2 seconds for a window whose name matches $1; prints its id.
e2e_wait_window() {
  local i id
  for i in $(seq 1 $(( $2 * 10 ))); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

e2e_shot() {
  import -window root "$e2e_dir/$1.png" 2>/dev/null || true
  [ -n "${VANTOR_SHOTS:-}" ] && cp "$e2e_dir/$1.png" "$VANTOR_SHOTS/" || true
}

# Sets area_x, area_y, area_w, area_h: the game area of window $1 on screen, the window
# less the light menu bar over it.
e2e_game_area() {
  local x y w h menu
  eval "$(xwininfo -id "$1" | awk '/Absolute upper-left X/ {print "x=" $NF} /Absolute upper-left Y/ {print "y=" $NF}
                                   /Width:/ {print "w=" $NF} /Height:/ {print "h=" $NF}')"
  import -window root -crop "1x$h+$((x + w - 3))+$y" +repage "$e2e_dir/column.png"
  menu=$(convert "$e2e_dir/column.png" -depth 8 txt:- | awk -F"[(),]+" 'NR > 1 {
           if ($3 > 180 && $4 > 180 && $5 > 180 && !done) n++; else done = 1 } END {print n + 0}')
  area_x=$x; area_y=$((y + menu)); area_w=$w; area_h=$((h - menu))
}

# The game area of the screen into $1; a test on another display server replaces it.
e2e_area_shot() {
  import -window root -crop "${area_w}x${area_h}+$area_x+$area_y" +repage "$1"
}

# Prints where the 3D scene's centre falls in the game area (from its top-left, in pixels),
# found from the title's track on several screenshots taken as it scrolls: the two floor
# edges are the only lines that stay put in the area's lower half, and they meet at the
# vanishing point, which the camera's 0.2 slope puts 0.2 cot(0.375) w/2 above the centre.
e2e_scene_centre() {
  local i shots=()
  for i in 1 2 3 4 5; do
    e2e_area_shot "$e2e_dir/scroll-$i.png"
    shots+=("$e2e_dir/scroll-$i.png")
    sleep 0.13
  done
  convert "${shots[@]}" -fuzz 20% -fill black +opaque '#0000ff' -fill white -opaque '#0000ff' \
    -evaluate-sequence min "$e2e_dir/still.png"
  convert "$e2e_dir/still.png" -depth 8 txt:- | awk -F'[,: ]+' -v w="$area_w" -v h="$area_h" '
    /#FFFFFF/ && $2 > h / 2 + 10 {
      s = ($1 < w / 2) ? "l" : "r"
      n[s]++; sy[s] += $2; sx[s] += $1; syy[s] += $2 * $2; sxy[s] += $1 * $2 }
    END {
      if (n["l"] < 20 || n["r"] < 20) { print "none"; exit }
      for (s in n) { a[s] = (n[s] * sxy[s] - sx[s] * sy[s]) / (n[s] * syy[s] - sy[s] * sy[s])
                     b[s] = (sx[s] - a[s] * sy[s]) / n[s] }
      vy = (b["r"] - b["l"]) / (a["l"] - a["r"]); vx = a["l"] * vy + b["l"]
      k = cos(0.375) / sin(0.375)
      printf "%.1f %.1f\n", vx, vy + 0.2 * k * w / 2 }'
}

# Taps fire (about ten times a second, for up to 90 s) until the run ends in the name
# entry; prints the entry's window id. With $1, saves the screen as "$1-<tap>" every 50 taps.
e2e_fire_until_entry() {
  local i entry
  for i in $(seq 1 900); do
    xdotool keydown Control_L; sleep 0.05; xdotool keyup Control_L
    sleep 0.05
    (( i % 10 == 0 )) || continue
    entry=$(xdotool search --onlyvisible --name '^High Score Entry$' 2>/dev/null | head -n 1 || true)
    [ -n "$entry" ] && { echo "$entry"; return 0; }
    if [ -n "${1:-}" ] && (( i % 50 == 0 )); then e2e_shot "$1-$i"; fi
  done
  return 1
}
