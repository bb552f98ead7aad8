# SPDX-License-Identifier: GPL-3.0-or-later
"""The command line and the environment: help, usage errors that write nothing, volume names, one image whatever the
locale, the zone or the descriptors left open, the same bytes each time with SOURCE_DATE_EPOCH."""

import filecmp
import os
import subprocess
import time
import unittest

from image_tool_support import TOOL, locale_folder, make_hybrid, open_iso, run_tool, scratch_dir, write_file


def utc(seconds):
    t = time.gmtime(seconds)
    return t.tm_year - 1900, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, 0


def recorded(record):
    """A record's date, as (years since 1900, month, day, hour, minute, second, offset in 15 minutes)."""
    return (record.years_since_1900, record.month, record.day_of_month, record.hour, record.minute, record.second,
            record.gmtoffset)


def file_times(iso, name):
    """The file's time in the ISO 9660 and Joliet trees, and its modification time in Rock Ridge's."""
    rr = iso.get_record(rr_path="/" + name).rock_ridge
    return (recorded(iso.get_record(iso_path=f"/{name.upper()};1").date),
            recorded(iso.get_record(joliet_path="/" + name).date),
            recorded((rr.dr_entries.tf_record or rr.ce_entries.tf_record).modification_time))


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

    def test_one_image_whatever_the_locale_or_the_zone(self):
        # The names in a locale that upper-cases "i" to a letter ISO 9660 has not; times on dates where a zone's
        # offset is no multiple of 15 minutes, or 13 hours ahead, which readers misread: all recorded in UTC.
        work = scratch_dir(self)
        turkish = {**os.environ, "LOCPATH": locale_folder(work, "tr_TR"), "LC_ALL": "tr_TR.UTF-8"}
        for label, env, zone, when in [
            ("Turkish", turkish, "UTC", 0), ("Monrovia 1971", None, "Africa/Monrovia", 44107200),
            ("Kiritimati 1971", None, "Pacific/Kiritimati", 44107200),
            ("Amsterdam 1930", None, "Europe/Amsterdam", -1248825600),
            ("Tongatapu 2020", None, "Pacific/Tongatapu", 1591012800),
        ]:
            source = os.path.join(scratch_dir(self), "source")
            for name in ("istanbul", "windows.ini"):
                write_file(os.path.join(source, name), b"x")
                os.utime(os.path.join(source, name), (when, when))
            make_hybrid(source + ".iso", source, "-quiet", env={**(env or os.environ), "TZ": zone})
            iso = open_iso(self, source + ".iso")
            names = {name for _, _, files in iso.walk(iso_path="/") for name in files}
            self.assertEqual((names, file_times(iso, "windows.ini")),
                             ({"ISTANBUL.;1", "WINDOWS.INI;1"}, (utc(when),) * 3), label)

    def test_same_bytes_each_time_with_source_date_epoch_and_with_descriptors_closed(self):
        work = scratch_dir(self)
        source, epoch = os.path.join(work, "Data"), 1000000000
        write_file(os.path.join(source, "windows.ini"), b"newer than the epoch\n")

        def image(name, epoch=None, closed=False):
            # Closed, as a daemon may run it: the image must not take descriptor 0 or 1 and the progress lines.
            env = {key: value for key, value in os.environ.items() if key != "SOURCE_DATE_EPOCH"}
            result = subprocess.run([TOOL, "makehybrid", "-o", path := os.path.join(work, name), source, "-iso",
                                     "-joliet", "-item"], env={**env, **({"SOURCE_DATE_EPOCH": str(epoch)} if epoch
                                                                       else {})},
                                    preexec_fn=(lambda: [os.close(fd) for fd in (0, 1, 2)]) if closed else None,
                                    capture_output=not closed)
            self.assertEqual(result.returncode, 0, name)
            time.sleep(1.1)  # the clock moves on between runs
            return path

        same = [image("one.iso", epoch), image("again.iso", epoch, closed=True)]
        differ = [image("clock.iso"), image("clock again.iso")]
        iso = open_iso(self, same[0])
        self.assertEqual((filecmp.cmp(*same, shallow=False), filecmp.cmp(*differ, shallow=False),
                          file_times(iso, "Data/windows.ini"), iso.pvd.volume_creation_date.date_str),
                         (True, False, (utc(epoch),) * 3, b"2001090901464000\0"))


if __name__ == "__main__":
    unittest.main()
