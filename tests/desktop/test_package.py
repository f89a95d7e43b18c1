#!/usr/bin/env python3
"""The Debian package's control file declares what Qt loads by name at run time, which
dpkg-shlibdeps cannot see. This machine has those packages already, so installing the package
here would not show one missing: each file is looked up with dpkg -S and its package must be in
Depends (Recommends for the font, which the window can do without).

It also checks that no package is named twice, and that the packed program has the hardening
of a Debian build, where that build is optimised: CTest runs it on the dev build, scripts/package
on the release build that it packs.

Run with RANGEUR_BUILD_DIR set; it packages that build into a temporary folder."""
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


def listed(field):
    """The package names of a relation field in order, versions and alternatives aside."""
    return [re.split(r"[\s(]", alt.strip())[0]
            for rel in field.split(",") if rel.strip() for alt in rel.split("|")]


def names(field):
    return set(listed(field))


def build_type():
    with open(os.path.join(BUILD, "CMakeCache.txt")) as f:
        for line in f:
            if line.startswith("CMAKE_BUILD_TYPE:"):
                return line.split("=", 1)[1].strip()
    return ""


def owner(path):
    return run("dpkg-query", "-S", path).split(":")[0]


class ControlFile(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.out = tempfile.mkdtemp(prefix="rangeur-package-")
        run("cpack", "-G", "DEB", "--config", os.path.join(BUILD, "CPackConfig.cmake"),
            "-B", cls.out)
        (cls.deb,) = glob.glob(os.path.join(cls.out, "rangeur_*_amd64.deb"))
        cls.depends_field = run("dpkg-deb", "-f", cls.deb, "Depends")
        cls.recommends_field = run("dpkg-deb", "-f", cls.deb, "Recommends")
        cls.depends = names(cls.depends_field)
        cls.recommends = names(cls.recommends_field)
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

    def test_no_package_is_named_twice(self):
        # A declared package that dpkg-shlibdeps also finds shows up twice, once unversioned.
        relations = listed(self.depends_field) + listed(self.recommends_field)
        twice = sorted({p for p in relations if relations.count(p) > 1})
        self.assertEqual(twice, [], "Depends: %s\nRecommends: %s"
                         % (self.depends_field, self.recommends_field))

    def test_packed_program_is_hardened(self):
        if build_type() not in ("Release", "RelWithDebInfo", "MinSizeRel"):
            self.skipTest("a %s build has no hardening flags; scripts/package checks the release"
                          % (build_type() or "plain"))
        if not shutil.which("hardening-check"):
            self.skipTest("hardening-check (devscripts) is not installed: scripts/setup --test")
        tree = os.path.join(self.out, "tree")
        run("dpkg-deb", "-x", self.deb, tree)
        # Debian 12's dpkg-buildflags does not ask for control-flow protection, so its own
        # programs fail that check too.
        result = subprocess.run(["hardening-check", "--nocfprotection",
                                 os.path.join(tree, "usr", "bin", "rangeur")],
                                capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_no_maintainer_scripts(self):
        members = subprocess.run(["dpkg-deb", "-I", self.deb], capture_output=True,
                                 text=True).stdout
        for script in ("preinst", "postinst", "prerm", "postrm"):
            self.assertNotRegex(members, r"\b%s\b" % script)


if __name__ == "__main__":
    unittest.main(verbosity=2)
