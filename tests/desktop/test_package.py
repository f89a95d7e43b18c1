#!/usr/bin/env python3
"""The Debian package's control file declares what Qt loads by name at run time, which
dpkg-shlibdeps cannot see. This machine has those packages already, so installing the package
here would not show one missing: each file is looked up with dpkg -S and its package must be in
Depends (Recommends for the font, which the window can do without).

Run by CTest with RANGEUR_BUILD_DIR set; it packages that build into a temporary folder."""
import glob
import os
import re
import shutil
import subprocess
import tempfile
import unittest

BUILD = os.environ["RANGEUR_BUILD_DIR"]


def run(*argv):
    result = subprocess.run(argv, capture_output=True, text=True, timeout=600)
    if result.returncode != 0:
        raise AssertionError("%s failed:\n%s%s" % (" ".join(argv), result.stdout, result.stderr))
    return result.stdout.strip()


def names(field):
    """The package names of a relation field, versions and alternatives aside."""
    return {re.split(r"[\s(]", alt.strip())[0]
            for rel in field.split(",") if rel.strip() for alt in rel.split("|")}


def owner(path):
    return run("dpkg-query", "-S", path).split(":")[0]


class ControlFile(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.out = tempfile.mkdtemp(prefix="rangeur-package-")
        run("cpack", "-G", "DEB", "--config", os.path.join(BUILD, "CPackConfig.cmake"),
            "-B", cls.out)
        (cls.deb,) = glob.glob(os.path.join(cls.out, "rangeur_*_amd64.deb"))
        cls.depends = names(run("dpkg-deb", "-f", cls.deb, "Depends"))
        cls.recommends = names(run("dpkg-deb", "-f", cls.deb, "Recommends"))
        plugins = run("qtpaths6", "--query", "QT_INSTALL_PLUGINS")
        translations = run("qtpaths6", "--query", "QT_INSTALL_TRANSLATIONS")
        cls.loaded_by_name = {
            "the xcb platform plugin": plugins + "/platforms/libqxcb.so",
            "the SVG icon engine": plugins + "/iconengines/libqsvgicon.so",
            "the SVG image plugin": plugins + "/imageformats/libqsvg.so",
            "the French catalogue": translations + "/qtbase_fr.qm",
            "GIO, which the trash loads on first use": "/usr/lib/%s/libgio-2.0.so.0"
            % run("dpkg-architecture", "-qDEB_HOST_MULTIARCH"),
        }

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.out, True)

    def test_file_name_is_debian_style(self):
        version = run("dpkg-deb", "-f", self.deb, "Version")
        self.assertEqual(os.path.basename(self.deb), "rangeur_%s_amd64.deb" % version)

    def test_what_qt_loads_by_name_is_a_dependency(self):
        for what, path in self.loaded_by_name.items():
            with self.subTest(what=what):
                self.assertIn(owner(path), self.depends, "%s (%s)" % (what, path))

    def test_the_window_font_is_recommended(self):
        self.assertIn(owner("/usr/share/wine/fonts/tahoma.ttf"), self.recommends)

    def test_linked_libraries_were_found(self):
        # dpkg-shlibdeps ran: the libraries the program links are there with their versions.
        for package in ("libc6", "libqt6core6", "libqt6widgets6"):
            self.assertIn(package, self.depends)

    def test_no_maintainer_scripts(self):
        members = subprocess.run(["dpkg-deb", "-I", self.deb], capture_output=True,
                                 text=True).stdout
        for script in ("preinst", "postinst", "prerm", "postrm"):
            self.assertNotRegex(members, r"\b%s\b" % script)


if __name__ == "__main__":
    unittest.main(verbosity=2)
