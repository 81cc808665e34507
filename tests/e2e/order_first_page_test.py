"""The order program's first page as drawn by the element classes: the logo at its RECT, the
separator line, the framed page, and a real key press that follows a link in the frame. Ends with
status 77 (a skip for CTest) while the program has no BUTTON, IMAGE or BORDER class."""

import os
import re
import sys
import unittest

from PIL import Image

from skyward_e2e import Display, Program, ProgramTestCase, SOURCE_DIR, wait_until, windows_path

PROGRAM = os.environ.get("SKYWARD_ORDER_EXE", "SkywardOrder.exe")
HOST = os.environ.get("SKYWARD_HOST_EXE", "interface_host.exe")
NEEDED = {"BUTTON", "IMAGE", "BORDER"}
SKIP = 77


def registered_classes():
    """The element classes the engine registers, as the test host reports them."""
    display = Display()
    host = Program.start(HOST, ["--folder", windows_path(os.path.join(SOURCE_DIR, "pages")), "--file", "classic.iml",
                                "--title", "Classes of the engine"])
    try:
        classes = set(host.wait_line(r"^classes(.*)$").group(1).split())
        display.find_window("Classes of the engine").close_box()
        host.wait_exit()
        return classes
    finally:
        host.stop()
        display.close()


def first_page():
    """The RECT and SRC of the logo and the RECT of the separator on the first page of classic.iml."""
    with open(os.path.join(SOURCE_DIR, "pages", "classic.iml"), encoding="cp1252") as page:
        text = page.read()
    rect = lambda tag: [int(v) for v in re.search(rf'<{tag}\b[^>]*RECT="([^"]+)"', text).group(1).split(",")]
    source = re.search(r'<IMAGE\b[^>]*SRC="([^"]+)"', text).group(1)
    return rect("IMAGE"), source, rect("BORDER"), rect("FRAME")


class OrderFirstPageTest(ProgramTestCase):
    def test_logo_separator_and_a_key_that_follows_a_link(self):
        program = self.start(PROGRAM, cwd=os.path.dirname(os.path.abspath(PROGRAM)))
        window = self.display.find_window("Register Skyward")
        logo_rect, logo_file, separator, frame = first_page()
        with Image.open(os.path.join(SOURCE_DIR, "pages", logo_file)) as picture:
            logo = picture.convert("RGBA")
        left, top, right, bottom = logo_rect
        samples = [(x, y) for x in range(left, right, 7) for y in range(top, bottom, 5)]

        def logo_shown():
            """The logo's opaque pixels, scaled to its RECT, are on the screen where it is (a pixel
            may come from a neighbour of the one it maps to when the picture is scaled)."""
            shot = window.capture()
            for x, y in samples:
                lx = (x - left) * logo.width // (right - left)
                ly = (y - top) * logo.height // (bottom - top)
                around = [logo.getpixel((min(max(lx + dx, 0), logo.width - 1), min(max(ly + dy, 0), logo.height - 1)))
                          for dx in (-1, 0, 1) for dy in (-1, 0, 1)]
                if all(a == 255 for *_, a in around) and shot.getpixel((x, y)) not in [p[:3] for p in around]:
                    return False
            return True
        wait_until(logo_shown, what="the logo at its RECT")
        self.shot(window, "first-page")
        shot = window.capture()
        # The separator: a vertical line of the border's colour, unlike the page on either side of it.
        x = separator[0]
        middle = (separator[1] + separator[3]) // 2
        self.assertNotEqual(shot.getpixel((x, middle)), shot.getpixel((x + 3, middle)))
        self.assertEqual(shot.getpixel((x, middle)), shot.getpixel((x, middle + 40)))
        # The framed page shows something on the page's background.
        framed = shot.crop(tuple(frame))
        self.assertGreater(len(framed.getcolors(1 << 16) or []), 1)

        window.key("Return", x=frame[0] + 10, y=frame[1] + 10)
        window.wait_change(shot, tuple(frame))
        self.shot(window, "after-return")
        self.assertEqual(shot.crop(tuple(logo_rect)).tobytes(), window.capture().crop(tuple(logo_rect)).tobytes())
        window.close_box()
        self.assertEqual(program.wait_exit(), 0)


if __name__ == "__main__":
    missing = NEEDED - registered_classes()
    if missing:
        print(f"skipped: needs the BUTTON/IMAGE/BORDER classes ({', '.join(sorted(missing))} not registered)")
        sys.exit(SKIP)
    unittest.main()
