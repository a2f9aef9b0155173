#!/bin/sh
# The committed xm/bg.xm is exactly what tools/make_music.py writes from the
# score, so the module never drifts from its source.
# Usage: test_music_regenerates.sh PYTHON REPOSITORY
set -eu
python=$1
repo=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$python" "$repo/tools/make_music.py" --out "$out" >/dev/null
cmp "$out/xm/bg.xm" "$repo/xm/bg.xm"
