#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The installed tree and the Debian package, as a user's machine sees them.

InstallTree: `cmake --install` into a scratch prefix; every file lands where the desktop expects it, the app
resolves the installed tool, that tool writes an image, and the installed app answers --help and --version.
DebPackage: the package made by CPack holds exactly the install's files and declares its library dependencies.
Run without arguments for both, or name one class.
"""
import os
import struct
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

SOURCE_DIR = Path(os.environ["VELBROOK_SOURCE_DIR"])
BUILD_DIR = Path(os.environ["VELBROOK_BUILD_DIR"])
VERSION = os.environ["VELBROOK_VERSION"]
PRINT_TOOL_PATH = os.environ["VELBROOK_PRINT_TOOL_PATH"]

APP_ID = "org.velbrook.Velbrook"
ICON_SIZES = [16, 22, 24, 32, 48, 64, 128, 256, 512]
SECTOR = 2048


def expected_files():
    files = {
        "bin/velbrook",
        "libexec/velbrook/velbrook-hdiutil",
        f"share/applications/{APP_ID}.desktop",
        f"share/metainfo/{APP_ID}.metainfo.xml",
        f"share/icons/hicolor/scalable/apps/{APP_ID}.svg",
    }
    files |= {f"share/icons/hicolor/{n}x{n}/apps/{APP_ID}.png" for n in ICON_SIZES}
    return files


def files_under(root):
    return {str(p.relative_to(root)) for p in root.rglob("*") if not p.is_dir()}


def run(*args, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, timeout=300, **kwargs)


def install(prefix):
    result = run("cmake", "--install", str(BUILD_DIR), "--prefix", str(prefix))
    if result.returncode != 0:
        raise AssertionError(f"cmake --install failed:\n{result.stdout}{result.stderr}")


def png_size(path):
    data = path.read_bytes()[:24]
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", data[16:24])


class InstallTree(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory(prefix="velbrook-install-")
        cls.prefix = Path(cls.scratch.name) / "prefix"
        install(cls.prefix)

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def test_sources_pass_the_desktop_validators(self):
        for command in (
            ["desktop-file-validate", str(SOURCE_DIR / f"app/linux/{APP_ID}.desktop")],
            ["appstreamcli", "validate", "--no-net", str(SOURCE_DIR / f"app/linux/{APP_ID}.metainfo.xml")],
        ):
            result = run(*command)
            self.assertEqual(result.returncode, 0, f"{command[0]}:\n{result.stdout}{result.stderr}")

    def test_every_file_lands_in_its_place_and_nothing_else(self):
        self.assertEqual(files_under(self.prefix), expected_files())
        for program in ("bin/velbrook", "libexec/velbrook/velbrook-hdiutil"):
            self.assertTrue(os.access(self.prefix / program, os.X_OK), program)

    def test_each_icon_has_its_pixel_size(self):
        for n in ICON_SIZES:
            path = self.prefix / f"share/icons/hicolor/{n}x{n}/apps/{APP_ID}.png"
            self.assertEqual(png_size(path), (n, n), path.name + f" at {n}x{n}")

    def test_the_app_resolves_the_installed_tool_and_the_built_one(self):
        # A prefix where an older install left a tool in bin/: the one under libexec wins.
        stray = Path(self.scratch.name) / "stray"
        for tool in ("bin/velbrook-hdiutil", "libexec/velbrook/velbrook-hdiutil"):
            (stray / tool).parent.mkdir(parents=True, exist_ok=True)
            (stray / tool).touch()
        for app_dir, tool in (
            (self.prefix / "bin", self.prefix / "libexec/velbrook/velbrook-hdiutil"),
            (BUILD_DIR / "bin", BUILD_DIR / "bin/velbrook-hdiutil"),
            (stray / "bin", stray / "libexec/velbrook/velbrook-hdiutil"),
        ):
            result = run(PRINT_TOOL_PATH, str(app_dir))
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(Path(result.stdout.strip()), tool)

    def test_the_installed_tool_writes_an_iso_with_joliet(self):
        source = Path(self.scratch.name) / "source"
        (source / "folder").mkdir(parents=True)
        (source / "folder/readme.txt").write_text("hello\n")
        image = Path(self.scratch.name) / "out.iso"
        tool = run(PRINT_TOOL_PATH, str(self.prefix / "bin")).stdout.strip()
        result = run(tool, "makehybrid", "-o", str(image), str(source), "-iso", "-joliet")
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        # The tool's own tests check the image; here it is enough that the installed one runs and writes one.
        self.assertEqual(image.read_bytes()[16 * SECTOR + 1 : 16 * SECTOR + 6], b"CD001")

    def test_the_installed_app_answers_help_and_version(self):
        environment = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        app = str(self.prefix / "bin/velbrook")
        version = run(app, "--version", env=environment)
        self.assertEqual(version.returncode, 0, version.stderr)
        self.assertEqual(version.stdout.strip(), f"Velbrook {VERSION}")
        usage = run(app, "--help", env=environment)
        self.assertEqual(usage.returncode, 0, usage.stderr)
        self.assertIn("[ITEM]", usage.stdout)
        self.assertIn("--version", usage.stdout)


class DebPackage(unittest.TestCase):
    def test_the_package_holds_the_install_and_declares_its_libraries(self):
        with tempfile.TemporaryDirectory(prefix="velbrook-deb-") as scratch:
            scratch = Path(scratch)
            install(scratch / "prefix")
            config = BUILD_DIR / "CPackConfig.cmake"
            result = run("cpack", "-G", "DEB", "-B", str(scratch / "out"), "--config", str(config))
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
            (package,) = (scratch / "out").glob("*.deb")

            listing = run("dpkg-deb", "-c", str(package))
            self.assertEqual(listing.returncode, 0, listing.stderr)
            entries = [line.split()[-1] for line in listing.stdout.splitlines() if not line.startswith("d")]
            self.assertTrue(all(e.startswith("./usr/") for e in entries), entries)
            self.assertEqual({e[len("./usr/") :] for e in entries}, files_under(scratch / "prefix"))

            depends = run("dpkg-deb", "-f", str(package), "Depends").stdout
            for library in ("libqt6widgets6", "libqt6svg6", "libisofs6", "qt6-qpa-plugins"):
                self.assertIn(library, depends)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], *sys.argv[1:]], verbosity=2)
