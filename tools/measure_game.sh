#!/usr/bin/env bash
# Measures the running game as a player's machine sees it, under Xvfb, beside the floor
# (bench/floor_window: a bare Qt window repainting a still 640 x 461 picture every 16 ms)
# started at the same time, so both meet the same machine load: machines are noisy, and
# only ratios from one run count. Per run: time from launch to the first picture; the
# share of one core over 20 s on the title screen and then over 20 s in play, each beside
# the floor over the same 20 s; resident memory of both. With PEER=command, that program
# is measured afterwards for 20 s as well. With LATENCY=1, the key-to-pixels benchmark
# (bench/key_latency) runs on the game in play at the end of each run.
# Usage: tools/measure_game.sh BINARY [RUNS]   (floor_window and key_latency beside BINARY)
set -euo pipefail
binary=$(realpath "$1")
runs=${2:-3}
build=$(dirname "$binary")
floor="$build/floor_window"
latency="$build/key_latency"
VANTOR_SOURCE=$(cd "$(dirname "$0")/.." && pwd)
export E2E_SCREEN=1300x1000x24
source "$VANTOR_SOURCE/tests/e2e/xvfb_session.sh"
e2e_start_x
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
