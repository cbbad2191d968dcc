#!/usr/bin/env bash
# Packs the Windows programs that tools/build-windows.sh built: build/windows/quillon-<version>-
# win64.zip (the three programs and README.txt in a folder quillon-<version>-win64, portable) and
# build/windows/quillon-<version>-win64-setup.exe (NSIS: Program Files, Start menu, uninstaller).
# Both are made the same from the same programs: fixed file times, no extra attributes.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/windows
version="$(sed -n 's/^project(Quillon VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
[[ -n "$version" ]] || { echo "$0: no version in CMakeLists.txt" >&2; exit 1; }
name="quillon-$version-win64"
programs=("$build/src/ui/quillon.exe" "$build/src/cli/quillon-cli.exe" "$build/src/tcbridge/quillon-tcbridge.exe")
for program in "${programs[@]}"; do
    [[ -f "$program" ]] || { echo "$0: $program is missing; run tools/build-windows.sh" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/$name"
cp "${programs[@]}" "$work/$name/"
# Windows' own editors want CRLF.
sed "s/@VERSION@/$version/g; s/\$/\r/" packaging/windows/README.txt.in >"$work/$name/README.txt"
touch -d "$(git log -1 --format=%cI 2>/dev/null || echo 2024-01-01T00:00:00Z)" "$work/$name" "$work/$name"/*

zip="$build/$name.zip"
(cd "$work" && zip -q -X -r "$name.zip" "$name")
unzip -tq "$work/$name.zip" >/dev/null
mv "$work/$name.zip" "$zip"
echo "$zip"

if command -v makensis >/dev/null; then
    setup="$build/$name-setup.exe"
    makensis -V2 -DVERSION="$version" -DSOURCE="$work/$name" -DOUTFILE="$work/setup.exe" \
        packaging/windows/quillon.nsi >/dev/null
    mv "$work/setup.exe" "$setup"
    echo "$setup"
else
    echo "$0: makensis not found (Debian's nsis): no installer made" >&2
fi
