"""Text boxes in a real window, shown by the test host over a striped picture: styled display text
drawn between the picture's pixels, a red box, a link over three lines pressed and followed with the
mouse, and input fields driven by the keyboard and read back by NAME, beside the page's KEYS buttons. The screenshots of the page
with every text feature stay in the artefacts folder."""

import os
import shutil
import tempfile
import unittest

from PIL import Image

from skyward_e2e import ProgramTestCase, wait_until, windows_path

HOST = os.environ.get("SKYWARD_HOST_EXE", "interface_host.exe")
TITLE = "Text box test"
WIDTH, HEIGHT = 420, 320
YELLOW, GREEN = (255, 255, 0), (0, 176, 0)

FEATURES = (10, 10, 210, 310)  # the box with every text feature
RED = (220, 10, 410, 90)
LINKS = (220, 100, 380, 310)

PAGES = f"""<INTERFACE WIDTH={WIDTH} HEIGHT={HEIGHT} FGCOLOR="#000000" BGCOLOR="#FFFFFF" BACKGROUND="stripes.png">
<PAGE NAME=features>
  <TEXTBOX NAME=features RECT="{','.join(map(str, FEATURES))}" FACE="geneva,arial,helvetica" SIZE=9>
    <FONT FACE="system" SIZE=12><B>Every text feature</B></FONT>
    <P>Plain text broken over
\t\tsource lines, with <B>bold</B>, <I>italic</I>, <U>underlined</U> and <TT>teletype</TT> words.<BR>
       A line after a break.
    <LI>a bullet<LI>another bullet
    <DL><DT>Term<DD>its meaning</DL>
    <PRE>pre    formatted
  text</PRE>
  </TEXTBOX>
  <TEXTBOX NAME=red RECT="{','.join(map(str, RED))}" FGCOLOR="#FF0000" SIZE=14 ALIGN=CENTER>
    Red text, <FONT FGCOLOR="#0000FF">blue inside</FONT>
  </TEXTBOX>
  <TEXTBOX NAME=links RECT="{','.join(map(str, LINKS))}" SIZE=14>
    Go to <A HREF="#linked">the second <B>page</B> by a link that runs on</A> to its end.
  </TEXTBOX>
</PAGE>
<PAGE NAME=linked>
  <TEXTBOX RECT="10,10,300,40" SIZE=14>The link was followed.</TEXTBOX>
</PAGE>
<PAGE NAME=form>
  <TEXTBOX NAME=count RECT="10,10,100,25" EDITABLE SIZE=9 ALLOW="1234567890"></TEXTBOX>
  <TEXTBOX NAME=user_name RECT="10,40,300,62" EDITABLE></TEXTBOX>
  <TEXTBOX NAME=comments RECT="10,80,300,140" EDITABLE SIZE=9></TEXTBOX>
  <BUTTON NAME=ok RECT="10,280,90,306" TITLE="Order" KEYS="+" HREF="#linked"/>
  <BUTTON NAME=cancel RECT="100,280,180,306" TITLE="Cancel" KEYS="-" SCRIPT=""/>
</PAGE>
</INTERFACE>
"""


def stripe(x):
    return YELLOW if (x // 16) % 2 == 0 else GREEN


def write_stripes(path):
    picture = Image.new("RGB", (WIDTH, HEIGHT))
    picture.putdata([stripe(x) for y in range(HEIGHT) for x in range(WIDTH)])
    picture.save(path)


def pixels(image, box):
    left, top, right, bottom = box
    return [image.getpixel((x, y)) for y in range(top, bottom) for x in range(left, right)]


def dark(p):
    return max(p) < 90


def reddish(p):
    return p[0] > 150 and p[1] < 100 and p[2] < 100


def bluish(p):
    return p[2] > 150 and p[0] < 100 and p[1] < 100


class TextBoxTest(ProgramTestCase):
    def open(self, page):
        folder = tempfile.mkdtemp(prefix="skyward-e2e-text-")
        self.addCleanup(shutil.rmtree, folder, True)
        with open(os.path.join(folder, "text.iml"), "w", encoding="cp1252") as file:
            file.write(PAGES)
        write_stripes(os.path.join(folder, "stripes.png"))
        self.host = self.start(HOST, ["--folder", windows_path(folder), "--file", "text.iml", "--page", page,
                                      "--title", TITLE, "--value", "count", "--value", "user_name",
                                      "--value", "comments"])
        return self.display.find_window(TITLE)

    def events(self, code, name):
        return [line for line in self.host.output() if line.startswith(f"event {code} ") and line.endswith(f" name {name}")]

    def value(self, name):
        lines = [line for line in self.host.output() if line.startswith(f"value {name} ") or line == f"value {name}"]
        return lines[-1][len(f"value {name} "):] if lines else None

    def test_display_text_over_the_picture_and_a_link_over_three_lines(self):
        window = self.open("features")
        # The text is there once some pixel of the box is no longer the picture's.
        wait_until(lambda: any(p not in (YELLOW, GREEN) for p in pixels(window.capture(), FEATURES)),
                   what="the text of the display box")
        self.shot(window, "every-text-feature")
        shot = window.capture()

        # The picture shows between the letters: no box background, and the text's own dark pixels.
        inside = pixels(shot, FEATURES)
        self.assertNotIn((255, 255, 255), inside)
        self.assertGreater(sum(p in (YELLOW, GREEN) for p in inside), len(inside) * 6 // 10)
        self.assertGreater(sum(dark(p) for p in inside), 200)
        # Below the last line the picture is untouched.
        for y in range(FEATURES[3] - 20, FEATURES[3], 5):
            for x in range(FEATURES[0], FEATURES[2]):
                self.assertEqual(shot.getpixel((x, y)), stripe(x), (x, y))
        # The red box draws red text, and blue where an inner FGCOLOR says so; nothing black.
        red = pixels(shot, RED)
        self.assertGreater(sum(reddish(p) for p in red), 40)
        self.assertGreater(sum(bluish(p) for p in red), 20)
        self.assertFalse(any(max(p) < 50 for p in red))

        # The link: press on its blue letters in the middle of the box's text.
        link_pixels = [(x, y) for y in range(LINKS[1], LINKS[3]) for x in range(LINKS[0], LINKS[2])
                       if bluish(shot.getpixel((x, y)))]
        self.assertTrue(link_pixels, "no link-coloured pixels in the box")
        rows = sorted({y for _, y in link_pixels})
        middle_row = rows[len(rows) // 2]
        press = next((x, y) for x, y in link_pixels if y == middle_row)
        window.point_at(*press)
        window.screen.xdotool("mousedown", "1")
        try:
            self.host.wait_line(r"^event 12 window 0 page features index 2 name links$")
            held = wait_until(lambda: (lambda now: now if pixels(now, LINKS) != pixels(shot, LINKS) else None)(
                window.capture()), what="the link to be highlighted")
            self.shot(window, "link-pressed")
            self.assert_three_rectangles(shot, held)

            window.point_at(LINKS[0] + 5, LINKS[3] - 5)  # off the link: the highlight goes
            self.host.wait_line(r"^event 13 window 0 page features index 2 name links$")
            wait_until(lambda: pixels(window.capture(), LINKS) == pixels(shot, LINKS), what="the highlight to go")
            window.point_at(*press)
            self.host.wait_line(r"^event 14 window 0 page features index 2 name links$")
        finally:
            window.screen.xdotool("mouseup", "1")
        self.host.wait_line(r"^event 15 window 0 page features index 2 name links$")
        self.host.wait_line(r"^event 9 window 0 page features index 2 name links$")
        self.host.wait_line(r"^event 3 window 0 page linked ")
        self.shot(window, "link-followed")
        window.close_box()
        self.assertEqual(self.host.wait_exit(), 0)

    def assert_three_rectangles(self, before, held):
        """The highlighted pixels, row by row: the end of the first line from the link's start, whole lines,
        and the start of the last line up to the link's end - three kinds of row, in that order."""
        left, top, right, bottom = LINKS
        spans = []
        for y in range(top, bottom):
            changed = [x for x in range(left, right) if before.getpixel((x, y)) != held.getpixel((x, y))]
            if changed:
                spans.append((min(changed), max(changed)))
        kinds = []
        for span in spans:
            if not kinds or kinds[-1] != span:
                kinds.append(span)
        self.assertEqual(len(kinds), 3, f"highlighted row spans: {kinds}")
        first, whole, last = kinds
        self.assertGreater(first[0], left + 10)          # from the link's start ("Go to" stays)
        self.assertEqual(first[1], right - 1)            # to the end of the line
        self.assertEqual(whole, (left, right - 1))       # the line between, all of it
        self.assertEqual(last[0], left)
        self.assertLess(last[1], right - 10)             # " to its end." stays

    def test_fields_driven_by_the_keyboard_are_read_back_by_name(self):
        window = self.open("form")
        self.host.wait_line(r"^event 7 window 0 page form index 0 name count$")  # the first field has the focus

        # Digits only in the count; every character taken is an activation of the field.
        window.type("12ab3", x=200, y=200)
        wait_until(lambda: self.value("count") == "123", what="the count to read 123")
        self.assertEqual(len(self.events(9, "count")), 3)

        window.key("Tab", x=200, y=200)
        window.type("Ada Lovelace", x=200, y=200)
        wait_until(lambda: self.value("user_name") == "Ada Lovelace", what="the name to be typed")
        window.key("Tab", x=200, y=200)
        window.type("first line", x=200, y=200)
        window.key("Return", x=200, y=200)  # stays in the multi-line field
        window.type("second", x=200, y=200)
        wait_until(lambda: self.value("comments") == "first line\\r\\nsecond", what="two lines of comments")
        self.assertEqual(self.events(9, "ok"), [])
        self.shot(window, "fields-typed")

        window.key("Escape", x=200, y=200)  # never taken by a field
        self.host.wait_line(r"^event 9 window 0 page form index 4 name cancel$")

        # Return in the single-line count reaches the page's KEYS="+".
        window.click(50, 17)
        window.key("Return", x=200, y=200)
        self.host.wait_line(r"^event 9 window 0 page form index 3 name ok$")
        self.host.wait_line(r"^event 3 window 0 page linked ")
        self.assertEqual((self.value("count"), self.value("user_name")), ("123", "Ada Lovelace"))
        self.assertEqual(len(self.events(9, "ok")), 1)
        window.close_box()
        self.assertEqual(self.host.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
