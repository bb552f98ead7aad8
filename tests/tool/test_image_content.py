# SPDX-License-Identifier: GPL-3.0-or-later
"""One image of a hostile tree, read back by independent readers (libarchive's bsdtar and pycdlib)."""

import hashlib
import os
import random
import re
import resource
import shutil
import stat
import subprocess
import unittest

from image_tool_support import digest, make_hybrid, open_iso, scratch_dir, write_file

HUGE = (4 << 30) + 1234  # stored whole only across several extents
MOST_FOLDERS = 65535  # a path table numbers its parents in 16 bits
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
    for target, link in (("Readme.txt", "link"), ("../../Readme.txt", "level 1/level 2/up two"), ("gone", "dangling")):
        os.symlink(target, os.path.join(root, link))
    for name, mode in (("sizes/2047", 0o640), ("-rf", 0o755), ("empty folder", 0o700)):
        os.chmod(os.path.join(root, name), mode)
    for name in ("Readme.txt", "empty folder"):
        os.utime(os.path.join(root, name), (981172800,) * 2)  # 2001-02-03


def stamp(date):
    return date and (date.years_since_1900, date.month, date.day_of_month, date.hour, date.minute, date.second,
                     date.gmtoffset)


def described(test, image):
    """Every entry of the image's three trees: name, size and date, and Rock Ridge's mode, links, owner, times and
    link target. The root's times, which a folder holding the item has of its own, are left out."""
    iso = open_iso(test, image)
    entries = {"volume ids": (iso.pvd.volume_identifier, iso.joliet_vd.volume_identifier)}
    for tree in ("iso_path", "joliet_path", "rr_path"):
        for folder, dirs, files in iso.walk(**{tree: "/"}):
            for path in [folder] + [os.path.join(folder, name) for name in dirs + files]:
                record, root = iso.get_record(**{tree: path}), path == "/"
                rr = (record.children[0] if root else record).rock_ridge  # the root's are its "." entry's
                px = rr and (rr.dr_entries.px_record or rr.ce_entries.px_record)
                tf = rr and (rr.dr_entries.tf_record or rr.ce_entries.tf_record)
                entries[tree, path] = (
                    record.get_data_length(), None if root else stamp(record.date),
                    px and (px.posix_file_mode, px.posix_file_links, px.posix_user_id, px.posix_group_id),
                    tf and not root and [stamp(getattr(tf, field)) for field in tf.FIELDNAMES],
                    rr and rr.is_symlink() and rr.symlink_path())
    return entries


def read_tree(root):
    """{relative path: (mode, link target or data digest, mtime but a link's, which extracting resets)} below root."""
    entries = {}
    for path in [os.path.join(folder, name) for folder, dirs, files in os.walk(root) for name in dirs + files]:
        st, link = os.lstat(path), os.path.islink(path)
        data = os.readlink(path) if link else digest(path) if stat.S_ISREG(st.st_mode) else None
        entries[os.path.relpath(path, root)] = (st.st_mode, data, None if link else int(st.st_mtime))
    return entries


class HostileTreeTest(unittest.TestCase):
    RAMFS = False  # the image on ramfs, which refuses direct writes, so it goes through the page cache

    @classmethod
    def setUpClass(cls):
        cls.addCleanup = cls.addClassCleanup
        out = work = scratch_dir(cls)
        cls.huge = not cls.RAMFS and shutil.disk_usage(work).free > 2 * HUGE
        if cls.RAMFS:
            if os.geteuid() != 0:
                raise unittest.SkipTest("needs root to mount ramfs")
            os.mkdir(out := os.path.join(work, "ramfs"))
            subprocess.run(["mount", "-t", "ramfs", "ramfs", out], check=True)
            cls.addClassCleanup(subprocess.run, ["umount", out])
        # A bundle, alone in a folder named as an export names the folder it would stage it in.
        cls.source, cls.image = os.path.join(work, "Hostile", "Hostile.app"), os.path.join(out, "out.iso")
        build_hostile_tree(cls.source, cls.huge)
        cls.entries = read_tree(cls.source)
        # Few descriptors: a run holding one per folder level cannot reach the bottom of the deep folder.
        result = make_hybrid(cls.image, cls.source,
                             preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_NOFILE, (64, 64)))
        progress = "".join(f"{10 * i}%\n" for i in range(1, 11))
        assert (result.returncode, result.stdout, result.stderr) == (0, progress, ""), result.stderr
        cls.iso = open_iso(cls, cls.image)

    def test_bsdtar_extracts_the_same_tree(self):
        target = scratch_dir(self)
        subprocess.run(["bsdtar", "-xpf", self.image, "-C", target, "--exclude", "huge.bin"], check=True)
        self.assertEqual(read_tree(target), {rel: e for rel, e in self.entries.items() if rel != "huge.bin"})

    def test_huge_file_survives_byte_for_byte(self):
        if not self.huge:
            self.skipTest(f"needs {2 * HUGE} free bytes on a disk")
        with subprocess.Popen(["bsdtar", "-xOf", self.image, "huge.bin"], stdout=subprocess.PIPE) as proc:
            self.assertEqual(hashlib.file_digest(proc.stdout, "sha256").hexdigest(), self.entries["huge.bin"][1])

    def test_joliet_keeps_every_file_and_folder(self):
        # Links have no Joliet form; the rest stays, shortened perhaps to libisofs's 103 UTF-16 units (dot excluded).
        units = lambda name: len(name.encode("utf-16-be")) // 2 - ("." in name.lstrip("."))
        joliet = [n for _, dirs, files in self.iso.walk(joliet_path="/") for n in dirs + files]
        kept = [os.path.basename(rel) for rel, (mode, *_) in self.entries.items() if not stat.S_ISLNK(mode)]
        legal = {n for n in kept if units(n) <= 103 and not set('*/:;?\\') & set(n)}
        self.assertEqual((len(joliet), legal - set(joliet), max(map(units, joliet)) <= 103), (len(kept), set(), True))

    def test_an_item_in_place_is_imaged_as_a_folder_holding_only_it(self):
        # As the app images an item where it lies (-item), against the image of a folder holding it alone, named by
        # the item's base name: the hostile bundle (where it has no huge file to write twice more), a file, a folder.
        work = scratch_dir(self)
        notes, photos = os.path.join(work, "notes.tar", "notes.tar.gz"), os.path.join(work, "Photos", "Photos")
        write_file(notes, b"notes\n")
        write_file(os.path.join(photos, "a.jpg"), b"jpg")
        os.symlink("a.jpg", os.path.join(photos, "b.jpg"))
        os.chmod(photos, 0o750)
        for item in [notes, photos] + ([] if self.huge else [self.source]):
            # Read once first: a link's first read moves its access time (relatime), which the later image would show.
            read_tree(os.path.dirname(item))
            with self.subTest(item=os.path.basename(item)):
                images = {form: os.path.join(work, f"{form}.iso") for form in ("staged", "in place")}
                for form, source, extra in (("staged", os.path.dirname(item), []), ("in place", item, ["-item"])):
                    result = make_hybrid(images[form], source, "-quiet", "-ov", *extra,
                                         preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_NOFILE, (64, 64)))
                    self.assertEqual((result.returncode, result.stderr), (0, ""))
                self.assertEqual(described(self, images["in place"]), described(self, images["staged"]))


class HostileTreeThroughPageCacheTest(HostileTreeTest):
    RAMFS = True


def volume_descriptors(f):
    """The primary volume descriptor and the Joliet one."""
    found, sector = [], 16
    while (f.seek(sector * 2048), descriptor := f.read(2048))[1][0] != 255:
        found += [descriptor] if descriptor[0] in (1, 2) else []
        sector += 1
    return found


def folders_by_path_table(f, descriptor):
    """The L and the M path table's records: (extent, its parent's extent)."""
    size = int.from_bytes(descriptor[132:136], "little")
    tables = []
    for offset, order in ((140, "little"), (148, "big")):
        f.seek(int.from_bytes(descriptor[offset:offset + 4], order) * 2048)
        data, extents, parents, at = f.read(size), [], [], 0
        while at < size:
            extents.append(int.from_bytes(data[at + 2:at + 6], order))
            parents.append(int.from_bytes(data[at + 6:at + 8], order))
            at += 8 + data[at] + (data[at] & 1)
        tables.append([(extent, extents[parent - 1]) for extent, parent in zip(extents, parents)])
    return tables


def folders_by_directory_records(f, descriptor):
    """Each folder's extent, and its parent's, found through the directory records from the root."""
    root = int.from_bytes(descriptor[158:162], "little")
    parents, waiting = {root: root}, [root]
    while waiting:
        f.seek((extent := waiting.pop()) * 2048)
        size = int.from_bytes(f.read(34)[10:14], "little")  # its "." record says its size
        f.seek(extent * 2048)
        data = f.read(size)
        at = 0
        while at < len(data):
            if (length := data[at]) == 0:
                at = (at // 2048 + 1) * 2048
                continue
            child = int.from_bytes(data[at + 2:at + 6], "little")
            itself_or_parent = data[at + 32] == 1 and data[at + 33] in (0, 1)
            if data[at + 25] & 2 and not itself_or_parent:
                parents[child] = extent
                waiting.append(child)
            at += length
    return parents


class ManyFoldersTest(unittest.TestCase):
    """As many folders as an image can number, the root among them: the last numbered top folder holds one more, so
    the last record's parent has the highest number a path table gives a parent."""

    @classmethod
    def setUpClass(cls):
        cls.addCleanup = cls.addClassCleanup
        # Folders are quick to make in memory, slow on some disks.
        cls.source = scratch_dir(cls, "/dev/shm" if os.access("/dev/shm", os.W_OK) else None)
        for top in range(MOST_FOLDERS - 2):
            os.mkdir(os.path.join(cls.source, f"{top:05}"))
        os.mkdir(os.path.join(cls.source, f"{top:05}", "inner"))
        cls.out = scratch_dir(cls)

    def test_path_tables_number_every_folders_parent(self):
        image = os.path.join(self.out, "many.iso")
        result = make_hybrid(image, self.source, "-quiet")
        self.assertEqual((result.returncode, result.stderr), (0, ""))
        with open(image, "rb") as f:
            for descriptor in volume_descriptors(f):
                by_records = folders_by_directory_records(f, descriptor)
                self.assertEqual(len(by_records), MOST_FOLDERS)
                for table in folders_by_path_table(f, descriptor):
                    self.assertEqual(dict(table), by_records)
        os.remove(image)

    def test_one_folder_more_is_refused_before_writing(self):
        # A folder more, or the image's own root above the tree as an item: either way one too many.
        extra = os.path.join(self.source, "00000", "one more")
        for more, option in ((True, []), (False, ["-item"])):
            with self.subTest(option=option):
                if more:
                    os.mkdir(extra)
                try:
                    result = make_hybrid(os.path.join(self.out, "many.iso"), self.source, *option)
                finally:
                    if more:
                        os.rmdir(extra)
                self.assertEqual((result.returncode, os.listdir(self.out), result.stdout), (1, [], ""))
                self.assertRegex(result.stderr, rf'^velbrook-hdiutil: makehybrid failed - "{re.escape(self.source)}" '
                                 r"has 65,?536 folders; an ISO 9660 image holds at most 65,?535 \[too-many-folders "
                                 r"path=\S+ needed=65536 limit=65535\]\n$")


if __name__ == "__main__":
    unittest.main()
