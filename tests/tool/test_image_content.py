# SPDX-License-Identifier: GPL-3.0-or-later
"""Images of hostile trees, read back by independent readers (libarchive's bsdtar and pycdlib)."""

import os
import random
import resource
import stat
import subprocess
import sys
import unittest

from image_tool_support import (IsoReader, digest_file, extract_with_bsdtar, free_bytes, make_hybrid, make_sparse,
                                scratch_dir, source_entries, streams_equal, write_file)

LONG_NAME = "L" * 116 + ".txt"
MAX_NAME = "n" * 251 + ".dat"
JOLIET_FORBIDDEN = set('*/:;?\\')
OLD_MTIME = 981172800  # 2001-02-03


def build_hostile_tree(root):
    rng = random.Random(7)
    files = {
        "résumé café.txt": "é".encode() * 3,
        "日本語のファイル名.txt": "漢字".encode() * 700,
        "🎉 party 😀.md": b"emoji\n",
        LONG_NAME: b"long name\n",
        MAX_NAME: b"maximum\n",
        "Readme.txt": b"first\n",
        "README.txt": b"second\n",
        "readme.TXT": b"third\n",
        "zero": b"",
        ".hidden": b"hidden\n",
        ".hidden folder/inner": b"inner\n",
        "it's \"quoted\" & spaced.txt": b"quotes\n",
        "-rf": b"dash\n",
        "--help": b"double dash\n",
        "colon:star*what?.txt": b"joliet forbids these\n",
        "no extension": b"no dot\n",
        "sizes/one": rng.randbytes(1),
        "sizes/2047": rng.randbytes(2047),
        "sizes/2049": rng.randbytes(2049),
        "sizes/70001": rng.randbytes(70001),
        "sizes/1 MiB + 3": rng.randbytes((1 << 20) + 3),
    }
    deep = os.path.join(*[f"level {i}" for i in range(1, 13)])
    files[os.path.join(deep, "bottom.bin")] = rng.randbytes(3000)
    for name, data in files.items():
        write_file(os.path.join(root, name), data)
    os.mkdir(os.path.join(root, "empty folder"))
    os.symlink("Readme.txt", os.path.join(root, "link to readme"))
    os.symlink("../../Readme.txt", os.path.join(root, "level 1", "level 2", "up two"))
    os.symlink("does/not/exist", os.path.join(root, "dangling"))
    os.chmod(os.path.join(root, "sizes", "one"), 0o640)
    os.chmod(os.path.join(root, "-rf"), 0o755)
    os.chmod(os.path.join(root, "empty folder"), 0o700)
    os.utime(os.path.join(root, "Readme.txt"), (OLD_MTIME, OLD_MTIME))
    os.utime(os.path.join(root, "empty folder"), (OLD_MTIME, OLD_MTIME))


def utf16_units(name):
    return len(name.encode("utf-16-be")) // 2


def joliet_units(name):
    """Length as libisofs limits Joliet names: 103 units, not counting the dot before an extension."""
    return utf16_units(name) - (1 if "." in name.lstrip(".") else 0)


class HostileTreeTest(unittest.TestCase):
    """One image of a tree full of awkward names, sizes, links and folders."""

    @classmethod
    def setUpClass(cls):
        cls.dir = scratch_dir(cls)
        cls.source = os.path.join(cls.dir, "Hostile Tree")
        os.mkdir(cls.source)
        build_hostile_tree(cls.source)
        cls.image = os.path.join(cls.dir, "out.iso")
        cls.result = make_hybrid(cls.image, cls.source)
        cls.entries = source_entries(cls.source)

    @classmethod
    def addCleanup(cls, function, *args):
        cls.addClassCleanup(function, *args)

    def setUp(self):
        self.assertEqual(self.result.returncode, 0, self.result.stderr)

    def test_run_reports_ten_steps_and_leaves_only_the_image(self):
        self.assertEqual(self.result.stdout.splitlines(), [f"{10 * i}%" for i in range(1, 11)])
        self.assertEqual(self.result.stderr, "")
        self.assertEqual(sorted(os.listdir(self.dir)), ["Hostile Tree", "out.iso"])
        self.assertEqual(os.path.getsize(self.image) % 2048, 0)

    def test_bsdtar_extracts_the_same_tree(self):
        target = os.path.join(scratch_dir(self), "x")
        extract_with_bsdtar(self.image, target)
        extracted = source_entries(target)
        self.assertEqual(sorted(extracted), sorted(self.entries))
        for rel, st in self.entries.items():
            with self.subTest(path=rel):
                got = extracted[rel]
                self.assertEqual(stat.S_IFMT(got.st_mode), stat.S_IFMT(st.st_mode))
                self.assertEqual(stat.S_IMODE(got.st_mode), stat.S_IMODE(st.st_mode))
                if stat.S_ISLNK(st.st_mode):
                    self.assertEqual(os.readlink(os.path.join(target, rel)), os.readlink(os.path.join(self.source, rel)))
                    continue
                if stat.S_ISREG(st.st_mode):
                    self.assertEqual(got.st_size, st.st_size)
                    self.assertEqual(digest_file(os.path.join(target, rel)), digest_file(os.path.join(self.source, rel)))
                self.assertEqual(int(got.st_mtime), int(st.st_mtime))

    def test_pycdlib_reads_the_same_rock_ridge_tree(self):
        reader = IsoReader(self, self.image)
        seen = set()
        for folder, dirs, files in reader.walk("rr"):
            rel_folder = os.path.relpath(folder, "/")
            for name in dirs + files:
                rel = os.path.normpath(os.path.join(rel_folder, name))
                seen.add(rel)
                st = self.entries.get(rel)
                self.assertIsNotNone(st, f"unexpected entry {rel!r}")
                record = reader.iso.get_record(rr_path="/" + rel)
                self.assertEqual(stat.S_IMODE(record.rock_ridge.get_file_mode()), stat.S_IMODE(st.st_mode), rel)
                if stat.S_ISLNK(st.st_mode):
                    self.assertTrue(record.rock_ridge.is_symlink(), rel)
                    self.assertEqual(record.rock_ridge.symlink_path().decode(),
                                     os.readlink(os.path.join(self.source, rel)))
                elif stat.S_ISREG(st.st_mode):
                    self.assertEqual(reader.content_digest("rr", "/" + rel),
                                     digest_file(os.path.join(self.source, rel)), rel)
                else:
                    self.assertTrue(record.is_dir(), rel)
        self.assertEqual(seen, set(self.entries))

    def test_joliet_keeps_every_file_and_folder(self):
        reader = IsoReader(self, self.image)
        for folder, dirs, files in os.walk(self.source):
            rel = os.path.relpath(folder, self.source)
            joliet_folder = "/" if rel == "." else "/" + rel
            with self.subTest(folder=rel):
                expected = [n for n in dirs + files if not os.path.islink(os.path.join(folder, n))]
                joliet = reader.names("joliet", joliet_folder)
                # Links have no Joliet form; everything else must be there, shortened perhaps, never dropped.
                self.assertEqual(len(joliet), len(expected))
                for name in expected:
                    if utf16_units(name) <= 103 and not JOLIET_FORBIDDEN & set(name):
                        self.assertIn(name, joliet)
                for name in joliet:
                    self.assertLessEqual(joliet_units(name), 103, name)
                for name in files:
                    if name in joliet:
                        self.assertEqual(reader.content_digest("joliet", joliet_folder.rstrip("/") + "/" + name),
                                         digest_file(os.path.join(folder, name)), name)

    def test_joliet_shortens_a_long_name_keeping_its_extension(self):
        reader = IsoReader(self, self.image)
        joliet = reader.names("joliet", "/")
        shortened = [n for n in joliet if n.startswith("LLLL")]
        self.assertEqual(len(shortened), 1, sorted(joliet))
        self.assertTrue(shortened[0].endswith(".txt"), shortened[0])
        self.assertEqual(joliet_units(shortened[0]), 103, shortened[0])

    def test_volume_names_come_from_the_source_folder(self):
        reader = IsoReader(self, self.image)
        self.assertEqual(reader.iso.pvd.volume_identifier.decode().rstrip(), "HOSTILE_TREE")
        self.assertEqual(reader.iso.joliet_vd.volume_identifier.decode("utf-16-be").rstrip(), "Hostile Tree")


class AwkwardPlacesTest(unittest.TestCase):
    def test_image_inside_source_leaves_itself_out(self):
        source = scratch_dir(self)
        write_file(os.path.join(source, "a.txt"), b"a\n")
        image = os.path.join(source, "disc.iso")
        # The second run replaces an image that is itself inside SOURCE.
        for options in ([], ["-ov"]):
            with self.subTest(options=options):
                result = make_hybrid(image, source, "-quiet", *options)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(sorted(os.listdir(source)), ["a.txt", "disc.iso"])
                self.assertEqual(list(IsoReader(self, image).names("rr", "/")), ["a.txt"])

    def test_tree_deeper_than_the_descriptor_limit(self):
        work = scratch_dir(self)
        source = folder = os.path.join(work, "deep")
        # Python's own removal recurses once per level and gives up long before the bottom.
        self.addCleanup(subprocess.run, ["rm", "-rf", source])
        os.mkdir(source)
        for _ in range(1100):
            folder = os.path.join(folder, "d")
            os.mkdir(folder)
        write_file(os.path.join(folder, "bottom.txt"), b"bottom\n")
        image = os.path.join(work, "deep.iso")
        result = make_hybrid(image, source, "-quiet",
                             preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_NOFILE, (256, 1024)))
        self.assertEqual(result.returncode, 0, result.stderr)
        with IsoReader(self, image).iso.open_file_from_iso(rr_path="/" + "d/" * 1100 + "bottom.txt") as f:
            self.assertEqual(f.read(), b"bottom\n")


class LargeFileTest(unittest.TestCase):
    """A file over 4 GiB is stored whole, across several extents. Sparse, so the source is cheap."""

    SIZE = (4 << 30) + 1234

    def test_file_over_4_gib_survives_byte_for_byte(self):
        work = scratch_dir(self)
        if free_bytes(work) < self.SIZE + (1 << 30):
            self.skipTest(f"needs {self.SIZE + (1 << 30)} free bytes in {work}")
        source = os.path.join(work, "big")
        os.mkdir(source)
        big = os.path.join(source, "huge.bin")
        make_sparse(big, self.SIZE, {0: b"start", (4 << 30) - 3: b"across the 4 GiB line",
                                     (2 << 30) + 77: os.urandom(5000), self.SIZE - 4: b"end!"})
        write_file(os.path.join(source, "after.txt"), b"a file stored after the big one\n")
        image = os.path.join(work, "big.iso")
        result = make_hybrid(image, source, "-quiet")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout, "")
        self.assertGreater(os.path.getsize(image), self.SIZE)

        listing = subprocess.run(["bsdtar", "-tvf", image], capture_output=True, text=True, check=True).stdout
        self.assertRegex(listing, rf"\s{self.SIZE}\s.*huge\.bin")
        with open(big, "rb") as expected, subprocess.Popen(["bsdtar", "-xOf", image, "huge.bin"],
                                                           stdout=subprocess.PIPE) as proc:
            self.assertTrue(streams_equal(expected, proc.stdout), "huge.bin differs in the image")
        self.assertEqual(proc.returncode, 0)

        # pycdlib cannot follow multi-extent files, but it can tell whether what follows one is in place.
        reader = IsoReader(self, image)
        for facade in ("rr", "joliet"):
            with reader.iso.open_file_from_iso(**{f"{facade}_path": "/after.txt"}) as f:
                self.assertEqual(f.read(), b"a file stored after the big one\n")


if __name__ == "__main__":
    unittest.main()
