#!/usr/bin/env bash
# Writes the built-in databases from their readable sources:
#   resources/databases/DB_PLUGINS  Base64 (76 characters a line) of db_plugins.ini
#   resources/databases/DB_CRC32    db_crc32.ini plus the CRC-32 of the sample installation's
#                                   files listed in sample_checksums.txt
# Both as 8-bit text (Windows-1252) with CR LF line ends.
#
#   bash tools/databases/encode.sh [SAMPLE_OUT]
#
# SAMPLE_OUT is the output folder of tools/make-sample-install.sh; without it the sample
# installation is built into a temporary folder (needs MinGW-w64).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
out="$root/resources/databases"
mkdir -p "$out"

sample="${1:-}"
if [[ -z "$sample" ]]; then
    sample="$(mktemp -d)"
    trap 'rm -rf "$sample"' EXIT
    bash "$root/tools/make-sample-install.sh" "$sample" >/dev/null
fi
tc="$sample/prefix/drive_c/totalcmd"
[[ -d "$tc" ]] || { echo "$0: no sample installation in $sample" >&2; exit 1; }

to_8bit_crlf() { iconv -f UTF-8 -t WINDOWS-1252 | sed 's/\r*$/\r/'; }

to_8bit_crlf <"$here/db_plugins.ini" | base64 -w 76 | sed 's/$/\r/' >"$out/DB_PLUGINS"

python3 - "$here/db_crc32.ini" "$here/sample_checksums.txt" "$tc" <<'PY' | to_8bit_crlf >"$out/DB_CRC32"
import os, sys, zlib

ini_path, list_path, tc = sys.argv[1:]
lines = open(ini_path, encoding="utf-8").read().splitlines()

entries = {}  # lower-cased section name -> [name as written, ["crc=version", ...]]
for raw in open(list_path, encoding="utf-8"):
    raw = raw.strip()
    if not raw or raw.startswith("#"):
        continue
    rel, version = (part.strip() for part in raw.split("|", 1))
    with open(os.path.join(tc, rel), "rb") as f:
        crc = zlib.crc32(f.read()) & 0xFFFFFFFF
    name = os.path.basename(rel)
    entries.setdefault(name.lower(), [name, []])[1].append(f"{crc}={version}")

# Entries go under an existing section of the same name (letter case ignored), else into a
# new section at the end.
out, current = [], None
for line in lines:
    s = line.strip()
    if s.startswith("[") and s.endswith("]"):
        if current is not None:
            out.extend(entries.pop(current, [None, []])[1])
        current = s[1:-1].strip().lower()
    out.append(line)
if current is not None:
    out.extend(entries.pop(current, [None, []])[1])
for name, values in entries.values():
    out += ["", f"[{name}]"] + values
print("\n".join(out))
PY
echo "wrote $out/DB_PLUGINS and $out/DB_CRC32"
