# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs that must fail: IMAGE is left as it was, no temporary file stays behind, one line explains why."""

import os
import resource
import shutil
import signal
import subprocess
import tempfile
import unittest

from image_tool_support import TOOL, digest_file, make_hybrid, make_sparse, scratch_dir, write_file

SIZE = 1 << 30  # big enough that a run is still writing when its first progress line arrives
NOBODY = 65534


def rewrite_head(case):
    with open(case.big, "r+b") as f:
        f.write(b"HEAD")


# label: (arrange before the run, run options, exit status, part of the failure line)
ROADS = {
    "existing IMAGE without -ov": (lambda c: write_file(c.image, b"an earlier image\n"), {}, 1, "already exists"),
    "missing destination folder": (lambda c: setattr(c, "image", os.path.join(c.out, "gone", "disc.iso")), {}, 1,
                                   "No such file or directory"),
    "unwritable destination folder": (lambda c: os.chmod(c.out, 0o555), {"nobody": True}, 1, "Permission denied"),
    "unreadable file": (lambda c: os.chmod(c.secret, 0), {"nobody": True}, 1, 'secret.txt": Permission denied'),
    "file size limit": (None, {"preexec_fn": lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (1 << 20,) * 2)}, 1,
                        "file size limit"),
    **{f"{s.name} mid-write": (None, {"action": lambda c, p, s=s: p.send_signal(s)}, 128 + s, f"stopped by {s.name}")
       for s in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP)},
    # Nothing runs after SIGKILL: the partial image may stay only under the name the caller can work out.
    "SIGKILL mid-write": (None, {"action": lambda c, p: (p.kill(), c.extra.update(c.left_after_kill()))},
                          -signal.SIGKILL, None),
    "IMAGE appearing mid-write": (None, {"action": lambda c, p: (write_file(c.image, b"appeared\n"),
                                                                 c.extra.update({"disc.iso": digest_file(c.image)}))},
                                  1, "appeared while imaging"),
    "file rewritten mid-run": (None, {"action": lambda c, p: rewrite_head(c)}, 1, "changed while imaging"),
    "file truncated mid-run": (None, {"action": lambda c, p: os.truncate(c.big, 4096)}, 1, "changed while imaging"),
}


class FailureRoadsTest(unittest.TestCase):
    PARENT = None
    SKIP = ()

    def setUp(self):
        self.work = scratch_dir(self, self.PARENT)
        self.source = os.path.join(self.work, "source")
        self.out = os.path.join(self.work, "out")
        self.image = os.path.join(self.out, "disc.iso")
        self.big = os.path.join(self.source, "big.bin")
        self.secret = os.path.join(self.source, "sub", "secret.txt")
        write_file(self.secret, b"no peeking\n")
        make_sparse(self.big, SIZE, {0: b"head", SIZE - 4: b"tail"})
        os.mkdir(self.out)
        self.extra = {}  # what a road itself puts in IMAGE's folder

    def run_tool(self, action=None, nobody=False, preexec_fn=None):
        """Runs the tool; `action` is called right after its first progress line."""
        command = [TOOL, "makehybrid", "-o", self.image, self.source, "-iso", "-joliet"]
        if nobody and os.geteuid() == 0:
            # Permissions only bite without root. The build folder may sit where nobody cannot reach it; a copy
            # beside the data can always run.
            command[0] = os.path.join(self.work, "velbrook-hdiutil")
            shutil.copy(TOOL, command[0])
            subprocess.run(["chown", "-R", f"{NOBODY}:{NOBODY}", self.work], check=True)
            command = ["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups", *command]
        with subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                              preexec_fn=preexec_fn) as proc:
            self.pid = proc.pid
            if action:
                self.assertEqual(proc.stdout.readline(), "10%\n")
                action(self, proc)
            stdout, stderr = proc.communicate(timeout=300)
        return proc.returncode, stdout, stderr

    def snapshot(self):
        # A temporary file's content is whatever the run got to; its name is what counts.
        return {n: None if n.endswith(".part") else digest_file(os.path.join(self.out, n)) for n in os.listdir(self.out)}

    def left_after_kill(self):
        return {}  # an unnamed file goes with its last descriptor

    def test_failure_roads(self):
        for label, (arrange, options, status, reason) in ROADS.items():
            if label in self.SKIP or (options.get("nobody") and os.geteuid() == 0 and not shutil.which("setpriv")):
                continue
            with self.subTest(road=label):
                self.setUp()
                if arrange:
                    arrange(self)
                expected = self.snapshot()
                returncode, _, stderr = self.run_tool(**options)
                self.assertEqual(returncode, status, stderr)
                if reason:
                    lines = stderr.splitlines()
                    self.assertEqual(len(lines), 1, stderr)
                    self.assertTrue(lines[0].startswith("velbrook-hdiutil: makehybrid failed - "), lines[0])
                    self.assertIn(reason, lines[0])
                else:
                    self.assertEqual(stderr, "")
                # IMAGE's folder holds what it held before, byte for byte: no image, no stray temporary file.
                self.assertEqual(self.snapshot(), {**expected, **self.extra})

    def test_renamed_destination_folder_still_gets_the_image(self):
        moved = os.path.join(self.work, "moved")
        returncode, _, stderr = self.run_tool(lambda c, p: os.rename(self.out, moved))
        self.assertEqual(returncode, 0, stderr)
        self.assertEqual(sorted(os.listdir(self.work)), ["moved", "source"])
        self.assertEqual(os.listdir(moved), ["disc.iso"])


    @unittest.skipUnless(shutil.which("strace"), "needs strace")
    def test_image_is_flushed_before_it_is_named(self):
        # Else a crash soon after exit 0 could leave a complete-looking name over data never written.
        trace = os.path.join(self.work, "trace")
        result = subprocess.run(["strace", "-f", "-o", trace, "-e", "trace=fsync,fdatasync,linkat,renameat,renameat2",
                                 TOOL, "makehybrid", "-o", self.image, os.path.join(self.source, "sub"), "-iso", "-quiet"])
        self.assertEqual(result.returncode, 0)
        with open(trace) as f:
            calls = [line for line in f if '"disc.iso"' in line or "sync(" in line]
        self.assertIn("sync(", calls[0])


class NoUnnamedFilesTest(FailureRoadsTest):
    """The same roads on a FUSE file system, which has no unnamed files: the image is written under a name the
    caller can work out, and that a kill leaves behind."""

    # Only root can reach the mount; its timestamps are whole seconds and cached, too coarse to see a rewrite.
    SKIP = ("unwritable destination folder", "unreadable file", "file rewritten mid-run", "file truncated mid-run")

    @classmethod
    def setUpClass(cls):
        cls.PARENT = tempfile.mkdtemp(prefix="velbrook-fuse-")
        cls.addClassCleanup(os.rmdir, cls.PARENT)
        disk = cls.PARENT + ".ext2"
        cls.addClassCleanup(os.remove, disk)
        with open(disk, "wb") as f:
            f.truncate(4 << 30)
        try:
            subprocess.run(["mkfs.ext2", "-q", "-F", disk], check=True, capture_output=True)
            # Without hard_remove, FUSE keeps a removed file that is still open under a name of its own.
            subprocess.run(["fuse2fs", "-o", "fakeroot,hard_remove", disk, cls.PARENT], check=True,
                           capture_output=True)
        except (OSError, subprocess.CalledProcessError) as error:
            raise unittest.SkipTest(f"cannot mount a FUSE file system here: {error}")
        cls.addClassCleanup(subprocess.run, ["umount", cls.PARENT])

    def left_after_kill(self):
        return {f".disc.iso.{self.pid}.part": None}

    def test_image_inside_source_leaves_its_files_out(self):
        # With -ov over an earlier image there, both the earlier image and the named new one are in SOURCE.
        image = os.path.join(self.source, "disc.iso")
        write_file(image, b"an earlier image\n")
        result = make_hybrid(image, self.source, "-quiet", "-ov")
        self.assertEqual(result.returncode, 0, result.stderr)
        listing = subprocess.run(["bsdtar", "-tf", image], capture_output=True, text=True, check=True).stdout
        self.assertEqual(sorted(listing.split()), [".", "./big.bin", "./sub", "./sub/secret.txt"])
        self.assertEqual(sorted(os.listdir(self.source)), ["big.bin", "disc.iso", "sub"])


if __name__ == "__main__":
    unittest.main()
