#!/usr/bin/env bash
# Measures the running game as a player's machine sees it, under Xvfb: time from launch
# to the first picture, the share of one core used over 20 s on the title screen and
# then in play, and the resident memory. Usage: tools/measure_game.sh BINARY [RUNS]
set -euo pipefail
binary=$(realpath "$1")
runs=${2:-3}
VANTOR_SOURCE=$(cd "$(dirname "$0")/.." && pwd)
source "$VANTOR_SOURCE/tests/e2e/xvfb_session.sh"
e2e_start_x
e2e_copy_data
cd "$e2e_dir/game"
hz=$(getconf CLK_TCK)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss_mb() { awk '/VmRSS/ {printf "%.1f", $2 / 1024}' "/proc/$1/status"; }
now_ms() { date +%s%3N; }

# Percent of one core over $2 seconds.
core_share() {
  local before after
  before=$(cpu_ticks "$1"); sleep "$2"; after=$(cpu_ticks "$1")
  awk -v d=$((after - before)) -v hz="$hz" -v s="$2" 'BEGIN { printf "%.1f", 100 * d / (hz * s) }'
}

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
  sleep 2
  title=$(core_share "$game_pid" 20)
  title_rss=$(rss_mb "$game_pid")
  xdotool keydown space; sleep 0.1; xdotool keyup space
  sleep 1
  play=$(core_share "$game_pid" 20)
  play_rss=$(rss_mb "$game_pid")
  kill "$game_pid"; wait "$game_pid" 2>/dev/null || true
  game_pid=""
  echo "run $run: first picture ${first} ms; title ${title}% of a core, ${title_rss} MB; play ${play}% of a core, ${play_rss} MB"
done
