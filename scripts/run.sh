#!/usr/bin/env bash
# Sets up, builds the program and opens the editor on the bundled sample show.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DPICTAVO_TESTS=OFF >/dev/null
cmake --build build-release -j2 --target pictavo pictavo-cli pictavo-preview pictavo-show
out=build-release/sample
mkdir -p "$out"
bash scripts/make-sample-project.sh "$root/samples" "$out/sample.orv" build-release/src/cli/pictavo-cli
build-release/src/cli/pictavo-cli info "$out/sample.orv"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "No display to open the editor on. On a desktop this opens it; here you can run:"
    echo "  xvfb-run -a -s '-screen 0 1920x1080x24' build-release/src/app/pictavo $out/sample.orv"
    exit 0
fi
exec build-release/src/app/pictavo "$root/$out/sample.orv"
