# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs that must fail leave IMAGE's folder as it was and say why in one line; runs that survive a moved folder or
an image inside SOURCE. All of it again on FUSE, which has no unnamed files, so the image is written under a name."""

import os
import re
import resource
import shutil
import signal
import subprocess
import tempfile
import unittest

from image_tool_support import TOOL, digest, make_hybrid, scratch_dir, write_file

SIZE = 1 << 30  # big enough that a run is still writing when its first progress line arrives
SMALL_FILES = {"preexec_fn": lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (1 << 20,) * 2)}


def appear(case, _):
    write_file(case.image, b"appeared\n")
    case.extra["disc.iso"] = digest(case.image)  # another writer's file, which must stay as it is


# label: (arrange before the run, run options, exit status, part of the failure line)
ROADS = {
    "existing IMAGE without -ov": (lambda c: write_file(c.image, b"earlier\n"), {}, 1, "already exists"),
    "missing destination folder": (lambda c: setattr(c, "image", c.out + "/gone/disc.iso"), {}, 1, "No such file"),
    "unwritable destination folder": (lambda c: os.chmod(c.out, 0o555), {"nobody": True}, 1, "Permission denied"),
    "unreadable file": (lambda c: os.chmod(c.secret, 0), {"nobody": True}, 1, 'secret.txt": Permission denied'),
    "file size limit": (None, SMALL_FILES, 1, "file size limit"),
    **{f"{s.name} mid-write": (None, {"action": lambda c, p, s=s: p.send_signal(s)}, 128 + s, f"stopped by {s.name}")
       for s in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP)},
    "SIGKILL mid-write": (None, {"action": lambda c, p: p.kill()}, -signal.SIGKILL, None),
    "IMAGE appearing mid-write": (None, {"action": appear}, 1, "appeared while imaging"),
    "rewritten file": (None, {"action": lambda c, p: write_file(c.big, {0: b"X"}, SIZE)}, 1, "changed while imaging"),
    "truncated file": (None, {"action": lambda c, p: os.truncate(c.big, 4096)}, 1, "changed while imaging"),
}
# Only root can reach the FUSE mount; its timestamps are whole seconds and cached, too coarse to see a rewrite.
NOT_ON_FUSE = ("unwritable destination folder", "unreadable file", "rewritten file", "truncated file")


class FailureRoadsTest(unittest.TestCase):
    FUSE = False
    PARENT = None

    @classmethod
    def setUpClass(cls):
        if cls.FUSE:
            cls.PARENT = mount = tempfile.mkdtemp(prefix="velbrook-fuse-")
            disk = mount + ".ext2"
            cls.addClassCleanup(subprocess.run, ["rm", "-rf", mount, disk])
            try:
                subprocess.run(["mkfs.ext2", "-q", disk, "4G"], check=True, capture_output=True)
                # Without hard_remove, FUSE keeps a removed file that is still open under a name of its own.
                subprocess.run(["fuse2fs", "-o", "fakeroot,hard_remove", disk, mount], check=True, capture_output=True)
            except (OSError, subprocess.CalledProcessError) as error:
                raise unittest.SkipTest(f"cannot mount a FUSE file system here: {error}")
            cls.addClassCleanup(subprocess.run, ["umount", mount])

    def setUp(self):
        self.work = scratch_dir(self, self.PARENT)
        self.source, self.out = os.path.join(self.work, "source"), os.path.join(self.work, "out")
        self.image, self.big = os.path.join(self.out, "disc.iso"), os.path.join(self.source, "big.bin")
        self.secret = os.path.join(self.source, "sub", "secret.txt")
        write_file(self.secret, b"no peeking\n")
        write_file(self.big, {0: b"head", SIZE - 4: b"tail"}, SIZE)
        os.mkdir(self.out)
        self.extra = {}  # what a road itself puts in IMAGE's folder

    def run_tool(self, action=None, nobody=False, preexec_fn=None, prefix=()):
        """Runs the tool; `action` is called right after its first progress line."""
        command = [TOOL, "makehybrid", "-o", self.image, self.source, "-iso", "-joliet"]
        if nobody and os.geteuid() == 0:
            # Permissions only bite without root. As nobody, from a copy: the build folder may be out of its reach.
            command[0] = shutil.copy(TOOL, self.work)
            subprocess.run(["chown", "-R", "65534:65534", self.work], check=True)
            command = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", *command]
        with subprocess.Popen([*prefix, *command], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                              preexec_fn=preexec_fn) as proc:
            if action:
                self.assertEqual(proc.stdout.readline(), "10%\n")
                action(self, proc)
            stdout, stderr = proc.communicate(timeout=300)
        # Nothing runs after SIGKILL: a partial image may stay only under the name the caller can work out.
        if proc.returncode == -signal.SIGKILL and self.FUSE:
            self.extra[f".disc.iso.{proc.pid}.part"] = None
        return proc.returncode, stdout, stderr

    def snapshot(self):
        # A temporary file's content is whatever the run got to; its name is what counts.
        return {n: None if n.endswith(".part") else digest(os.path.join(self.out, n)) for n in os.listdir(self.out)}

    def test_failure_roads(self):
        for label, (arrange, options, status, reason) in ROADS.items():
            if self.FUSE and label in NOT_ON_FUSE:
                continue
            with self.subTest(road=label):
                self.setUp()
                if arrange:
                    arrange(self)
                expected = self.snapshot()
                returncode, _, stderr = self.run_tool(**options)
                self.assertEqual(returncode, status, stderr)
                line = rf"velbrook-hdiutil: makehybrid failed - .*{re.escape(reason)}.*\n" if reason else ""
                self.assertRegex(stderr, rf"\A{line}\Z")
                # IMAGE's folder holds what it held before, byte for byte: no image, no stray temporary file.
                self.assertEqual(self.snapshot(), {**expected, **self.extra})

    def test_image_inside_source_leaves_its_files_out(self):
        # With -ov over an earlier image there, both the earlier image and the new one are in SOURCE.
        image = os.path.join(self.source, "disc.iso")
        write_file(image, b"an earlier image\n")
        result = make_hybrid(image, self.source, "-quiet", "-ov")
        self.assertEqual(result.returncode, 0, result.stderr)
        listing = subprocess.run(["bsdtar", "-tf", image], capture_output=True, text=True, check=True).stdout
        self.assertEqual(sorted(listing.split()), [".", "./big.bin", "./sub", "./sub/secret.txt"])

    @unittest.skipUnless(shutil.which("strace"), "needs strace")
    def test_image_is_flushed_then_named_in_its_folder_wherever_that_went(self):
        # Unflushed, a crash soon after exit 0 could leave a complete-looking name over data never written.
        moved, trace = os.path.join(self.work, "moved"), os.path.join(self.work, "trace")
        strace = ["strace", "-f", "-o", trace, "-e", "trace=fsync,fdatasync,linkat,renameat,renameat2"]
        returncode, _, stderr = self.run_tool(lambda c, p: os.rename(self.out, moved), prefix=strace)
        self.assertEqual(returncode, 0, stderr)
        self.assertEqual(os.listdir(moved), ["disc.iso"])
        with open(trace) as f:
            self.assertIn("sync(", next(line for line in f if '"disc.iso"' in line or "sync(" in line))


class NamedTemporaryFileTest(FailureRoadsTest):
    FUSE = True


if __name__ == "__main__":
    unittest.main()
