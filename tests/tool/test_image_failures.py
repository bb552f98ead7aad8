# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs that must fail: IMAGE is left as it was, no temporary file stays behind, one line explains why."""

import os
import resource
import shutil
import signal
import subprocess
import tempfile
import unittest

from image_tool_support import TOOL, bsdtar_digest, digest_file, make_hybrid, make_sparse, scratch_dir, write_file

PREFIX = "velbrook-hdiutil: makehybrid failed - "
NOBODY = 65534


def small_tree(root, size=3 << 20):
    write_file(os.path.join(root, "data.bin"), os.urandom(size))
    write_file(os.path.join(root, "sub", "note.txt"), b"note\n")


class FailureCase(unittest.TestCase):
    PARENT = None

    def setUp(self):
        self.work = scratch_dir(self, self.PARENT)
        self.source = os.path.join(self.work, "source")
        self.out = os.path.join(self.work, "out")
        os.mkdir(self.source)
        os.mkdir(self.out)
        self.image = os.path.join(self.out, "disc.iso")

    def assertFailedCleanly(self, returncode, stderr, expected_files=(), reason=None, status=1):
        self.assertEqual(returncode, status, stderr)
        lines = stderr.splitlines()
        self.assertEqual(len(lines), 1, stderr)
        self.assertTrue(lines[0].startswith(PREFIX), lines[0])
        if reason:
            self.assertIn(reason, lines[0])
        self.assertEqual(sorted(os.listdir(self.out)), sorted(expected_files))


class ExistingImageTest(FailureCase):
    def setUp(self):
        super().setUp()
        small_tree(self.source)
        write_file(self.image, b"an earlier image that must survive\n")
        self.before = digest_file(self.image)

    def test_existing_image_is_kept_without_ov(self):
        result = make_hybrid(self.image, self.source)
        self.assertFailedCleanly(result.returncode, result.stderr, ["disc.iso"], "already exists")
        self.assertEqual(result.stdout, "", "no work may start")
        self.assertEqual(digest_file(self.image), self.before)

    def test_ov_replaces_the_existing_image(self):
        result = make_hybrid(self.image, self.source, "-ov", "-quiet")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(os.listdir(self.out), ["disc.iso"])
        self.assertNotEqual(digest_file(self.image), self.before)
        with open(self.image, "rb") as f:
            f.seek(16 * 2048)
            self.assertEqual(f.read(6), b"\x01CD001")


class DestinationTest(FailureCase):
    def test_missing_destination_folder(self):
        small_tree(self.source)
        result = make_hybrid(os.path.join(self.out, "no such folder", "disc.iso"), self.source)
        self.assertFailedCleanly(result.returncode, result.stderr, [], "No such file or directory")

    def test_file_size_limit_mid_write(self):
        small_tree(self.source)

        def limit():
            resource.setrlimit(resource.RLIMIT_FSIZE, (1 << 20, 1 << 20))

        result = make_hybrid(self.image, self.source, preexec_fn=limit)
        self.assertFailedCleanly(result.returncode, result.stderr, [], "file size limit")


@unittest.skipUnless(os.path.exists("/usr/bin/setpriv") or os.geteuid() != 0, "needs setpriv to drop root")
class UnprivilegedTest(FailureCase):
    """Permissions only bite without root, so as root these runs drop to nobody."""

    def run_unprivileged(self, *args):
        command = [TOOL, *args]
        if os.geteuid() == 0:
            # The build folder may sit where nobody cannot reach it; a copy beside the data can always run.
            command[0] = os.path.join(self.work, "velbrook-hdiutil")
            shutil.copy(TOOL, command[0])
            for folder, dirs, files in os.walk(self.work):
                for name in [folder] + [os.path.join(folder, n) for n in dirs + files]:
                    os.lchown(name, NOBODY, NOBODY)
            os.chmod(self.work, 0o755)
            command = ["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups", *command]
        return subprocess.run(command, capture_output=True, text=True, timeout=300)

    def test_unreadable_file_fails_the_run(self):
        small_tree(self.source)
        secret = os.path.join(self.source, "sub", "secret.txt")
        write_file(secret, b"no peeking\n")
        os.chmod(secret, 0)
        result = self.run_unprivileged("makehybrid", "-o", self.image, self.source, "-iso", "-joliet")
        self.assertFailedCleanly(result.returncode, result.stderr, [], "secret.txt")
        self.assertIn("Permission denied", result.stderr)

    def test_unwritable_destination_folder(self):
        small_tree(self.source)
        os.chmod(self.out, 0o555)
        self.addCleanup(os.chmod, self.out, 0o755)
        result = self.run_unprivileged("makehybrid", "-o", self.image, self.source, "-iso", "-joliet")
        self.assertFailedCleanly(result.returncode, result.stderr, [], "Permission denied")


class MidRunTest(FailureCase):
    """Stops a run that is writing a 1 GiB image, right after its first progress line."""

    SIZE = 1 << 30

    def setUp(self):
        super().setUp()
        self.big = os.path.join(self.source, "big.bin")
        make_sparse(self.big, self.SIZE, {0: b"head", self.SIZE - 4: b"tail"})

    def run_and(self, action):
        """Runs the tool and calls `action` right after its first progress line."""
        with subprocess.Popen([TOOL, "makehybrid", "-o", self.image, self.source, "-iso", "-joliet"],
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True) as proc:
            self.pid = proc.pid
            first = proc.stdout.readline()
            self.assertEqual(first, "10%\n")
            action(proc)
            stdout, stderr = proc.communicate(timeout=300)
        return proc.returncode, stdout, stderr

    def interrupt(self, action):
        returncode, stdout, stderr = self.run_and(action)
        self.assertNotIn("100%", stdout, "the run finished before it was stopped")
        return returncode, stderr

    def test_signals_remove_the_partial_image(self):
        for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            with self.subTest(signal=signum.name):
                returncode, stderr = self.interrupt(lambda proc: proc.send_signal(signum))
                self.assertFailedCleanly(returncode, stderr, [], signum.name, status=128 + signum)
        # Nothing can run after SIGKILL, so the partial image must never have had a name.
        returncode, _ = self.interrupt(lambda proc: proc.kill())
        self.assertEqual(returncode, -signal.SIGKILL)
        self.assertEqual(os.listdir(self.out), self.left_after_kill())

    def left_after_kill(self):
        return []

    def test_file_changing_mid_run_fails_the_run(self):
        def rewrite_head():
            with open(self.big, "r+b") as f:
                f.write(b"HEAD")

        for change, action in (("same size, new time", rewrite_head), ("shorter", lambda: os.truncate(self.big, 4096))):
            with self.subTest(change=change):
                returncode, stderr = self.interrupt(lambda proc: action())
                self.assertFailedCleanly(returncode, stderr, [], "changed while imaging")

    def test_renamed_destination_folder_still_gets_the_image(self):
        moved = os.path.join(self.work, "moved")
        returncode, _, stderr = self.run_and(lambda proc: os.rename(self.out, moved))
        self.assertEqual(returncode, 0, stderr)
        self.assertEqual(sorted(os.listdir(self.work)), ["moved", "source"])
        self.assertEqual(os.listdir(moved), ["disc.iso"])
        self.assertEqual(bsdtar_digest(os.path.join(moved, "disc.iso"), "big.bin"), digest_file(self.big))


class NoUnnamedFilesTest(MidRunTest):
    """The same runs on a FUSE file system, which has no unnamed files: the image is written under a name that
    the caller can work out, and removes after a kill."""

    @classmethod
    def setUpClass(cls):
        cls.PARENT = tempfile.mkdtemp(prefix="velbrook-fuse-")
        cls.addClassCleanup(shutil.rmtree, cls.PARENT, True)
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

    # Timestamps here are whole seconds and cached besides, too coarse to see a rewrite made within the run.
    test_file_changing_mid_run_fails_the_run = None

    def left_after_kill(self):
        return [f".disc.iso.{self.pid}.part"]

    def test_image_inside_source_leaves_its_named_file_out(self):
        image = os.path.join(self.source, "disc.iso")
        result = make_hybrid(image, self.source, "-quiet")
        self.assertEqual(result.returncode, 0, result.stderr)
        listing = subprocess.run(["bsdtar", "-tf", image], capture_output=True, text=True, check=True).stdout
        self.assertEqual(sorted(listing.split()), [".", "./big.bin"])


if __name__ == "__main__":
    unittest.main()
