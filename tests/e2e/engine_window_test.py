"""The interface engine in a real window, driven with real keys and clicks: a page with a frame,
shown by the test host with the test element classes (SWATCH: a coloured rectangle that follows its
link when clicked or its KEYS pressed; FIELD: an edit control)."""

import os
import shutil
import tempfile
import unittest

from skyward_e2e import ProgramTestCase, wait_until, windows_path

HOST = os.environ.get("SKYWARD_HOST_EXE", "interface_host.exe")
TITLE = "Engine window test"
RED, BLUE, GREEN, WHITE = (255, 0, 0), (0, 0, 255), (0, 160, 0), (255, 255, 255)

PAGE = """<INTERFACE WIDTH=420 HEIGHT=260 BGCOLOR="#FFFFFF">
<PAGE>
  <SWATCH NAME=logo RECT="10, 10, 60, 40" COLOR="#FF0000"/>
  <FRAME NAME=walk RECT="100, 0, 420, 260" SRC="#one"/>
</PAGE>
<PAGE NAME=one>
  <SWATCH NAME=next RECT="20, 20, 80, 80" COLOR="#0000FF" KEYS="+" HREF="#two"/>
</PAGE>
<PAGE NAME=two>
  <SWATCH NAME=back RECT="20, 20, 80, 80" COLOR="#00A000" KEYS="-" HREF="#one"/>
  <FIELD NAME=field RECT="20, 120, 220, 142"/>
</PAGE>
</INTERFACE>
"""


class EngineWindowTest(ProgramTestCase):
    def setUp(self):
        super().setUp()
        folder = tempfile.mkdtemp(prefix="skyward-e2e-")
        self.addCleanup(shutil.rmtree, folder, True)
        with open(os.path.join(folder, "page.iml"), "w") as page:
            page.write(PAGE)
        self.host = self.start(HOST, ["--folder", windows_path(folder), "--file", "page.iml", "--title", TITLE,
                                      "--test-classes"])
        self.window = self.display.find_window(TITLE)

    def events(self, code, name):
        return [line for line in self.host.output() if line.startswith(f"event {code} ") and line.endswith(f" name {name}")]

    def test_keys_and_clicks_follow_links_in_the_frame_once_each(self):
        window = self.window
        self.assertEqual(window.size(), (420, 260))
        window.wait_pixel(30, 20, RED)       # the outer page
        window.wait_pixel(150, 50, BLUE)     # the framed page "one"
        self.shot(window, "first-page")

        window.key("Return")
        window.wait_pixel(150, 50, GREEN)    # "two"
        self.shot(window, "after-return")
        self.assertEqual(len(self.events(9, "next")), 1)
        self.host.wait_line(r"^event 3 window 1 page two ")

        window.key("Escape", x=300, y=200)
        window.wait_pixel(150, 50, BLUE)
        self.assertEqual(len(self.events(9, "back")), 1)

        window.click(150, 50)                # "next" again, with the mouse
        window.wait_pixel(150, 50, GREEN)
        self.assertEqual(len(self.events(9, "next")), 2)
        self.assertEqual(window.pixel(30, 20), RED)  # the outer page stayed

        # Typing into the field activates it once per character.
        window.click(200, 130)
        window.type("ab", x=200, y=130)
        self.host.wait_line(r"^event 9 window 1 page two index 1 name field$")
        self.shot(window, "typed")
        wait_until(lambda: len(self.events(9, "field")) == 2, what="two activations of the field")

        window.close_box()
        self.assertEqual(self.host.wait_exit(), 0)
        lines = self.host.output()
        self.assertIn("event 1 window 0 page - index -1 name -", lines)
        self.assertIn("event 1 window 1 page - index -1 name -", lines)
        self.assertEqual(lines[-1], "status 0")


if __name__ == "__main__":
    unittest.main()
