#!/usr/bin/env bash
# Measures the running game as a player's machine sees it, under Xvfb, beside the floor
# (bench/floor_window: a bare Qt window repainting a still 640 x 461 picture every 16 ms)
# started at the same time, so both meet the same machine load: machines are noisy, and
# only ratios from one run count. Per run: time from launch to the first picture; the
# share of one core over 20 s on the title screen and then over 20 s in play, each beside
# the floor over the same 20 s; resident memory of both. With PEER=command, that program
# is measured afterwards for 20 s as well. With LATENCY=1, the key-to-pixels benchmark
# (bench/key_latency) runs on the game in play at the end of each run.
#
# MODE chooses what is measured; the above is MODE=window, the default. The other modes
# compare two programs, each alone on a fresh display of its own, one right after the
# other in the same run (odd runs one way round, even runs the other, so that neither
# always meets the machine first), and count the display server with each: the cost of a
# bigger picture lands as much in the server that shows it as in the game.
#   fullscreen  a 3840 x 2160 screen: the game windowed, and the game full screen (F11). A
#               full-screen window hides anything beside it, and an X server skips drawing
#               what is hidden, so the two cannot share a screen.
#   scale2      a 2560 x 1600 screen: the game at 1x, and with QT_SCALE_FACTOR=2.
#   wayland     weston nested on a 1024 x 768 Xvfb: the game, and the floor under a fresh
#               weston; the server is weston and the Xvfb it draws into.
# Each reports per phase the program's share of a core, the server's, their sum and the
# ratio of the sums, resident memory, and at the end the median and range of each figure
# over the runs. The screenshots that prove what was measured go to VANTOR_SHOTS if set.
# Usage: [MODE=window|fullscreen|scale2|wayland] tools/measure_game.sh BINARY [RUNS]
#        (floor_window and key_latency beside BINARY)
set -euo pipefail
binary=$(realpath "$1")
runs=${2:-3}
mode=${MODE:-window}
build=$(dirname "$binary")
floor="$build/floor_window"
latency="$build/key_latency"
VANTOR_SOURCE=$(cd "$(dirname "$0")/.." && pwd)
case $mode in
  window | fullscreen | scale2 | wayland) ;;
  *) echo "MODE is window, fullscreen, scale2 or wayland, not $mode" >&2; exit 2 ;;
esac
export E2E_SCREEN=1300x1000x24
source "$VANTOR_SOURCE/tests/e2e/xvfb_session.sh"
if [ "$mode" = window ]; then e2e_start_x; fi
e2e_copy_data
cd "$e2e_dir/game"
hz=$(getconf CLK_TCK)
floor_pid=""
peer_pid=""
trap 'for p in $floor_pid $peer_pid; do kill $p 2>/dev/null || true; done; e2e_cleanup' EXIT

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss_mb() { awk '/VmRSS/ {printf "%.1f", $2 / 1024}' "/proc/$1/status"; }
now_ms() { date +%s%3N; }

# Percent of one core for each pid in $2.. over $1 seconds, printed space-separated.
core_shares() {
  local seconds=$1; shift
  local before=() after=() i
  for p in "$@"; do before+=("$(cpu_ticks "$p")"); done
  sleep "$seconds"
  for p in "$@"; do after+=("$(cpu_ticks "$p")"); done
  for i in "${!before[@]}"; do
    awk -v d=$((after[i] - before[i])) -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.1f ", 100 * d / (hz * s) }'
  done
  echo
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

# The first picture: the title's credit line has white pixels at (220..350, 170).
first_picture_ms() {
  local start=$1 id
  while :; do
    kill -0 "$game_pid" 2>/dev/null || { echo "the game ended before its first picture" >&2; cat "$e2e_dir/game-$run.log" >&2; exit 1; }
    id=$(xdotool search --onlyvisible --name '^Vantor$' 2>/dev/null | head -n 1 || true)
    # Read whole before testing: with pipefail an early grep exit would fail the pipe.
    pixels=$( [ -n "$id" ] && import -window root -crop 140x12+215+168 txt:- 2>/dev/null || true)
    if [[ "$pixels" == *FFFFFF* ]]; then
      echo $(( $(now_ms) - start )); return
    fi
    sleep 0.02
  done
}

# ---- MODE fullscreen, scale2, wayland: two programs, each alone on a display of its own ----

weston_pid=""
socket=vantor-measure
declare -A sums figures
figure_names=()

fail() {
  echo "FAIL: $*" >&2
  tail -n 20 "$e2e_dir"/*.log >&2 || true
  exit 1
}

# Keeps value $2 of figure $1 for the medians over all runs.
note() {
  [ -n "${figures[$1]+set}" ] || figure_names+=("$1")
  figures[$1]+="$2 "
}

# Ends the process whose pid is in the variable named $1 and waits for that one alone: a
# bare `wait` would hang on a weston whose X server went first, as it spins instead of ending.
stop_pid() {
  local pid=${!1} i
  [ -n "$pid" ] || return 0
  kill "$pid" 2>/dev/null || true
  for i in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  printf -v "$1" '%s' ""
}

# Clients first, then weston, then Xvfb: each goes before the server it draws on.
stop_screen() { stop_pid game_pid; stop_pid floor_pid; stop_pid weston_pid; stop_pid xvfb_pid; }

# A fresh Xvfb of size $1 (WxH) for every program measured, so that nothing the server kept
# for the one before counts against the next.
start_screen() {
  E2E_SCREEN=${1}x24
  e2e_start_x
  server_pids=("$xvfb_pid") server_names=(Xvfb)
}

# weston nested on the Xvfb, filling it. Its X11 back end takes the Xvfb's keyboard, so
# xdotool reaches Wayland clients, and the kiosk shell activates its one window; under a
# headless weston there is no seat, and the game would be measured paused.
start_weston() {
  local i
  export XDG_RUNTIME_DIR=$e2e_dir/runtime
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  weston --backend=x11-backend.so --use-pixman --shell=kiosk-shell.so --socket="$socket" \
    --width="${1%x*}" --height="${1#*x}" >"$e2e_dir/weston.log" 2>&1 &
  weston_pid=$!
  for i in $(seq 1 100); do
    [ -S "$XDG_RUNTIME_DIR/$socket" ] && xdotool search --name '^Weston Compositor' >/dev/null 2>&1 && break
    kill -0 "$weston_pid" 2>/dev/null || fail "weston ended at its start"
    sleep 0.1
  done
  [ -S "$XDG_RUNTIME_DIR/$socket" ] || fail "weston did not start"
  # weston's kiosk shell starts no helper clients: weston and Xvfb are the whole server.
  server_pids=("$weston_pid" "$xvfb_pid") server_names=(weston Xvfb)
}

# Runs "$@" (VAR=value words first) silent from the scratch folder, its output into
# $e2e_dir/$name.log; sets game_pid, which stands for whichever program is measured.
launch() {
  env ALSOFT_DRIVERS=null "$@" >"$e2e_dir/$name.log" 2>&1 &
  game_pid=$!
}

# The game's own picture on the screen, in screen pixels (area_x, area_y, area_w, area_h),
# and zoom, the screen pixels to one of the game's at 1x: the checks below look there.
locate_x11_game() {
  window=$(e2e_wait_window '^Vantor$' 15) || fail "$name: no game window"
  sleep 2
  e2e_game_area "$window"
  zoom=$((area_w / 640))
}
# Full screen magnifies the windowed area by the largest whole number that fits, centred.
locate_full_screen() {
  local screen_w=${1%x*} screen_h=${1#*x}
  zoom=$((screen_w / area_w < screen_h / area_h ? screen_w / area_w : screen_h / area_h))
  area_w=$((area_w * zoom)) area_h=$((area_h * zoom))
  area_x=$(((screen_w - area_w) / 2)) area_y=$(((screen_h - area_h) / 2))
}
# weston's window sits at the Xvfb's top left, and the kiosk shell centres the game's frame
# on it. The frame is not always 640 x 480 there (Qt may take its decorations' margins off
# it as it starts), so the area is as large as the game's log last said, and starts below
# the light menu bar at the screen's middle column.
locate_wayland_game() {
  local screen_w=${1%x*} screen_h=${1#*x} i
  for i in $(seq 1 150); do grep -q '^display: ' "$e2e_dir/$name.log" && break; sleep 0.1; done
  sleep 2
  read -r area_w area_h < <(grep '^display: ' "$e2e_dir/$name.log" | tail -n 1 | awk '{print $2, $4}') ||
    fail "$name: the game made no display"
  area_x=$(((screen_w - area_w) / 2))
  area_y=$(import -window root -crop "1x$screen_h+$((screen_w / 2))+0" -depth 8 txt:- | awk -F'[(),]+' '
             NR > 1 && !top { if ($3 > 180 && $4 > 180 && $5 > 180) menu = 1; else if (menu) top = NR - 2 }
             END { if (top) print top }')
  [ -n "$area_y" ] || fail "$name: no menu bar on weston's screen"
  zoom=1
  echo "  $name: game area $area_w x $area_h at ($area_x, $area_y) on weston's screen"
}

# The picture changes only while the game ticks, and it ticks only while active: a game
# measured paused would cost next to nothing and prove nothing. A loaded machine can hold a
# frame back for a moment, so it has a few tries over 1.5 s to change.
expect_moving() {
  local changed i
  e2e_area_shot "$e2e_dir/before.png"
  for i in 1 2 3 4 5; do
    sleep 0.3
    e2e_area_shot "$e2e_dir/after.png"
    # ImageMagick 7 follows the count with its share in brackets: the count alone.
    changed=$({ compare -metric AE "$e2e_dir/before.png" "$e2e_dir/after.png" null: 2>&1 || true; } | awk '{print $1}')
    awk -v n="$changed" 'BEGIN { exit !(n + 0 > 0) }' && return 0
  done
  fail "$name: the picture stands still, the game is not active"
}
# In play the score is white text at the game area's top left; the title has nothing there.
expect_play() {
  local white
  white=$(import -window root -crop "$((110 * zoom))x$((20 * zoom))+$((area_x + 30 * zoom))+$((area_y + 8 * zoom))" \
            -depth 8 txt:- | grep -c FFFFFF || true)
  (( white > 20 )) || fail "$name: no score line after space, the game is not in play"
}

# The full-screen picture is the game area magnified by whole numbers, centred on black:
# measuring anything else would prove nothing. The title's track reaches both sides of
# the area, so trimming the black leaves the area's width and some of its rows.
expect_full_screen() {
  local w h x y placement blocks
  placement=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
                                            /Width:/ {w = $NF} /Height:/ {h = $NF} END {print w "x" h "+" x "+" y}')
  [ "$placement" = "${1}+0+0" ] || fail "the full-screen window is $placement"
  e2e_shot "full-screen-$run"
  read -r w h x y < <(convert "$e2e_dir/full-screen-$run.png" -format '%@\n' info: | tr 'x+' '  ')
  (( w == area_w && x == area_x && y >= area_y && y + h <= area_y + area_h && (y - area_y) % zoom == 0 )) ||
    fail "the picture is ${w}x$h+$x+$y, not within ${area_w}x$area_h+$area_x+$area_y in whole steps of $zoom"
  # Each zoom x zoom block one colour: shrunk by sampling and grown back, it is unchanged.
  convert "$e2e_dir/full-screen-$run.png" -crop "${w}x$h+$x+$y" +repage "$e2e_dir/picture.png"
  convert "$e2e_dir/picture.png" -sample "$((w / zoom))x$((h / zoom))!" -sample "${w}x$h!" "$e2e_dir/blocks.png"
  blocks=$({ compare -metric AE "$e2e_dir/picture.png" "$e2e_dir/blocks.png" null: 2>&1 || true; } | awk '{print $1}')
  [ "$blocks" = 0 ] || fail "the magnified picture is not whole $zoom x $zoom blocks ($blocks pixels off)"
  echo "  full screen: ${area_w} x ${area_h} at ($area_x, $area_y), the game area magnified $zoom times, black around"
}

# Shares of a core over 20 s on the title, then, after space, over 20 s in play: of the
# program measured and of each server process. Prints them with their sum per phase and
# keeps the sums in sums[$name,phase]. $1 is game, or still for the floor, which has no
# phases: it is just measured twice over, to stand against each of the game's. $2 names
# the program in the output.
measure_phases() {
  local kind=$1 program=$2 phase shares i line total rss=()
  for phase in title play; do
    if [ "$phase" = play ] && [ "$kind" = game ]; then
      xdotool keydown space; sleep 0.1; xdotool keyup space
      sleep 1
      expect_play
      expect_moving
    fi
    read -r -a shares < <(core_shares 20 "$game_pid" "${server_pids[@]}")
    rss+=("$(rss_mb "$game_pid")")
    total=$(awk -v s="${shares[*]}" 'BEGIN { n = split(s, v, " "); for (i = 1; i <= n; i++) t += v[i]; printf "%.1f", t }')
    line="$(printf '%-12s' "$name") $(printf '%-6s' "$phase:") ${program} ${shares[0]}%"
    note "$name $phase: $program" "${shares[0]}"
    for i in "${!server_pids[@]}"; do
      line+=", ${server_names[i]} ${shares[i + 1]}%"
      note "$name $phase: ${server_names[i]}" "${shares[i + 1]}"
    done
    echo "  $line; together $total% of a core"
    note "$name $phase: together" "$total"
    sums[$name,$phase]=$total
  done
  line="$(printf '%-12s' "$name") resident: $program ${rss[0]} MB on the title, ${rss[1]} MB in play"
  [ "$kind" = game ] || line="$(printf '%-12s' "$name") resident: $program ${rss[1]} MB"
  for i in "${!server_pids[@]}"; do line+="; ${server_names[i]} $(rss_mb "${server_pids[i]}") MB"; done
  echo "  $line"
}

# One half of a run, the one that $name says; every mode has its own.
measure_fullscreen() {
  local screen=3840x2160
  start_screen "$screen"
  launch "$binary"
  locate_x11_game
  expect_moving
  if [ "$name" = "full screen" ]; then
    # F11 by its key code in the evdev map every Xvfb starts with: some xdotool releases
    # reach the F11 keysym through the key's Alt level, and Alt+F11 is not F11.
    xdotool key 95
    sleep 1.5
    locate_full_screen "$screen"
    expect_full_screen "$screen"
    expect_moving
  fi
  measure_phases game Vantor
  stop_screen
}
measure_scale2() {
  start_screen 2560x1600
  if [ "$name" = 2x ]; then launch QT_SCALE_FACTOR=2 "$binary"; else launch "$binary"; fi
  locate_x11_game
  (( zoom == ${name%x} )) || fail "$name: the game area is $area_w x $area_h, not ${name%x} x 640 wide"
  expect_moving
  measure_phases game Vantor
  stop_screen
}
measure_wayland() {
  local screen=1024x768
  start_screen "$screen"
  start_weston "$screen"
  if [ "$name" = Vantor ]; then
    launch QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY="$socket" "$binary"
    locate_wayland_game "$screen"
    expect_moving
    e2e_shot "wayland-$run"
    measure_phases game Vantor
  else
    launch QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY="$socket" "$floor"
    sleep 2
    e2e_shot "wayland-floor-$run"
    # The floor's picture, centred by the kiosk shell, is never black at the screen's centre.
    [ "$(convert "$e2e_dir/wayland-floor-$run.png" -crop 64x64+480+352 -format '%[fx:mean > 0.05]' info:)" = 1 ] ||
      fail "the floor does not show under weston"
    measure_phases still floor
  fi
  stop_screen
}

# Both halves of every run, in turns; then the ratio of their sums, second over first.
compare_two() {
  local measure=$1 first=$2 second=$3 phase r pair ratios
  trap 'stop_screen; e2e_cleanup' EXIT
  for run in $(seq 1 "$runs"); do
    echo "run $run:"
    pair=("$first" "$second")
    (( run % 2 )) || pair=("$second" "$first")
    for name in "${pair[@]}"; do "$measure"; done
    ratios=""
    for phase in title play; do
      r=$(ratio "${sums[$second,$phase]}" "${sums[$first,$phase]}")
      note "ratio $second / $first, $phase" "$r"
      ratios+=" $phase $r,"
    done
    echo "  $second / $first, all processes together:${ratios%,}"
  done
  echo "over $runs runs, median (least-most):"
  for figure in "${figure_names[@]}"; do
    # shellcheck disable=SC2086  # the values, one a word
    printf '  %-40s %s\n' "$figure" "$(printf '%s\n' ${figures[$figure]} | sort -g |
      awk '{ v[NR] = $1 } END { split(v[1], d, ".")  # as many decimals as the figures have
                                 printf "%." length(d[2]) "f (%s-%s)",
                                   NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2, v[1], v[NR] }')"
  done
}

case $mode in
  fullscreen) compare_two measure_fullscreen windowed "full screen"; exit ;;
  scale2) compare_two measure_scale2 1x 2x; exit ;;
  wayland) compare_two measure_wayland floor Vantor; exit ;;
esac
for run in $(seq 1 "$runs"); do
  start=$(now_ms)
  ALSOFT_DRIVERS=null "$binary" >"$e2e_dir/game-$run.log" 2>&1 &
  game_pid=$!
  first=$(first_picture_ms "$start")
  # Beside the game, not over it: an X server skips drawing what is hidden.
  "$floor" -geometry 640x461+650+0 >"$e2e_dir/floor-$run.log" 2>&1 &
  floor_pid=$!
  e2e_wait_window '^Floor$' 10 >/dev/null
  sleep 2
  read -r title floor_title < <(core_shares 20 "$game_pid" "$floor_pid")
  title_rss=$(rss_mb "$game_pid")
  xdotool keydown space; sleep 0.1; xdotool keyup space
  sleep 1
  read -r play floor_play < <(core_shares 20 "$game_pid" "$floor_pid")
  play_rss=$(rss_mb "$game_pid")
  floor_rss=$(rss_mb "$floor_pid")
  kill "$floor_pid"; wait "$floor_pid" 2>/dev/null || true
  floor_pid=""
  echo "run $run: first picture ${first} ms"
  echo "  title: Vantor ${title}%, floor ${floor_title}% of a core, ratio $(ratio "$title" "$floor_title")"
  echo "  play:  Vantor ${play}%, floor ${floor_play}% of a core, ratio $(ratio "$play" "$floor_play")"
  echo "  resident: Vantor ${title_rss} MB on the title, ${play_rss} MB in play; floor ${floor_rss} MB"
  kill "$game_pid"; wait "$game_pid" 2>/dev/null || true
  game_pid=""
  if [ -n "${LATENCY:-}" ]; then
    # A fresh run, timed from its start: later the ship may be gone for good.
    ALSOFT_DRIVERS=null "$binary" >>"$e2e_dir/game-$run.log" 2>&1 &
    game_pid=$!
    window=$(e2e_wait_window '^Vantor$' 10)
    sleep 1
    xdotool keydown space; sleep 0.1; xdotool keyup space
    sleep 1.5
    "$latency" "$window" 50 | sed 's/^/  /' || echo "  key latency: failed"
    kill "$game_pid"; wait "$game_pid" 2>/dev/null || true
    game_pid=""
  fi
done

if [ -n "${PEER:-}" ]; then
  $PEER >"$e2e_dir/peer.log" 2>&1 &
  peer_pid=$!
  sleep 5
  read -r peer < <(core_shares 20 "$peer_pid")
  echo "peer ($PEER): ${peer}% of a core, $(rss_mb "$peer_pid") MB resident"
  kill "$peer_pid"; wait "$peer_pid" 2>/dev/null || true
  peer_pid=""
fi
