#!/usr/bin/env python3
"""The files that offer Rangeur to the desktop: validated by the desktop's own tools, launched
the way each launcher expands them, and installed where the desktop looks for them.

Run by CTest with RANGEUR_SOURCE_DIR and RANGEUR_BUILD_DIR set."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

SOURCE = os.environ["RANGEUR_SOURCE_DIR"]
BUILD = os.environ["RANGEUR_BUILD_DIR"]
APP_ID = "org.rangeur.Rangeur"
DESKTOP_DIR = os.path.join(SOURCE, "resources", "desktop")
ENTRY = os.path.join(DESKTOP_DIR, APP_ID + ".desktop")
SERVICE_MENU = os.path.join(DESKTOP_DIR, APP_ID + ".service-menu.desktop")
NEMO_ACTION = os.path.join(DESKTOP_DIR, APP_ID + ".nemo_action")
METAINFO = os.path.join(BUILD, "desktop", APP_ID + ".metainfo.xml")
ICON_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]

# Names that break a launcher which quotes or splits carelessly.
AWKWARD_NAMES = [
    "facture.pdf",
    "avec des espaces.txt",
    "l'apostrophe.odt",
    'guillemets "doubles".png',
    "dollar $HOME et `date`.txt",
    "relevé accentué.pdf",
    "-commence par un tiret.txt",
    "barre \\ oblique.txt",
    "pour cent %F %u.txt",
    "point-virgule; et & et |.txt",
]


def optional(keys, group, key, default=None):
    """The value of KEY, or DEFAULT where the file leaves it out."""
    present, _ = keys.get_keys(group)
    return keys.get_string(group, key) if key in present else default


def run(*argv, env=None):
    return subprocess.run(argv, capture_output=True, text=True, timeout=120, env=env)


class Scratch(unittest.TestCase):
    """A temporary folder with the awkward files and a `rangeur` first on PATH that logs its
    arguments, NUL-separated, instead of filing anything."""

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="rangeur-desktop-")
        self.addCleanup(shutil.rmtree, self.dir, True)
        self.files = []
        docs = os.path.join(self.dir, "documents")
        os.mkdir(docs)
        for name in AWKWARD_NAMES:
            path = os.path.join(docs, name)
            with open(path, "w") as f:
                f.write(name)
            self.files.append(path)
        self.log = os.path.join(self.dir, "argv.log")
        bindir = os.path.join(self.dir, "bin")
        os.mkdir(bindir)
        fake = os.path.join(bindir, "rangeur")
        with open(fake, "w") as f:
            f.write('#!/bin/sh\nprintf "%%s\\0" "$@" > "%s.part" && mv "%s.part" "%s"\n'
                    % (self.log, self.log, self.log))
        os.chmod(fake, 0o755)
        self.old_path = os.environ["PATH"]
        os.environ["PATH"] = bindir + os.pathsep + self.old_path
        self.addCleanup(os.environ.__setitem__, "PATH", self.old_path)

    def logged_argv(self):
        deadline = time.monotonic() + 20
        while not os.path.exists(self.log):
            if time.monotonic() > deadline:
                self.fail("the launcher did not start rangeur")
            time.sleep(0.05)
        with open(self.log, "rb") as f:
            return [a.decode() for a in f.read().split(b"\0")[:-1]]

    def launch_entry(self, entry_path, files):
        """Starts a desktop entry on FILES as GLib's launcher does for every GTK file manager
        and menu, which follows the desktop entry rules for %F."""
        info = Gio.DesktopAppInfo.new_from_filename(entry_path)
        self.assertIsNotNone(info, entry_path + " does not load as an application")
        info.launch([Gio.File.new_for_path(p) for p in files], None)
        return self.logged_argv()


class Validators(unittest.TestCase):
    def test_desktop_entry_is_valid(self):
        result = run("desktop-file-validate", ENTRY)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertEqual(result.stdout.strip(), "", "warnings or hints: " + result.stdout)

    def test_metainfo_is_valid(self):
        result = run("appstreamcli", "validate", "--no-net", "--explain", METAINFO)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_desktop_entry_speaks_french_and_english(self):
        keys = GLib.KeyFile()
        keys.load_from_file(ENTRY, GLib.KeyFileFlags.KEEP_TRANSLATIONS)
        group = "Desktop Entry"
        for key in ("GenericName", "Comment"):
            english = keys.get_locale_string(group, key, "C")
            french = keys.get_locale_string(group, key, "fr")
            self.assertNotEqual(english, french, key + " has no French translation")

    def test_file_manager_actions_have_what_their_readers_require(self):
        menu = GLib.KeyFile()
        menu.load_from_file(SERVICE_MENU, GLib.KeyFileFlags.NONE)
        self.assertEqual(menu.get_string("Desktop Entry", "Type"), "Service")
        self.assertTrue(menu.get_string_list("Desktop Entry", "MimeType"))
        actions = menu.get_string_list("Desktop Entry", "Actions")
        self.assertTrue(actions)
        for action in actions:
            group = "Desktop Action " + action
            self.assertTrue(menu.has_group(group), group + " is listed but missing")
            self.assertEqual(menu.get_string(group, "Name"), "Ranger dans un nouveau dossier…")

        nemo = GLib.KeyFile()
        nemo.load_from_file(NEMO_ACTION, GLib.KeyFileFlags.NONE)
        group = "Nemo Action"
        self.assertEqual(nemo.get_string(group, "Name"), "Ranger dans un nouveau dossier…")
        # Nemo hides an action without a selection rule and an extension or type filter.
        self.assertTrue(nemo.get_string(group, "Selection"))
        self.assertTrue(optional(nemo, group, "Extensions") or optional(nemo, group, "Mimetypes"))
        self.assertIn("rangeur", nemo.get_string_list(group, "Dependencies"))


class LaunchedWithEverySelectedPath(Scratch):
    """Every path arrives whole, after "--", so that none can be read as an option; only the
    desktop entry says that it was started from a menu or launcher."""

    def test_desktop_entry(self):
        # From the menu no file is given: the program then asks for them.
        for files in (self.files, []):
            with self.subTest(files=len(files)):
                if os.path.exists(self.log):
                    os.remove(self.log)
                self.assertEqual(self.launch_entry(ENTRY, files), ["--menu", "--"] + files)

    def test_dolphin_service_menu(self):
        # KIO expands an action's Exec by the same desktop entry rules as GLib; the action is
        # put in an application entry of its own so that GLib can launch it.
        menu = GLib.KeyFile()
        menu.load_from_file(SERVICE_MENU, GLib.KeyFileFlags.NONE)
        for action in menu.get_string_list("Desktop Entry", "Actions"):
            with self.subTest(action=action):
                if os.path.exists(self.log):
                    os.remove(self.log)
                exec_line = menu.get_string("Desktop Action " + action, "Exec")
                entry = os.path.join(self.dir, "action.desktop")
                with open(entry, "w") as f:
                    f.write("[Desktop Entry]\nType=Application\nName=Action\nExec=%s\n" % exec_line)
                self.assertEqual(self.launch_entry(entry, self.files), ["--"] + self.files)

    def test_nemo_action(self):
        # Nemo puts each path in the quotes the action asks for, joins them with its
        # separator, then splits the whole line as a shell would.
        nemo = GLib.KeyFile()
        nemo.load_from_file(NEMO_ACTION, GLib.KeyFileFlags.NONE)
        group = "Nemo Action"
        exec_line = nemo.get_string(group, "Exec")
        quote = optional(nemo, group, "Quote", "")
        separator = optional(nemo, group, "Separator", " ")

        def quoted(path):
            if quote == "single":
                return "'" + path.replace("'", "'\\''") + "'"
            if quote == "double":
                return '"' + "".join("\\" + c if c in '\\"$`' else c for c in path) + '"'
            return path

        line = exec_line.replace("%F", separator.join(quoted(p) for p in self.files))
        ok, argv = GLib.shell_parse_argv(line)
        self.assertTrue(ok)
        self.assertEqual(argv[0], "rangeur")
        subprocess.run(argv, check=True, timeout=20)
        self.assertEqual(self.logged_argv(), ["--"] + self.files)


class UndoAction(Scratch):
    """The launcher's menu offers the undo of the last run; it takes no file."""

    def test_undo_action_runs_rangeur_annuler(self):
        info = Gio.DesktopAppInfo.new_from_filename(ENTRY)
        self.assertIn("annuler", info.list_actions())
        self.assertEqual(info.get_action_name("annuler"), "Annuler le dernier rangement")
        info.launch_action("annuler", None)
        self.assertEqual(self.logged_argv(), ["--annuler"])


class InstalledTree(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.prefix = tempfile.mkdtemp(prefix="rangeur-install-")
        result = run("cmake", "--install", BUILD, "--prefix", cls.prefix)
        if result.returncode != 0:
            raise AssertionError("cmake --install failed:\n" + result.stdout + result.stderr)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.prefix, True)

    def installed(self, relative):
        path = os.path.join(self.prefix, relative)
        self.assertTrue(os.path.isfile(path), relative + " is not installed")
        return path

    def test_program_and_desktop_files_land_where_desktops_look(self):
        self.assertTrue(os.access(self.installed("bin/rangeur"), os.X_OK))
        for relative in ("share/applications/%s.desktop" % APP_ID,
                         "share/metainfo/%s.metainfo.xml" % APP_ID,
                         "share/icons/hicolor/scalable/apps/%s.svg" % APP_ID,
                         "share/kio/servicemenus/%s.desktop" % APP_ID,
                         "share/nemo/actions/%s.nemo_action" % APP_ID):
            self.installed(relative)

    def test_png_icons_have_their_folder_size(self):
        for size in ICON_SIZES:
            path = self.installed("share/icons/hicolor/%dx%d/apps/%s.png" % (size, size, APP_ID))
            with open(path, "rb") as f:
                header = f.read(24)
            self.assertEqual(header[:8], b"\x89PNG\r\n\x1a\n", path)
            self.assertEqual(struct.unpack(">II", header[16:24]), (size, size), path)

    def test_installed_tree_validates(self):
        # Checks the metainfo against the desktop entry and icons it names, as stores do.
        result = run("appstreamcli", "validate-tree", "--no-net", self.prefix)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def private_desktop(self):
        """The environment of a session whose desktop holds Rangeur's installed files only: no
        other application, no user or system choice of defaults."""
        root = tempfile.mkdtemp(prefix="rangeur-xdg-")
        self.addCleanup(shutil.rmtree, root, True)
        for folder in ("home", "data", "config", "config-dirs"):
            os.mkdir(os.path.join(root, folder))
        # What a package install triggers: the cache from which launchers pick a type's default.
        result = run("update-desktop-database", os.path.join(self.prefix, "share", "applications"))
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        return {
            # GLib hides an application whose program is not on PATH.
            "PATH": os.path.join(self.prefix, "bin") + os.pathsep + os.environ["PATH"],
            "LC_ALL": "C.UTF-8",
            "LANG": "C.UTF-8",
            "HOME": os.path.join(root, "home"),
            "XDG_DATA_HOME": os.path.join(root, "data"),
            "XDG_DATA_DIRS": os.path.join(self.prefix, "share"),
            "XDG_CONFIG_HOME": os.path.join(root, "config"),
            "XDG_CONFIG_DIRS": os.path.join(root, "config-dirs"),
        }

    def test_never_the_default_opener(self):
        # Where nothing else is installed, launchers take the first application that claims a
        # type: a double click on a document would then offer to move it to the trash.
        env = self.private_desktop()
        for mime_type in ("application/pdf", "text/plain", "application/zip",
                          "application/vnd.oasis.opendocument.text", "image/jpeg"):
            with self.subTest(mime_type=mime_type):
                gio = run("gio", "mime", mime_type, env=env)
                self.assertEqual(gio.returncode, 0, gio.stdout + gio.stderr)
                self.assertIn("No default applications for", gio.stdout)
                self.assertNotIn(APP_ID, gio.stdout)
                xdg = run("xdg-mime", "query", "default", mime_type, env=env)
                self.assertEqual(xdg.stdout.strip(), "", "xdg-mime picks it")

    def test_still_offered_among_all_applications(self):
        # "Open with other application" and the menus list every application that shows itself.
        listing = run("/usr/bin/python3", "-c",
                      "import gi; gi.require_version('Gio', '2.0'); from gi.repository import Gio\n"
                      "print('\\n'.join(a.get_id() for a in Gio.AppInfo.get_all()"
                      " if a.should_show()))", env=self.private_desktop())
        self.assertEqual(listing.returncode, 0, listing.stderr)
        self.assertIn(APP_ID + ".desktop", listing.stdout.split())

    def test_metainfo_names_this_version(self):
        with open(self.installed("share/metainfo/%s.metainfo.xml" % APP_ID)) as f:
            text = f.read()
        self.assertNotIn("@", text, "a placeholder was left unreplaced")
        self.assertIn('version="%s"' % os.environ["RANGEUR_VERSION"], text)


if __name__ == "__main__":
    unittest.main(verbosity=2)
