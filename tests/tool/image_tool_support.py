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


def write_file(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def make_sparse(path, size, markers):
    """A file of `size` bytes that is a hole except for `markers`: {offset: bytes}."""
    with open(path, "wb") as f:
        f.truncate(size)
        for offset, data in markers.items():
            f.seek(offset)
            f.write(data)


def digest(stream):
    h = hashlib.sha256()
    while block := stream.read(1 << 20):
        h.update(block)
    return h.hexdigest()


def digest_file(path):
    with open(path, "rb") as f:
        return digest(f)


def source_entries(root):
    """{relative path: lstat} for everything below root, links not followed; without recursion, for deep trees."""
    entries, folders = {}, [root]
    while folders:
        folder = folders.pop()
        for entry in os.scandir(folder):
            entries[os.path.relpath(entry.path, root)] = entry.stat(follow_symlinks=False)
            if entry.is_dir(follow_symlinks=False):
                folders.append(entry.path)
    return entries


def open_iso(test, image):
    iso = pycdlib.PyCdlib()
    iso.open(image)
    test.addCleanup(iso.close)
    return iso


def iso_names(iso, facade, folder="/"):
    """{name: record} in one folder of the Rock Ridge ("rr") or Joliet ("joliet") tree."""
    return {(r.rock_ridge.name().decode() if facade == "rr" else r.file_identifier().decode("utf-16-be")): r
            for r in iso.list_children(**{f"{facade}_path": folder}) if not (r.is_dot() or r.is_dotdot())}
