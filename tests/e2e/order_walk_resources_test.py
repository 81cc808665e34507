"""The ordering walk repeated: twenty walks through the e-mail route's pages, by keys and clicks as a
buyer goes, leave the program with as many GDI objects, child windows and windows as after the first
walks, which make what is made once. That takes three walks: the text controls a page leaves are kept
for the next page's boxes and keep the fonts they have drawn with (their own cache, of a few fonts), so
they settle only once each has served the walk's pages."""

import unittest

from order_walk import BUYER, OrderWalk, fill, start_route, to_main
from skyward_e2e import ProgramTestCase

WALKS = 20
SETTLING_WALKS = 3


class WalkResourcesTest(ProgramTestCase):
    def walk_once(self, walk, first):
        start_route(walk, "email")
        if first:
            fill(walk, BUYER)
        walk.key("Return")  # the name field has the focus: Return is the next arrow's key
        walk.wait_pages("", "email_method", "enter_method_other")
        if first:
            walk.key("p")
            walk.wait_control("card_kind", value="Purchase Order")
        walk.key("Return")
        walk.wait_pages("", "email_count", "enter_count")
        if first:
            fill(walk, {"total_copies": "12"})
        walk.next(["", "email_cd", "enter_cd"])
        walk.click("quillon_cd")  # on, and off again in the next walk
        walk.key("Return")
        walk.wait_pages("", "email_comments", "enter_comments")
        walk.next(["", "send_email"])  # Return would stay in the comments field
        for back in (["", "email_comments", "enter_comments"], ["", "email_cd", "enter_cd"],
                     ["", "email_count", "enter_count"], ["", "email_method", "enter_method_other"],
                     ["", "email_name", "enter_name"]):
            walk.key("Escape")
            walk.wait_pages(*back)
        walk.back(["", "main"])

    def test_twenty_walks_leave_no_system_objects_behind(self):
        walk = OrderWalk(self)
        to_main(walk)
        self.walk_once(walk, True)
        after_first = walk.wait(lambda state: len(walk.readouts("resources")) >= 2, "the resources on the page main")
        counted = len(walk.readouts("resources"))
        for n in range(WALKS):
            self.walk_once(walk, False)
            walk.wait(lambda state: len(walk.readouts("resources")) > counted, "the resources on the page main")
            counted = len(walk.readouts("resources"))
        levels = [record["resources"] for record in walk.readouts("resources")]
        print("resources on arriving at main:", levels, flush=True)
        settled = levels[SETTLING_WALKS]
        self.assertEqual(levels[-1], settled,
                         f"after {SETTLING_WALKS} walks {settled}, after {WALKS + 1 - SETTLING_WALKS} more {levels[-1]}")
        self.assertEqual(walk.table()["total_copies"], "12")
        self.shot(walk.window, "after-walks")
        self.assertEqual(walk.close()[:2], (0, 0))


if __name__ == "__main__":
    unittest.main()
