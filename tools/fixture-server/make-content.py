#!/usr/bin/env python3
"""Writes the fixture server's content for the sample installation (tools/make-sample-install.sh).

    python3 tools/fixture-server/make-content.py [--no-executables] OUT

--no-executables leaves the plugin files and TOTALCMD64.EXE out of the packages, for a machine
without MinGW-w64: the catalogue and the pages stay the same, installed updates keep their
versions.

The catalogue lists the sample's plugins so that the update check finds every state: an update,
an item that is up to date, one the catalogue does not know, a date as the version, a beta; and
Total Commander's site announces a public beta beside the installed final release. Pages name
"@BASE@" where the server puts its own address. The packages hold real plugin files and Total
Commander's installer a real TOTALCMD64.EXE, each at the version the site offers, so that an
installed update reads as up to date afterwards. Needs gcab (the installer holds a cabinet file)
and MinGW-w64 (tools/build-pe.sh; MINGW64_GCC and friends override the tools). The output is
deterministic.
"""
import io
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

# The catalogue, one record each. Installed in the sample: sampack.wcx64 2.1, demoarc.wcx 1.0.3,
# samplefs.wfx64 3.2, samview.wlx64 1.7 (not listed: unknown), samfield.wdx64 0.9.5; all files
# are dated 01.06.2024.
#   id, name as listed (a trailing "-" is the catalogue's), version text, release date, category,
#   platform, second platform, plugin file and its folder below "plugins" (for the package; empty
#   for a record that is not in the sample), what the sample should show
RECORDS = [
    ("sampack", "Sample Packer", "2.2", "15.09.2024", "packer", "x64", "x64",
     "sampack.wcx64", "wcx/sampack", "update available"),
    ("samplefs", "Sample FS -", "version 3.2", "20.03.2024", "fsplugin", "x64", "x64",
     "samplefs.wfx64", "wfx/samplefs", "up to date"),
    ("samfield", "Sample Fields", "15.10.2024", "15.10.2024", "content", "x64", "x64",
     "samfield.wdx64", "wdx/samfield", "a date as the version, newer than the file"),
    ("demoarc", "Demo Archive", "ver. 1.1beta2", "01.10.2024", "packer", "x32", "x32",
     "demoarc.wcx", "wcx/demoarc", "a beta, newer than the installed final"),
    ("sftpplug", "SFTP plugin", "2.4 (x86)", "12.02.2024", "fsplugin", "x32+x64", "x64",
     "sftpplug.wfx", "", "not installed"),
    ("7zip", "7Zip plugin", "9.22", "30.11.2023", "packer", "x32+x64", "x64",
     "7zip.wcx", "", "not installed"),
]

# Total Commander's site. The installed release is 11.51.
TC_INSTALLED = "11.51"
TC_BETA = ("11.55", "public beta 1", "1155b1")
TC_FINAL_FILE_TAG = "1151"
# Every package kind the download page offers, as its link names it.
TC_KINDS = ["x32_64", "x32", "x64"]

# The plugin file each package brings, as tools/build-pe.sh builds it: architecture, FileVersion,
# the string form (None: FileVersion without trailing ".0"), version block, ProductName,
# FileDescription, CompanyName. Same names as in the sample, the catalogue's version.
PLUGIN_BUILDS = {
    "sampack": ("x64", "2.2.0.0", None, "040904E4", "Sample Packer", "Sample Packer archive plugin",
                "Quillon Samples"),
    "samplefs": ("x64", "3.2.0.0", None, "041904E3", "Sample FS", "Sample file system plugin",
                 "Quillon Samples"),
    "samfield": ("x64", "1.0.0.0", None, "040904B0", "Sample Fields", "Sample content plugin",
                 "Quillon Samples"),
    "demoarc": ("x86", "1.1.0.2", "1.1 beta 2", "040904B0", "Demo Archive",
                "Demo Archive packer plugin (32 bit)", "Quillon Samples"),
}

# What Total Commander's installer holds besides TOTALCMD64.EXE and HISTORY.TXT: the German ("d")
# and English ("e") variants of the same files, and a button bar the user's own must survive.
TC_LANGUAGE_FILES = {
    "KEYBOARD.TXT": ("Tastenkürzel von Total Commander\n", "Total Commander's keyboard shortcuts\n"),
    "LANGUAGE/TCHELP.TXT": ("Hilfe zu Total Commander\n", "Help for Total Commander\n"),
}
TC_DEFAULT_BAR = "[Buttonbar]\nButtoncount=1\nbutton1=%COMMANDER_EXE%\ncmd1=cm_About\n"

FIXED_TIME = (2024, 9, 15, 12, 0, 0)
STUB_SIZE = 512
BUILD_PE = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "build-pe.sh")
WITH_EXECUTABLES = True  # --no-executables clears it

def build_pe(arch, kind, output, file_version, text, block, product, description, company):
    """One PE file with a version resource (tools/build-pe.sh); returns its bytes."""
    args = ["bash", BUILD_PE, arch, kind, output, file_version, block, product, description, company,
            os.path.basename(output)]
    if text:
        args.append(text)
    # A plugin file exports what its kind needs, as a real one does: the update loads.
    env = dict(os.environ, PE_PLUGIN="1") if kind == "dll" else None
    subprocess.run(args, check=True, env=env)
    with open(output, "rb") as f:
        return f.read()


def release_time(date):
    """A record's release date ("dd.mm.yyyy") at noon, for the dates of its package's files."""
    day, month, year = (int(part) for part in date.split("."))
    return (year, month, day, 12, 0, 0)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    mode = "wb" if isinstance(data, bytes) else "w"
    with open(path, mode, **({} if isinstance(data, bytes) else {"encoding": "cp1252", "newline": "\n"})) as f:
        f.write(data)


def zip_bytes(members, when=FIXED_TIME):
    """members: list of (name, bytes); fixed dates, so the output does not change."""
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, data in members:
            archive.writestr(zipfile.ZipInfo(name, when), data)
    return buffer.getvalue()


def plugin_package(record, work):
    ident, name, version, date, category, _, _, plugin_file, _, _ = record
    name = name.rstrip(" -")
    kind = os.path.splitext(plugin_file)[1].lstrip(".")[:3]
    inf = (f"[plugininstall]\r\ndescription={name} {version}\r\ntype={kind}\r\n"
           f"file={plugin_file}\r\ndefaultdir={ident}\r\n")
    history = f"{name} history\r\n{version}   {date}  the release the catalogue lists\r\n"
    readme = f"{name} {version} - {category} plugin for Total Commander\r\n"
    members = [("pluginst.inf", inf.encode("cp1252")), ("history.txt", history.encode("cp1252")),
               ("readme.txt", readme.encode("cp1252"))]
    if WITH_EXECUTABLES and ident in PLUGIN_BUILDS:
        arch, file_version, text, block, product, description, company = PLUGIN_BUILDS[ident]
        members.insert(0, (plugin_file, build_pe(arch, "dll", os.path.join(work, plugin_file), file_version,
                                                 text, block, product, description, company)))
    # Dated the day the catalogue says it was released, as an author's package would be.
    return zip_bytes(members, release_time(date))


def catalogue_page():
    # One line: each record ends in "|" and the next follows after a blank.
    lines = " ".join("|".join(r[:7]) + "|" for r in RECORDS)
    return "<HEAD></HEAD><BODY><pre>" + lines.replace("&", "&amp;") + "</pre></BODY>\n"


def details_page(record):
    """The catalogue's answer: the description as HTML, "|", the version history (none for 7zip)."""
    ident, name, version, date, category, platform, _, _, _, _ = record
    description = (f"<h1>{name.rstrip(' -')}</h1>\n<p>Version: {version}<br>Date: {date}<br>Category: {category}"
                   f"<br>Platform: {platform}</p>\n"
                   f"<p><a href=\"@BASE@download.php?id={ident}\">Download</a></p>\n")
    if ident == "7zip":
        return description
    return description + f"|<pre>{version} &lt;{date}&gt;\\nFirst release</pre>\n"


def tc_installer(work, file_version, version_words, history_title):
    """A self-extracting ZIP (a stub, then a ZIP holding INSTALL.CAB) and the plain ZIP."""
    folder = os.path.join(work, "cab")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    with open(os.path.join(folder, "HISTORY.TXT"), "w", encoding="cp1252", newline="\r\n") as f:
        f.write(f"{history_title}\n\n15.09.24 Release Total Commander {version_words}\n")
    members = ["HISTORY.TXT", "default.bar"]
    if WITH_EXECUTABLES:
        build_pe("x64", "exe", os.path.join(folder, "TOTALCMD64.EXE"), file_version, None, "040904E4",
                 "Total Commander", "Total Commander 64 bit", "Ghisler Software GmbH")
        members.insert(0, "TOTALCMD64.EXE")
    with open(os.path.join(folder, "default.bar"), "w", encoding="cp1252", newline="\r\n") as f:
        f.write(TC_DEFAULT_BAR)
    for path, texts in sorted(TC_LANGUAGE_FILES.items()):
        for language, text in zip(("d", "e"), texts):
            parent, name = os.path.split(path)
            member = os.path.join(parent, language, name)
            os.makedirs(os.path.join(folder, os.path.dirname(member)), exist_ok=True)
            with open(os.path.join(folder, member), "w", encoding="cp1252", newline="\r\n") as f:
                f.write(text)
            members.append(member)
    stamp = 1726401600  # FIXED_TIME as seconds since 1970
    for member in members:
        os.utime(os.path.join(folder, member), (stamp, stamp))
    cab = os.path.join(work, "INSTALL.CAB")
    # Stored with their folders ("d\\KEYBOARD.TXT"), as the installer's cabinet is.
    subprocess.run(["gcab", "-c", "-z", cab] + members, cwd=folder, check=True)
    with open(cab, "rb") as f:
        payload = zip_bytes([("INSTALL.CAB", f.read())])
    installer = os.path.join(work, "installer.exe")
    with open(installer, "wb") as f:
        f.write(b"MZ" + b"\0" * (STUB_SIZE - 2) + payload)
    # Offsets measured from the file's start, as in a real self-extracting archive.
    subprocess.run(["zip", "-A", "-q", installer], check=True)
    with open(installer, "rb") as f:
        return f.read(), payload


def tc_pages():
    version, words, tag = TC_BETA
    whatsnew = (
        "<html><head><title>Total Commander - What's new</title></head><body>\n"
        f"<p><a href=\"beta.php\">Download the public beta</a></p>\n"
        f"<h2>Total Commander {version} {words} is now available for Windows 95-11!</h2>\n"
        f"<p>Total Commander {TC_INSTALLED} final is the current release for Windows.</p>\n"
        "</body></html>\n")
    download = (
        "<html><head><title>Total Commander - Download</title></head><body>\n"
        f"<h1>Download version {TC_INSTALLED} of Total Commander for Windows</h1>\n"
        "<p><a href=\"amazons3.php\">Download from our server</a></p>\n</body></html>\n")

    def links(prefix, file_tag):
        return "".join(f"<p><a href=\"{prefix}files/tcmd{file_tag}{kind}.exe\">{kind}</a></p>\n"
                       for kind in TC_KINDS)

    amazons3 = ("<html><head><title>Download</title></head><body>\n<p><a href=\"index.htm\">Home</a></p>\n"
                + links("", TC_FINAL_FILE_TAG) + "</body></html>\n")
    beta = ("<html><head><title>Public beta</title></head><body>\n"
            + links("@BASE@", tag) + "</body></html>\n")
    return {"whatsnew.htm": whatsnew, "download.htm": download, "amazons3.php": amazons3, "beta.php": beta,
            "index.htm": "<html><body><h1>Fixture site</h1></body></html>\n"}


def main():
    global WITH_EXECUTABLES
    args = sys.argv[1:]
    if args and args[0] == "--no-executables":
        WITH_EXECUTABLES = False
        args = args[1:]
    if len(args) != 1:
        sys.exit(f"usage: {sys.argv[0]} [--no-executables] OUTPUT_FOLDER")
    for tool in ("gcab", "zip"):
        if shutil.which(tool) is None:
            sys.exit(f"{sys.argv[0]}: {tool} not found (it builds Total Commander's installer)")
    out = args[0]
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    write(os.path.join(out, "get_plugins_list.php"), catalogue_page())
    for name, text in tc_pages().items():
        write(os.path.join(out, name), text)
    with tempfile.TemporaryDirectory() as work:
        for record in RECORDS:
            write(os.path.join(out, "details", record[0] + ".htm"), details_page(record))
            write(os.path.join(out, "packages", record[0] + ".zip"), plugin_package(record, work))
        final, final_zip = tc_installer(work, TC_INSTALLED + ".0.0", TC_INSTALLED + " final",
                                        f"Total Commander {TC_INSTALLED} final")
        beta_version, beta_words, beta_tag = TC_BETA
        beta, _ = tc_installer(work, beta_version + ".0.1", f"{beta_version} {beta_words}",
                               f"Total Commander {beta_version} {beta_words}")
    for kind in TC_KINDS:
        write(os.path.join(out, "files", f"tcmd{TC_FINAL_FILE_TAG}{kind}.exe"), final)
        write(os.path.join(out, "files", f"tcmd{beta_tag}{kind}.exe"), beta)
    # The catalogue's fallback for Total Commander: "download.php?id=totalcmd&pkg=x32|x64".
    write(os.path.join(out, "packages", "totalcmd.zip"), final_zip)
    print(f"fixture content in {out}")


if __name__ == "__main__":
    main()
