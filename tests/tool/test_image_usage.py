# SPDX-License-Identifier: GPL-3.0-or-later
"""The command line: help, usage errors that write nothing, volume names."""

import os
import unittest

from image_tool_support import make_hybrid, open_iso, run_tool, scratch_dir, write_file


class UsageTest(unittest.TestCase):
    def test_help_goes_to_stdout(self):
        results = [run_tool(*args) for args in (["help"], ["-help"], ["--help"], ["makehybrid", "-help"])]
        usage = (0, "", "usage: velbrook-hdiutil makehybrid")
        self.assertEqual({(r.returncode, r.stderr, r.stdout[:len(usage[2])]) for r in results}, {usage})

    def test_usage_errors_write_nothing(self):
        work = scratch_dir(self)
        image, source = os.path.join(work, "disc.iso"), os.path.join(work, "source")
        write_file(os.path.join(source, "a.txt"), b"a\n")
        os.mkfifo(pipe := os.path.join(source, "pipe"))
        for name, args in {
            "no verb": [], "no -o": ["makehybrid", source, "-iso", "-joliet"],
            "unknown verb": ["burn", "-o", image, source, "-iso"],
            "unknown option": ["makehybrid", "-o", image, source, "-iso", "-udf"],
            "missing -o value": ["makehybrid", source, "-iso", "-o"], "no source": ["makehybrid", "-o", image, "-iso"],
            "empty -o value": ["makehybrid", "-o", "", source, "-iso"],
            "-o twice": ["makehybrid", "-o", image, "-o", image, source, "-iso"],
            "-o names a folder": ["makehybrid", "-o", work + "/", source, "-iso"],
            "joliet without iso": ["makehybrid", "-o", image, source, "-joliet"],
            "two sources": ["makehybrid", "-o", image, source, source, "-iso"],
            "option after --": ["makehybrid", "-o", image, "--", source, "-iso"],
            "source is a file": ["makehybrid", "-o", image, os.path.join(source, "a.txt"), "-iso", "-joliet"],
            "source is missing": ["makehybrid", "-o", image, source + "-gone", "-iso", "-joliet"],
            "item is no file or folder": ["makehybrid", "-o", image, pipe, "-iso", "-item"],
            "item is the whole file system": ["makehybrid", "-o", image, "/", "-iso", "-item"],
        }.items():
            out = run_tool(*args)
            self.assertEqual((out.returncode, out.stdout, out.stderr.count("\n")), (2, "", 1), f"{name}: {out.stderr}")
            self.assertEqual(os.listdir(work), ["source"], name)

    def test_volume_names(self):
        for label, folder, options, expected in [
            ("from the folder", "My Stuff ✓", [], ("MY_STUFF__", "My Stuff ✓")),
            # A name of its own beats the default option, which beats the folder's name.
            ("Joliet name", "f", ["-default-volume-name", "Back up", "-joliet-volume-name", "J"], ("BACK_UP", "J")),
            ("ISO name", "f", ["-default-volume-name", "Back up", "-iso-volume-name", "i"], ("I", "Back up")),
            ("long names cut", "a" * 40, [], ("A" * 32, "a" * 16)),
            ("an item's, without its extension", "Holiday 2024.app", ["-item"], ("HOLIDAY_2024", "Holiday 2024")),
            ("no half emoji", "abcdefghijklmno😀", [], ("ABCDEFGHIJKLMNO_", "abcdefghijklmno")),
            ("whole emoji", "abcdefghijklmn😀", [], ("ABCDEFGHIJKLMN_", "abcdefghijklmn😀")),
            # Not UTF-8: a lone byte, an encoded surrogate and a cut-off sequence, each replaced byte by byte.
            ("malformed UTF-8", "x", ["-iso-volume-name", b"\xff\xfe ok", "-joliet-volume-name",
                                      b"a:b*\xed\xa0\x80\xc3"], ("___OK", "a_b_" + "\ufffd" * 4)),
        ]:
            os.makedirs(source := os.path.join(scratch_dir(self), folder))
            make_hybrid(source + ".iso", source, "-quiet", *options)
            iso = open_iso(self, source + ".iso")  # fails without an image
            self.assertEqual((iso.pvd.volume_identifier.decode("ascii").rstrip(" "),
                              iso.joliet_vd.volume_identifier.decode("utf-16-be").rstrip(" ")), expected, label)


if __name__ == "__main__":
    unittest.main()
