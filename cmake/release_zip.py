#!/usr/bin/env python3
"""Writes the release zip and its checksum: the programs and readme.txt, byte for byte the
same for the same sources.

usage: release_zip.py --version V --readme SOURCE --output ZIP PROGRAM.exe...

readme.txt is made from SOURCE (UTF-8, LF line ends): @VERSION@ becomes the version, line
ends become CR LF and a byte order mark goes in front, so that Notepad reads it as UTF-8 on
every Windows. The newest entry of its change log must be this version; its date is the
date of every file in the zip, so no clock and no time zone goes into the archive.
"""

import argparse
import hashlib
import os
import re
import sys
import tempfile
import zipfile

CHANGE_LOG_HEADING = "■変更履歴"
ENTRY = re.compile(r"^(\S+)\s+\((\d{4})-(\d{2})-(\d{2})\)")
FILE_ATTRIBUTE_ARCHIVE = 0x20


def fail(message):
    sys.exit(f"release_zip.py: {message}")


def readme_text(source, version):
    with open(source, "rb") as file:
        raw = file.read()
    if raw.startswith(b"\xef\xbb\xbf") or b"\r" in raw:
        fail(f"{source}: write it in UTF-8 without a byte order mark, with LF line ends")
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError as error:
        fail(f"{source}: not UTF-8 ({error})")
    return text.replace("@VERSION@", version)


def release_date(text, version):
    """The date of the change log's newest entry, which must be version."""
    lines = text.split("\n")
    if CHANGE_LOG_HEADING not in lines:
        fail(f'the readme has no "{CHANGE_LOG_HEADING}" section')
    for line in lines[lines.index(CHANGE_LOG_HEADING) + 1:]:
        if not line.strip():
            continue
        entry = ENTRY.match(line)
        if not entry:
            fail(f'the change log should begin with "VERSION (YYYY-MM-DD)", not "{line}"')
        if entry.group(1) != version:
            fail(f"the change log's newest entry is {entry.group(1)}, the version is {version}")
        return tuple(int(part) for part in entry.groups()[1:])
    fail("the change log is empty")


def write_replacing(path, data):
    """Writes a new file beside path and renames it over path: never half a file."""
    directory = os.path.dirname(os.path.abspath(path))
    handle, temporary = tempfile.mkstemp(dir=directory, prefix=".release-")
    try:
        with os.fdopen(handle, "wb") as file:
            file.write(data)
            file.flush()
            os.fsync(file.fileno())
        os.chmod(temporary, 0o644)
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise


def zip_bytes(entries, date):
    """A zip of (name, bytes) in the order given, with fixed dates and attributes."""
    # Written to memory first: the archive's bytes depend on nothing but the entries.
    with tempfile.SpooledTemporaryFile() as buffer:
        with zipfile.ZipFile(buffer, "w") as archive:
            for name, data in entries:
                info = zipfile.ZipInfo(name, date_time=date + (0, 0, 0))
                info.create_system = 0  # MS-DOS attributes, as a Windows tool writes them
                info.external_attr = FILE_ATTRIBUTE_ARCHIVE
                info.compress_type = zipfile.ZIP_DEFLATED
                archive.writestr(info, data, compresslevel=9)
        buffer.seek(0)
        return buffer.read()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--version", required=True)
    parser.add_argument("--readme", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("programs", nargs="+")
    arguments = parser.parse_args()

    text = readme_text(arguments.readme, arguments.version)
    date = release_date(text, arguments.version)
    readme = b"\xef\xbb\xbf" + text.replace("\n", "\r\n").encode("utf-8")
    entries = []
    for program in arguments.programs:
        with open(program, "rb") as file:
            entries.append((os.path.basename(program), file.read()))
    entries.append(("readme.txt", readme))

    archive = zip_bytes(entries, date)
    os.makedirs(os.path.dirname(os.path.abspath(arguments.output)), exist_ok=True)
    write_replacing(arguments.output, archive)
    digest = hashlib.sha256(archive).hexdigest()
    name = os.path.basename(arguments.output)
    write_replacing(arguments.output + ".sha256", f"{digest}  {name}\n".encode("ascii"))
    print(f"{arguments.output}: {len(archive)} bytes, SHA-256 {digest}")


if __name__ == "__main__":
    main()
