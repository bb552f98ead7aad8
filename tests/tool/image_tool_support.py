# SPDX-License-Identifier: GPL-3.0-or-later
"""Shared helpers for the image tool tests: running the tool, building trees, reading images back."""

import hashlib
import os
import shutil
import subprocess
import tempfile

import pycdlib

TOOL = os.environ.get("VELBROOK_HDIUTIL", "")
CHUNK = 1 << 20


def run_tool(*args, **kwargs):
    return subprocess.run([TOOL, *args], capture_output=True, text=True, timeout=kwargs.pop("timeout", 600), **kwargs)


def make_hybrid(image, source, *extra, **kwargs):
    return run_tool("makehybrid", "-o", image, source, "-iso", "-joliet", *extra, **kwargs)


def scratch_dir(test, parent=None):
    path = tempfile.mkdtemp(prefix="velbrook-tool-test-", dir=parent)
    test.addCleanup(shutil.rmtree, path, True)
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


def free_bytes(path):
    st = os.statvfs(path)
    return st.f_bavail * st.f_frsize


def digest_stream(stream):
    h = hashlib.sha256()
    while True:
        block = stream.read(CHUNK)
        if not block:
            return h.hexdigest()
        h.update(block)


def digest_file(path):
    with open(path, "rb") as f:
        return digest_stream(f)


def source_entries(root):
    """{relative path: lstat} for everything below root, links not followed."""
    entries = {}
    for folder, dirs, files in os.walk(root):
        for name in dirs + files:
            full = os.path.join(folder, name)
            entries[os.path.relpath(full, root)] = os.lstat(full)
    return entries


def extract_with_bsdtar(image, target):
    os.makedirs(target, exist_ok=True)
    subprocess.run(["bsdtar", "-xpf", image, "-C", target], check=True, capture_output=True)


def bsdtar_digest(image, member):
    """SHA-256 of one member, streamed out of the image so nothing big lands on disk."""
    with subprocess.Popen(["bsdtar", "-xOf", image, member], stdout=subprocess.PIPE) as proc:
        digest = digest_stream(proc.stdout)
    if proc.returncode != 0:
        raise AssertionError(f"bsdtar could not read {member!r} from {image}")
    return digest


class IsoReader:
    """pycdlib view of one image, closed with the test."""

    def __init__(self, test, image):
        self.iso = pycdlib.PyCdlib()
        self.iso.open(image)
        test.addCleanup(self.iso.close)

    def names(self, facade, folder):
        """Entry names in one folder of the Rock Ridge ("rr") or Joliet ("joliet") tree."""
        kwargs = {f"{facade}_path": folder}
        result = {}
        for record in self.iso.list_children(**kwargs):
            if record.is_dot() or record.is_dotdot():
                continue
            if facade == "rr":
                name = record.rock_ridge.name().decode("utf-8")
            else:
                name = record.file_identifier().decode("utf-16-be")
            result[name] = record
        return result

    def walk(self, facade):
        return self.iso.walk(**{f"{facade}_path": "/"})

    def content_digest(self, facade, path):
        h = hashlib.sha256()
        with self.iso.open_file_from_iso(**{f"{facade}_path": path}) as f:
            while True:
                block = f.read(CHUNK)
                if not block:
                    return h.hexdigest()
                h.update(block)


def streams_equal(a, b):
    """Compares two byte streams block by block; True when they hold the same bytes."""
    while True:
        x = a.read(CHUNK)
        y = b.read(CHUNK)
        if x != y:
            # Pipes may return short reads; realign before giving up.
            while len(x) != len(y):
                if len(x) < len(y):
                    more = a.read(len(y) - len(x))
                    if not more:
                        return False
                    x += more
                else:
                    more = b.read(len(x) - len(y))
                    if not more:
                        return False
                    y += more
            if x != y:
                return False
        if not x:
            return True
