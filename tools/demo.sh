#!/usr/bin/env bash
# The demo: builds Quillon, the sample installation (a Wine-style prefix with Total Commander and
# plugins built as real Windows files) and the local fixture catalogue, then runs the main job on
# a copy of the sample installation against the fixture catalogue on 127.0.0.1.
#   bash tools/demo.sh          the command-line program: list, check, update, check again
#   bash tools/demo.sh --gui    the desktop program on the same copy, until its window is closed
# QUILLON_DEMO_BUILD=DIR uses the build already in DIR instead of installing and building.
set -euo pipefail
cd "$(dirname "$0")/.."
gui=false
case "${1:-}" in
    "") ;;
    --gui) gui=true ;;
    *) echo "usage: bash tools/demo.sh [--gui]" >&2; exit 2 ;;
esac
# A platform named for Qt (offscreen, vnc) is a display of its own.
if $gui && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): the desktop program cannot open its"
    echo "window, so the text demo runs instead."
    echo
    gui=false
fi
build="${QUILLON_DEMO_BUILD:-build/debug}"
if [ -z "${QUILLON_DEMO_BUILD:-}" ]; then
    bash tools/install-deps.sh
    cmake --preset debug >/dev/null
    cmake --build --preset debug
fi

work="$(mktemp -d)"
server_pid=""
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A copy, so that installing updates never touches the built sample.
cp -a "$build/sample/prefix" "$work/prefix"
mkdir -p "$work/settings"

"$build/tools/fixture-server/quillon-fixture-server" --port 0 \
    --content "$build/tools/fixture-server/content" >"$work/server.log" 2>&1 &
server_pid=$!
for _ in $(seq 50); do
    grep -q '^listening on ' "$work/server.log" 2>/dev/null && break
    sleep 0.1
done
base=$(sed -n 's/^listening on \(http[^ ]*\).*/\1/p' "$work/server.log" | head -n1)
[ -n "$base" ] || { echo "the fixture server did not start:"; cat "$work/server.log"; exit 1; }
cat >"$work/settings/Quillon.ini" <<INI
[Configuration]
PreInstallAction=1
[Sites]
Catalogue=$base
CatalogueRu=$base
TotalCommander=$base
Forum=$base
Mirror=$base
INI

if $gui; then
    echo "== The desktop program on a copy of the sample installation ($work/prefix)"
    echo "   The catalogue is the local one at $base. Search for updates, download and install them,"
    echo "   look at an item's backups and restore one (context menu), or preview first."
    echo "   Close the window to end the demo."
    "$build/src/ui/quillon" --wine-prefix "$work/prefix" --settings-dir "$work/settings"
    echo "== The window is closed; the fixture catalogue stops and the copy is removed."
    exit 0
fi

cli=("$build/src/cli/quillon-cli" --wine-prefix "$work/prefix" --settings-dir "$work/settings")
# grep reads the whole help: with -q it would stop at the match, and the program's broken pipe
# would fail the test under pipefail, leaving steps out at random.
has() { "${cli[0]}" --help | grep -E "^  $1 " >/dev/null; }

echo "== Where Total Commander is"
"${cli[@]}" locate
if has list; then
    echo; echo "== What is installed"
    "${cli[@]}" list
fi
if has check; then
    echo; echo "== What the catalogue ($base) offers"
    "${cli[@]}" check || true
fi
if has update; then
    echo; echo "== Download and install the updates"
    "${cli[@]}" update --install --all --yes || true
    echo; echo "== Checked again: the installed versions and their state"
    "${cli[@]}" check || true
    echo; echo "== Backups written (what each replaced)"
    find "$work" -name 'backup_*_QN.zip' -printf '%P\n' | sort | while read -r backup; do
        echo "$backup"
        unzip -Z1 "$work/$backup" | sed 's/^/    /'
    done
fi
