#!/usr/bin/env bash
# Sets up, builds the program and runs it on the bundled sample show. Until the editor
# exists this is pictavo-cli: it reads the sample project and decodes its pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DPICTAVO_TESTS=OFF >/dev/null
cmake --build build-release -j2 --target pictavo-cli
out=build-release/sample
mkdir -p "$out"
bash scripts/make-sample-project.sh "$root/samples" "$out/sample.orv"
cli=build-release/src/cli/pictavo-cli
"$cli" info "$out/sample.orv"
for picture in samples/*.jpg samples/*.bmp samples/*.gif; do
    name=$(basename "$picture")
    "$cli" decode "$picture" "$out/${name%.*}.decoded.bmp"
done
"$cli" decode samples/sunset.jpg "$out/sunset.quarter.bmp" --scale 1/4
echo "Decoded pictures are in $out/"
