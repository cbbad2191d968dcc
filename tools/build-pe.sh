#!/usr/bin/env bash
# Builds one small Windows executable or DLL with a version resource, reproducibly (fixed PE time
# stamp and image base), with MinGW-w64. The sample installation and the fixture server's
# packages are made of these.
#
#   bash tools/build-pe.sh ARCH(x64|x86) KIND(exe|dll) OUTPUT FILEVERSION BLOCK PRODUCTNAME \
#       DESCRIPTION COMPANY ORIGINALNAME [VERSIONTEXT]
#
# FILEVERSION is "a.b.c.d"; the string values FileVersion and ProductVersion are VERSIONTEXT when
# given, else FILEVERSION without trailing ".0" parts. BLOCK is the string block ("040904E4").
# Environment: MINGW64_GCC, MINGW64_WINDRES, MINGW32_GCC, MINGW32_WINDRES override the tools;
# PE_SOURCE names a C file (wmain) to build an executable from instead of an empty program;
# PE_PLUGIN=1 makes a DLL a plugin that loads: it exports (as stubs returning 0) the functions
# Total Commander needs of the kind that ORIGINALNAME's extension names.
set -euo pipefail

if [[ $# -lt 9 || $# -gt 10 ]]; then
    echo "usage: $0 ARCH KIND OUTPUT FILEVERSION BLOCK PRODUCTNAME DESCRIPTION COMPANY ORIGINALNAME [VERSIONTEXT]" >&2
    exit 2
fi
arch="$1" kind="$2" output="$3" version="$4" block="$5" product="$6" description="$7" company="$8"
original="$9" text="${10:-}"

gcc="${MINGW64_GCC:-x86_64-w64-mingw32-gcc}" windres="${MINGW64_WINDRES:-x86_64-w64-mingw32-windres}"
if [[ "$arch" == x86 ]]; then
    gcc="${MINGW32_GCC:-i686-w64-mingw32-gcc}" windres="${MINGW32_WINDRES:-i686-w64-mingw32-windres}"
fi
for tool in "$gcc" "$windres"; do
    command -v "$tool" >/dev/null || { echo "$0: $tool not found (MinGW-w64 is needed)" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

commas="${version//./,}"
short="$version"
# The string form drops trailing ".0" parts the way the authors usually write it.
while [[ "$short" == *.*.0 || "$short" == *.*.*.0 ]]; do short="${short%.0}"; done
[[ -n "$text" ]] && short="$text"
lang=$((16#${block:0:4})) codepage=$((16#${block:4:4}))
type=VFT_DLL
[[ "$kind" == exe ]] && type=VFT_APP
rc="$work/$(basename "$output").rc"
cat >"$rc" <<EOF
#include <winver.h>
1 VERSIONINFO
FILEVERSION $commas
PRODUCTVERSION $commas
FILEFLAGSMASK 0x3fL
FILEFLAGS 0x0L
FILEOS VOS_NT_WINDOWS32
FILETYPE $type
FILESUBTYPE 0x0L
BEGIN
    BLOCK "StringFileInfo"
    BEGIN
        BLOCK "$block"
        BEGIN
            VALUE "CompanyName", "$company"
            VALUE "FileDescription", "$description"
            VALUE "FileVersion", "$short"
            VALUE "InternalName", "${original%.*}"
            VALUE "LegalCopyright", "Copyright (C) 2024 $company"
            VALUE "OriginalFilename", "$original"
            VALUE "ProductName", "$product"
            VALUE "ProductVersion", "$short"
        END
    END
    BLOCK "VarFileInfo"
    BEGIN
        VALUE "Translation", $lang, $codepage
    END
END
EOF

if [[ "$kind" == dll ]]; then
    source="$work/plugin.c"
    printf '#include <windows.h>\nBOOL WINAPI DllMain(HINSTANCE h, DWORD r, LPVOID p) { (void)h; (void)r; (void)p; return TRUE; }\n' \
        >"$source"
    exports=""
    if [[ -n "${PE_PLUGIN:-}" ]]; then
        case "${original,,}" in
            *.wcx | *.wcx64) exports="OpenArchive ReadHeader ProcessFile CloseArchive" ;;
            *.wfx | *.wfx64) exports="FsInit FsFindFirst FsFindNext FsFindClose" ;;
            *.wlx | *.wlx64) exports="ListLoad" ;;
            *.wdx | *.wdx64) exports="ContentGetSupportedField ContentGetValue" ;;
        esac
    fi
    for name in $exports; do
        printf '__declspec(dllexport) int __stdcall %s(void) { return 0; }\n' "$name" >>"$source"
    done
    base=$([[ "$arch" == x86 ]] && echo 0x10000000 || echo 0x180000000)
else
    source="$work/totalcmd.c"
    printf 'int main(void) { return 0; }\n' >"$source"
    base=$([[ "$arch" == x86 ]] && echo 0x10000000 || echo 0x140000000)
fi
extra=()
if [[ -n "${PE_SOURCE:-}" && "$kind" == exe ]]; then
    source="$PE_SOURCE"
    extra=(-municode -Wall -Wextra -Wpedantic -Werror)
fi
obj="$work/$(basename "$output").res.o"
"$windres" -c 65001 -i "$rc" -o "$obj"
flags=(-O2 -s -Wl,--no-insert-timestamp -Wl,--image-base,"$base")
[[ "$kind" == dll ]] && flags+=(-shared) || flags+=(-mwindows)
# Undecorated names, as Total Commander looks them up in a 32-bit plugin.
[[ -n "${PE_PLUGIN:-}" ]] && flags+=(-Wl,--kill-at)
mkdir -p "$(dirname "$output")"
"$gcc" "${flags[@]}" "${extra[@]}" -o "$output" "$source" "$obj"
