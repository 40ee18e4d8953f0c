#!/usr/bin/env bash
# Sets up, builds the Debug build with AddressSanitizer and UndefinedBehaviorSanitizer,
# with warnings as errors, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-debug -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPICTAVO_SANITIZE=ON \
      -DPICTAVO_WERROR=ON -DPICTAVO_BENCH=OFF >/dev/null
cmake --build build-debug -j2
ctest --test-dir build-debug --output-on-failure -j2
