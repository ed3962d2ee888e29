"""Builds the .deb with CPack and checks what a user's machine would get from it: the files a desktop
program needs, the runtime dependencies apt must pull in, a clean lintian report, and a tree that
unpacks and runs its binary's start-up checks.

Run as `python3 test_package.py BUILD_DIR`.
"""

import glob
import os
import re
import subprocess
import sys
import tempfile
import unittest

APP_ID = "org.qzshell.QzShell"
BUILD_DIR = ""


def run(*argv, **kwargs):
    return subprocess.run(argv, check=True, capture_output=True, text=True, **kwargs).stdout


def architecture():
    """The package's architecture: the one a cross build packs for (scripts/package-arm64), else the machine's."""
    with open(os.path.join(BUILD_DIR, "CPackConfig.cmake"), encoding="utf-8") as config:
        cross = re.search(r'set\(CPACK_DEBIAN_PACKAGE_ARCHITECTURE "([^"]+)"\)', config.read())
    return cross.group(1) if cross else run("dpkg", "--print-architecture").strip()


class Package(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.out = tempfile.mkdtemp(prefix="qz-package-")
        run("cpack", "-G", "DEB", "-B", cls.out, cwd=BUILD_DIR)
        debs = glob.glob(os.path.join(cls.out, "*.deb"))
        assert len(debs) == 1, debs
        cls.deb = debs[0]
        cls.files = {line.split()[-1].lstrip(".") for line in run("dpkg-deb", "-c", cls.deb).splitlines()}

    def test_file_name_and_fields(self):
        self.assertEqual(os.path.basename(self.deb), f"qz-shell_1.0.0_{architecture()}.deb")
        self.assertEqual(run("dpkg-deb", "-f", self.deb, "Architecture").strip(), architecture())
        self.assertEqual(run("dpkg-deb", "-f", self.deb, "Package").strip(), "qz-shell")
        self.assertEqual(run("dpkg-deb", "-f", self.deb, "Version").strip(), "1.0.0")

    def test_contains_what_a_desktop_program_needs(self):
        expected = [
            "/usr/bin/qz-shell",
            f"/usr/share/applications/{APP_ID}.desktop",
            f"/usr/share/metainfo/{APP_ID}.metainfo.xml",
            "/usr/share/doc/qz-shell/copyright",
            "/usr/share/doc/qz-shell/changelog.gz",
            "/usr/share/man/man1/qz-shell.1.gz",
        ]
        expected += [f"/usr/share/icons/hicolor/{s}x{s}/apps/{APP_ID}.png" for s in (16, 24, 32, 48, 64, 128, 256)]
        for path in expected:
            self.assertIn(path, self.files)

    def test_declares_what_the_program_needs_at_run_time(self):
        depends = run("dpkg-deb", "-f", self.deb, "Depends")
        for package in ("libqt6webenginecore6-bin", "libqt6webenginewidgets6", "libqt6printsupport6",
                        "libqt6widgets6", "qt6-qpa-plugins", "qt6-translations-l10n", "fonts-wqy-microhei"):
            self.assertIn(package, depends)
        self.assertEqual(run("dpkg-deb", "-f", self.deb, "Recommends").strip(), "fcitx5-frontend-qt6")

    def test_launcher_names_the_program_and_its_icon_in_chinese(self):
        with tempfile.TemporaryDirectory() as root:
            run("dpkg-deb", "-x", self.deb, root)
            with open(os.path.join(root, f"usr/share/applications/{APP_ID}.desktop"), encoding="utf-8") as f:
                entry = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
            self.assertEqual(entry["Exec"], "qz-shell")
            self.assertEqual(entry["Icon"], APP_ID)
            self.assertIn("门户", entry["Comment[zh_CN]"])
            binary = os.path.join(root, "usr/bin/qz-shell")
            self.assertTrue(os.access(binary, os.X_OK))
            # Stripped for the package, still linked against the system's Qt.
            self.assertNotIn("debug_info", run("readelf", "-S", binary))
            self.assertIn("libQt6WebEngineWidgets", run("readelf", "-d", binary))

    def test_lintian_reports_no_errors_or_warnings(self):
        result = subprocess.run(["lintian", "--fail-on", "error,warning", self.deb], capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)


if __name__ == "__main__":
    BUILD_DIR = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
