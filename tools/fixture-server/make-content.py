#!/usr/bin/env python3
"""Writes the fixture server's content for the sample installation (tools/make-sample-install.sh).

    python3 tools/fixture-server/make-content.py OUT

The catalogue lists the sample's plugins so that the update check finds every state: an update,
an item that is up to date, one the catalogue does not know, a date as the version, a beta; and
Total Commander's site announces a public beta beside the installed final release. Pages name
"@BASE@" where the server puts its own address. Needs gcab (Total Commander's installer holds a
cabinet file). The output is deterministic.
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

FIXED_TIME = (2024, 9, 15, 12, 0, 0)
STUB_SIZE = 512


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    mode = "wb" if isinstance(data, bytes) else "w"
    with open(path, mode, **({} if isinstance(data, bytes) else {"encoding": "cp1252", "newline": "\n"})) as f:
        f.write(data)


def zip_bytes(members):
    """members: list of (name, bytes); fixed dates, so the output does not change."""
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, data in members:
            archive.writestr(zipfile.ZipInfo(name, FIXED_TIME), data)
    return buffer.getvalue()


def plugin_package(record):
    ident, name, version, date, category, _, _, plugin_file, _, _ = record
    name = name.rstrip(" -")
    kind = os.path.splitext(plugin_file)[1].lstrip(".")[:3]
    inf = (f"[plugininstall]\r\ndescription={name} {version}\r\ntype={kind}\r\n"
           f"file={plugin_file}\r\ndefaultdir={ident}\r\n")
    history = f"{name} history\r\n{version}   {date}  the release the catalogue lists\r\n"
    readme = f"{name} {version} - {category} plugin for Total Commander\r\n"
    return zip_bytes([("pluginst.inf", inf.encode("cp1252")), ("history.txt", history.encode("cp1252")),
                      ("readme.txt", readme.encode("cp1252"))])


def catalogue_page():
    # One line: each record ends in "|" and the next follows after a blank.
    lines = " ".join("|".join(r[:7]) + "|" for r in RECORDS)
    return "<HEAD></HEAD><BODY><pre>" + lines.replace("&", "&amp;") + "</pre></BODY>\n"


def details_page(record):
    ident, name, version, date, category, platform, _, _, _, _ = record
    return (f"<html><head><title>{name.rstrip(' -')}</title></head><body>\n"
            f"<h1>{name.rstrip(' -')}</h1>\n<p>Version: {version}<br>Date: {date}<br>Category: {category}"
            f"<br>Platform: {platform}</p>\n"
            f"<p><a href=\"@BASE@download.php?id={ident}\">Download</a></p>\n</body></html>\n")


def tc_installer(work, version_words, history_title):
    """A self-extracting ZIP (a stub, then a ZIP holding INSTALL.CAB) and the plain ZIP."""
    folder = os.path.join(work, "cab")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    with open(os.path.join(folder, "HISTORY.TXT"), "w", encoding="cp1252", newline="\r\n") as f:
        f.write(f"{history_title}\n\n15.09.24 Release Total Commander {version_words}\n")
    stamp = 1726401600  # FIXED_TIME as seconds since 1970
    os.utime(os.path.join(folder, "HISTORY.TXT"), (stamp, stamp))
    cab = os.path.join(work, "INSTALL.CAB")
    subprocess.run(["gcab", "-c", "-z", "-n", cab, "HISTORY.TXT"], cwd=folder, check=True)
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
    if len(sys.argv) != 2:
        sys.exit(f"usage: {sys.argv[0]} OUTPUT_FOLDER")
    for tool in ("gcab", "zip"):
        if shutil.which(tool) is None:
            sys.exit(f"{sys.argv[0]}: {tool} not found (it builds Total Commander's installer)")
    out = sys.argv[1]
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    write(os.path.join(out, "get_plugins_list.php"), catalogue_page())
    for record in RECORDS:
        write(os.path.join(out, "details", record[0] + ".htm"), details_page(record))
        write(os.path.join(out, "packages", record[0] + ".zip"), plugin_package(record))
    for name, text in tc_pages().items():
        write(os.path.join(out, name), text)
    with tempfile.TemporaryDirectory() as work:
        final, final_zip = tc_installer(work, TC_INSTALLED + " final", f"Total Commander {TC_INSTALLED} final")
        beta_version, beta_words, beta_tag = TC_BETA
        beta, _ = tc_installer(work, f"{beta_version} {beta_words}", f"Total Commander {beta_version} {beta_words}")
    for kind in TC_KINDS:
        write(os.path.join(out, "files", f"tcmd{TC_FINAL_FILE_TAG}{kind}.exe"), final)
        write(os.path.join(out, "files", f"tcmd{beta_tag}{kind}.exe"), beta)
    # The catalogue's fallback for Total Commander: "download.php?id=totalcmd&pkg=x32|x64".
    write(os.path.join(out, "packages", "totalcmd.zip"), final_zip)
    print(f"fixture content in {out}")


if __name__ == "__main__":
    main()
