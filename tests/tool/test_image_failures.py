# SPDX-License-Identifier: GPL-3.0-or-later
"""Failing runs leave IMAGE's folder as it was and say why in one line; again on FUSE, where the image has a name."""

import os
import re
import resource
import shutil
import signal
import subprocess
import tempfile
import unittest

from image_tool_support import TOOL, digest, run_tool, scratch_dir, write_file

SIZE = 1 << 30  # big enough that a run is still writing when its first progress line arrives


def appear(case, _):
    write_file(case.image, b"appeared\n")
    case.extra["disc.iso"] = digest(case.image)  # another writer's file, which must stay as it is


# label: (arrange before the run, run options, exit status, part of the failure line)
ROADS = {
    "existing IMAGE without -ov": (lambda c: write_file(c.image, b"earlier\n"), {}, 1, "already exists"),
    "missing destination folder": (lambda c: setattr(c, "image", c.out + "/gone/disc.iso"), {}, 1, "No such file"),
    "unwritable destination folder": (lambda c: os.chmod(c.out, 0o555), {"nobody": True}, 1, "Permission denied"),
    "unreadable file": (lambda c: os.chmod(c.secret, 0), {"nobody": True}, 1, 'secret.txt": Permission denied'),
    "file size limit": (None, {"preexec_fn": lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (1 << 20,) * 2)}, 1,
                        "file size limit"),
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
    FUSE = None  # the mount point to work in

    def setUp(self):
        self.work = scratch_dir(self, self.FUSE)
        self.source, self.out = os.path.join(self.work, "source"), os.path.join(self.work, "out")
        self.image, self.big = os.path.join(self.out, "disc.iso"), os.path.join(self.source, "big.bin")
        self.secret, self.extra = os.path.join(self.source, "sub", "secret.txt"), {}  # extra: what a road adds
        write_file(self.secret, b"no peeking\n")
        write_file(self.big, {0: b"head", SIZE - 4: b"tail"}, SIZE)
        os.mkdir(self.out)

    def run_tool(self, action=None, nobody=False, prefix=(), **popen):
        """Runs the tool; `action` is called right after its first progress line."""
        command = [TOOL, "makehybrid", "-o", self.image, self.source, "-iso", "-joliet"]
        if nobody and os.geteuid() == 0:
            # Permissions only bite without root. As nobody, from a copy: the build folder may be out of its reach.
            command[0] = shutil.copy(TOOL, self.work)
            subprocess.run(["chown", "-R", "65534:65534", self.work], check=True)
            command = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", *command]
        with subprocess.Popen([*prefix, *command], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                              **popen) as proc:
            if action:
                self.assertEqual(proc.stdout.readline(), "10%\n")
                action(self, proc)
            stderr = proc.communicate(timeout=300)[1]
        # Nothing runs after SIGKILL: a partial image may stay only under the name the caller can work out.
        if proc.returncode == -signal.SIGKILL and self.FUSE:
            self.extra[f".disc.iso.{proc.pid}.part"] = None
        return proc.returncode, stderr

    def snapshot(self):
        # A temporary file's content is whatever the run got to; its name is what counts.
        return {n: None if n.endswith(".part") else digest(os.path.join(self.out, n)) for n in os.listdir(self.out)}

    def test_failure_roads(self):
        for label, (arrange, options, status, reason) in ROADS.items():
            with self.subTest(road=label):
                if self.FUSE and label in NOT_ON_FUSE:
                    continue
                self.setUp()
                (arrange or id)(self)
                expected = self.snapshot()
                returncode, stderr = self.run_tool(**options)
                line = rf"velbrook-hdiutil: makehybrid failed - .*{re.escape(reason)}.*\n" if reason else ""
                self.assertEqual((returncode, bool(re.fullmatch(line, stderr))), (status, True), stderr)
                # IMAGE's folder holds what it held before, byte for byte: no image, no stray temporary file.
                self.assertEqual(self.snapshot(), {**expected, **self.extra})

    def test_image_inside_source_leaves_its_files_out(self):
        # Over an earlier image with -ov: both it and the new one are in SOURCE. Dashes: paths where a path is due.
        os.rename(self.source, os.path.join(self.work, "-src"))
        write_file(os.path.join(self.work, "-src", "disc.iso"), b"an earlier image\n")
        result = run_tool("makehybrid", "-iso", "-quiet", "-ov", "-o", "-src/disc.iso", "--", "-src", cwd=self.work)
        self.assertEqual((result.returncode, result.stdout, result.stderr), (0, "", ""))
        listing = subprocess.run(["bsdtar", "-tf", "./-src/disc.iso"], cwd=self.work, capture_output=True, text=True)
        self.assertEqual(sorted(listing.stdout.split()), [".", "./big.bin", "./sub", "./sub/secret.txt"])

    @unittest.skipUnless(shutil.which("strace"), "needs strace")
    def test_image_is_flushed_then_named_in_its_folder_wherever_that_went(self):
        # Unflushed, a crash soon after exit 0 could leave a complete-looking name over data never written.
        moved, trace = os.path.join(self.work, "moved"), os.path.join(self.work, "trace")
        strace = ["strace", "-f", "-o", trace, "-e", "trace=fsync,fdatasync,linkat,renameat,renameat2"]
        # A sanitized tool's leak check cannot run under ptrace.
        strace += ["-E", f"ASAN_OPTIONS={os.environ.get('ASAN_OPTIONS', '')}:detect_leaks=0"]
        result = self.run_tool(lambda c, p: os.rename(self.out, moved), prefix=strace)
        self.assertEqual((result, os.listdir(moved)), ((0, ""), ["disc.iso"]))
        with open(trace) as f:
            self.assertIn("sync(", next(line for line in f if '"disc.iso"' in line or "sync(" in line))


class NamedTemporaryFileTest(FailureRoadsTest):
    @classmethod
    def setUpClass(cls):
        cls.FUSE = mount = tempfile.mkdtemp(prefix="velbrook-fuse-")
        cls.addClassCleanup(subprocess.run, ["rm", "-rf", mount, mount + ".ext2"])
        # Without hard_remove, FUSE keeps a removed file that is still open under a name of its own.
        mounting = f"mkfs.ext2 -q {mount}.ext2 4G && fuse2fs -o fakeroot,hard_remove {mount}.ext2 {mount}"
        result = subprocess.run(mounting, shell=True, capture_output=True, text=True)
        if result.returncode != 0:
            raise unittest.SkipTest(f"cannot mount a FUSE file system here: {result.stderr}")
        cls.addClassCleanup(subprocess.run, ["umount", mount])


if __name__ == "__main__":
    unittest.main()
