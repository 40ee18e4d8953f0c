#!/usr/bin/env bash
# How close paced runs end to their Milliseconds: every timed effect of the show's list
# run headless at 1920 x 1080 with its stored duration. The pass (from the effect's start
# event to its end event) is what is paced; the whole run adds capturing the old and new
# looks.
# Usage: bench/pacing.sh [BUILD_DIR]   (a Release build with pictavo-cli)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}
cli=$build/src/cli/pictavo-cli
[ -x "$cli" ] || { echo "build $cli first"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -size 1920x1080 plasma:fractal -seed 7 -blur 0x2 -type truecolor BMP3:"$work/a.bmp"
convert -size 1920x1080 gradient:'#203a43-#2c5364' -type truecolor BMP3:"$work/b.bmp"

printf '%-12s %6s %8s %9s %7s %9s\n' effect ms frames "pass ms" ratio "whole ms"
for effect in Puzzle LArgePuzzle Blocks NewBlocks FastCircle Clockwise ClockObr ClockNew DripDown Drip \
              WipeDown WipeLeft Right WipeUp Ugolok_d_l Ugol_d_r UgolUp_l UgolUp_r Intro Out; do
    out=$("$cli" render "$effect" "$work/a.bmp" "$work/b.bmp" --size 1920x1080)
    ms=$([ "$effect" = Puzzle ] && echo 1500 || echo 1700)
    frames=$(awk '/^frames:/{print $2}' <<<"$out")
    elapsed=$(awk '/^elapsed ms:/{print $3}' <<<"$out")
    pass=$(awk '/^pass ms:/{print $3}' <<<"$out")
    awk -v e="$effect" -v ms="$ms" -v f="$frames" -v t="$elapsed" -v p="$pass" \
        'BEGIN{printf "%-12s %6d %8d %9.1f %7.3f %9.1f\n", e, ms, f, p, p/ms, t}'
done
