"""The Windows zip as a player unpacks it, run under wine on a private Xvfb.

    ZORVANE_WIN64_ZIP=dist/zorvane-<version>-win64.zip /usr/bin/python3 -m unittest -v test_zip

WINEPREFIX is used when set, otherwise a prefix is made in a temporary folder.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools"))
import driver  # noqa: E402

ZIP = os.environ.get("ZORVANE_WIN64_ZIP", "")
OBJDUMP = "x86_64-w64-mingw32-objdump"
# What Windows itself provides; anything else (a MinGW runtime, a codec) would have to ship.
WINDOWS_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "msvcrt.dll",
                "opengl32.dll", "winmm.dll", "ole32.dll", "shell32.dll", "oleaut32.dll"}
FAILURE_LINES = ("Could not load file from: Content/moneybill.png\r\n"
                 "Could not load image: Bill\r\n"
                 "Could not load file from: Content/largebill.png\r\n"
                 "Could not load image: Large bill\r\n")


def headers(path):
    return subprocess.run([OBJDUMP, "-p", path], check=True, capture_output=True, text=True).stdout


def imports(path):
    return {line.split(":", 1)[1].strip().lower() for line in headers(path).splitlines()
            if line.strip().startswith("DLL Name:")}


class UnpackedZip(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not os.path.isfile(ZIP):
            raise FileNotFoundError("no zip at ZORVANE_WIN64_ZIP=%r" % ZIP)
        cls.dir = tempfile.mkdtemp(prefix="zorvane-win64-")
        cls.game = os.path.join(cls.dir, "game")
        zipfile.ZipFile(ZIP).extractall(cls.game)
        # No downloads of .NET and HTML engines (a dialog), no debugger on a crash (a hang).
        cls.wine = {"WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml=;winedbg.exe=d",
                    "WINEPREFIX": os.environ.get("WINEPREFIX") or os.path.join(cls.dir, "wine")}

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir, ignore_errors=True)

    def run_game(self, folder, play):
        with driver.Xvfb() as x:
            env = x.env(self.wine)
            subprocess.run(["bash", os.path.join(HERE, "wine-up.sh")], env=env, check=True)
            try:
                game = x.start(["wine", "zorvane.exe"], cwd=folder, env=self.wine)
                if play:
                    play(game)
                return game.wait_exit(60), game.out
            finally:
                subprocess.run(["wineserver", "-k"], env=env)

    def test_files_and_what_the_programs_need(self):
        names = set(zipfile.ZipFile(ZIP).namelist())
        for name in ["zorvane.exe", "OpenAL32.dll", "README.txt", "LICENSE.txt",
                     "Content/LiberationMono-Bold.ttf", "Content/digitalfont.ttf",
                     "licenses/SFML.txt", "licenses/OpenAL-Soft.txt"] + [
                     "Content/%s.png" % image for image in ("moneybill", "largebill", "playerclock",
                     "moneybill_blank", "clockhand", "smallclock")]:
            self.assertIn(name, names)
        with open(os.path.join(self.game, "README.txt"), "rb") as readme:
            text = readme.read()
        self.assertEqual(text.count(b"\n"), text.count(b"\r\n"))
        exe = os.path.join(self.game, "zorvane.exe")
        subsystem = re.search(r"^Subsystem\s+(\w+)", headers(exe), re.M)
        self.assertEqual(subsystem.group(1), "00000002")  # a GUI program, no console window
        self.assertLessEqual(imports(exe), WINDOWS_DLLS | {"openal32.dll"})
        self.assertLessEqual(imports(os.path.join(self.game, "OpenAL32.dll")), WINDOWS_DLLS)
        resources = subprocess.run(["wrestool", "-l", exe], check=True, capture_output=True,
                                   text=True).stdout
        self.assertIn("type=group_icon", resources)
        version = subprocess.run(["wrestool", "-x", "--raw", "--type=16", exe], check=True,
                                 capture_output=True).stdout
        self.assertIn("Zorvane - Quendral".encode("utf-16-le"), version)

    def test_menu_play_and_close(self):
        def play(game):
            menu = game.wait_drawn(120)  # of the window titled "Zorvane - Quendral"
            self.assertEqual(game.geometry()[2:], (800, 600))
            darkest, lightest = menu.convert("L").getextrema()
            self.assertLess(darkest, 64)  # the title and PLAY on the light bill wallpaper
            self.assertGreater(lightest, 200)
            game.move(400, 300)
            game.click()
            self.assertIsNotNone(game.wait_change(menu, 30), "a click on PLAY changed nothing")
            game.close()
        self.assertEqual(self.run_game(self.game, play), (0, ""))

    def test_without_content_the_failure_lines(self):
        bare = os.path.join(self.dir, "bare")
        os.makedirs(bare, exist_ok=True)
        for name in ("zorvane.exe", "OpenAL32.dll"):
            shutil.copy(os.path.join(self.game, name), bare)
        self.assertEqual(self.run_game(bare, None), (0, FAILURE_LINES))


if __name__ == "__main__":
    unittest.main()
