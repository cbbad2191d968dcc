#!/usr/bin/env bash
# The demo: builds Quillon and the sample installation (a Wine-style prefix with Total
# Commander and a few plugins), then runs the main job on it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake --preset debug >/dev/null
cmake --build --preset debug
build=build/debug
sample="$build/sample"
settings="$(mktemp -d)"
trap 'rm -rf "$settings"' EXIT
cli=("$build/src/cli/quillon-cli" --wine-prefix "$sample/prefix" --settings-dir "$settings")
echo "== quillon-cli locate (sample installation in $sample)"
"${cli[@]}" locate
