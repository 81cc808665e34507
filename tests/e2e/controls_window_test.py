"""Buttons, pictures, check boxes, pop-up menus and borders in a real window of the test host, driven
with xdotool and read back from the screen: a picture button lit while the mouse button is held on it
and following its link when released there, a check box that reports its click without marking itself,
a pop-up chosen with the mouse and keys, and borders drawn where their RECTs say."""

import os
import shutil
import tempfile
import unittest

from PIL import Image

from skyward_e2e import ProgramTestCase, wait_until, windows_path

HOST = os.environ.get("SKYWARD_HOST_EXE", "interface_host.exe")
TITLE = "Controls window test"
RED, BLUE, WHITE, BLACK = (255, 0, 0), (0, 0, 255), (255, 255, 255), (0, 0, 0)
PLACEHOLDER_RED = (192, 0, 0)

PAGE = """<INTERFACE WIDTH=420 HEIGHT=300 BGCOLOR="#FFFFFF" FGCOLOR="#000000">
<PAGE NAME=one>
  <BUTTON NAME=next RECT="20, 20, 52, 52" HREF="#two" SRC="arrow.png" SRC_RECT="0, 0, 32, 32"
          LIT_RECT="0, 32, 32, 64"></BUTTON>
  <IMAGE NAME=picture RECT="80, 20, 112, 52" SRC="arrow.png" SRC_RECT="0, 0, 32, 32" DIM_RECT="0, 32, 32, 64"></IMAGE>
  <BUTTON NAME=second RECT="140, 20, 172, 52" VALUE=1 HREF="#two" SRC="arrow.png"></BUTTON>
  <BUTTON NAME=go RECT="200, 20, 300, 44" TITLE="Go" KEYS="+" HREF="#two"></BUTTON>
  <BUTTON NAME=plain RECT="310, 20, 410, 44" TITLE="Plain" SCRIPT=""></BUTTON>
  <BUTTON NAME=dead RECT="20, 80, 150, 100" KIND=CHECK TITLE="Dead"></BUTTON>
  <BUTTON NAME=cd RECT="20, 110, 150, 130" KIND=CHECK TITLE="CD" VALUE=0 SCRIPT=""></BUTTON>
  <POPUP NAME=card_kind RECT="200, 80, 380, 102">
    <ITEM TITLE="VISA" DEFAULT><ITEM TITLE="Mastercard"><ITEM TITLE="-"><ITEM TITLE="Purchase Order">
  </POPUP>
  <BORDER NAME=frame RECT="20, 160, 200, 280" TITLE="Payment" ALIGN=LEFT></BORDER>
  <BORDER NAME=separator RECT="300, 150, 300, 290"></BORDER>
</PAGE>
<PAGE NAME=two>
  <BORDER NAME=marker RECT="10, 10, 410, 290" TITLE="Two"></BORDER>
</PAGE>
</INTERFACE>
"""


def write_arrow(path):
    """32 x 64: the top half red (at rest), the bottom half blue (lit)."""
    picture = Image.new("RGB", (32, 64), RED)
    picture.paste(BLUE, (0, 32, 32, 64))
    picture.save(path)


class ControlsWindowTest(ProgramTestCase):
    def setUp(self):
        super().setUp()
        folder = tempfile.mkdtemp(prefix="skyward-e2e-")
        self.addCleanup(shutil.rmtree, folder, True)
        with open(os.path.join(folder, "page.iml"), "w") as page:
            page.write(PAGE)
        write_arrow(os.path.join(folder, "arrow.png"))
        self.host = self.start(HOST, ["--folder", windows_path(folder), "--file", "page.iml", "--title", TITLE])
        self.window = self.display.find_window(TITLE)
        self.window.wait_pixel(36, 36, RED)

    def events_of(self, name):
        """The codes of the events the page program got for the element, in order."""
        codes = []
        for line in self.host.output():
            fields = line.split()
            if fields[:1] == ["event"] and fields[-1] == name:
                codes.append(int(fields[1]))
        return codes

    def mouse(self, *args):
        self.display.xdotool(*args)

    def test_picture_button_lights_while_held_and_follows_its_link_on_release_inside(self):
        window = self.window
        self.shot(window, "rest")
        window.point_at(36, 36)
        self.mouse("mousedown", "1")
        window.wait_pixel(36, 36, BLUE)          # the bottom half while held inside
        self.shot(window, "held")
        window.point_at(250, 250)                # dragged out: the top half again
        window.wait_pixel(36, 36, RED)
        window.point_at(40, 30)                  # back on it
        window.wait_pixel(36, 36, BLUE)
        self.mouse("mouseup", "1")
        self.host.wait_line(r"^event 3 window 0 page two ")
        self.assertEqual(self.events_of("next"), [12, 13, 14, 15, 9])
        window.wait_pixel(10, 10, BLACK)         # page two: its frame
        self.shot(window, "followed")

    def test_release_outside_does_not_follow_the_link(self):
        window = self.window
        window.point_at(36, 36)
        self.mouse("mousedown", "1")
        window.wait_pixel(36, 36, BLUE)
        window.point_at(250, 250)
        window.wait_pixel(36, 36, RED)
        self.mouse("mouseup", "1")
        wait_until(lambda: 15 in self.events_of("next"), what="the end of the press")
        window.click(250, 250)                   # the window's queue has gone past the release
        self.assertEqual(self.events_of("next"), [12, 13, 15])
        self.assertEqual(window.pixel(36, 36), RED)

    def test_pictures_native_buttons_pop_up_and_borders(self):
        window = self.window
        shot = window.capture()
        self.shot(window, "page")
        self.assertEqual(shot.getpixel((96, 36)), BLUE)  # an image without HREF or SCRIPT: its dim state
        # Value 1 with one set of pictures: the framed red-and-white placeholder.
        self.assertEqual(shot.getpixel((140, 20)), BLACK)
        inside = [shot.getpixel((x, y)) for x in range(141, 171) for y in range(21, 51)]
        self.assertEqual(set(inside), {PLACEHOLDER_RED, WHITE})
        # The default push button is framed darker than a plain one.
        self.assertNotEqual(shot.getpixel((200, 32)), shot.getpixel((310, 32)))
        # Borders: the separator is one dark column; the frame's top edge opens for its title.
        column = [shot.getpixel((300, y)) for y in range(150, 290)]
        self.assertEqual(set(column), {BLACK})
        self.assertEqual(shot.getpixel((301, 200)), WHITE)
        self.assertEqual(shot.getpixel((20, 160)), BLACK)
        self.assertEqual(shot.getpixel((30, 160)), WHITE)
        self.assertEqual(shot.getpixel((199, 160)), BLACK)

        # Clicks: the check box without HREF or SCRIPT is disabled; the other reports event 9 and does
        # not mark itself.
        box = (20, 113, 33, 127)  # the mark's square alone: the label gets a focus rectangle
        before = shot.crop(box).tobytes()
        window.click(28, 90)
        window.click(28, 120)
        self.host.wait_line(r"^event 9 window 0 page one index \d+ name cd$")
        self.assertEqual(self.events_of("dead"), [])
        self.shot(window, "check-box-clicked")
        self.assertEqual(window.capture().crop(box).tobytes(), before)

        # The pop-up: opened with the mouse, its third item chosen with the keys; each choice is an
        # activation.
        window.click(290, 91)
        wait_until(lambda: window.capture().crop((200, 102, 380, 170)).getcolors(1 << 16) != 
                   shot.crop((200, 102, 380, 170)).getcolors(1 << 16), what="the opened list")
        self.shot(window, "pop-up-open")
        window.key("Down", "Down", "Return", x=290, y=91)
        wait_until(lambda: self.events_of("card_kind").count(9) >= 2, what="two choices in the pop-up")
        self.shot(window, "pop-up-chosen")

        window.close_box()
        self.assertEqual(self.host.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
