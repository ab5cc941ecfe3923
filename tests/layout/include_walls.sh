#!/usr/bin/env bash
# The walls between the rooms of the tree. Every file includes from the repository root,
# so the compiler would let any file reach any header; this holds each folder to the
# arrows docs/architecture.md draws, and fails naming the file and the include.
# Usage: include_walls.sh REPOSITORY_ROOT
set -uo pipefail
cd "$1" || exit 2

core='game/ objects/ render/ input/ sound/'
contracts='platform/*.h'  # the platform folder's own headers, not its rooms'

# Folder: what its quoted includes may name besides its own folder. Longest folder first.
declare -A allowed=(
  [platform/soft3d/]="$contracts render/Math3D.h"
  [platform/null/]="$contracts"
  [platform/posix/]="$contracts"
  [platform/linux/]="$contracts"
  [platform/qt/]="$contracts platform/posix/ platform/linux/"
  [platform/openal/]="$contracts platform/posix/"
  [platform/sdl/]="$contracts platform/posix/ platform/linux/"
  [platform/x11/]="$contracts platform/linux/"
  [platform/desktop/]="$contracts platform/qt/ platform/x11/ platform/sdl/"
  [platform/]="$contracts render/Math3D.h"
  [render/]="$core $contracts platform/soft3d/ platform/posix/"
  [game/]="$core $contracts platform/posix/"
  [objects/]="$core $contracts"
  [input/]="$core $contracts"
  [sound/]="$core $contracts platform/posix/"
  [app/]="$core platform/ app/"
  [tests/fakes/]="$core $contracts"
  [tools/scene/]="$core $contracts tests/fakes/"
)
# Folder: which libraries' headers it may include (<Q...>, <AL/...>, <SDL...>, <xcb/...>,
# <X11/...>). Any folder not named here includes none of them.
declare -A libraries=(
  [platform/qt/]="qt" [platform/openal/]="al" [platform/sdl/]="sdl" [platform/x11/]="xcb"
  [platform/desktop/]="qt" [app/]="qt al sdl xcb"
)

room_of() {
  local file=$1 best="" folder
  for folder in "${!allowed[@]}"; do
    [[ $file == "$folder"* && ${#folder} -gt ${#best} ]] && best=$folder
  done
  echo "$best"
}

# Whether the quoted include may be named from room.
may_name() {
  local room=$1 header=$2 pattern
  [[ $header == "$room"* && $header != "$room"*/* ]] && return 0
  for pattern in ${allowed[$room]}; do
    case $pattern in
      'platform/*.h') [[ $header == platform/* && $header != platform/*/* ]] && return 0 ;;
      */) [[ $header == "$pattern"* ]] && return 0 ;;
      *) [[ $header == "$pattern" ]] && return 0 ;;
    esac
  done
  return 1
}

library_of() {
  case $1 in
    Q*) echo qt ;;
    AL/*) echo al ;;
    SDL*) echo sdl ;;
    xcb/* | X11/*) echo xcb ;;
  esac
}

faults=0
while IFS= read -r file; do
  room=$(room_of "$file")
  [ -n "$room" ] || continue
  while IFS= read -r line; do
    if [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
      header=${BASH_REMATCH[1]}
      may_name "$room" "$header" && continue
      echo "$file: #include \"$header\": $room may include only its own files and ${allowed[$room]}"
      faults=$((faults + 1))
    elif [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<([^\>]+)\> ]]; then
      library=$(library_of "${BASH_REMATCH[1]}")
      [ -n "$library" ] || continue
      [[ " ${libraries[$room]:-} " == *" $library "* ]] && continue
      echo "$file: #include <${BASH_REMATCH[1]}>: $room may not use that library's headers"
      faults=$((faults + 1))
    fi
  done <"$file"
done < <(find game objects render input sound platform app tests/fakes tools/scene \
              -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

echo "include walls: $faults faults"
[ "$faults" -eq 0 ]
