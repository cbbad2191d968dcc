#!/usr/bin/env bash
# Builds the Debian package in build/package: a release build of only what the package holds
# (no tests, benchmarks or fixtures), then CPack. Check it with tools/check-package.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --preset package >/dev/null
cmake --build --preset package
rm -f build/package/quillon_*.deb
(cd build/package && cpack -G DEB)
ls build/package/quillon_*.deb
