#!/usr/bin/env bash
# Installs the packages the build, the game and the tests need, on Debian 12, 13 or
# unstable. Idempotent: when everything is there already it asks no package server at all.
# Names are the ones every release has; where a release's desktop differs, so does the list.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins libopenal-dev libsdl2-dev libx11-dev libxcb1-dev libxcb-shm0-dev libxcb-render0-dev libxcb-xinput-dev libxext-dev libxtst-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  build-essential debhelper dpkg-dev fakeroot lintian desktop-file-utils appstream
  clang libclang-rt-dev
  xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core
  openbox weston qt6-wayland pulseaudio-utils
)
# The sound server a desktop of the release runs, for the sound-server test: Debian 12's
# desktops still came with PulseAudio; from 13 on they run PipeWire's PulseAudio service.
. /etc/os-release
if [ "${VERSION_CODENAME:-}" = bookworm ]; then
  packages+=(pulseaudio)
else
  packages+=(pipewire wireplumber pipewire-pulse dbus-x11)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)
echo "installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
