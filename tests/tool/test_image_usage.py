# SPDX-License-Identifier: GPL-3.0-or-later
"""The command line: help, usage errors that write nothing, awkward paths, volume names."""

import os
import subprocess
import unittest

from image_tool_support import TOOL, make_hybrid, open_iso, scratch_dir, write_file


def run_tool(*args, **kwargs):
    return subprocess.run([TOOL, *args], capture_output=True, text=True, timeout=60, **kwargs)


class UsageTest(unittest.TestCase):
    def setUp(self):
        self.work = scratch_dir(self)
        self.source = os.path.join(self.work, "source")
        write_file(os.path.join(self.source, "a.txt"), b"a\n")

    def test_help_goes_to_stdout(self):
        for args in (["help"], ["-help"], ["--help"], ["makehybrid", "-help"]):
            with self.subTest(args=args):
                result = run_tool(*args)
                self.assertEqual((result.returncode, result.stderr), (0, ""))
                self.assertIn("usage: velbrook-hdiutil makehybrid", result.stdout)

    def test_usage_errors_write_nothing(self):
        image, source = os.path.join(self.work, "disc.iso"), self.source
        cases = {
            "no verb": [],
            "unknown verb": ["burn", "-o", image, source, "-iso"],
            "unknown option": ["makehybrid", "-o", image, source, "-iso", "-udf"],
            "missing -o value": ["makehybrid", source, "-iso", "-o"],
            "empty -o value": ["makehybrid", "-o", "", source, "-iso"],
            "-o twice": ["makehybrid", "-o", image, "-o", image, source, "-iso"],
            "-o names a folder": ["makehybrid", "-o", self.work + "/", source, "-iso"],
            "joliet without iso": ["makehybrid", "-o", image, source, "-joliet"],
            "no -o": ["makehybrid", source, "-iso", "-joliet"],
            "no source": ["makehybrid", "-o", image, "-iso", "-joliet"],
            "two sources": ["makehybrid", "-o", image, source, source, "-iso"],
            "option after --": ["makehybrid", "-o", image, "--", source, "-iso"],
            "source is a file": ["makehybrid", "-o", image, os.path.join(source, "a.txt"), "-iso", "-joliet"],
            "source is missing": ["makehybrid", "-o", image, source + "-gone", "-iso", "-joliet"],
        }
        for name, args in cases.items():
            with self.subTest(case=name):
                out = run_tool(*args)
                self.assertEqual((out.returncode, out.stdout, out.stderr.count("\n")), (2, "", 1), out.stderr)
                self.assertEqual(sorted(os.listdir(self.work)), ["source"])

    def test_dash_paths_are_paths_where_a_path_is_expected(self):
        os.rename(self.source, os.path.join(self.work, "-source"))
        result = run_tool("makehybrid", "-iso", "-joliet", "-quiet", "-o", "-disc.iso", "--", "-source", cwd=self.work)
        self.assertEqual((result.returncode, result.stdout, result.stderr), (0, "", ""))
        listing = subprocess.run(["bsdtar", "-tf", "./-disc.iso"], cwd=self.work, capture_output=True, text=True).stdout
        self.assertEqual(sorted(listing.split()), [".", "./a.txt"])

    def test_volume_names(self):
        cases = [
            ("from the folder", "My Stuff ✓", [], ("MY_STUFF__", "My Stuff ✓")),
            # A name of its own beats the default option, which beats the folder's name.
            ("Joliet name", "f", ["-default-volume-name", "Back up", "-joliet-volume-name", "J"], ("BACK_UP", "J")),
            ("ISO name", "f", ["-default-volume-name", "Back up", "-iso-volume-name", "i"], ("I", "Back up")),
            ("long names cut", "a" * 40, [], ("A" * 32, "a" * 16)),
            ("no half emoji", "abcdefghijklmno😀", [], ("ABCDEFGHIJKLMNO_", "abcdefghijklmno")),
            ("whole emoji", "abcdefghijklmn😀", [], ("ABCDEFGHIJKLMN_", "abcdefghijklmn😀")),
            # Not UTF-8: a lone byte, an encoded surrogate and a cut-off sequence, each replaced byte by byte.
            ("malformed UTF-8", "x", ["-iso-volume-name", b"\xff\xfe ok", "-joliet-volume-name",
                                      b"a:b*\xed\xa0\x80\xc3"], ("___OK", "a_b_" + "\ufffd" * 4)),
        ]
        for label, folder, options, expected in cases:
            with self.subTest(case=label):
                source = os.path.join(scratch_dir(self), folder)
                write_file(os.path.join(source, "a.txt"), b"a\n")
                result = make_hybrid(source + ".iso", source, "-quiet", *options)
                self.assertEqual(result.returncode, 0, result.stderr)
                iso = open_iso(self, source + ".iso")
                self.assertEqual((iso.pvd.volume_identifier.decode("ascii").rstrip(" "),
                                  iso.joliet_vd.volume_identifier.decode("utf-16-be").rstrip(" ")), expected)


if __name__ == "__main__":
    unittest.main()
