# SPDX-License-Identifier: GPL-3.0-or-later
"""One image of a hostile tree, read back by independent readers (libarchive's bsdtar and pycdlib)."""

import os
import random
import resource
import stat
import subprocess
import unittest

from image_tool_support import (digest, digest_file, iso_names, make_hybrid, make_sparse, open_iso, scratch_dir,
                                source_entries, write_file)

OLD_MTIME = 981172800  # 2001-02-03
HUGE = (4 << 30) + 1234  # stored whole only across several extents
DEPTH = 300  # deeper than the descriptor limit the run gets, shallower than bsdtar can read


def build_hostile_tree(root, huge):
    rng = random.Random(7)
    files = {
        "résumé café.txt": "é".encode() * 3,
        "日本語のファイル名.txt": "漢字".encode() * 700,
        "🎉 party 😀.md": b"emoji\n",
        "m" * 96 + ".txt": b"fits Joliet's long names only\n",
        "L" * 116 + ".txt": b"too long for Joliet\n",
        "n" * 251 + ".dat": b"maximum\n",
        "Readme.txt": b"first\n",
        "README.txt": b"second\n",
        "readme.TXT": b"third\n",
        "zero": b"",
        ".hidden folder/inner": b"inner\n",
        "it's \"quoted\" & spaced.txt": b"quotes\n",
        "-rf": b"dash\n",
        "colon:star*what?.txt": b"joliet forbids these\n",
        "sizes/2047": rng.randbytes(2047),
        "sizes/2049": rng.randbytes(2049),
        "sizes/1 MiB + 3": rng.randbytes((1 << 20) + 3),
        os.path.join(*[f"level {i}" for i in range(1, 13)], "bottom.bin"): rng.randbytes(3000),
    }
    folder = os.path.join(root, "deep")
    for _ in range(DEPTH):  # one level at a time: os.makedirs recurses once per level
        folder = os.path.join(folder, "d")
        os.makedirs(folder)
    files[os.path.relpath(folder, root) + "/bottom.txt"] = b"bottom\n"
    for name, data in files.items():
        write_file(os.path.join(root, name), data)
    if huge:
        make_sparse(os.path.join(root, "huge.bin"), HUGE, {0: b"start", (4 << 30) - 3: b"across the 4 GiB line",
                                                           (2 << 30) + 77: rng.randbytes(5000), HUGE - 4: b"end!"})
    os.mkdir(os.path.join(root, "empty folder"))
    os.symlink("Readme.txt", os.path.join(root, "link to readme"))
    os.symlink("../../Readme.txt", os.path.join(root, "level 1", "level 2", "up two"))
    os.symlink("does/not/exist", os.path.join(root, "dangling"))
    os.chmod(os.path.join(root, "sizes", "2047"), 0o640)
    os.chmod(os.path.join(root, "-rf"), 0o755)
    os.chmod(os.path.join(root, "empty folder"), 0o700)
    os.utime(os.path.join(root, "Readme.txt"), (OLD_MTIME, OLD_MTIME))
    os.utime(os.path.join(root, "empty folder"), (OLD_MTIME, OLD_MTIME))


def joliet_units(name):
    """Length as libisofs limits Joliet names: 103 UTF-16 units, not counting the dot before an extension."""
    return len(name.encode("utf-16-be")) // 2 - (1 if "." in name.lstrip(".") else 0)


class HostileTreeTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.addCleanup = cls.addClassCleanup
        work = scratch_dir(cls)
        st = os.statvfs(work)
        cls.huge = st.f_bavail * st.f_frsize > 2 * HUGE
        cls.source = os.path.join(work, "source")
        build_hostile_tree(cls.source, cls.huge)
        # IMAGE inside SOURCE, over an earlier image there: neither may end up in the image.
        cls.image = os.path.join(cls.source, "out.iso")
        write_file(cls.image, b"an earlier image\n")
        cls.result = make_hybrid(cls.image, cls.source, "-ov",
                                 preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_NOFILE, (64, 64)))
        cls.entries = source_entries(cls.source)
        del cls.entries["out.iso"]
        assert cls.result.returncode == 0, cls.result.stderr
        cls.iso = open_iso(cls, cls.image)

    def test_progress_is_ten_steps(self):
        self.assertEqual(self.result.stdout.splitlines(), [f"{10 * i}%" for i in range(1, 11)])
        self.assertEqual(self.result.stderr, "")

    def test_bsdtar_extracts_the_same_tree(self):
        target = scratch_dir(self)
        subprocess.run(["bsdtar", "-xpf", self.image, "-C", target, "--exclude", "huge.bin"], check=True)
        extracted = source_entries(target)
        self.assertEqual(sorted(extracted), sorted(self.entries.keys() - {"huge.bin"}))
        for rel, got in extracted.items():
            want, here, there = self.entries[rel], os.path.join(target, rel), os.path.join(self.source, rel)
            with self.subTest(path=rel):
                self.assertEqual(got.st_mode, want.st_mode)
                if stat.S_ISLNK(want.st_mode):
                    self.assertEqual(os.readlink(here), os.readlink(there))
                    continue
                if stat.S_ISREG(want.st_mode):
                    self.assertEqual(digest_file(here), digest_file(there))
                self.assertEqual(int(got.st_mtime), int(want.st_mtime))

    def test_huge_file_survives_byte_for_byte(self):
        if not self.huge:
            self.skipTest(f"needs {2 * HUGE} free bytes")
        with subprocess.Popen(["bsdtar", "-xOf", self.image, "huge.bin"], stdout=subprocess.PIPE) as proc:
            self.assertEqual(digest(proc.stdout), digest_file(os.path.join(self.source, "huge.bin")))
        self.assertEqual(proc.returncode, 0)

    def test_pycdlib_reads_the_same_rock_ridge_tree(self):
        seen = set()
        for folder, dirs, files in self.iso.walk(rr_path="/"):
            for name in dirs + files:
                rel = os.path.relpath(os.path.join(folder, name), "/")
                seen.add(rel)
                want = self.entries[rel]
                record = self.iso.get_record(rr_path="/" + rel)
                self.assertEqual(record.rock_ridge.get_file_mode(), want.st_mode, rel)
                if stat.S_ISLNK(want.st_mode):
                    self.assertEqual(record.rock_ridge.symlink_path().decode(),
                                     os.readlink(os.path.join(self.source, rel)))
                elif stat.S_ISREG(want.st_mode) and rel != "huge.bin":  # pycdlib cannot follow several extents
                    with self.iso.open_file_from_iso(rr_path="/" + rel) as f:
                        self.assertEqual(digest(f), digest_file(os.path.join(self.source, rel)), rel)
        self.assertEqual(seen, set(self.entries))

    def test_joliet_keeps_every_file_and_folder(self):
        for folder in [""] + [rel for rel, st in self.entries.items() if stat.S_ISDIR(st.st_mode)]:
            names = [n for n in os.listdir(os.path.join(self.source, folder)) if n != "out.iso"]
            expected = [n for n in names if not stat.S_ISLNK(self.entries[os.path.join(folder, n)].st_mode)]
            joliet = iso_names(self.iso, "joliet", "/" + folder)
            with self.subTest(folder=folder):
                # Links have no Joliet form; everything else must be there, shortened perhaps, never dropped.
                self.assertEqual(len(joliet), len(expected))
                for name in expected:
                    if joliet_units(name) <= 103 and not set('*/:;?\\') & set(name):
                        self.assertIn(name, joliet)
                for name, record in joliet.items():
                    self.assertLessEqual(joliet_units(name), 103, name)
                    if name in expected and record.is_file() and name != "huge.bin":
                        with self.iso.open_file_from_iso(joliet_path=f"/{folder}/{name}".replace("//", "/")) as f:
                            self.assertEqual(digest(f), digest_file(os.path.join(self.source, folder, name)))


if __name__ == "__main__":
    unittest.main()
