#!/usr/bin/env python3
"""Writes the built-in language files resources/languages/LNG_<LCID>.lng from the UTF-8
sources beside this script, each in the code page its own [Language] Codepage names.

Every source must have the English file's sections and keys in the same order, and every
text the same placeholders ("%s", "%s1", "%s2") as its English text; the script stops
with a message otherwise, so a broken translation never reaches the resources.

Usage: tools/languages/encode_languages.py   (from anywhere; no arguments)
"""
import pathlib
import re
import sys

HERE = pathlib.Path(__file__).resolve().parent
TARGET = HERE.parent.parent / "resources" / "languages"
REFERENCE = "LNG_1033.utf8.lng"
CODECS = {"874": "cp874", "936": "gbk", "1250": "cp1250", "1251": "cp1251",
          "1252": "cp1252", "1257": "cp1257"}
PLACEHOLDER = re.compile(r"%s[12]?", re.IGNORECASE)


def parse(path):
    """Returns [(section, [(key, value), ...]), ...] in file order."""
    sections = []
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        stripped = line.strip()
        if not stripped or stripped.startswith(";"):
            continue
        if stripped.startswith("[") and stripped.endswith("]"):
            sections.append((stripped[1:-1].strip(), []))
        elif "=" in line and sections:
            key, value = line.split("=", 1)
            sections[-1][1].append((key.strip(), value))
        else:
            sys.exit(f"{path.name}:{number}: not a section or key line")
    return sections


def placeholders(text):
    return sorted(p.lower() for p in PLACEHOLDER.findall(text))


def check(path, sections, reference):
    ref_layout = [(name, [k for k, _ in keys]) for name, keys in reference]
    layout = [(name, [k for k, _ in keys]) for name, keys in sections]
    if layout != ref_layout:
        sys.exit(f"{path.name}: sections or keys differ from {REFERENCE}")
    ref_texts = {(s, k): v for s, keys in reference for k, v in keys}
    for name, keys in sections:
        if name == "Language":
            continue
        for key, value in keys:
            if placeholders(value) != placeholders(ref_texts[(name, key)]):
                sys.exit(f"{path.name}: [{name}] {key}: placeholders differ from English")


def main():
    reference = parse(HERE / REFERENCE)
    TARGET.mkdir(parents=True, exist_ok=True)
    for path in sorted(HERE.glob("LNG_*.utf8.lng")):
        sections = parse(path)
        check(path, sections, reference)
        header = dict(sections[0][1])
        lcid = header["LCID"].strip()
        codepage = header["Codepage"].strip()
        if path.name != f"LNG_{lcid}.utf8.lng":
            sys.exit(f"{path.name}: LCID {lcid} does not match the file name")
        if codepage not in CODECS:
            sys.exit(f"{path.name}: no codec for code page {codepage}")
        text = path.read_text(encoding="utf-8")
        try:
            data = text.replace("\r\n", "\n").replace("\n", "\r\n").encode(CODECS[codepage])
        except UnicodeEncodeError as error:
            bad = text[error.start:error.end]
            sys.exit(f"{path.name}: {bad!r} has no place in code page {codepage}")
        (TARGET / f"LNG_{lcid}.lng").write_bytes(data)
        print(f"LNG_{lcid}.lng ({codepage}, {len(data)} bytes)")


if __name__ == "__main__":
    main()
