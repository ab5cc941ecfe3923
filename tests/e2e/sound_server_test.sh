#!/usr/bin/env bash
# The game's sound through a sound server, as players hear it: the desktop's own server,
# private to the test, with a null sink whose monitor is recorded while the game runs
# under Xvfb. PipeWire with its PulseAudio service where the release has them (Debian 13
# on), PulseAudio itself otherwise (Debian 12). The title is silent, space brings the
# ready jingle and left Ctrl a laser, and the game never says it runs silent.
# Usage: sound_server_test.sh SOURCE_DIR GAME_BINARY
VANTOR_SOURCE=$1
binary=$2
source "$VANTOR_SOURCE/tests/e2e/xvfb_session.sh"
server_pids=()
record_pid=""

fail() {
  echo "FAIL: $*" >&2
  tail -n 20 "$e2e_dir/game.log" "$e2e_dir"/server*.log >&2 || true
  exit 1
}
cleanup() {
  [ -n "$record_pid" ] && kill "$record_pid" 2>/dev/null
  local pid
  for pid in "${server_pids[@]}"; do kill "$pid" 2>/dev/null; done
  e2e_cleanup
}
trap cleanup EXIT

export HOME=$e2e_dir XDG_RUNTIME_DIR=$e2e_dir/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
if command -v pipewire-pulse >/dev/null && command -v wireplumber >/dev/null; then
  server=PipeWire
  # The session bus WirePlumber needs, private to the test as the rest.
  eval "$(dbus-launch --sh-syntax)"
  server_pids+=("$DBUS_SESSION_BUS_PID")
  # The session manager and the PulseAudio service give up at once when the PipeWire
  # daemon is not listening yet.
  pipewire >"$e2e_dir/server-pipewire.log" 2>&1 &
  server_pids+=($!)
  for _ in $(seq 1 100); do [ -S "$XDG_RUNTIME_DIR/pipewire-0" ] && break; sleep 0.1; done
  [ -S "$XDG_RUNTIME_DIR/pipewire-0" ] || fail "PipeWire did not start"
  for daemon in wireplumber pipewire-pulse; do
    "$daemon" >"$e2e_dir/server-$daemon.log" 2>&1 &
    server_pids+=($!)
  done
else
  server=PulseAudio
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --log-target=stderr \
    -L module-native-protocol-unix >"$e2e_dir/server.log" 2>&1 &
  server_pids+=($!)
fi
export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
for _ in $(seq 1 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null 2>&1 || fail "$server did not start"
pactl load-module module-null-sink sink_name=null >/dev/null || fail "no null sink on $server"
# PipeWire makes the sink, and takes a new default, a moment after it said yes.
for _ in $(seq 1 50); do
  pactl set-default-sink null 2>/dev/null && [ "$(pactl get-default-sink 2>/dev/null)" = null ] && break
  sleep 0.1
done
[ "$(pactl get-default-sink)" = null ] || fail "the null sink is not $server's default"
echo "sound server: $(pactl info | sed -n 's/^Server Name: //p')"

e2e_start_x
e2e_copy_data
cd "$e2e_dir/game"
"$binary" >"$e2e_dir/game.log" 2>&1 &
game_pid=$!
win=$(e2e_wait_window '^Vantor$' 15) || fail "no game window"
sleep 1

# Each phase is recorded on its own: an idle sink's monitor does not run in real time, so
# one long recording could not be cut by the clock. Short fragments, or PipeWire hands
# the recorder whole seconds at a time and a phase ends before its first arrives.
record() {
  parec -d null.monitor --format=s16le --rate=44100 --channels=1 --raw --latency-msec=20 >"$e2e_dir/$1.raw" &
  record_pid=$!
  sleep 0.3
  [ -n "$2" ] && { xdotool keydown "$2"; sleep 0.08; xdotool keyup "$2"; }
  sleep "$3"
  kill "$record_pid"; wait "$record_pid" 2>/dev/null; record_pid=""
}
# Peak and RMS level in dBFS of a recording.
level() {
  od -An -v -t d2 -w2 "$e2e_dir/$1.raw" | awk '
    { v = $1 < 0 ? -$1 : $1; if (v > peak) peak = v; sum += $1 * $1; n++ }
    END { db = 20 / log(10)
          printf "%.1f %.1f %.2f\n", peak ? db * log(peak / 32768) : -200,
                                      sum ? db * log(sqrt(sum / n) / 32768) : -200, n / 44100 }'
}
record title "" 1.5
record ready space 1.3
sleep 0.3
record laser Control_L 0.6
kill "$game_pid"; wait "$game_pid" || fail "the game did not end cleanly"
game_pid=""
grep -q 'runs silent' "$e2e_dir/game.log" && fail "the game found no audio device"

read -r title_peak title_rms title_s < <(level title)
read -r ready_peak ready_rms ready_s < <(level ready)
read -r laser_peak laser_rms laser_s < <(level laser)
echo "$server: title ${title_s} s, peak $title_peak dBFS; ready ${ready_s} s, peak $ready_peak dBFS," \
     "RMS $ready_rms dB; laser ${laser_s} s, peak $laser_peak dBFS, RMS $laser_rms dB"
awk -v p="$title_peak" 'BEGIN { exit !(p < -60) }' || fail "the title is not silent (peak $title_peak dBFS)"
awk -v r="$ready_rms" 'BEGIN { exit !(r > -30) }' || fail "no ready jingle after space (RMS $ready_rms dB)"
awk -v r="$laser_rms" 'BEGIN { exit !(r > -30) }' || fail "no laser after Ctrl (RMS $laser_rms dB)"
