#!/usr/bin/env bash
# Compiles the Win32 side of the platform layer with MinGW-w64 (syntax and warnings only), so
# that a Linux-only build cannot let it rot. Needs x86_64-w64-mingw32-g++; i686 when present.
set -euo pipefail
cd "$(dirname "$0")/.."
# --i686-only: the Windows build (tools/build-windows.sh) compiles the 64-bit side already.
compilers=(x86_64-w64-mingw32-g++)
[[ "${1:-}" == --i686-only ]] && compilers=()
command -v i686-w64-mingw32-g++ >/dev/null && compilers+=(i686-w64-mingw32-g++)
[[ ${#compilers[@]} -gt 0 ]] || { echo "win32 check: no i686-w64-mingw32-g++" >&2; exit 1; }
# The services built on Qt (the bounded helper process, the plugin load check) are compiled for
# Windows by tools/build-windows.sh against the SDK's Qt; this check covers the Qt-free rest.
uses_qt() { # the source, or a project header it includes, includes a Qt header
    grep -q '^#include <Q' "$1" && return 0
    local header
    for header in $(sed -n 's/^#include "\(.*\)"$/\1/p' "$1"); do
        [ -f "src/$header" ] && grep -q '^#include <Q' "src/$header" && return 0
    done
    return 1
}
status=0
for source in src/platform/*.cpp; do
    case "$source" in *_wine.cpp) continue ;; esac
    uses_qt "$source" && continue
    for cxx in "${compilers[@]}"; do
        if ! "$cxx" -std=c++20 -fsyntax-only -Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast \
            -Wnon-virtual-dtor -Woverloaded-virtual -Werror -municode \
            -I src "$source"; then
            echo "win32 check: $source fails with $cxx"
            status=1
        fi
    done
done
[ $status -eq 0 ] && echo "win32 check: passed"
exit $status
