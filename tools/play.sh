#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it from the repository root,
# where it finds data/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTOR_TESTS=OFF
cmake --build build-release --target vantor
exec ./build-release/vantor
