"""The order program as a buyer meets it: its window titled "Register Skyward" at the size of its
first page, painted, and closed with the close box."""

import os
import re
import unittest

from skyward_e2e import ProgramTestCase, SOURCE_DIR

PROGRAM = os.environ.get("SKYWARD_ORDER_EXE", "SkywardOrder.exe")
TITLE = "Register Skyward"


def interface_attributes():
    """WIDTH, HEIGHT and BGCOLOR of the INTERFACE of pages/classic.iml, read here on their own."""
    with open(os.path.join(SOURCE_DIR, "pages", "classic.iml"), encoding="cp1252") as page:
        tag = re.search(r"<INTERFACE\b([^>]*)>", page.read(), re.I).group(1)
    value = lambda name: re.search(rf'\b{name}\s*=\s*"?([^"\s>]+)', tag, re.I).group(1)
    colour = value("BGCOLOR").lstrip("#")
    return int(value("WIDTH")), int(value("HEIGHT")), tuple(int(colour[i:i + 2], 16) for i in (0, 2, 4))


class OrderWindowTest(ProgramTestCase):
    def test_the_window_opens_on_the_first_page_and_the_close_box_ends_the_program(self):
        program = self.start(PROGRAM, cwd=os.path.dirname(os.path.abspath(PROGRAM)))
        window = self.display.find_window(TITLE)
        width, height, background = interface_attributes()
        self.assertEqual(window.size(), (width, height))
        # Painted by the engine in the page's colour, not left in the window class's grey.
        window.wait_pixel(width - 2, height - 2, background)
        window.wait_pixel(1, 1, background)
        self.shot(window, "shown")
        window.close_box()
        self.assertEqual(program.wait_exit(), 0)
        self.assertEqual(program.status_line("SkywardOrder status"), 0)  # no failure, so no beep


if __name__ == "__main__":
    unittest.main()
