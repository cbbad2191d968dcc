#!/usr/bin/env bash
# Builds one preset (default: debug) with warnings as errors and runs every test.
#   bash tools/test.sh [debug|asan|release]
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-debug}"
bash tools/install-deps.sh
cmake --preset "$preset"
cmake --build --preset "$preset"
# A passing test is no news: the runner's lines for started and passed tests are left out, its
# failures (with their output) and its summary stay.
ctest --preset "$preset" 2>&1 | grep -Ev '^ *(Start +[0-9]+: |[0-9]+/[0-9]+ Test +#[0-9]+: .*[ .]Passed +[0-9.]+ sec$)'
