# SPDX-License-Identifier: GPL-3.0-or-later
"""Shared helpers for the image tool tests: running the tool, building trees, reading images back."""

import hashlib
import os
import subprocess
import tempfile

import pycdlib

TOOL = os.environ.get("VELBROOK_HDIUTIL", "")


def run_tool(*args, **kwargs):
    return subprocess.run([TOOL, *args], capture_output=True, text=True, timeout=600, **kwargs)


def make_hybrid(image, source, *extra, **kwargs):
    return run_tool("makehybrid", "-o", image, source, "-iso", "-joliet", *extra, **kwargs)


def scratch_dir(test, parent=None):
    path = tempfile.mkdtemp(prefix="velbrook-tool-test-", dir=parent)
    # rm, not shutil.rmtree: Python's removal recurses once per level and gives up in a deep tree.
    test.addCleanup(subprocess.run, ["rm", "-rf", path])
    return path


def locale_folder(work, name):
    """A folder for LOCPATH holding the locale `name`.UTF-8, built here: the machine may have none built."""
    os.makedirs(locales := os.path.join(work, "locales"), exist_ok=True)
    subprocess.run(["localedef", "-i", name, "-f", "UTF-8", f"{locales}/{name}.UTF-8"], check=True)
    return locales


def write_file(path, data, size=0):
    """Writes `data` in place; with `size`, data is {offset: bytes} and the rest of the file is a hole."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(os.open(path, os.O_WRONLY | os.O_CREAT, 0o666), "wb") as f:
        f.truncate(size)
        for offset, chunk in (data if size else {0: data}).items():
            f.seek(offset)
            f.write(chunk)


def digest(path):
    with open(path, "rb") as f:
        return hashlib.file_digest(f, "sha256").hexdigest()


def open_iso(test, image):
    iso = pycdlib.PyCdlib()
    iso.open(image)
    test.addCleanup(iso.close)
    return iso

