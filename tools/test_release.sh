#!/usr/bin/env bash
# Runs the README's test command on a fresh Debian RELEASE, as a new player's machine has
# it: a minimal chroot made with debootstrap from the package mirror, a clone of this
# tree's HEAD in it, the test command, and then the chroot removed again, never while
# anything is still mounted in it. Exits with the test command's status.
# Usage, as root: tools/test_release.sh bookworm|trixie|sid
#   VANTOR_MIRROR  the Debian mirror (default http://deb.debian.org/debian)
#   VANTOR_KEEP    set: leave the chroot in place (with nothing mounted) and print its path
set -euo pipefail
release=${1:-}
case $release in
  bookworm | trixie | sid) ;;
  *) echo "usage: $0 bookworm|trixie|sid" >&2; exit 2 ;;
esac
[ "$(id -u)" -eq 0 ] || { echo "$0: chroots need root" >&2; exit 2; }
source_tree=$(cd "$(dirname "$0")/.." && pwd)
mirror=${VANTOR_MIRROR:-http://deb.debian.org/debian}

if ! command -v debootstrap >/dev/null; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
fi

dir=$(mktemp -d "${TMPDIR:-/var/tmp}/vantor-$release.XXXXXX")
# The chroot's root folder: open to every user, as / is, or the tests that drop to an
# unprivileged user could not resolve a path.
chmod 755 "$dir"
mounts=()

# Ends whatever still runs inside (a test's Xvfb, a sound server), then unmounts, last
# mount first; removes the chroot only once nothing at all is mounted below it.
cleanup() {
  local pid n
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$dir" ] && kill -9 "$pid" 2>/dev/null
  done
  for ((n = ${#mounts[@]} - 1; n >= 0; n--)); do
    umount "${mounts[n]}" 2>/dev/null || umount -l "${mounts[n]}" 2>/dev/null || true
  done
  if awk -v d="$dir/" 'index($2 "/", d) == 1 { found = 1 } END { exit !found }' /proc/self/mounts; then
    echo "$0: still mounted under $dir; left in place" >&2
    return
  fi
  if [ -n "${VANTOR_KEEP:-}" ]; then echo "chroot kept: $dir"; return; fi
  rm -rf --one-file-system "$dir"
}
trap cleanup EXIT

start=$(date +%s)
debootstrap --variant=minbase "$release" "$dir" "$mirror" >"$dir.debootstrap.log" 2>&1 ||
  { tail -n 20 "$dir.debootstrap.log" >&2; exit 1; }
rm -f "$dir.debootstrap.log"
for m in dev dev/pts dev/shm proc sys; do
  mkdir -p "$dir/$m"
  mount --bind "/$m" "$dir/$m"
  mounts+=("$dir/$m")
done
cp /etc/resolv.conf /etc/hosts "$dir/etc/"
# The mirror's unstable is a dated snapshot, whose Release file may be past its
# Valid-Until date; only that chroot accepts it.
[ "$release" = sid ] && echo 'Acquire::Check-Valid-Until "false";' >"$dir/etc/apt/apt.conf.d/99vantor-snapshot"
git clone --quiet "$source_tree" "$dir/root/vantor"
echo "$release: chroot ready in $(( $(date +%s) - start )) s"

# The README's test command, as a new user runs it, with only a plain environment.
status=0
chroot "$dir" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  LANG=C.UTF-8 TERM=dumb ${CI:+CI=$CI} bash -c 'cd /root/vantor && bash tools/test.sh' || status=$?
echo "$release: the test command exited $status after $(( $(date +%s) - start )) s"
exit "$status"
