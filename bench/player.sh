#!/usr/bin/env bash
# Plays every effect in the real player window on a 1920 x 1080 virtual screen and prints
# frames per second, pacing against Milliseconds and the time to the first frame of a
# 4000 x 3000 photo. Usage: bench/player.sh [BUILD-DIR] [REPEATS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}
repeats=${2:-1}
if ! command -v xvfb-run >/dev/null; then
    echo "bench/player.sh needs xvfb-run (Debian package xvfb)" >&2
    exit 1
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPICTAVO_TESTS=OFF >/dev/null
cmake --build "$build" --target pictavo-showbench -j2 >/dev/null
xvfb-run -a -s "-screen 0 1920x1080x24" "$build/bench/pictavo-showbench" "$repeats"
