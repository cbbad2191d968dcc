#!/usr/bin/env bash
# Builds one preset (default: debug) with warnings as errors and runs every test.
#   bash tools/test.sh [debug|asan|release]
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-debug}"
bash tools/install-deps.sh
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset"
