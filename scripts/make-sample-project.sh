#!/usr/bin/env bash
# Writes a project file for the sample pictures in SAMPLES_DIR. Project files hold full
# paths, so the project is made for the folder the checkout lives in. The effect set is the
# one a new project starts with, as pictavo-cli (built beforehand) reports it.
set -euo pipefail
samples=$(cd "$1" && pwd)
target=$2
cli=${3:-build-release/src/cli/pictavo-cli}
effects=$("$cli" effects --standard-set)
{
    printf '%s\r\n' 3 80 Random "No music" '$00281800_$00603010' Loop Color Tile clNavy Shadow
    for p in sunset.jpg lighthouse.bmp balloons.gif moon.bmp; do printf '%s\r\n' "$samples/$p"; done
    printf '%s\r\n' '[TRANS]' $effects '[MUSIC]'
} > "$target"
