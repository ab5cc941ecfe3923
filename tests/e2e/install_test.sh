#!/bin/sh
# Installs the built game into a scratch prefix and checks the tree, then runs the
# installed launcher for scratch players: with a stand-in for the game that reports where
# and with what it was started, and then the real game for a few seconds.
# Usage: install_test.sh <cmake> <build dir> <source dir>
set -eu
cmake=$1 build=$2 source=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
fail() { echo "install_test: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$prefix" >"$scratch/install.log" || {
    cat "$scratch/install.log" >&2
    fail "cmake --install failed"
}

# The tree.
for file in bin/vantor share/vantor/data/title.bmp share/applications/vantor.desktop \
            share/icons/hicolor/16x16/apps/vantor.png share/icons/hicolor/32x32/apps/vantor.png \
            share/man/man6/vantor-launch.6 share/metainfo/com.example.vantor.metainfo.xml; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done
[ -x "$prefix/bin/vantor-launch" ] || fail "bin/vantor-launch is not an executable"
for wav in "$source"/data/*.wav; do
    [ -f "$prefix/share/vantor/data/${wav##*/}" ] || fail "${wav##*/} is not installed"
done
[ ! -e "$prefix/share/vantor/data/hi.sav" ] || fail "a score file was installed"
entry=$prefix/share/applications/vantor.desktop
for line in 'Name=Vantor' 'Exec=vantor-launch' 'Icon=vantor' 'Categories=Game;ArcadeGame;'; do
    grep -qxF "$line" "$entry" || fail "vantor.desktop lacks $line"
done

# A stand-in game: where it runs, what its data/ holds, its arguments.
mv "$prefix/bin/vantor" "$prefix/bin/vantor.real"
cat >"$prefix/bin/vantor" <<'STUB'
#!/bin/sh
{ pwd; ls data; cat data/hi.sav; head -c 2 data/title.bmp; echo; printf '%s\n' "$@"; } >"$RECORD"
STUB
chmod +x "$prefix/bin/vantor"

# A first start with XDG_DATA_HOME unset, through a link and PATH, makes the folder.
mkdir -p "$scratch/home" "$scratch/links"
ln -s "$prefix/bin/vantor-launch" "$scratch/links/vantor-launch"
(unset XDG_DATA_HOME; HOME=$scratch/home RECORD=$scratch/first PATH=$scratch/links:$PATH \
    vantor-launch "one arg" two) 2>"$scratch/first.err" || true
folder=$scratch/home/.local/share/vantor
printf '%s\n' "$folder" bullet.wav explo.wav laser.wav over.wav ready.wav title.bmp BM \
    "one arg" two >"$scratch/expected"
# The stand-in's cat of the missing score file fails and prints nothing to the record.
diff "$scratch/expected" "$scratch/first" >&2 || fail "the first start went wrong: $(cat "$scratch/first.err")"
[ "$(readlink -f "$folder/data/title.bmp")" = "$(readlink -f "$prefix/share/vantor/data/title.bmp")" ] ||
    fail "data/title.bmp does not lead to the installed picture"

# A player's own scores and own replacement picture stay; a stale link is renewed.
players=$scratch/xdg
mkdir -p "$players/vantor/data"
echo mine >"$players/vantor/data/hi.sav"
echo own >"$players/vantor/data/title.bmp"
ln -s /nonexistent/laser.wav "$players/vantor/data/laser.wav"
HOME=$scratch/home XDG_DATA_HOME=$players RECORD=$scratch/second "$prefix/bin/vantor-launch"
[ "$(sed -n 1p "$scratch/second")" = "$players/vantor" ] || fail "XDG_DATA_HOME was not followed"
grep -qx mine "$scratch/second" || fail "the player's scores were not used"
[ "$(cat "$players/vantor/data/title.bmp")" = own ] || fail "the player's own picture was replaced"
[ -r "$players/vantor/data/laser.wav" ] || fail "a stale link was left"

# The real game for a few seconds: it starts in the player's folder and makes its scores.
mv "$prefix/bin/vantor.real" "$prefix/bin/vantor"
status=0
HOME=$scratch/home XDG_DATA_HOME=$scratch/real QT_QPA_PLATFORM=offscreen ALSOFT_DRIVERS=null \
    timeout 5 "$prefix/bin/vantor-launch" >"$scratch/real.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || { cat "$scratch/real.log" >&2; fail "the game ended by itself ($status)"; }
[ -f "$scratch/real/vantor/data/hi.sav" ] || fail "the game made no data/hi.sav in the player's folder"
echo "install_test: passed"
