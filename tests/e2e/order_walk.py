"""The order program under test (SkywardOrderUnderTest: the shipped program plus a readout of its
windows, tests/e2e/order_readout.cpp) driven through the ordering walk with real clicks and keys.

`OrderWalk` starts the program, finds its window, and knows where every named element of the shipped
pages lies (read from pages/classic.iml: the first page's frame, the step pages' frames, the RECTs), so
a test clicks elements by NAME on the pages on show. The readout tells which pages are on show, each
named control's visibility and value, the order form table, the program's GDI objects and windows on
the page "main", and the table as the window goes; the test waits on these and on the window's pixels.
"""

import json
import os
import re

from skyward_e2e import SOURCE_DIR, WaitFailed, wait_until

PROGRAM = os.environ.get("SKYWARD_ORDER_UNDER_TEST_EXE", "SkywardOrderUnderTest.exe")
PAGE_FILE = os.path.join(SOURCE_DIR, "pages", "classic.iml")
TITLE = "Register Skyward"
READOUT = "readout "


class PageLayout:
    """The named elements of every page of classic.iml and where the frames put the pages."""

    def __init__(self, path=PAGE_FILE):
        with open(path, encoding="cp1252") as file:
            text = file.read()
        self.elements = {}  # page -> [(name, tag, rect, attributes)]
        for match in re.finditer(r"<PAGE\b([^>]*)>(.*?)</PAGE>", text, re.S):
            name = re.search(r'NAME="([^"]*)"', match.group(1))
            page = name.group(1) if name else ""
            items = []
            for element in re.finditer(r"<(BUTTON|IMAGE|TEXTBOX|POPUP|FRAME|BORDER)\b([^>]*?)/?>", match.group(2)):
                attributes = dict(re.findall(r'(\w+)="([^"]*)"', element.group(2)))
                if "RECT" in attributes:
                    rect = tuple(int(v) for v in attributes["RECT"].split(","))
                    items.append((attributes.get("NAME"), element.group(1), rect, attributes))
            self.elements[page] = items

    def frame_origin(self, holder, shown):
        """The top-left corner, within the page `holder`, of the FRAME that shows `shown`."""
        for _, tag, rect, attributes in self.elements[holder]:
            if tag == "FRAME" and (attributes.get("SRC") == "#" + shown or holder == ""):
                return rect[0], rect[1]
        raise KeyError(f"no frame on {holder!r} shows {shown!r}")

    def origin(self, pages, depth):
        x = y = 0
        for i in range(1, depth + 1):
            dx, dy = self.frame_origin(pages[i - 1], pages[i])
            x, y = x + dx, y + dy
        return x, y

    def find(self, pages, test):
        """The window rectangle of the first element, innermost page first, for which test() holds."""
        for depth in range(len(pages) - 1, -1, -1):
            for name, tag, rect, attributes in self.elements[pages[depth]]:
                if test(name, tag, attributes):
                    x, y = self.origin(pages, depth)
                    return (rect[0] + x, rect[1] + y, rect[2] + x, rect[3] + y)
        raise KeyError(f"nothing of that kind on the pages {pages}")

    def rect(self, pages, element):
        return self.find(pages, lambda name, tag, attributes: name == element)


LAYOUT = PageLayout()


class OrderWalk:
    """One run of the program under test, for one test."""

    def __init__(self, test, env=None):
        self.test = test
        self.program = test.start(PROGRAM, env=env)
        self.window = test.display.find_window(TITLE)
        self.wait_pages("", "intro")

    # What the readout says ------------------------------------------------------------------------

    def readouts(self, key):
        found = []
        for line in self.program.output():
            if line.startswith(READOUT):
                record = json.loads(line[len(READOUT):])
                if key in record:
                    found.append(record)
        return found

    def state(self):
        records = self.readouts("pages")
        return records[-1] if records else {"pages": [], "controls": {}, "table": {}}

    def pages(self):
        return self.state()["pages"]

    def control(self, name):
        return self.state()["controls"].get(name)

    def value(self, name):
        return self.control(name)["value"]

    def visible(self, name):
        return self.control(name)["visible"]

    def table(self):
        return self.state()["table"]

    def wait(self, predicate, what, limit=30):
        try:
            return wait_until(lambda: predicate(self.state()), limit, what=what)
        except WaitFailed as failure:
            path = self.shot("wait-failed")
            raise WaitFailed(f"{failure}; last readout {self.state()}; screenshot {path}") from None

    def wait_pages(self, *pages, limit=30):
        """Until exactly these pages are on show, outermost first."""
        return self.wait(lambda state: state["pages"] == list(pages), f"the pages {list(pages)}", limit)

    def wait_control(self, name, limit=30, **expected):
        def matches(state):
            control = state["controls"].get(name)
            return control and all(control[key] == value for key, value in expected.items())
        return self.wait(matches, f"{name} with {expected}", limit)

    # What a buyer does ----------------------------------------------------------------------------

    def rect(self, name):
        return LAYOUT.rect(self.pages(), name)

    def click(self, name):
        left, top, right, bottom = self.rect(name)
        self.window.click((left + right) // 2, (top + bottom) // 2)

    def type_into(self, name, text):
        """Clicks into the field and types at the end of its text, the pointer staying on it."""
        left, top, right, bottom = self.rect(name)
        x, y = left + 6, (top + bottom) // 2
        self.window.click(x, y)
        self.window.key("ctrl+End", x=x, y=y)
        self.window.type(text, x=x, y=y)

    def clear(self, name):
        left, top, right, bottom = self.rect(name)
        x, y = left + 6, (top + bottom) // 2
        self.window.click(x, y)
        self.window.key("ctrl+End", *["BackSpace"] * (len(self.value(name)) + 1), x=x, y=y)
        self.wait_control(name, value="")

    def key(self, *keys):
        """Keys with the pointer on the window's left column, where nothing takes a click."""
        self.window.key(*keys, x=60, y=300)

    def arrow(self, keys):
        """Clicks the arrow of the step page with that shortcut ("+" next, "-" back)."""
        pages = self.pages()
        left, top, right, bottom = LAYOUT.find(pages[:2], lambda name, tag, attributes: attributes.get("KEYS") == keys)
        self.window.click((left + right) // 2, (top + bottom) // 2)

    def next(self, then=None):
        before = self.pages()
        self.arrow("+")
        if then:
            return self.wait_pages(*then)
        return self.wait(lambda state: state["pages"] != before and len(state["pages"]) > 1, "the next page")

    def back(self, then):
        self.arrow("-")
        return self.wait_pages(*then)

    def shot(self, name):
        return self.test.shot(self.window, name)

    def close(self):
        """The close box; the program's exit status and the table as the window went."""
        self.window.close_box()
        status = self.program.wait_exit()
        closing = self.readouts("closing")
        return status, self.program.status_line("SkywardOrder status"), closing[-1]["closing"] if closing else None


# A buyer's entries and the steps of the walk ---------------------------------------------------------

BUYER = {"user_name": "Ann Buyer", "user_company": "Buyer & Daughters",
         "user_address": "12 High Street\nSpringfield 12345", "user_email": "ann@example.com",
         "user_phone": "555 0100", "user_fax": "555 0101"}
CARD = {"card_number": "4111 1111 1111 1111", "card_expire": "12/49", "card_verify": "123"}
METHOD_PAGE = {"usmail": "enter_method_usmail", "email": "enter_method_other", "fax": "enter_method_other"}
CARD_FIELDS = ["card_number", "card_expire", "card_verify", "card_name", "card_number_label", "card_expire_label",
               "card_expire_label_2", "card_verify_label", "card_verify_label_2", "card_name_label"]


def to_main(walk):
    walk.key("Return")
    walk.wait_pages("", "main")


def start_route(walk, route):
    walk.click(f"{route}_name")
    return walk.wait_pages("", f"{route}_name", "enter_name")


def fill(walk, entries):
    for name, text in entries.items():
        if text:
            walk.type_into(name, text)
        walk.wait_control(name, value=text.replace("\n", "\r\n"))


def table_text(text):
    return text.replace("\n", "\r\n")


def fill_differing(walk, entries):
    """Types each entry whose field holds something else, clearing the field first."""
    for name, text in entries.items():
        if walk.value(name) != table_text(text):
            if walk.value(name):
                walk.clear(name)
            fill(walk, {name: text})


def walk_to_send_page(walk, route, entries=BUYER, method="VISA", card=CARD, copies="3", cd=False, comments=""):
    """From the page "main" (or the route's first step) through every step of the route to its send
    page, typing what each page lacks (entries kept from an earlier walk stay)."""
    if walk.pages() != ["", f"{route}_name", "enter_name"]:
        start_route(walk, route)
    fill_differing(walk, entries)
    walk.next(["", f"{route}_method", METHOD_PAGE[route]])
    while walk.value("card_kind") != method:
        before = walk.value("card_kind")
        walk.key(method[0].lower())  # the method list has the keyboard focus
        walk.wait(lambda state: state["controls"]["card_kind"]["value"] != before, "another method")
    if method in ("VISA", "Mastercard", "American Express", "Discover", "JCB"):
        fill_differing(walk, card)
    walk.next(["", f"{route}_count", "enter_count"])
    fill_differing(walk, {"total_copies": copies})
    if (walk.value("quillon_cd") == "1") != cd:
        walk.click("quillon_cd")
        walk.wait_control("quillon_cd", value="1" if cd else "0")
    walk.next(["", f"{route}_cd", "enter_cd"])
    walk.next(["", f"{route}_comments", "enter_comments"])
    if comments or walk.value("comments"):
        fill_differing(walk, {"comments": comments})
    walk.next(["", f"send_{route}"])
