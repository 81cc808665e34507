"""The ordering walk in the real program, driven like a buyer: each route from the first page to its send
page, entries refused with their message and the refusal sound, entries kept going back and forward
and checked again, payment by check without a card, the totals following the count key by key and the
CD, and the entries of whatever page is on show stored when the window is closed. Screenshots of every
page go to the artefacts folder."""

import unittest

from order_walk import BUYER, CARD, CARD_FIELDS, LAYOUT, METHOD_PAGE, OrderWalk, fill, start_route, table_text, to_main
from skyward_e2e import ProgramTestCase

class OrderWalkTest(ProgramTestCase):
    def sound_attempts(self, walk, name):
        """How often the program looked up the WAVE resource (the readout's program runs with Wine's
        resource trace): the sound is asked for even where the machine has no sound device."""
        return sum(1 for line in walk.program.output() if "FindResource" in line and f'"{name}"' in line.upper())

    def test_each_route_reaches_its_send_page(self):
        walk = OrderWalk(self)
        walk.shot("intro")
        to_main(walk)
        walk.shot("main")
        for other in ("web", "phone"):
            walk.click(other)
            walk.wait_pages("", other)
            walk.shot(other)
            walk.key("Escape")
            walk.wait_pages("", "main")
        for route, method in [("email", "VISA"), ("fax", "Purchase Order"), ("usmail", "Money Order")]:
            start_route(walk, route)
            if route == "email":
                fill(walk, BUYER)
            else:  # the entries of the first route are still there
                for name, text in BUYER.items():
                    self.assertEqual(walk.value(name), table_text(text), name)
            walk.shot(f"{route}_name")
            walk.next(["", f"{route}_method", METHOD_PAGE[route]])
            if method == "VISA":
                self.assertEqual(walk.value("card_kind"), "VISA")
                fill(walk, CARD)
                # The name on the card is the buyer's unless the buyer gives another.
                self.assertEqual(walk.value("card_name"), "Ann Buyer")
            else:
                # Typing its first letter chooses a method in the list that has the keyboard focus.
                while walk.value("card_kind") != method:
                    before = walk.value("card_kind")
                    walk.key(method[0].lower())
                    walk.wait(lambda state: state["controls"]["card_kind"]["value"] != before, "another method")
            walk.shot(f"{route}_method")
            walk.next(["", f"{route}_count", "enter_count"])
            self.assertEqual(walk.table().get("__is_using_card"), "" if method == "VISA" else None)
            fill(walk, {"total_copies": "3"} if route == "email" else {})
            walk.wait_control("total_payment", value="$90.00")
            walk.shot(f"{route}_count")
            walk.next(["", f"{route}_cd", "enter_cd"])
            walk.shot(f"{route}_cd")
            walk.next(["", f"{route}_comments", "enter_comments"])
            if route == "email":
                fill(walk, {"comments": "Please send the invoice\nto my company."})
            walk.shot(f"{route}_comments")
            walk.next(["", f"send_{route}"])
            walk.shot(f"send_{route}")
            table = walk.table()
            self.assertEqual(table["user_name"], "Ann Buyer")
            self.assertEqual(table["card_kind"], method)
            self.assertEqual(table["total_copies"], "3")
            self.assertEqual((table["total_discount"], table["total_payment"]), ("$0.00", "$90.00"))
            self.assertEqual(table["comments"], "Please send the invoice\r\nto my company.")
            # Back to the first page of the walk, one Esc per step.
            for _ in range(6):
                walk.key("Escape")
                walk.wait(lambda state, before=walk.pages(): state["pages"] != before, "the page before")
            walk.wait_pages("", "main")
        self.assertEqual(walk.close()[:2], (0, 0))

    def test_refused_entries_keep_the_page_with_a_message_and_a_sound(self):
        walk = OrderWalk(self, env={"WINEDEBUG": "-all,trace+resource"})
        to_main(walk)
        start_route(walk, "email")
        self.assertFalse(walk.visible("user_invalid_1") or walk.visible("user_invalid_2"))
        # A one-word name, an address of one line and 29 characters, an e-mail address without "@".
        fill(walk, {"user_name": "Ann", "user_address": "12 High Street, Springfield 1", "user_email": "ann.example.com"})
        for entry in ["name", "address"]:
            sounds = self.sound_attempts(walk, "BADUSER.SND")
            walk.key("Return")
            walk.wait_control("user_invalid_1", visible=True)
            walk.wait(lambda state: self.sound_attempts(walk, "BADUSER.SND") > sounds, "the refusal sound")
            self.assertFalse(walk.visible("user_invalid_2"))
            self.assertEqual(walk.pages(), ["", "email_name", "enter_name"])
            self.shot(walk.window, f"{entry}-refused")
            walk.type_into("user_name" if entry == "name" else "user_address", " Buyer" if entry == "name" else "2")
        # The name and the 30-character address pass; the e-mail address is refused, the other message goes.
        # (The refused address has the focus, and Return would start a new line in it.)
        walk.arrow("+")
        walk.wait_control("user_invalid_2", visible=True)
        self.assertFalse(walk.visible("user_invalid_1"))
        self.shot(walk.window, "email-refused")
        table = walk.table()
        self.assertEqual((table["user_name"], table["user_address"]), ("Ann Buyer", "12 High Street, Springfield 12"))
        # The card's name follows the corrected name: it never was typed on its own.
        self.assertEqual(table["card_name"], "Ann Buyer")
        self.assertEqual(walk.pages(), ["", "email_name", "enter_name"])
        walk.type_into("user_email", "@x")
        walk.arrow("+")
        walk.wait_pages("", "email_method", "enter_method_other")
        # A card whose number fails its checksum: the message, the sound, the page stays.
        fill(walk, {"card_number": "4111 1111 1111 1112", "card_expire": "12/49", "card_verify": "123"})
        sounds = self.sound_attempts(walk, "BADUSER.SND")
        walk.arrow("+")
        walk.wait_control("card_invalid", visible=True)
        walk.wait(lambda state: self.sound_attempts(walk, "BADUSER.SND") > sounds, "the refusal sound")
        self.assertEqual(walk.pages(), ["", "email_method", "enter_method_other"])
        self.shot(walk.window, "card-refused")
        # An expiry date long past, then a verification number of two digits.
        walk.clear("card_number")
        fill(walk, {"card_number": "4111-1111-1111-1111"})
        walk.clear("card_expire")
        fill(walk, {"card_expire": "1/50"})
        walk.clear("card_verify")
        fill(walk, {"card_verify": "12"})
        for fix in [("card_expire", "01/49"), ("card_verify", "1234")]:
            sounds = self.sound_attempts(walk, "BADUSER.SND")
            walk.arrow("+")
            walk.wait(lambda state: self.sound_attempts(walk, "BADUSER.SND") > sounds, "the refusal sound")
            self.assertEqual(walk.pages(), ["", "email_method", "enter_method_other"])
            walk.clear(fix[0])
            fill(walk, {fix[0]: fix[1]})
        walk.next(["", "email_count", "enter_count"])
        # Four digits pass for any card, as three do.
        self.assertEqual((walk.table()["card_verify"], walk.table()["card_expire"]), ("1234", "01/49"))
        self.assertEqual(walk.close()[:2], (0, 0))

    def test_a_press_clicks_and_unclicks_once_however_it_ends(self):
        walk = OrderWalk(self, env={"WINEDEBUG": "-all,trace+resource"})
        to_main(walk)
        counts = lambda: (self.sound_attempts(walk, "CLICK.SND"), self.sound_attempts(walk, "UNCLICK.SND"))
        # Pressed and let go on the picture: it clicks, unclicks, and leads to its page.
        before = counts()
        walk.click("web")
        walk.wait_pages("", "web")
        walk.wait(lambda state: counts()[1] > before[1], "the unclick")
        per_sound = counts()[0] - before[0]
        self.assertGreater(per_sound, 0)
        self.assertEqual(counts()[1] - before[1], per_sound)
        walk.key("Escape")
        walk.wait_pages("", "main")
        # Pressed, dragged off and let go elsewhere: the unclick sounds on leaving, and not again.
        before = counts()
        left, top, right, bottom = walk.rect("phone")
        walk.window.point_at((left + right) // 2, (top + bottom) // 2)
        walk.window.screen.xdotool("mousedown", "1")
        walk.wait(lambda state: counts()[0] > before[0], "the click")
        walk.window.point_at(60, 300)
        walk.wait(lambda state: counts()[1] > before[1], "the unclick on leaving")
        walk.window.screen.xdotool("mouseup", "1")
        self.assertEqual(walk.pages(), ["", "main"])
        # One more press, to be sure the release was dealt with before counting.
        walk.click("web")
        walk.wait_pages("", "web")
        walk.wait(lambda state: counts()[1] >= before[1] + 2 * per_sound, "the second press's unclick")
        self.assertEqual((counts()[0] - before[0], counts()[1] - before[1]), (2 * per_sound, 2 * per_sound))
        self.assertEqual(walk.close()[:2], (0, 0))

    def test_back_and_forward_keep_every_entry_and_check_again(self):
        walk = OrderWalk(self)
        to_main(walk)
        start_route(walk, "fax")
        fill(walk, BUYER)
        walk.next(["", "fax_method", "enter_method_other"])
        fill(walk, CARD)
        walk.type_into("card_name", " Senior")  # the buyer's name is there already
        walk.next(["", "fax_count", "enter_count"])
        fill(walk, {"total_copies": "25"})
        walk.key("Escape")
        walk.wait_pages("", "fax_method", "enter_method_other")
        for name, text in CARD.items():
            self.assertEqual(walk.value(name), text, name)
        self.assertEqual(walk.value("card_name"), "Ann Buyer Senior")
        walk.key("Escape")
        walk.wait_pages("", "fax_name", "enter_name")
        for name, text in BUYER.items():
            self.assertEqual(walk.value(name), table_text(text), name)
        # The check runs again: an address the check refuses now is refused on the way forward too.
        walk.clear("user_email")
        fill(walk, {"user_email": "ann at example"})
        walk.key("Return")
        walk.wait_control("user_invalid_2", visible=True)
        walk.clear("user_email")
        fill(walk, {"user_email": "ann@example.com"})
        walk.next(["", "fax_method", "enter_method_other"])
        walk.next(["", "fax_count", "enter_count"])
        self.assertEqual(walk.value("total_copies"), "25")
        self.assertEqual((walk.value("total_discount"), walk.value("total_payment")), ("$150.00", "$600.00"))
        self.assertEqual(walk.close()[:2], (0, 0))

    def test_a_personal_check_needs_no_card(self):
        walk = OrderWalk(self)
        to_main(walk)
        start_route(walk, "usmail")
        fill(walk, BUYER)
        walk.next(["", "usmail_method", "enter_method_usmail"])
        self.assertTrue(all(walk.visible(name) for name in CARD_FIELDS))
        self.assertFalse(walk.visible("card_payable_to") or walk.visible("card_verify_amex"))
        self.assertTrue(walk.visible("card_verify_desc"))
        # American Express: the note on the four-digit number instead.
        walk.key("a")
        walk.wait_control("card_kind", value="American Express")
        walk.wait_control("card_verify_amex", visible=True)
        self.assertFalse(walk.visible("card_verify_desc"))
        # Purchase Order, then Personal Check: no card fields; the note on whom to pay only for the check.
        walk.key("p")
        walk.wait_control("card_kind", value="Purchase Order")
        walk.wait_control("card_number", visible=False)
        self.assertFalse(walk.visible("card_payable_to"))
        walk.key("p")
        walk.wait_control("card_kind", value="Personal Check")
        walk.wait_control("card_payable_to", visible=True)
        self.assertFalse(any(walk.visible(name) for name in CARD_FIELDS + ["card_verify_desc", "card_verify_amex"]))
        self.shot(walk.window, "personal-check")
        walk.next(["", "usmail_count", "enter_count"])
        self.assertNotIn("__is_using_card", walk.table())
        self.assertEqual(walk.table()["card_kind"], "Personal Check")
        # Shown again, the page opens on the check, with the note.
        walk.key("Escape")
        walk.wait_pages("", "usmail_method", "enter_method_usmail")
        self.assertEqual(walk.value("card_kind"), "Personal Check")
        self.assertTrue(walk.visible("card_payable_to"))
        self.assertFalse(walk.visible("card_number"))
        self.assertEqual(walk.close()[:2], (0, 0))

    def test_the_totals_follow_the_count_key_by_key_and_the_cd(self):
        walk = OrderWalk(self)
        to_main(walk)
        start_route(walk, "email")
        fill(walk, BUYER)
        walk.next(["", "email_method", "enter_method_other"])
        walk.key("p")  # Purchase Order
        walk.wait_control("card_kind", value="Purchase Order")
        walk.next(["", "email_count", "enter_count"])
        self.assertEqual((walk.value("total_discount"), walk.value("total_payment")), ("$0.00", "n/a"))
        totals = LAYOUT.rect(walk.pages(), "total_payment")
        before = walk.window.capture()
        for key, discount, total in [("1", "$0.00", "$30.00"), ("2", "$36.00", "$324.00"), ("0", "$1440.00", "$2160.00")]:
            walk.key(key)  # the count field has the focus from the page's opening
            walk.wait_control("total_discount", value=discount)
            walk.wait_control("total_payment", value=total)
            # What the control holds is what the window shows: the total's pixels change with it.
            walk.window.wait_change(before, totals)
            before = walk.window.capture()
            self.shot(walk.window, f"count-{walk.value('total_copies')}")
        self.assertEqual(walk.value("total_copies"), "120")
        # Letters are kept out of the count.
        walk.key("x")
        walk.key("BackSpace")
        walk.wait_control("total_copies", value="12")
        walk.wait_control("total_payment", value="$324.00")
        walk.key("0")
        walk.wait_control("total_payment", value="$2160.00")
        walk.click("quillon_cd")
        walk.wait_control("quillon_cd", value="1")
        walk.wait_control("total_payment", value="$2165.00")
        self.shot(walk.window, "count-with-cd")
        walk.click("quillon_cd")
        walk.wait_control("total_payment", value="$2160.00")
        self.assertEqual(walk.value("quillon_cd"), "0")
        # The CD page has the same check box; the total stays the same across both pages.
        walk.next(["", "email_cd", "enter_cd"])
        walk.click("quillon_cd")
        walk.wait_control("quillon_cd", value="1")
        walk.wait(lambda state: state["table"].get("total_payment") == "$2165.00", "the total with the CD")
        walk.key("Escape")
        walk.wait_pages("", "email_count", "enter_count")
        self.assertEqual((walk.value("quillon_cd"), walk.value("total_payment")), ("1", "$2165.00"))
        self.assertEqual(walk.close()[:2], (0, 0))


class ClosingTest(ProgramTestCase):
    """Closing the window on a page of the walk stores what that page holds, and the program ends with 0."""

    def walk_to(self, route, step):
        walk = OrderWalk(self)
        to_main(walk)
        start_route(walk, route)
        if step == "name":
            return walk
        fill(walk, BUYER)
        walk.next(["", f"{route}_method", METHOD_PAGE[route]])
        if step == "method":
            return walk
        walk.key("p")
        walk.wait_control("card_kind", value="Purchase Order")
        walk.next(["", f"{route}_count", "enter_count"])
        if step == "count":
            return walk
        walk.next(["", f"{route}_cd", "enter_cd"])
        if step == "cd":
            return walk
        walk.next(["", f"{route}_comments", "enter_comments"])
        return walk

    def test_closing_on_each_step_page_stores_its_entries(self):
        for step, entries in [("name", {"user_name": "Closing Time"}), ("method", {"card_number": "4111"}),
                              ("count", {"total_copies": "7"}), ("comments", {"comments": "Bye"})]:
            with self.subTest(step=step):
                walk = self.walk_to("email", step)
                fill(walk, entries)
                status, whole, closing = walk.close()
                self.assertEqual((status, whole), (0, 0))
                self.assertIsNotNone(closing, "the readout saw no table as the window went")
                for name, text in entries.items():
                    self.assertEqual(closing.get(name), text, name)
                if step == "count":
                    self.assertEqual((closing["total_discount"], closing["total_payment"]), ("$0.00", "$210.00"))
        walk = self.walk_to("usmail", "cd")
        walk.click("quillon_cd")
        walk.wait_control("quillon_cd", value="1")
        status, whole, closing = walk.close()
        self.assertEqual((status, whole), (0, 0))
        self.assertEqual(closing.get("quillon_cd"), "")


if __name__ == "__main__":
    unittest.main()
