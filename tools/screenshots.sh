#!/usr/bin/env bash
# Pictures of the desktop program for the README: the main window on a copy of the sample
# installation after a check against the local fixture catalogue, every page, the download window
# during and after a pass and the package selector, in English, German and Russian, with the list
# and the Configuration page also at 520 and 1,200 pixels wide, written to
# docs/screenshots/. Runs on a virtual display (Xvfb). When tools/build-windows.sh has built the
# Windows programs, also quillon.exe under Wine after a check (windows-main-update-eng.png): it
# must fill the list and end cleanly when Windows asks its window to close.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build/debug}
cmake --build "$build" --target quillon-screenshots quillon-fixture-server quillon_fixture_content \
    quillon_sample_install >/dev/null

work="$(mktemp -d)"
server_pid=""
xvfb_pid=""
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

"$build/tools/fixture-server/quillon-fixture-server" --port 0 \
    --content "$build/tools/fixture-server/content" >"$work/server.log" 2>&1 &
server_pid=$!
for _ in $(seq 50); do
    grep -q '^listening on ' "$work/server.log" 2>/dev/null && break
    sleep 0.1
done
base=$(sed -n 's/^listening on \(http[^ ]*\).*/\1/p' "$work/server.log" | head -n1)
[ -n "$base" ] || { echo "the fixture server did not start:"; cat "$work/server.log"; exit 1; }

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
done

mkdir -p docs/screenshots
for lang in ENG DEU RUS; do
    rm -rf "$work/prefix" "$work/settings" "$work/downloads" "$work/temp"
    cp -a "$build/sample/prefix" "$work/prefix"
    mkdir -p "$work/settings"
    cat >"$work/settings/Quillon.ini" <<INI
[Configuration]
PreInstallAction=1
DownloadDir=$work/downloads/
TempDirectory=$work/temp/
[Sites]
Catalogue=$base
CatalogueRu=$base
TotalCommander=$base
Forum=$base
Mirror=$base
INI
    env -u COMMANDER_PATH DISPLAY="$display" QT_QPA_PLATFORM=xcb \
        "$build/tools/screenshots/quillon-screenshots" --wine-prefix "$work/prefix" \
        --settings-dir "$work/settings" --lang "$lang" --out docs/screenshots
done

windows_exe=build/windows/src/ui/quillon.exe
wine=/usr/lib/wine/wine64
command -v wine64 >/dev/null && wine=$(command -v wine64)
if [ -f "$windows_exe" ] && [ -x "$wine" ]; then
    rm -rf "$work/prefix" "$work/settings"
    cp -a "$build/sample/prefix" "$work/prefix"
    mkdir -p "$work/settings"
    printf '[Sites]\nCatalogue=%s\nTotalCommander=%s\n' "$base" "$base" >"$work/settings/Quillon.ini"
    export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
    export DISPLAY="$display"
    "$wine" wineboot -i >/dev/null 2>&1
    "$wine" "$windows_exe" --settings-dir "$("$wine" winepath -w "$work/settings")" /autostart \
        >"$work/windows.log" 2>&1 &
    windows_pid=$!
    title="Quillon $(sed -n 's/^project(Quillon VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
    for _ in $(seq 60); do
        xwininfo -name "$title" >/dev/null 2>&1 && break
        sleep 0.5
    done
    # The check against the local catalogue takes a moment after the window shows.
    sleep 5
    xwd -name "$title" -silent | convert xwd:- docs/screenshots/windows-main-update-eng.png
    "$wine" taskkill /IM quillon.exe >/dev/null
    status=0
    wait "$windows_pid" || status=$?
    "$(dirname "$(readlink -f "$wine")")/wineserver" -k || true
    [ "$status" -eq 0 ] || { echo "quillon.exe ended with $status when asked to close"; exit 1; }
fi
ls docs/screenshots
