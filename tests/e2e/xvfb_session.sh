# Sourced by the end-to-end tests: starts a private Xvfb (24-bit, 1024 x 768 unless
# E2E_SCREEN says otherwise, as WxHxD) and a
# scratch folder holding a copy of the game's data, and cleans both up on exit.
# Needs: $VANTOR_SOURCE (repository root).
set -euo pipefail

e2e_dir=$(mktemp -d)
xvfb_pid=""
game_pid=""

e2e_cleanup() {
  if [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null; then
    # Let the game close before its X server goes away under it.
    for _ in $(seq 1 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
  fi
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
      xdpyinfo >/dev/null 2>&1 && return 0
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null || true
  done
  echo "no Xvfb display could be started" >&2
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
