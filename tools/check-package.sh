#!/usr/bin/env bash
# Checks the Debian package from tools/package.sh as a user meets it: unpacked into an empty
# folder away from the build tree, run from there. Covers the package's fields, the desktop
# entry and metainfo against their validators, both programs starting with every built-in
# language and database, and the manual pages and the completion against the programs' --help.
#   bash tools/check-package.sh [PACKAGE.deb]
set -euo pipefail
cd "$(dirname "$0")/.."
sources=$PWD
deb=$(realpath "${1:-$(ls build/package/quillon_*.deb)}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

root=$work/root
dpkg-deb -x "$deb" "$root"
bin=$root/usr/bin
share=$root/usr/share
desktop_id=quillon
appstream_id=org.quillon.Quillon
echo "package: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"

# --- Fields: dependencies computed from the programs' libraries, Wine only suggested.
version=$(sed -n 's/^project(Quillon VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6core6 libqt6widgets6 libcurl4 libarchive13 libgumbo1 libyaml-cpp0.7; do
    [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
[[ $depends != *wine* ]] || fail "Wine must not be a dependency: $depends"
[[ $(dpkg-deb -f "$deb" Suggests) == *wine* ]] || fail "Wine is not suggested"
[[ $(dpkg-deb -f "$deb" Recommends) == *libqt6svg6* ]] || fail "SVG support for the window's icon is not recommended"

# --- Files where a desktop expects them.
for file in bin/quillon bin/quillon-cli share/man/man1/quillon.1.gz share/man/man1/quillon-cli.1.gz \
    share/applications/$desktop_id.desktop share/icons/hicolor/scalable/apps/$desktop_id.svg \
    share/metainfo/$appstream_id.metainfo.xml share/bash-completion/completions/quillon-cli \
    lib/systemd/user/quillon-check.service lib/systemd/user/quillon-check.timer; do
    [ -f "$root/usr/$file" ] || fail "missing /usr/$file"
done
# The bridge to Total Commander's window is part of every build that has MinGW-w64, as CI has.
if [ -d src/tcbridge ]; then
    file "$bin/quillon-tcbridge.exe" | grep -q 'PE32+ executable' || fail "no Windows bridge beside the programs"
fi
unexpected=$(cd "$root" && find . -type f | grep -v '^\./usr/\(bin\|lib/systemd/user\|share/\(man\|applications\|icons\|metainfo\|bash-completion\)\)/' || true)
[ -z "$unexpected" ] || fail "files outside the usual places: $unexpected"

# --- The desktop files pass their validators; the manual pages format without warnings.
desktop-file-validate "$share/applications/$desktop_id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$share/metainfo/$appstream_id.metainfo.xml" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log"; fail "metainfo"; }
python3 -c 'import sys, xml.etree.ElementTree as t; t.parse(sys.argv[1])' \
    "$share/icons/hicolor/scalable/apps/$desktop_id.svg" || fail "icon is no well-formed SVG"
# The daily check's units as the user manager reads them (it needs a runtime folder of its own);
# the service's program is looked for where the package was unpacked.
units=$work/units
mkdir -p "$units" "$work/runtime"
units_dir=$root/usr/lib/systemd/user
grep -q "^ExecStart=/usr/bin/quillon-cli check --notify$" "$units_dir/quillon-check.service" ||
    fail "the service does not run the packaged quillon-cli"
sed "s#^ExecStart=/usr/bin/#ExecStart=$bin/#" "$units_dir/quillon-check.service" >"$units/quillon-check.service"
cp "$units_dir/quillon-check.timer" "$units/"
if ! XDG_RUNTIME_DIR=$work/runtime systemd-analyze verify --user --man=no \
    "$units/quillon-check.service" "$units/quillon-check.timer" >"$work/units.log" 2>&1 ||
    [ -s "$work/units.log" ]; then
    cat "$work/units.log"
    fail "systemd units"
fi
for page in quillon quillon-cli; do
    warnings=$(zcat "$share/man/man1/$page.1.gz" | groff -man -ww -z -Tutf8 2>&1)
    [ -z "$warnings" ] || fail "manual page $page: $warnings"
done

# --- Both programs start from the unpacked folder. Nothing of the user's is read: an empty home,
# no Wine prefix, no Total Commander variables.
home=$work/home
runtime=$work/runtime
mkdir -p "$home" "$runtime"
chmod 700 "$runtime"
run() {
    env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$runtime" LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen "$@"
}
run "$bin/quillon-cli" --version >"$work/version.txt" || fail "quillon-cli --version"
grep -qF "$version" "$work/version.txt" || fail "quillon-cli --version does not say $version"
run "$bin/quillon-cli" --help >"$work/cli-help.txt" || fail "quillon-cli --help"
run timeout 20 "$bin/quillon" --help >"$work/gui-help.txt" 2>"$work/gui-help.err" ||
    { cat "$work/gui-help.err"; fail "quillon --help"; }
grep -q '^usage: quillon-cli' "$work/cli-help.txt" || fail "quillon-cli --help prints no usage"
grep -qi "^usage: quillon " "$work/gui-help.txt" || fail "quillon --help prints no usage"

# --- Every built-in language and both built-in databases are found from the installed program:
# a small Total Commander directory, listed once in each language.
tc=$work/tc
mkdir -p "$tc"
printf '[Configuration]\r\n' >"$tc/wincmd.ini"
: >"$tc/TOTALCMD64.EXE"
plugin_db_date=$(tr -d '\r' <resources/databases/DB_PLUGINS | base64 -d | tr -d '\r' |
    sed -n 's/^Update[[:space:]]*=[[:space:]]*\([0-9]*\)-\([0-9]*\)-\([0-9]*\).*/\3.\2.\1/p' | head -n1)
[ -n "$plugin_db_date" ] || fail "the built-in plugin database's date is unreadable"
english_unknown=$(sed -n 's/^UpdateList_Unknown=//p' resources/languages/LNG_1033.lng | tr -d '\r')
for language in resources/languages/LNG_*.lng; do
    lcid=$(basename "$language" .lng)
    lcid=${lcid#LNG_}
    codepage=$(sed -n 's/^Codepage=//p' "$language" | tr -d '\r')
    unknown=$(sed -n 's/^UpdateList_Unknown=//p' "$language" | tr -d '\r' | iconv -f "CP$codepage" -t UTF-8)
    mkdir -p "$work/settings-$lcid"
    run "$bin/quillon-cli" --settings-dir "$work/settings-$lcid" --lang "$lcid" "/i=$tc/wincmd.ini" list \
        >"$work/list-$lcid.txt" 2>/dev/null || fail "list in language $lcid"
    grep -qF -- "$unknown" "$work/list-$lcid.txt" || fail "list in language $lcid lacks \"$unknown\""
    if [ "$lcid" != 1033 ] && [ "$unknown" = "$english_unknown" ]; then
        fail "language $lcid reads as English"
    fi
    grep -q "QN Plugin Database.*$plugin_db_date" "$work/list-$lcid.txt" ||
        fail "list in language $lcid lacks the built-in plugin database ($plugin_db_date)"
    grep -q "Checksum Database" "$work/list-$lcid.txt" ||
        fail "list in language $lcid lacks the built-in checksum database"
done

# --- The manual pages and the completion tell what --help tells.
options_of() { grep -oE -- '--[a-z][a-z-]+' "$1" | sort -u; }
manual_text() { zcat "$share/man/man1/$1.1.gz" | sed 's/\\-/-/g; s/\\f[BIRP]//g'; }
words_in_section() { # the first word of each line indented by two spaces below a "Title:" line
    sed -n "/^$2/,/^[^ ]/p" "$1" | sed -n 's/^  \([^ ]\+\).*/\1/p' | sed 's/=.*/=/'
}
for program in quillon quillon-cli; do
    help=$work/cli-help.txt
    [ "$program" = quillon ] && help=$work/gui-help.txt
    manual_text "$program" >"$work/$program.man"
    for option in $(options_of "$help"); do
        grep -qF -- "$option" "$work/$program.man" || fail "$program.1 lacks $option"
    done
    for option in $(options_of "$work/$program.man"); do
        grep -qF -- "$option" "$help" || fail "$program.1 documents $option, which --help does not know"
    done
    for word in $(words_in_section "$help" 'Switches'); do
        grep -qE -- "^\.B[IR]? /?${word#/}( |$)" "$work/$program.man" || fail "$program.1 lacks the switch $word"
    done
done
commands=$(words_in_section "$work/cli-help.txt" 'Commands:')
[ -n "$commands" ] || fail "quillon-cli --help lists no commands"
for command in $commands; do
    grep -qE "^(\.B )?$command( |$)" "$work/quillon-cli.man" || fail "quillon-cli.1 lacks the command $command"
done

complete_line() { # what the installed completion offers for a command line ending in the word being typed
    (
        cd "$work/tc"
        # shellcheck disable=SC1091
        source /usr/share/bash-completion/bash_completion
        # shellcheck disable=SC1091
        source "$share/bash-completion/completions/quillon-cli"
        COMP_LINE="quillon-cli $1"
        COMP_POINT=${#COMP_LINE}
        read -ra COMP_WORDS <<<"$COMP_LINE"
        [[ $COMP_LINE == *" " ]] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        _quillon_cli quillon-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf '%s\n' "${COMPREPLY[@]}"
    )
}
offered() { complete_line "$1" | grep -xF -- "$2" >/dev/null || fail "completing \"$1\" does not offer $2"; }
for command in $commands; do offered "" "$command"; done
for option in $(options_of "$work/cli-help.txt"); do
    case $option in
        --install | --all | --dry-run) offered "update -" "$option" ;;
        --yes) offered "update -" "$option" && offered "restore -" "$option" ;;
        --from) offered "restore -" "$option" ;;
        --notify) offered "check -" "$option" ;;
        *) offered "-" "$option" ;;
    esac
done
for word in $(words_in_section "$work/cli-help.txt" 'Switches'); do offered "/" "/${word#/}"; done
offered "update " "wincmd.ini"
offered "--lang " "DEU"

if [ "$failures" -gt 0 ]; then
    echo "check-package: $failures failure(s)" >&2
    exit 1
fi
echo "check-package: all checks passed"
