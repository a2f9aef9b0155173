#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it from this folder,
# where it finds bmp/ and xm/.
set -euo pipefail
cd "$(dirname "$0")"
. tools/packages.sh
install_missing
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVASK_BENCH=OFF
cmake --build build -j"$(nproc)" --target morvask
exec build/screens/morvask
