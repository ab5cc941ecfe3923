#!/usr/bin/env bash
# The real binary losing what it stands on: its X server killed under it on the title,
# in the middle of a run and while a name is being typed, and termination signals in its
# first moments. Every time the game must end without dying by a signal, keep a typed
# name with its score, and leave data/hi.sav whole (576 bytes, scores in order).
# Usage: x_loss_test.sh SOURCE_DIR GAME_BINARY [TITLE_KILLS RUN_KILLS ENTRY_KILLS EARLY_SIGNALS]
VANTOR_SOURCE=$1
binary=$2
title_kills=${3:-8}
run_kills=${4:-8}
entry_kills=${5:-4}
early_signals=${6:-6}
source "$VANTOR_SOURCE/tests/e2e/xvfb_session.sh"
set +e  # every outcome is collected and judged at the end

failures=0
report() { echo "$*"; }
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
tap() { xdotool keydown "$1"; sleep "${2:-0.08}"; xdotool keyup "$1"; }
# A random pause of $1 to $2 tenths of a second.
pause() { sleep "$(( $1 + RANDOM % ($2 - $1 + 1) ))e-1"; }

# Kills the X server on $1 (display) with pid $2 and clears what a killed server leaves.
kill_x() {
  kill -9 "$2" 2>/dev/null || true
  while kill -0 "$2" 2>/dev/null; do sleep 0.05; done
  local n=${1#:}
  [ "$(tr -d ' ' <"/tmp/.X${n}-lock" 2>/dev/null)" = "$2" ] && rm -f "/tmp/.X${n}-lock" "/tmp/.X11-unix/X${n}"
  return 0
}

# Waits up to 15 s for the game $1, a child of this shell, to end; sets ended to how it
# did: "exit N", "signal N" or "hang".
game_end() {
  local status
  for _ in $(seq 1 150); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$1" 2>/dev/null; then kill -9 "$1"; wait "$1" 2>/dev/null; ended=hang; return; fi
  wait "$1" && status=0 || status=$?
  (( status > 128 )) && ended="signal $((status - 128))" || ended="exit $status"
}

# Checks that $1/data/hi.sav is whole; with $2, that it holds the name $2 scoring 500 or more.
check_scores() {
  local file=$1/data/hi.sav
  [ "$(stat -c %s "$file" 2>/dev/null)" = 576 ] || { echo "hi.sav is not 576 bytes"; return; }
  local scores
  scores=$(for r in $(seq 0 15); do od -An -t d4 -j $((r * 36)) -N 4 "$file"; done | tr -d ' ')
  [ "$scores" = "$(sort -rn <<<"$scores")" ] || { echo "hi.sav scores out of order"; return; }
  [ -z "${2:-}" ] && return
  for r in $(seq 0 15); do
    local name score
    name=$(dd if="$file" bs=1 skip=$((r * 36 + 4)) count=${#2} 2>/dev/null | tr -d "\\0")
    score=$(od -An -t d4 -j $((r * 36)) -N 4 "$file" | tr -d ' ')
    [ "$name" = "$2" ] && (( score >= 500 )) && return
  done
  echo "the name $2 was lost"
}

# One game in folder $1 on display $2 (server pid $3), to the X server's death in phase $4.
trial() {
  local dir=$1 display=$2 xpid=$3 phase=$4 name="" pid problem
  cd "$dir"
  export DISPLAY=$display
  ALSOFT_DRIVERS=null "$binary" >>"$dir/game.log" 2>&1 &
  pid=$!
  game_pid=$pid
  if ! e2e_wait_window '^Vantor$' 15 >/dev/null; then
    kill -9 "$pid" 2>/dev/null; kill_x "$display" "$xpid"; echo "$phase: no window"; return
  fi
  case $phase in
    title) pause 3 12 ;;
    run)
      sleep 0.5; tap space 0.15; pause 2 15
      xdotool keydown Left Control_L ;;
    entry)
      sleep 0.5; tap space 0.15
      e2e_fire_until_entry >/dev/null
      name="Lost$RANDOM"
      sleep 0.3; xdotool type --delay 40 "$name"; pause 3 6 ;;
  esac
  kill_x "$display" "$xpid"
  game_end "$pid"
  game_pid=""
  problem=$(check_scores "$dir" "$name")
  [ "$ended" = "${ended#exit}" ] && problem="ended by $ended; $problem"
  echo "$phase: $ended${name:+, typed $name}${problem:+ -- $problem}"
}

e2e_copy_data
game_dir=$e2e_dir/game
results=$e2e_dir/results
: >"$results"

# Whole runs take a while; the name-entry trials play side by side, each with its own
# server and folder, while the others run one after another.
entry_jobs=()
for k in $(seq 1 "$entry_kills"); do
  e2e_start_x
  cp -r "$game_dir" "$e2e_dir/entry$k"
  trial "$e2e_dir/entry$k" "$DISPLAY" "$xvfb_pid" entry >>"$results" &
  entry_jobs+=($!)
done
xvfb_pid=""

phases=()
for _ in $(seq 1 "$title_kills"); do phases+=(title); done
for _ in $(seq 1 "$run_kills"); do phases+=(run); done
for phase in "${phases[@]}"; do
  e2e_start_x
  trial "$game_dir" "$DISPLAY" "$xvfb_pid" "$phase" >>"$results"
  xvfb_pid=""
done

# A termination signal in the game's first moments must close it normally. The moments
# start when the game runs a second thread (Qt's, as it meets the X server), well before
# the window stands; the loading before that is beyond the game's reach.
e2e_start_x
for k in $(seq 1 "$early_signals"); do
  (cd "$game_dir" && exec env ALSOFT_DRIVERS=null "$binary" >>"$game_dir/game.log" 2>&1) &
  game_pid=$!
  for _ in $(seq 1 2000); do
    [ "$(awk '/^Threads:/ {print $2}' "/proc/$game_pid/status" 2>/dev/null || echo 0)" -ge 2 ] && break
    sleep 0.002
  done
  sleep "$(( (k - 1) * 15 ))e-3"
  signal=$(( k % 3 == 0 ? 1 : (k % 3 == 1 ? 15 : 2) ))
  kill -"$signal" "$game_pid"
  game_end "$game_pid"
  game_pid=""
  echo "early signal $signal: $ended$(check_scores "$game_dir" | sed 's/^/ -- /')" >>"$results"
done

for job in "${entry_jobs[@]}"; do wait "$job" || true; done
cat "$results"
while read -r line; do
  case $line in
    *"-- "*|*"no window"*) fail "$line" ;;
    "early signal"*) [ "${line#*: }" = "exit 0" ] || fail "$line" ;;
  esac
done <"$results"
[ "$(wc -l <"$results")" -eq $(( title_kills + run_kills + entry_kills + early_signals )) ] || fail "trials missing"
if (( failures > 0 )); then
  echo "--- the game's output:" >&2
  grep -hv '^QStandardPaths' "$e2e_dir"/*/game.log | sort | uniq -c | sort -rn | head -n 20 >&2
  exit 1
fi
echo "all $(wc -l <"$results") trials held"
