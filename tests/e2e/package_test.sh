#!/usr/bin/env bash
# Builds the Debian package from a copy of the tree, so the checkout stays clean and no
# build folder of its own gets into the package, then checks it: lintian finds nothing,
# the desktop entry and the AppStream metainfo validate, and the files unpacked into a
# scratch root start the game under Xvfb for a scratch player, who gets the title and
# their own data/hi.sav while nothing under the root changes.
# Usage: package_test.sh SOURCE_DIR [FOLDER TO LEAVE THE .deb IN]
VANTOR_SOURCE=$(cd "$1" && pwd)
keep=${2:-}
source "$VANTOR_SOURCE/tests/e2e/xvfb_session.sh"
deb=vantor_1.0-1_amd64.deb
tree=$e2e_dir/vantor-1.0

fail() {
  echo "FAIL: $*" >&2
  [ -f "$e2e_dir/game.log" ] && { echo "--- the game's output:" >&2; tail -n 30 "$e2e_dir/game.log" >&2; }
  exit 1
}
for tool in dpkg-buildpackage lintian appstreamcli desktop-file-validate; do
  command -v "$tool" >/dev/null || fail "$tool is missing: run tools/setup.sh"
done

# Every library the set-up script installs for the build is a build-dependency too;
# tests, benchmarks and fuzzers are not part of the package, and dpkg-dev is a tool.
setup_devs=$(sed -n '/^packages=(/,/^)/p' "$VANTOR_SOURCE/tools/setup.sh" | grep -o '[a-z0-9.+-]*-dev\b' || true)
for dev in $setup_devs; do
  case $dev in libgtest-dev | libgmock-dev | libbenchmark-dev | libxtst-dev | libclang-rt-* | dpkg-dev) continue ;; esac
  grep -q "^ *\(Build-Depends: \)\?$dev\b" "$VANTOR_SOURCE/debian/control" ||
    fail "$dev is in tools/setup.sh but not in debian/control's Build-Depends"
done

mkdir -p "$tree"
if git -C "$VANTOR_SOURCE" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  (cd "$VANTOR_SOURCE" && git ls-files -z --cached --others --exclude-standard |
     tar --null -T - --ignore-failed-read -cf - 2>/dev/null) | tar -C "$tree" -xf -
else
  tar -C "$VANTOR_SOURCE" --exclude='./build*' --exclude='./obj-*' -cf - . | tar -C "$tree" -xf -
fi

start=$(date +%s)
(cd "$tree" && DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}" \
   dpkg-buildpackage -us -uc -b) >"$e2e_dir/build.log" 2>&1 ||
  { tail -n 40 "$e2e_dir/build.log" >&2; fail "dpkg-buildpackage failed"; }
echo "built $deb in $(( $(date +%s) - start )) s"
[ -f "$e2e_dir/$deb" ] || fail "dpkg-buildpackage made no $deb"
[ -n "$keep" ] && cp "$e2e_dir/$deb" "$keep/"
dpkg-deb -c "$e2e_dir/$deb"

echo "--- lintian"
lintian --fail-on error,warning --display-info "$e2e_dir/$deb" || fail "lintian has errors or warnings"

root=$e2e_dir/root
dpkg -x "$e2e_dir/$deb" "$root"
echo "--- desktop-file-validate, appstreamcli validate"
desktop-file-validate "$root/usr/share/applications/vantor.desktop" ||
  fail "the desktop entry does not validate"
# A software centre's validator: not a warning, and not even a note on an old form.
appstream=$(appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml 2>&1) ||
  { echo "$appstream" >&2; fail "the AppStream metainfo does not validate"; }
echo "$appstream"
! grep -q '^[EWI]:' <<<"$appstream" || fail "the AppStream metainfo has remarks"
appstreamcli validate-tree --no-net "$root" || fail "the installed tree does not validate"

# A player's first start, through the command a player types.
home=$e2e_dir/home
mkdir -p "$home"
find "$root" -printf '%p %s %T@\n' | sort >"$e2e_dir/root.before"
e2e_start_x
(unset XDG_DATA_HOME; cd "$home"; HOME=$home ALSOFT_DRIVERS=null exec "$root/usr/games/vantor") \
  >"$e2e_dir/game.log" 2>&1 &
game_pid=$!
win=$(e2e_wait_window '^Vantor$' 15) || fail "no game window"
scores=$home/.local/share/vantor/data/hi.sav
for _ in $(seq 1 50); do [ -s "$scores" ] && break; sleep 0.1; done
[ "$(stat -c %s "$scores" 2>/dev/null)" = 576 ] || fail "no 576-byte hi.sav under the player's HOME"
# The title's credit line is white, 150 px below the game area's top, under the menu bar.
eval "$(xdotool getwindowgeometry --shell "$win")"
title=""
for _ in $(seq 1 50); do
  title=$(import -window root -crop "140x12+$((X + 215))+$((Y + 168))" txt:- 2>/dev/null || true)
  [[ "$title" == *FFFFFF* ]] && break
  sleep 0.1
done
[[ "$title" == *FFFFFF* ]] || { e2e_shot package-title; fail "no title on the screen"; }
[ -z "$(xdotool search --onlyvisible --name '^ERROR$' 2>/dev/null || true)" ] ||
  fail "the game showed an error box"
kill -TERM "$game_pid"
for _ in $(seq 1 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
wait "$game_pid" || fail "the game did not end cleanly on SIGTERM"
game_pid=""
find "$root" -printf '%p %s %T@\n' | sort >"$e2e_dir/root.after"
diff "$e2e_dir/root.before" "$e2e_dir/root.after" >&2 || fail "the game changed files under its root"
echo "package_test: passed"
