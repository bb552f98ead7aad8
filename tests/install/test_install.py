#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The installed tree and the Debian package, as a user's machine sees them. Name a class to run only that one."""
import gzip
import os
import re
import shutil
import struct
import subprocess
import tempfile
import unittest
from pathlib import Path

SOURCE_DIR, BUILD_DIR = Path(os.environ["VELBROOK_SOURCE_DIR"]), Path(os.environ["VELBROOK_BUILD_DIR"])
PRINT_TOOL_PATH, VERSION = os.environ["VELBROOK_PRINT_TOOL_PATH"], os.environ["VELBROOK_VERSION"]
APP_ID, TOOL = "org.velbrook.Velbrook", "libexec/velbrook/velbrook-hdiutil"
ICON_SIZES = [16, 22, 24, 32, 48, 64, 128, 256, 512]
PAGES = {page: f"share/man/man1/{page}.1.gz" for page in ("velbrook", "velbrook-hdiutil")}
EXPECTED = {"bin/velbrook", "bin/velbrook-hdiutil", TOOL, f"share/applications/{APP_ID}.desktop", f"share/metainfo/{APP_ID}.metainfo.xml",
            f"share/icons/hicolor/scalable/apps/{APP_ID}.svg", *PAGES.values(), "share/doc/velbrook/changelog.gz",
            "share/doc/velbrook/copyright", *(f"share/icons/hicolor/{n}x{n}/apps/{APP_ID}.png" for n in ICON_SIZES)}


def run(*args, quiet=False, **kwargs):
    """Runs a command that must succeed (and, if quiet, print nothing on stderr); returns what it printed."""
    result = subprocess.run(args, capture_output=True, text=True, timeout=300, **kwargs)
    if result.returncode != 0 or (quiet and result.stderr):
        raise AssertionError(f"{args} exited {result.returncode}:\n{result.stdout}{result.stderr}")
    return result.stdout


class InstallTree(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = Path(tempfile.mkdtemp(prefix="velbrook-install-"))
        cls.addClassCleanup(shutil.rmtree, cls.scratch)
        cls.prefix = cls.scratch / "prefix"
        run("cmake", "--install", str(BUILD_DIR), "--prefix", str(cls.prefix))

    def test_sources_pass_the_desktop_validators(self):
        run("desktop-file-validate", str(SOURCE_DIR / f"app/linux/{APP_ID}.desktop"))
        run("appstreamcli", "validate", "--no-net", str(SOURCE_DIR / f"app/linux/{APP_ID}.metainfo.xml"))

    def test_file_managers_offer_the_app_for_each_type_it_declares(self):
        applications = Path(shutil.copytree(self.prefix / "share/applications", self.scratch / "applications"))
        run("update-desktop-database", str(applications))
        (declared,) = re.findall(r"^MimeType=(.*)$", (applications / f"{APP_ID}.desktop").read_text(), re.M)
        cache = dict(re.findall(r"^([^=\[]+)=(.*)$", (applications / "mimeinfo.cache").read_text(), re.M))
        for mime_type in declared.rstrip(";").split(";"):
            self.assertIn(f"{APP_ID}.desktop", cache[mime_type].split(";"), mime_type)

    def test_every_file_lands_in_its_place_and_nothing_else(self):
        self.assertEqual({str(p.relative_to(self.prefix)) for p in self.prefix.rglob("*") if not p.is_dir()}, EXPECTED)
        for program in ("bin/velbrook", TOOL):
            self.assertTrue(os.access(self.prefix / program, os.X_OK), program)

    def test_each_icon_has_its_pixel_size(self):
        for n in ICON_SIZES:
            head = (self.prefix / f"share/icons/hicolor/{n}x{n}/apps/{APP_ID}.png").read_bytes()[:24]
            # The PNG signature, then the header chunk that opens with width and height.
            self.assertEqual((head[:16], struct.unpack(">II", head[16:])), (b"\x89PNG\r\n\x1a\n\0\0\0\rIHDR", (n, n)))

    def test_the_manual_pages_render_cleanly_and_the_tool_page_says_what_its_help_says(self):
        for page in PAGES.values():
            run("man", "--warnings", "-l", self.prefix / page, quiet=True)
        flat = lambda text: " ".join(text.lower().replace("\u2010", "-").split()).strip(".;: ")
        page = flat(run("man", "-l", self.prefix / PAGES["velbrook-hdiutil"], env={**os.environ, "MANWIDTH": "999"}))
        # Each usage and option line whole, and the rest sentence by sentence.
        lines = run(str(self.prefix / TOOL), "help").replace("usage:", " ").splitlines()
        prose = " ".join(line for line in lines if not line.startswith(" "))
        for part in [line for line in lines if line.startswith(" ")] + re.split(r"(?<=[.:;]) ", prose):
            self.assertIn(flat(part), page)

    def test_the_app_resolves_the_installed_tool_and_the_built_one(self):
        # A prefix where an older install left a tool in bin/: the one under libexec wins.
        stray = self.scratch / "stray"
        for tool in ("bin/velbrook-hdiutil", TOOL):
            (stray / tool).parent.mkdir(parents=True, exist_ok=True)
            (stray / tool).touch()
        for root, tool in ((self.prefix, TOOL), (BUILD_DIR, "bin/velbrook-hdiutil"), (stray, TOOL)):
            self.assertEqual(Path(run(PRINT_TOOL_PATH, str(root / "bin")).strip()), root / tool)

    def test_the_installed_tool_runs_by_name_as_its_manual_writes_it(self):
        # The manual's first example as typed, with the prefix's bin/ on PATH. The tool's own tests check the image;
        # here it is enough that the installed one runs and writes one.
        page = (SOURCE_DIR / "docs/man/velbrook-hdiutil.1").read_text()
        example = page.split(".SH EXAMPLES")[1].split(".EX\n")[1].split("\n.EE")[0]
        example = example.replace("\\-", "-").replace("\\e", "\\")
        work = self.scratch / "example"
        (work / "Holiday Photos").mkdir(parents=True)
        (work / "Holiday Photos" / "readme.txt").write_text("hello\n")
        run("sh", "-c", example, cwd=work, env={**os.environ, "PATH": f"{self.prefix / 'bin'}:/usr/bin:/bin"})
        self.assertEqual((work / "Holiday Photos.iso").read_bytes()[16 * 2048 + 1:16 * 2048 + 6], b"CD001")

    def test_the_installed_app_answers_help_and_version_without_a_display(self):
        gui = ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")
        app, env = str(self.prefix / "bin/velbrook"), {k: v for k, v in os.environ.items() if k not in gui}
        self.assertEqual(run(app, "--version", env=env).strip(), f"Velbrook {VERSION}")
        changelog = gzip.decompress((self.prefix / "share/doc/velbrook/changelog.gz").read_bytes()).decode()
        self.assertEqual(changelog.split()[:2], ["velbrook", f"({VERSION})"])
        usage = run(app, "--help", env=env)
        for part in ("[ITEM]", "--version"):
            self.assertIn(part, usage)
        # In the user's language, from the translations built into the app.
        self.assertIn("Macht aus einer Datei", run(app, "--help", env={**env, "LANGUAGE": "de", "LC_ALL": ""}))


class DebPackage(unittest.TestCase):
    def test_the_package_holds_the_install_and_declares_its_libraries(self):
        with tempfile.TemporaryDirectory(prefix="velbrook-deb-") as scratch:
            run("cpack", "-G", "DEB", "-B", scratch, "--config", str(BUILD_DIR / "CPackConfig.cmake"))
            (package,) = Path(scratch).glob("*.deb")
            run("lintian", "--fail-on", "error,warning", str(package))
            listing = run("dpkg-deb", "-c", str(package)).splitlines()
            # The same files as the install, under /usr; a link's line ends "NAME -> TARGET".
            self.assertEqual({line.split(" -> ")[0].split()[-1] for line in listing if not line.startswith("d")},
                             {f"./usr/{name}" for name in EXPECTED})
            # One home page: the package's, which About takes from the same CMake setting.
            homepage = run("dpkg-deb", "-f", str(package), "Homepage").strip()
            for name in (f"app/linux/{APP_ID}.metainfo.xml", "app/linux/debian/copyright"):
                self.assertIn(homepage, (SOURCE_DIR / name).read_text())
            depends = run("dpkg-deb", "-f", str(package), "Depends")
            for library in ("libqt6widgets6", "libqt6svg6", "libisofs6", "qt6-qpa-plugins"):
                self.assertIn(library, depends)


if __name__ == "__main__":
    unittest.main(verbosity=2)
