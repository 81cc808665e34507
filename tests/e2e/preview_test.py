"""The page previewer as a seller uses it: SkywardPreview.exe opened on a copy of pages/, following
the author's saves (in place and by renaming a temporary file), pages chosen from its
list with the mouse and the keys, and its log: page events, the parser's repairs and missing pictures
with file and line, and the names the order program needs that a page lacks."""

import os
import re
import shutil
import tempfile
import time
import unittest

from skyward_e2e import ProgramTestCase, WaitFailed, wait_until, windows_path

PREVIEW = os.environ.get("SKYWARD_PREVIEW_EXE", "SkywardPreview.exe")
PAGES = os.path.join(os.environ.get("SKYWARD_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", "..")),
                     "pages")
TOOL_TITLE = "Skyward Preview"
DIALOG_TITLE = "Open a page file, or any file of a page folder"
FRAME = (130, 10, 510, 390)  # the walk's frame in the first page of pages/classic.iml
# The seller's promise: a save shows in the window within a second. Measured by
# tools/window_bench/preview_reload_bench.py; here the times are only printed.
RELOAD_LIMIT = 1.0


def page_title(file):
    return f"{file} - {TOOL_TITLE}"


def rewrite(path, old, new, by_renaming=False):
    """Saves the file with `old` replaced, in place or as editors do: a temporary file renamed over it."""
    with open(path, encoding="cp1252") as page:
        text = page.read()
    assert old in text, f"{old!r} is not in {path}"
    text = text.replace(old, new, 1)
    if by_renaming:
        temporary = path + ".swp"
        with open(temporary, "w", encoding="cp1252") as page:
            page.write(text)
        os.replace(temporary, path)
    else:
        with open(path, "w", encoding="cp1252") as page:
            page.write(text)
    return time.monotonic()


class PreviewTestCase(ProgramTestCase):
    def folder(self):
        folder = tempfile.mkdtemp(prefix="skyward-preview-")
        self.addCleanup(shutil.rmtree, folder, True)
        return folder

    def start_preview(self, location, file):
        program = self.start(PREVIEW, [windows_path(location)])
        page = self.display.find_window(page_title(file))
        tool = self.display.find_window(TOOL_TITLE)
        program.wait_line(rf"^{re.escape(file)} opened: \d+ pages? in \d+ ms$")
        return program, page, tool

    def close(self, program, tool):
        tool.close_box()
        self.assertEqual(program.wait_exit(), 0)
        self.assertEqual(program.status_line("SkywardPreview status"), 0)

    def wait_region_change(self, window, before, region, since, what):
        """The time from `since` until the region differs from `before`; fails after 30 s."""
        old = before.crop(region).tobytes()
        try:
            wait_until(lambda: window.capture().crop(region).tobytes() != old, interval=0.02, what=what)
        except WaitFailed as failure:
            raise WaitFailed(f"{failure}; screenshot {self.shot(window, 'no-change')}") from None
        return time.monotonic() - since


LIST_X = 100  # in the page list, between the page names and their titles: no text there


def highlighted(colour):
    red, _, blue = colour
    return blue > 150 and blue - red > 80


def selection_band(tool):
    """(top, bottom) of the page list's highlighted row in the previewer's window, or None. Read while
    the list has no keyboard focus: the focus frame dots the row's edges."""
    picture = tool.capture()
    rows = [y for y in range(picture.height) if highlighted(picture.getpixel((LIST_X, y)))]
    if not rows:
        return None
    top = rows[0]
    bottom = top
    while bottom + 1 in rows:
        bottom += 1
    return top, bottom


class PreviewTest(PreviewTestCase):
    def test_pages_open_cleanly_and_the_window_follows_every_save(self):
        folder = os.path.join(self.folder(), "pages")
        shutil.copytree(PAGES, folder)
        classic = os.path.join(folder, "classic.iml")
        program, page, tool = self.start_preview(folder, "classic.iml")
        page.wait_pixel(page.size()[0] - 2, page.size()[1] - 2, (255, 255, 255))
        self.shot(page, "opened")
        variables = [line for line in program.output()
                     if line.startswith("Variables as the order program sets them: ")]
        self.assertEqual(1, len(variables), program.output())
        self.assertTrue(variables[0].startswith(
            'Variables as the order program sets them: TIER="Skyward" PRODUCT="Skyward" '
            'PLATFORM="Windows" PRICE="30.00" UPGRADE="" UPGRADE_PRICE="" SELLER="'), variables[0])
        self.assertIn(' SELLER_EMAIL="', variables[0])
        self.assertTrue(variables[0].endswith(" PRICE_SUMMARY unset"), variables[0])

        # A text box's text rewritten in place, then by an editor that renames its temporary file.
        before = page.capture()
        since = rewrite(classic, "Thank you for trying", "MMMM MMMM MMMM MMMM MMMM MMMM")
        took = self.wait_region_change(page, before, FRAME, since, "the new text of the intro page")
        print(f"reload after a save in place: {took:.2f} s", flush=True)
        self.shot(page, "rewritten")
        before = page.capture()
        since = rewrite(classic, "MMMM MMMM MMMM MMMM MMMM MMMM", "Thank you, seller, for trying", by_renaming=True)
        took = self.wait_region_change(page, before, FRAME, since, "the text saved by renaming")
        print(f"reload after a save by renaming: {took:.2f} s", flush=True)
        self.assertEqual(before.crop((0, 0, 120, 60)).tobytes(), page.capture().crop((0, 0, 120, 60)).tobytes(),
                         "the logo beside the frame stayed")

        # The page list: intro is selected; the row below it is main.
        band = wait_until(lambda: selection_band(tool), what="the selected page in the list")
        height = band[1] - band[0] + 1
        before = page.capture()
        tool.click(40, band[1] + 1 + height // 2)
        program.wait_line(r'^event 3 page shown: window 1, page "main"$')
        self.wait_region_change(page, before, FRAME, time.monotonic(), "the page main")
        self.shot(page, "main")
        # And with the keys: the next row, web.
        before = page.capture()
        tool.key("Down", x=40, y=band[1] + 1 + height // 2)
        program.wait_line(r'^event 3 page shown: window 1, page "web"$')
        self.wait_region_change(page, before, FRAME, time.monotonic(), "the page web")
        mark = len(program.output())
        tool.key("Up", x=40, y=band[1] + 1 + height // 2)
        program.wait_line(r'^event 3 page shown: window 1, page "main"$', after=mark)

        # A save keeps the author on his page.
        mark = len(program.output())
        before = page.capture()
        since = rewrite(classic, "How would you like to order?", "Which way shall your order go?")
        self.wait_region_change(page, before, FRAME, since, "the new text of the page main")
        program.wait_line(r"^classic\.iml changed: \d+ pages", after=mark)
        after_reload = program.output()[mark:]
        shown = [line for line in after_reload if line.startswith("event 3 page shown: window 1,")]
        self.assertEqual(shown[-1], 'event 3 page shown: window 1, page "main"')
        # main stays selected, intro is not.
        middle = (band[0] + band[1]) // 2
        self.assertTrue(highlighted(tool.pixel(LIST_X, middle + height)))
        self.assertFalse(highlighted(tool.pixel(LIST_X, middle)))
        self.shot(page, "main-rewritten")

        # pages/ opens cleanly: no repair and no missing picture (they would name the file).
        self.assertEqual([line for line in program.output() if line.startswith("classic.iml(") or
                          line.startswith("classic.iml: ")], [])
        self.close(program, tool)

    def test_repairs_and_missing_pictures_are_logged_with_file_and_line_until_mended(self):
        folder = self.folder()
        broken = os.path.join(folder, "broken.iml")
        with open(broken, "w", encoding="cp1252") as page:
            page.write('<INTERFACE WIDTH=300 HEIGHT=200 BGCOLOR="#FFFFFF">\n'
                       '<PAGE NAME="start" TITLE="Start">\n'
                       '  <TEXTBOX RECT="10, 10, 290, 60"><B>An unclosed bold\n'
                       '  </TEXTBOX>\n'
                       '  <IMAGE NAME="photo" RECT="10, 80, 110, 180" SRC="nothere.png"/>\n'
                       '</PAGE>\n'
                       '</INTERFACE>\n')
        program, page, tool = self.start_preview(broken, "broken.iml")
        program.wait_line(r"^broken\.iml\(3\): Unbalanced or badly nested tag <B>$")
        program.wait_line(r"^broken\.iml\(5\): Unable to load image 'nothere\.png': not found \(-7203\)$")
        self.shot(page, "broken")

        # Mended: the tag closed and the picture put there. Every load after both saves (the one they
        # caused, and one asked for with F5) has nothing to say.
        mark = len(program.output())
        shutil.copyfile(os.path.join(PAGES, "logo.gif"), os.path.join(folder, "nothere.png"))
        rewrite(broken, "An unclosed bold\n", "A closed bold</B>\n")
        program.wait_line(r"^broken\.iml changed: 1 page in", after=mark)
        mark = len(program.output())
        tool.key("F5", x=100, y=100)
        program.wait_line(r"^broken\.iml reloaded: 1 page in", after=mark)
        self.shot(page, "mended")
        self.assertEqual([line for line in program.output()[mark:] if line.startswith("broken.iml(")], [])
        self.close(program, tool)

    def test_page_events_and_the_names_a_page_of_the_walk_lacks(self):
        folder = self.folder()
        with open(os.path.join(folder, "classic.iml"), "w", encoding="cp1252") as page:
            page.write('<INTERFACE WIDTH=400 HEIGHT=300 BGCOLOR="#FFFFFF">\n'
                       '<PAGE><FRAME NAME="walk" RECT="0, 0, 400, 300" SRC="#email_name"/></PAGE>\n'
                       '<PAGE NAME="email_name" TITLE="Your name">\n'
                       '  <FRAME NAME="enter_name" RECT="0, 0, 400, 250" SRC="#enter_name"/>\n'
                       '  <BUTTON NAME="enter_method" RECT="300, 260, 390, 290" TITLE="Next" HREF="#enter_name"/>\n'
                       '</PAGE>\n'
                       '<PAGE NAME="enter_name">\n'
                       '  <TEXTBOX NAME="user_name" RECT="10, 10, 300, 30" EDITABLE BORDER></TEXTBOX>\n'
                       '  <TEXTBOX NAME="user_company" RECT="10, 40, 300, 60" EDITABLE BORDER></TEXTBOX>\n'
                       '  <TEXTBOX NAME="user_address" RECT="10, 70, 300, 90" EDITABLE BORDER></TEXTBOX>\n'
                       '  <TEXTBOX NAME="user_email" RECT="10, 100, 300, 120" EDITABLE BORDER></TEXTBOX>\n'
                       '  <TEXTBOX NAME="user_phone" RECT="10, 130, 300, 150">not editable</TEXTBOX>\n'
                       '  <TEXTBOX NAME="user_invalid_1" RECT="10, 190, 300, 210">Please give your name.</TEXTBOX>\n'
                       '</PAGE>\n'
                       '</INTERFACE>\n')
        with open(os.path.join(folder, "other.iml"), "w", encoding="cp1252") as page:
            page.write("<INTERFACE><PAGE/></INTERFACE>\n")
        program, page, tool = self.start_preview(folder, "classic.iml")  # chosen before other.iml
        program.wait_line(r"^check email_name: has every name the order program needs$")
        program.wait_line(r"^check enter_name: user_phone is a TEXTBOX, the order program needs an editable TEXTBOX$")
        program.wait_line(r"^check enter_name: user_fax is missing \(an editable TEXTBOX\)$")
        program.wait_line(r"^check enter_name: user_invalid_2 is missing \(a displayed element\)$")
        self.assertNotIn("check enter_name: user_name", "\n".join(program.output()))

        # The "next" button clicked: its activation as the order program's page handler would get it.
        page.wait_pixel(5, 295, (255, 255, 255))
        self.shot(page, "name-page")
        page.click(345, 275)
        program.wait_line(r'^event 9 activated: window 1, page "email_name", element 1 "enter_method"$')
        program.wait_line(r'^event 3 page shown: window 1, page "enter_name"$')
        self.close(program, tool)

    def test_without_an_argument_the_open_dialog_asks_for_the_pages(self):
        folder = self.folder()
        with open(os.path.join(folder, "start.iml"), "w", encoding="cp1252") as page:
            page.write('<INTERFACE WIDTH=200 HEIGHT=100 BGCOLOR="#FFFFFF"><PAGE NAME="start"/></INTERFACE>\n')
        with open(os.path.join(folder, "notes.txt"), "w") as notes:
            notes.write("not a page file\n")
        # Any file of a page folder chosen opens the folder's page file.
        program = self.start(PREVIEW)
        dialog = self.display.find_window(DIALOG_TITLE)
        self.shot(dialog, "dialog")
        dialog.type(windows_path(os.path.join(folder, "notes.txt")), x=30, y=30)
        dialog.key("Return", x=30, y=30)
        self.display.find_window(page_title("start.iml"))
        program.wait_line(r"^start\.iml opened: 1 page in \d+ ms$")
        self.close(program, self.display.find_window(TOOL_TITLE))

        # Cancelled: the previewer ends at once, and that is no failure.
        program = self.start(PREVIEW)
        dialog = self.display.find_window(DIALOG_TITLE)
        dialog.key("Escape", x=30, y=30)
        self.assertEqual(program.wait_exit(), 0)
        self.assertEqual(program.status_line("SkywardPreview status"), -7007)


if __name__ == "__main__":
    unittest.main()
