#!/usr/bin/env bash
# Builds the sample installation used by the demo and the end-to-end tests:
#   OUT/prefix   a Wine-style prefix (dosdevices links, user.reg and system.reg in Wine's text
#                format, the user's AppData folders) holding Total Commander in drive_c/totalcmd
#                with TOTALCMD64.EXE, HISTORY.TXT, wincmd.ini and a few plugins.
# Executables and plugins are real PE files built with MinGW-w64, each with a version resource;
# the plugins export what their kind needs, so that they load.
# The output is deterministic: fixed PE time stamps and image bases, fixed file dates.
#
#   bash tools/make-sample-install.sh OUT
#
# Environment: MINGW64_GCC, MINGW64_WINDRES, MINGW32_GCC, MINGW32_WINDRES override the tools.
set -euo pipefail

if [[ $# -ne 1 || -z "$1" ]]; then
    echo "usage: $0 OUTPUT_FOLDER" >&2
    exit 2
fi
out="$1"
prefix="$out/prefix"
user=quillon
tc="$prefix/drive_c/totalcmd"
appdata="$prefix/drive_c/users/$user/AppData/Roaming"
stamp="2024-06-01 12:00:00 UTC"
reg_time=1717243200            # the same moment, seconds since 1970
reg_filetime=1dab41b3a88a000   # the same moment as a Windows FILETIME in hexadecimal

gcc64="${MINGW64_GCC:-x86_64-w64-mingw32-gcc}"
windres64="${MINGW64_WINDRES:-x86_64-w64-mingw32-windres}"
gcc32="${MINGW32_GCC:-i686-w64-mingw32-gcc}"
windres32="${MINGW32_WINDRES:-i686-w64-mingw32-windres}"
for tool in "$gcc64" "$windres64" "$gcc32" "$windres32"; do
    command -v "$tool" >/dev/null || { echo "$0: $tool not found (MinGW-w64 is needed)" >&2; exit 1; }
done

# Plugins: one line each. Adding a plugin is adding a line.
#   section | key | flags (PackerPlugins only) | folder below the Total Commander folder | file |
#   arch (x64, x86) | FileVersion | version block | ProductName | FileDescription | CompanyName |
#   detect string (ListerPlugins/ContentPlugins only; empty for none)
plugins=(
    "PackerPlugins|sam|31|plugins/wcx/sampack|sampack.wcx64|x64|2.1.0.0|040904E4|Sample Packer|Sample Packer archive plugin|Quillon Samples"
    "PackerPlugins|dar|95|plugins/wcx/demoarc|demoarc.wcx|x86|1.0.3.0|040904B0|Demo Archive|Demo Archive packer plugin (32 bit)|Quillon Samples"
    "FileSystemPlugins|Sample FS||plugins/wfx/samplefs|samplefs.wfx64|x64|3.2.0.0|041904E3|Sample FS|Sample file system plugin|Quillon Samples"
    "ListerPlugins|0||plugins/wlx/samview|samview.wlx64|x64|1.7.0.0|040704B0|Sample Viewer|Sample lister plugin|Quillon Beispiele|EXT=\"TXT\" | EXT=\"LOG\""
    "ContentPlugins|0||plugins/wdx/samfield|samfield.wdx64|x64|0.9.5.0|040904B0|Sample Fields|Sample content plugin|Quillon Samples|"
)

# One PE file with a version resource: tools/build-pe.sh, shared with the fixture server's packages.
build_pe() { bash "$(dirname "$0")/build-pe.sh" "$@"; }

rm -rf "$prefix"
mkdir -p "$prefix/dosdevices" "$prefix/drive_c/windows/system32" "$appdata/GHISLER" \
    "$prefix/drive_c/users/$user/AppData/Local/Temp" "$prefix/drive_c/users/$user/Downloads" "$tc"
ln -s ../drive_c "$prefix/dosdevices/c:"
ln -s / "$prefix/dosdevices/z:"

# --- Registry, in the format wineserver writes ---------------------------------------------
reg_key() { printf '\n[%s] %s\n#time=%s\n' "$1" "$reg_time" "$reg_filetime"; }
{
    printf 'WINE REGISTRY Version 2\n'
    printf ';; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n'
    reg_key 'Environment'
    printf '"TEMP"=str(2):"%%USERPROFILE%%\\\\AppData\\\\Local\\\\Temp"\n'
    printf '"TMP"=str(2):"%%USERPROFILE%%\\\\AppData\\\\Local\\\\Temp"\n'
    reg_key 'Software\\Ghisler\\Total Commander'
    printf '"IniFileName"=str(2):"%%APPDATA%%\\\\GHISLER\\\\wincmd.ini"\n'
    printf '"InstallDir"="C:\\\\TotalCmd"\n'
    reg_key 'Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings'
    printf '"ProxyEnable"=dword:00000000\n'
    reg_key 'Volatile Environment'
    printf '"APPDATA"="C:\\\\users\\\\%s\\\\AppData\\\\Roaming"\n' "$user"
    printf '"HOMEDRIVE"="C:"\n'
    printf '"HOMEPATH"="\\\\users\\\\%s"\n' "$user"
    printf '"LOCALAPPDATA"="C:\\\\users\\\\%s\\\\AppData\\\\Local"\n' "$user"
    printf '"USERNAME"="%s"\n' "$user"
    printf '"USERPROFILE"="C:\\\\users\\\\%s"\n' "$user"
} >"$prefix/user.reg"

{
    printf 'WINE REGISTRY Version 2\n'
    printf ';; All keys relative to \\\\Machine\n\n#arch=win64\n'
    reg_key 'Software\\Microsoft\\Windows NT\\CurrentVersion'
    printf '"CurrentVersion"="6.3"\n'
    printf '"ProductName"="Microsoft Windows 10"\n'
    printf '"SystemRoot"="C:\\\\windows"\n'
    reg_key 'System\\CurrentControlSet\\Control\\Session Manager\\Environment'
    printf '"ComSpec"=str(2):"%%SystemRoot%%\\\\system32\\\\cmd.exe"\n'
    printf '"PATH"=str(2):"%%SystemRoot%%\\\\system32;%%SystemRoot%%"\n'
    printf '"SystemRoot"="C:\\\\windows"\n'
    printf '"TEMP"=str(2):"%%SystemRoot%%\\\\temp"\n'
    printf '"TMP"=str(2):"%%SystemRoot%%\\\\temp"\n'
    printf '"windir"=str(2):"%%SystemRoot%%"\n'
} >"$prefix/system.reg"

# --- Total Commander ------------------------------------------------------------------------
build_pe x64 exe "$tc/TOTALCMD64.EXE" 11.51.0.0 040904E4 "Total Commander" "Total Commander 64 bit" \
    "Ghisler Software GmbH" TOTALCMD64.EXE

cat >"$tc/HISTORY.TXT" <<'EOF'
Total Commander 11.51 final (History of changes)
=================================================

20.05.24 Release Total Commander 11.51 final
17.05.24 Fixed: Sorting by extension ignored the setting for natural sorting in branch view
14.05.24 Fixed: Copying to a network share could leave a zero-byte file behind when cancelled
08.05.24 Release Total Commander 11.51 release candidate 2
06.05.24 Fixed: Button bar icons were not updated after changing the DPI of a second monitor
30.04.24 Added: Show the file's version in the tooltip of DLLs with a version resource
22.04.24 Release Total Commander 11.51 release candidate 1
18.04.24 Fixed: Packer plugins with the flag for searching in archives were not offered in Find files
02.04.24 Release Total Commander 11.51 public beta 2
27.03.24 Fixed: Lister plugins were loaded twice when switching between text and binary view
12.03.24 Release Total Commander 11.51 public beta 1
04.02.24 Release Total Commander 11.50 final
EOF

# --- Plugins --------------------------------------------------------------------------------
declare -A sections
for entry in "${plugins[@]}"; do
    IFS='|' read -r section key flags folder file arch version block product description company detect <<<"$entry"
    PE_PLUGIN=1 build_pe "$arch" dll "$tc/$folder/$file" "$version" "$block" "$product" "$description" "$company" \
        "$file"
    winpath="%COMMANDER_PATH%\\${folder//\//\\}\\$file"
    case "$section" in
        PackerPlugins) line="$key=$flags,$winpath" ;;
        *) line="$key=$winpath" ;;
    esac
    [[ -n "$detect" ]] && line+=$'\n'"${key}_detect=\"$detect\""
    sections[$section]+="$line"$'\n'
done

# A readme and a history beside the first packer plugin, as authors ship them.
cat >"$tc/plugins/wcx/sampack/readme.txt" <<'EOF'
Sample Packer 2.1 - packer plugin for Total Commander 64 bit
=============================================================

Installation: open sampack.zip in Total Commander and confirm the installation.
Use: pack files with Alt+F5 and choose "sam" as the format.
EOF
cat >"$tc/plugins/wcx/sampack/history.txt" <<'EOF'
Sample Packer history
2.1   2024-05-10  faster listing of large archives
2.0   2023-11-02  64-bit build, Unicode file names
1.4   2023-01-15  first public release
EOF

# --- wincmd.ini (Total Commander writes it in the user's ANSI code page with CR LF) ----------
write_ini() {
    {
        printf '[Configuration]\n'
        printf 'InstallDir=C:\\TotalCmd\n'
        printf 'LanguageIni=WCMD_DEU.LNG\n'
        printf 'UseNewDefFont=1\n'
        printf 'UseIniInProgramDir=0\n'
        printf '[AllResolutions]\n'
        printf 'FontName=Segoe UI Semibold\n'
        printf 'FontSize=9\n'
        for section in PackerPlugins FileSystemPlugins ListerPlugins ContentPlugins; do
            printf '[%s]\n%s' "$section" "${sections[$section]:-}"
        done
    } | sed 's/$/\r/'
}
write_ini >"$appdata/GHISLER/wincmd.ini"
# The copy beside the program that the installer leaves; UseIniInProgramDir=0 sends Total
# Commander to the registry's IniFileName instead.
write_ini >"$tc/wincmd.ini"

find "$prefix" -exec touch -h -d "$stamp" {} +
echo "sample installation in $prefix"
