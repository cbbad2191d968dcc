#!/usr/bin/env bash
# Builds quillon.exe, quillon-cli.exe and quillon-tcbridge.exe for Windows (static, MinGW-w64)
# in build/windows, against the Windows SDK (Qt, curl, libarchive, gumbo, zlib) that
# ../shared/win64-sdk holds. The SDK is unpacked into the build folder, never into the system,
# and again only when the archive changed. QUILLON_WIN64_SDK names another archive; its
# mingw-toolchain.cmake.in lies beside it. Extra arguments go to the build (e.g. a target).
set -euo pipefail
cd "$(dirname "$0")/.."

archive="${QUILLON_WIN64_SDK:-../shared/win64-sdk/quillon-win64-sdk.tar.xz}"
[[ -f "$archive" ]] || { echo "$0: no Windows SDK at $archive" >&2; exit 1; }
archive="$(cd "$(dirname "$archive")" && pwd)/$(basename "$archive")"
template="$(dirname "$archive")/mingw-toolchain.cmake.in"
sdk_dir="$PWD/build/windows/sdk"
sdk="$sdk_dir/quillon-win64"

if [[ -f "$archive.sha256" ]]; then
    (cd "$(dirname "$archive")" && sha256sum --quiet -c "$(basename "$archive").sha256") ||
        { echo "$0: $archive does not match its checksum" >&2; exit 1; }
fi
sum="$(sha256sum "$archive" | cut -d' ' -f1)"
if [[ "$(cat "$sdk_dir/unpacked.sha256" 2>/dev/null)" != "$sum" ]]; then
    echo "Unpacking the Windows SDK into $sdk_dir"
    rm -rf "$sdk_dir"
    mkdir -p "$sdk_dir/unpacking"
    tar -xJf "$archive" -C "$sdk_dir/unpacking"
    # libcurl.pc keeps the folder curl was built in as its libdir; every other file of the SDK
    # is relative to where it lies.
    sed -i 's|^libdir=.*|libdir=${prefix}/lib|' "$sdk_dir/unpacking/quillon-win64/lib/pkgconfig/libcurl.pc"
    mv "$sdk_dir/unpacking/quillon-win64" "$sdk"
    rmdir "$sdk_dir/unpacking"
    echo "$sum" >"$sdk_dir/unpacked.sha256"
fi
sed "s|@SDK@|$sdk|g" "$template" >"$sdk_dir/mingw-toolchain.cmake.tmp"
if ! cmp -s "$sdk_dir/mingw-toolchain.cmake.tmp" "$sdk_dir/mingw-toolchain.cmake"; then
    mv "$sdk_dir/mingw-toolchain.cmake.tmp" "$sdk_dir/mingw-toolchain.cmake"
else
    rm "$sdk_dir/mingw-toolchain.cmake.tmp"
fi

[[ -f build/windows/build.ninja ]] || cmake --preset windows
cmake --build --preset windows "$@"
