#!/usr/bin/env python3
"""Finds the language texts the sources look up that the English language file lacks.

A text used only with its English default shows in English whatever language is chosen, so
every (section, key) the code asks for must be in LNG_1033.utf8.lng (and, through
encode_languages.py, in every other language).

The scan reads the C++ sources as tokens, string literals joined with their wrappers
(u"..."_s, QStringLiteral("..."), "..."_L1), and recognises:
  - a section, as a literal or as a name given a section literal in the same file, followed
    by a key literal:            text("Buttons", "BtnOK", "OK"), lng.text(errors, u"X"_s, ...)
  - a section followed by a key that is not a literal (a table's field, a helper's parameter):
    then every run of literals in that file ending in key, English default is a key of one
    of those sections:           {"cb_Name", "Config_Name", "English", &field}, text(u"X"_s, u"...");
    three or more literals that are all names are a list of names, not a key and its text.

Usage: tools/languages/check_keys.py [source folder ...]   (default: src/)
Prints every missing key as file:line: [section] key and exits 1 when there is one.
"""
import pathlib
import re
import sys

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent.parent
ENGLISH = HERE / "LNG_1033.utf8.lng"
WRAPPERS = {"QStringLiteral", "QLatin1String", "QLatin1StringView", "QStringView", "QByteArrayLiteral"}
KEY = re.compile(r"^[A-Za-z][A-Za-z0-9_]*$")
TOKEN = re.compile(
    r"""(?P<comment>//[^\n]*|/\*.*?\*/)
      |(?P<raw>(?:u8|u|U|L)?R"(?P<delim>[^(\s]*)\((?P<rawtext>.*?)\)(?P=delim)"(?:_\w+)?)
      |(?P<string>(?:u8|u|U|L)?"(?P<text>(?:[^"\\\n]|\\.)*)"(?:_\w+)?)
      |(?P<char>(?:u8|u|U|L)?'(?:[^'\\\n]|\\.)*')
      |(?P<ident>[A-Za-z_]\w*(?:::\w+)*)
      |(?P<space>\s+)
      |(?P<punct>.)""",
    re.VERBOSE | re.DOTALL)


def english_keys():
    keys, section = {}, None
    for line in ENGLISH.read_text(encoding="utf-8").splitlines():
        stripped = line.strip()
        if stripped.startswith("[") and stripped.endswith("]"):
            section = stripped[1:-1].strip()
            keys[section] = set()
        elif "=" in line and section and not stripped.startswith(";"):
            keys[section].add(line.split("=", 1)[0].strip())
    return keys


def tokens(source):
    """(kind, value, line) with comments and blanks left out, a wrapped literal as one string
    and adjacent literals joined as the compiler joins them."""
    out, line = [], 1
    for match in TOKEN.finditer(source):
        kind, text = match.lastgroup, match.group()
        start_line = line
        line += text.count("\n")
        if kind in ("comment", "space"):
            continue
        if kind == "raw":
            kind, text = "string", match.group("rawtext")
        elif kind == "string":
            text = match.group("text")
        if kind == "string" and out and out[-1][0] == "string":
            out[-1] = ("string", out[-1][1] + text, out[-1][2])
            continue
        out.append((kind, text, start_line))
        # QStringLiteral("x") and the like: the literal stands for the whole call.
        if (len(out) >= 4 and out[-1][1] == ")" and out[-2][0] == "string" and out[-3][1] == "("
                and out[-4][0] == "ident" and out[-4][1].split("::")[-1] in WRAPPERS):
            out[-4:] = [out[-2]]
    return out


def scan(path, sections, source=None):
    """Yields (line, section or None, candidate sections, key) for every key the file uses."""
    toks = tokens(source if source is not None else path.read_text(encoding="utf-8", errors="replace"))

    def punct(i, *chars):
        return 0 <= i < len(toks) and toks[i][0] == "punct" and toks[i][1] in chars

    # Names given a section literal: const QString errors = u"ErrorMessages"_s;
    bound = {}
    for i in range(len(toks) - 3):
        if toks[i][0] == "ident" and punct(i + 1, "=", "{", "(") and toks[i + 2][0] == "string" \
                and toks[i + 2][1] in sections and punct(i + 3, ";", "}", ")"):
            bound.setdefault(toks[i][1], []).append((i, toks[i + 2][1]))

    def section_at(i):
        kind, value, _ = toks[i]
        if kind == "string":
            return value if value in sections else None
        if kind == "ident" and value in bound:
            earlier = [s for at, s in bound[value] if at < i]
            return earlier[-1] if earlier else None
        return None

    indirect = set()
    direct = []
    consumed = set()
    for i in range(len(toks) - 2):
        # A section passed as an argument: preceded by "(" or "," and followed by ",".
        if not punct(i - 1, "(", ",") or not punct(i + 1, ","):
            continue
        section = section_at(i)
        if section is None or (toks[i][0] == "ident" and bound[toks[i][1]][0][0] == i):
            continue
        after = toks[i + 2]
        if after[0] == "string":
            if KEY.match(after[1]):
                direct.append((after[2], section, after[1]))
                consumed.add(i + 2)
        else:
            indirect.add(section)

    for line, section, key in direct:
        yield line, section, {section}, key
    if not indirect:
        return
    # Runs of literals "a", "b", ... "key", "default": the key is the last but one.
    i = 0
    while i < len(toks):
        if toks[i][0] != "string":
            i += 1
            continue
        run = [i]
        while punct(run[-1] + 1, ",") and run[-1] + 2 < len(toks) and toks[run[-1] + 2][0] == "string":
            run.append(run[-1] + 2)
        i = run[-1] + 1
        if len(run) < 2:
            continue
        at = run[-2]
        kind, key, line = toks[at]
        if at in consumed or key in sections or not KEY.match(key):
            continue
        # {"HTTP", "SOCKS4", "SOCKS5"}, a list of object names: no English text at the end.
        if len(run) > 2 and all(KEY.match(toks[j][1]) for j in run):
            continue
        yield line, None, indirect, key


# Every call form the scan knows, each with a key no language file has; a scan that stops
# seeing one of them would pass any source, so main() refuses to run then.
SAMPLE = r"""
const QString kErr = u"ErrorMessages"_s;
a(uiText(lng, "Buttons", "NoButton", "Nope"));
b(lng.text(kErr, u"NoError"_s, u"x"_s));
c(lng.format(QStringLiteral("Hints"), QStringLiteral("NoHint"), u"%s"_s, values));
const Row rows[] = {{"cb_A", "NoOption", "Some text"}, {"cb_B", "Config_GB_TC", "Total Commander"}};
caption(box, "CaptionsMainFrm", row.key, row.english);
for (const char* name : {"cb_A", "cb_B", "cb_C"}) {}
// text("Buttons", "NoComment", "x")
d("Buttons, \"NoString\"");
"""
SAMPLE_MISSING = {("Buttons", "NoButton"), ("ErrorMessages", "NoError"), ("Hints", "NoHint"),
                  ("CaptionsMainFrm", "NoOption")}


def missing_in(path, sections, source=None):
    """(line, where, key) of every key the file uses that the English file lacks."""
    for line, section, candidates, key in scan(path, sections, source):
        if not any(key in sections[s] for s in candidates):
            yield line, section or "/".join(sorted(candidates)), key


def main(argv):
    sections = english_keys()
    found = {(where, key) for _, where, key in missing_in(None, sections, SAMPLE)}
    if found != SAMPLE_MISSING:
        print(f"the scan no longer sees every call form: {sorted(found ^ SAMPLE_MISSING)}")
        return 2
    folders = [pathlib.Path(a) for a in argv] or [ROOT / "src"]
    missing = 0
    for folder in folders:
        for path in sorted(p for ext in ("*.cpp", "*.h") for p in folder.rglob(ext)):
            for line, where, key in missing_in(path, sections):
                missing += 1
                print(f"{path.relative_to(ROOT) if path.is_relative_to(ROOT) else path}:{line}: "
                      f"[{where}] {key}")
    if missing:
        print(f"{missing} text(s) used in the code are missing from {ENGLISH.name}")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
