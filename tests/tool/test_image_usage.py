# SPDX-License-Identifier: GPL-3.0-or-later
"""The command line: help, usage errors that write nothing, awkward paths, volume names."""

import os
import unittest

from image_tool_support import IsoReader, make_hybrid, run_tool, scratch_dir, write_file


class UsageTest(unittest.TestCase):
    def setUp(self):
        self.work = scratch_dir(self)
        self.source = os.path.join(self.work, "source")
        write_file(os.path.join(self.source, "a.txt"), b"a\n")
        self.image = os.path.join(self.work, "disc.iso")

    def test_help_goes_to_stdout(self):
        for args in (["help"], ["-help"], ["--help"], ["makehybrid", "-help"]):
            with self.subTest(args=args):
                result = run_tool(*args)
                self.assertEqual(result.returncode, 0)
                self.assertIn("usage: velbrook-hdiutil makehybrid", result.stdout)
                self.assertEqual(result.stderr, "")

    def test_usage_errors_write_nothing(self):
        a_file = os.path.join(self.source, "a.txt")
        cases = {
            "no verb": [],
            "unknown verb": ["burn", "-o", self.image, self.source, "-iso"],
            "unknown option": ["makehybrid", "-o", self.image, self.source, "-iso", "-udf"],
            "missing -o value": ["makehybrid", self.source, "-iso", "-o"],
            "empty -o value": ["makehybrid", "-o", "", self.source, "-iso"],
            "-o twice": ["makehybrid", "-o", self.image, "-o", self.image, self.source, "-iso"],
            "-o names a folder": ["makehybrid", "-o", self.work + "/", self.source, "-iso"],
            "missing volume name": ["makehybrid", "-o", self.image, self.source, "-iso", "-default-volume-name"],
            "joliet without iso": ["makehybrid", "-o", self.image, self.source, "-joliet"],
            "no -o": ["makehybrid", self.source, "-iso", "-joliet"],
            "no source": ["makehybrid", "-o", self.image, "-iso", "-joliet"],
            "two sources": ["makehybrid", "-o", self.image, self.source, self.source, "-iso"],
            "option after --": ["makehybrid", "-o", self.image, "--", self.source, "-iso"],
            "source is a file": ["makehybrid", "-o", self.image, a_file, "-iso", "-joliet"],
            "source is missing": ["makehybrid", "-o", self.image, self.source + "-gone", "-iso", "-joliet"],
        }
        before = sorted(os.listdir(self.work))
        for name, args in cases.items():
            with self.subTest(case=name):
                result = run_tool(*args)
                self.assertEqual(result.returncode, 2, result.stderr)
                self.assertEqual(len(result.stderr.splitlines()), 1, result.stderr)
                self.assertEqual(result.stdout, "")
                self.assertEqual(sorted(os.listdir(self.work)), before)

    def test_dash_paths_are_paths_where_a_path_is_expected(self):
        os.rename(self.source, os.path.join(self.work, "-source"))
        result = run_tool("makehybrid", "-iso", "-joliet", "-quiet", "-o", "-disc.iso", "--", "-source", cwd=self.work)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(sorted(os.listdir(self.work)), ["-disc.iso", "-source"])
        reader = IsoReader(self, os.path.join(self.work, "-disc.iso"))
        self.assertEqual(list(reader.names("rr", "/")), ["a.txt"])

    def test_quiet_prints_nothing(self):
        result = make_hybrid(self.image, self.source, "-quiet")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual((result.stdout, result.stderr), ("", ""))


class VolumeNameTest(unittest.TestCase):
    def volume_ids(self, folder_name, *options):
        work = scratch_dir(self)
        source = os.path.join(work, folder_name)
        write_file(os.path.join(source, "a.txt"), b"a\n")
        image = os.path.join(work, "disc.iso")
        result = make_hybrid(image, source, "-quiet", *options)
        self.assertEqual(result.returncode, 0, result.stderr)
        reader = IsoReader(self, image)
        return (reader.iso.pvd.volume_identifier.decode("ascii").rstrip(" "),
                reader.iso.joliet_vd.volume_identifier.decode("utf-16-be").rstrip(" "))

    def test_names(self):
        cases = [
            ("from the folder", "My Stuff ✓", [], ("MY_STUFF__", "My Stuff ✓")),
            ("default option", "folder", ["-default-volume-name", "Backup 2024"], ("BACKUP_2024", "Backup 2024")),
            ("separate names", "folder", ["-default-volume-name", "x", "-iso-volume-name", "iso name",
                                          "-joliet-volume-name", "Joliet"], ("ISO_NAME", "Joliet")),
            ("long names cut", "a" * 40, [], ("A" * 32, "a" * 16)),
            ("no half emoji", "abcdefghijklmno😀", [], ("ABCDEFGHIJKLMNO_", "abcdefghijklmno")),
            ("whole emoji", "abcdefghijklmn😀", [], ("ABCDEFGHIJKLMN_", "abcdefghijklmn😀")),
        ]
        for label, folder, options, expected in cases:
            with self.subTest(case=label):
                self.assertEqual(self.volume_ids(folder, *options), expected)


if __name__ == "__main__":
    unittest.main()
