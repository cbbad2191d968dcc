#!/usr/bin/env python3
"""Writes seed inputs for the harnesses from the project's generated fixtures.

    python3 fuzz/make-seeds.py OUT DIR...

Every file below the DIRs (a build folder with the sample installation and the fixture server's
content, the language and database resources) that one of the harnesses reads becomes a seed in
OUT/<harness>/, named by its SHA-1 like libFuzzer's own corpus files. Executables also give their
version resource, and installers the cabinet they carry. A few of Wine's own DLLs add PE files
made by another toolchain. No seed is longer than its harness's fuzz/max_len: text files are cut
at a line, longer binary files are left out.
"""
import hashlib
import os
import struct
import sys

MAX_SEED = 256 * 1024
WINE_DLLS = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows"


def max_lengths():
    """fuzz/max_len: the longest input of each harness."""
    lengths = {}
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "max_len")) as f:
        for line in f:
            fields = line.split("#", 1)[0].split()
            if len(fields) == 2:
                lengths["fuzz_" + fields[0]] = int(fields[1])
    return lengths


MAX_LEN = max_lengths()
# Harnesses whose input is read line by line: a long file cut at a line is still a good seed.
TEXT = {"fuzz_ini_document", "fuzz_language", "fuzz_online_list", "fuzz_page_links", "fuzz_tc_release",
        "fuzz_version_text", "fuzz_wine_registry", "fuzz_download_names"}


def add(out, harness, data):
    if not data or len(data) > MAX_SEED:
        return
    limit = MAX_LEN.get(harness, MAX_SEED)
    if len(data) > limit:
        if harness not in TEXT:
            return
        data = data[:data.rfind(b"\n", 0, limit) + 1]
        if not data:
            return
    folder = os.path.join(out, harness)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, hashlib.sha1(data).hexdigest()), "wb") as f:
        f.write(data)


def version_resource(data):
    """The first RT_VERSION resource of a PE image, or None."""
    try:
        pe = struct.unpack_from("<I", data, 60)[0]
        if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0":
            return None
        sections, optional_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        directories = optional + (112 if magic == 0x20B else 96)
        rva = struct.unpack_from("<I", data, directories + 16)[0]
        table = optional + optional_size
        offset_of = None
        for i in range(sections):
            vsize, vaddr, rsize, roff = struct.unpack_from("<IIII", data, table + i * 40 + 8)
            if vaddr <= rva < vaddr + max(vsize, rsize):
                offset_of = lambda r, vaddr=vaddr, roff=roff: r - vaddr + roff
        if offset_of is None:
            return None
        base = offset_of(rva)

        def first(directory, wanted=None):
            named, numbered = struct.unpack_from("<HH", data, base + directory + 12)
            for i in range(named + numbered):
                name, target = struct.unpack_from("<II", data, base + directory + 16 + i * 8)
                if wanted is None or name == wanted:
                    return target
            return None

        level = first(0, 16)
        level = level is not None and first(level & 0x7FFFFFFF)
        level = level and first(level & 0x7FFFFFFF)
        if not level:
            return None
        data_rva, size = struct.unpack_from("<II", data, base + level)
        start = offset_of(data_rva)
        return data[start:start + size]
    except (struct.error, IndexError):
        return None


def classify(out, path):
    name = os.path.basename(path).lower()
    try:
        with open(path, "rb") as f:
            data = f.read(MAX_SEED + 1)
    except OSError:
        return
    if len(data) > MAX_SEED:
        return
    if data[:2] == b"MZ":
        add(out, "fuzz_pe_image", data)
        add(out, "fuzz_version_info", version_resource(data))
        cabinet = data.find(b"MSCF")
        if cabinet > 0:
            add(out, "fuzz_archive_extract", data[cabinet:])
    if name.endswith(".reg"):
        add(out, "fuzz_wine_registry", data)
    if name.endswith((".ini", ".lng", ".txt")) or name.startswith("db_"):
        add(out, "fuzz_ini_document", data)
    if name.endswith(".txt"):
        add(out, "fuzz_version_text", b"2.1\n2.2 beta 1\n" + data)
    if name.endswith(".lng"):
        add(out, "fuzz_language", data)
    if name == "get_plugins_list.php":
        add(out, "fuzz_online_list", data)
    if name in ("whatsnew.htm", "download.htm"):
        add(out, "fuzz_tc_release", data)
    if name.endswith((".htm", ".php")):
        add(out, "fuzz_page_links", b"http://127.0.0.1:8123/" + name.encode() + b"\n" + data)
    if name.endswith((".zip", ".cab")):
        add(out, "fuzz_archive_extract", data)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    out = sys.argv[1]
    for top in sys.argv[2:]:
        for folder, dirs, files in os.walk(top):
            dirs[:] = [d for d in dirs if d not in ("CMakeFiles", "dosdevices", ".git")]
            for file in files:
                classify(out, os.path.join(folder, file))
    if os.path.isdir(WINE_DLLS):
        dlls = sorted((os.path.getsize(os.path.join(WINE_DLLS, n)), n) for n in os.listdir(WINE_DLLS))
        for _, n in [d for d in dlls if 8192 < d[0] < 65536][:6]:
            classify(out, os.path.join(WINE_DLLS, n))
    for harness in sorted(os.listdir(out)):
        print(f"{harness}: {len(os.listdir(os.path.join(out, harness)))} seeds")


if __name__ == "__main__":
    main()
