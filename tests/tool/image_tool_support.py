# SPDX-License-Identifier: GPL-3.0-or-later
"""Shared helpers for the image tool tests: running the tool, building trees, reading images back."""

import hashlib
import os
import subprocess
import tempfile

import pycdlib

TOOL = os.environ.get("VELBROOK_HDIUTIL", "")


def make_hybrid(image, source, *extra, **kwargs):
    return subprocess.run([TOOL, "makehybrid", "-o", image, source, "-iso", "-joliet", *extra], capture_output=True,
                          text=True, timeout=600, **kwargs)


def scratch_dir(test, parent=None):
    path = tempfile.mkdtemp(prefix="velbrook-tool-test-", dir=parent)
    # rm, not shutil.rmtree: Python's removal recurses once per level and gives up in a deep tree.
    test.addCleanup(subprocess.run, ["rm", "-rf", path])
    return path


def write_file(path, data, size=0):
    """Writes `data`; with `size`, data is {offset: bytes} and the rest of the file is a hole."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.truncate(size)
        for offset, chunk in (data if size else {0: data}).items():
            f.seek(offset)
            f.write(chunk)


def digest(stream_or_path):
    if isinstance(stream_or_path, str):
        with open(stream_or_path, "rb") as f:
            return digest(f)
    h = hashlib.sha256()
    while block := stream_or_path.read(1 << 20):
        h.update(block)
    return h.hexdigest()


def open_iso(test, image):
    iso = pycdlib.PyCdlib()
    iso.open(image)
    test.addCleanup(iso.close)
    return iso


def iso_names(iso, facade, folder="/"):
    """{name: record} in one folder of the Rock Ridge ("rr") or Joliet ("joliet") tree."""
    return {(r.rock_ridge.name().decode() if facade == "rr" else r.file_identifier().decode("utf-16-be")): r
            for r in iso.list_children(**{f"{facade}_path": folder}) if not (r.is_dot() or r.is_dotdot())}
