# SPDX-License-Identifier: GPL-3.0-or-later
"""One image of a hostile tree, read back by independent readers (libarchive's bsdtar and pycdlib)."""

import hashlib
import os
import random
import resource
import shutil
import stat
import subprocess
import unittest

from image_tool_support import digest, make_hybrid, open_iso, scratch_dir, write_file

OLD_MTIME = 981172800  # 2001-02-03
HUGE = (4 << 30) + 1234  # stored whole only across several extents
DEPTH = 300  # deeper than the descriptor limit the run gets, shallower than bsdtar can read


def build_hostile_tree(root, huge):
    rng = random.Random(7)
    files = {
        "résumé café.txt": "é".encode() * 3, "日本語のファイル名.txt": "漢字".encode() * 700, "🎉 party 😀.md": b"emoji\n",
        "zero": b"", ".hidden folder/inner": b"inner\n", "-rf": b"dash\n", "colon:star*what?.txt": b"not Joliet\n",
        "m" * 96 + ".txt": b"fits Joliet's long names only\n", "L" * 116 + ".txt": b"too long for Joliet\n",
        "n" * 251 + ".dat": b"maximum\n", "it's \"quoted\" & spaced.txt": b"quotes\n",
        **{name: name.encode() for name in ("Readme.txt", "README.txt", "readme.TXT")},
        **{f"sizes/{size}": rng.randbytes(size) for size in (2047, 2049, (1 << 20) + 3)},
        os.path.join(*[f"level {i}" for i in range(1, 13)], "bottom.bin"): rng.randbytes(3000),
        os.path.join("deep", *["d"] * DEPTH, "bottom.txt"): b"bottom\n",
    }
    for name, data in files.items():
        write_file(os.path.join(root, name), data)
    if huge:
        write_file(os.path.join(root, "huge.bin"), {0: b"start", (4 << 30) - 3: b"across the 4 GiB line",
                                                    (2 << 30) + 77: rng.randbytes(5000), HUGE - 4: b"end!"}, HUGE)
    os.mkdir(os.path.join(root, "empty folder"))
    for target, link in (("Readme.txt", "link to readme"), ("../../Readme.txt", "level 1/level 2/up two"),
                         ("does/not/exist", "dangling")):
        os.symlink(target, os.path.join(root, link))
    for name, mode in (("sizes/2047", 0o640), ("-rf", 0o755), ("empty folder", 0o700)):
        os.chmod(os.path.join(root, name), mode)
    for name in ("Readme.txt", "empty folder"):
        os.utime(os.path.join(root, name), (OLD_MTIME, OLD_MTIME))


def read_tree(root):
    """{relative path: (mode, link target or data digest, mtime)} below root; without recursion, for deep trees."""
    entries, folders = {}, [root]
    while folders:
        for entry in os.scandir(folders.pop()):
            st, link = entry.stat(follow_symlinks=False), entry.is_symlink()
            data = os.readlink(entry.path) if link else digest(entry.path) if entry.is_file() else None
            # A link's own time is left out: extracting sets it to now.
            entries[os.path.relpath(entry.path, root)] = (st.st_mode, data, None if link else int(st.st_mtime))
            if entry.is_dir(follow_symlinks=False):
                folders.append(entry.path)
    return entries


def joliet_units(name):
    """Length as libisofs limits Joliet names: 103 UTF-16 units, not counting the dot before an extension."""
    return len(name.encode("utf-16-be")) // 2 - (1 if "." in name.lstrip(".") else 0)


class HostileTreeTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.addCleanup = cls.addClassCleanup
        work = scratch_dir(cls)
        cls.huge = shutil.disk_usage(work).free > 2 * HUGE
        cls.source, cls.image = os.path.join(work, "source"), os.path.join(work, "out.iso")
        build_hostile_tree(cls.source, cls.huge)
        cls.entries = read_tree(cls.source)
        # Few descriptors: a run holding one per folder level cannot reach the bottom of the deep folder.
        cls.result = make_hybrid(cls.image, cls.source,
                                 preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_NOFILE, (64, 64)))
        assert cls.result.returncode == 0, cls.result.stderr
        cls.iso = open_iso(cls, cls.image)

    def test_progress_is_ten_steps(self):
        self.assertEqual((self.result.stdout, self.result.stderr), ("".join(f"{10 * i}%\n" for i in range(1, 11)), ""))

    def test_bsdtar_extracts_the_same_tree(self):
        target = scratch_dir(self)
        subprocess.run(["bsdtar", "-xpf", self.image, "-C", target, "--exclude", "huge.bin"], check=True)
        self.assertEqual(read_tree(target), {rel: e for rel, e in self.entries.items() if rel != "huge.bin"})

    def test_huge_file_survives_byte_for_byte(self):
        if not self.huge:
            self.skipTest(f"needs {2 * HUGE} free bytes")
        with subprocess.Popen(["bsdtar", "-xOf", self.image, "huge.bin"], stdout=subprocess.PIPE) as proc:
            self.assertEqual(hashlib.file_digest(proc.stdout, "sha256").hexdigest(), self.entries["huge.bin"][1])
        self.assertEqual(proc.returncode, 0)

    def test_pycdlib_reads_the_same_rock_ridge_tree(self):
        # Names and modes; bsdtar has read the same records' data and link targets.
        paths = [os.path.join(folder, n) for folder, dirs, files in self.iso.walk(rr_path="/") for n in dirs + files]
        seen = {path[1:]: self.iso.get_record(rr_path=path).rock_ridge.get_file_mode() for path in paths}
        self.assertEqual(seen, {rel: mode for rel, (mode, *_) in self.entries.items()})

    def test_joliet_keeps_every_file_and_folder(self):
        for folder in [""] + [rel for rel, (mode, *_) in self.entries.items() if stat.S_ISDIR(mode)]:
            # Links have no Joliet form; everything else must be there, shortened perhaps, never dropped.
            expected = [n for n in os.listdir(os.path.join(self.source, folder))
                        if not stat.S_ISLNK(self.entries[os.path.join(folder, n)][0])]
            joliet = {r.file_identifier().decode("utf-16-be") for r in self.iso.list_children(joliet_path="/" + folder)
                      if not (r.is_dot() or r.is_dotdot())}
            with self.subTest(folder=folder):
                self.assertEqual(len(joliet), len(expected))
                self.assertEqual({n for n in expected if joliet_units(n) <= 103 and not set('*/:;?\\') & set(n)}
                                 - joliet, set())
                self.assertLessEqual(max(map(joliet_units, joliet), default=0), 103)


if __name__ == "__main__":
    unittest.main()
