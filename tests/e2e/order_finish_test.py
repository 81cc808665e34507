"""The finished order from the real window: mailed to a loopback mail server the test starts (the
program under test takes the server from SKYWARD_TEST_MAIL_SERVER), saved through the real save dialog
answered by keystrokes, and the result pages for a server that is not there, a server that refuses the
sender, and a cancelled dialog; the wait cursor while the order is mailed."""

import os
import sys
import tempfile
import unittest

from order_text import order_text
from order_walk import BUYER, OrderWalk, table_text, to_main, walk_to_send_page
from skyward_e2e import ProgramTestCase, artefacts_folder, wait_until, windows_path

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app", "mail"))
from smtp_peers import RealServer, ScriptedServer, free_port  # noqa: E402

SAVE_TITLE = "Save registration as..."
REFUSED, CANCELLED = -7110, -7007


def mail_env(port):
    return {"SKYWARD_TEST_MAIL_SERVER": f"127.0.0.1:{port}"}


def shown_texts(walk):
    """Everything the page on show says, its text boxes' texts together."""
    return " ".join(control["value"] for control in walk.state()["controls"].values() if control["visible"])


class OrderFinishTest(ProgramTestCase):
    def answer_save_dialog(self, walk, path):
        """The real save dialog: the pointer onto it (keys typed elsewhere are lost), the name box's text
        replaced by the whole path, Return; or Escape with no path."""
        dialog = self.display.find_window(SAVE_TITLE)
        if path is None:
            dialog.key("Escape", x=20, y=20)
        else:
            dialog.key("End", "shift+Home", x=20, y=20)
            dialog.type(windows_path(path), x=20, y=20)
            self.shot(dialog, "save-dialog")
            dialog.key("Return", x=20, y=20)
        wait_until(lambda: not dialog.is_viewable(), what="the save dialog to go")

    def test_mailed_and_saved_orders_are_the_same_text(self):
        folder = tempfile.mkdtemp(prefix="saved-order-", dir=artefacts_folder())
        saved_path = os.path.join(folder, "my order.txt")
        with RealServer() as server:
            walk = OrderWalk(self, env=mail_env(server.port))
            to_main(walk)
            walk_to_send_page(walk, "email", copies="12", cd=True, comments="Two lines\nof comments")
            walk.click("mail_form")
            walk.wait_pages("", "enter_done")
            self.shot(walk.window, "done-after-mail")
            self.assertEqual(len(server.mail.envelopes), 1)
            envelope = server.mail.envelopes[0]
            entries = walk.table()
            self.assertEqual(envelope.mail_from, BUYER["user_email"])
            # The same order again, saved this time.
            walk.key("Escape")
            walk.wait_pages("", "main")
            walk_to_send_page(walk, "email", copies="12", cd=True, comments="Two lines\nof comments")
            walk.click("save_form")
            self.answer_save_dialog(walk, saved_path)
            walk.wait_pages("", "enter_done")
            self.assertEqual(walk.close()[:2], (0, 0))
        with open(saved_path, "rb") as file:
            saved = file.read()
        content = envelope.original_content
        body = content[content.index(b"\r\n\r\n") + 4:]
        expected = order_text(entries, saved=True)
        self.assertEqual(saved, expected)
        self.assertEqual(body, order_text(entries))
        self.assertIn(b"Subject: Skyward registration\r\n", content)
        # What the buyer typed is in it, as typed.
        self.assertIn(b"          Address: 12 High Street\r\n                   Springfield 12345\r\n", saved)
        self.assertIn(b" Number of copies: 12\r\n", saved)
        self.assertIn(b"       QuillonCD: $5.00 -- Yes, send me the QuillonCD for Windows!\r\n", saved)
        self.assertIn(b"           Total: $329.00\r\n", saved)

    def test_a_cancelled_save_shows_the_cancel_page(self):
        walk = OrderWalk(self)
        to_main(walk)
        walk_to_send_page(walk, "email", method="Purchase Order")
        walk.click("save_form")
        self.answer_save_dialog(walk, None)
        walk.wait_pages("", "enter_cancel")
        self.assertIn(str(CANCELLED), shown_texts(walk))
        self.shot(walk.window, "cancel-page")
        self.assertEqual(walk.close()[:2], (0, 0))

    def test_a_server_not_there_shows_the_mail_error_with_its_code(self):
        walk = OrderWalk(self, env=mail_env(free_port()))
        to_main(walk)
        walk_to_send_page(walk, "email", method="Purchase Order")
        walk.click("mail_form")
        walk.wait_pages("", "enter_error_email")
        self.assertIn(f"(error {REFUSED})", shown_texts(walk))
        self.shot(walk.window, "mail-error-page")
        self.assertEqual(walk.close()[:2], (0, 0))

    def test_a_refused_sender_is_asked_for_again_with_the_entries_kept(self):
        with ScriptedServer(replies={"MAIL": "501 bad sender address\r\n"}) as server:
            walk = OrderWalk(self, env=mail_env(server.port))
            to_main(walk)
            walk_to_send_page(walk, "email", method="Purchase Order")
            walk.click("mail_form")
            walk.wait_pages("", "enter_error_sender")
            self.assertIn("MAIL FROM: <ann@example.com>\r\n", server.commands())
            self.assertIn("ann@example.com", shown_texts(walk))
            self.shot(walk.window, "sender-page")
            walk.key("Escape")
            walk.wait_pages("", "email_name", "enter_name")
            for name, text in BUYER.items():
                self.assertEqual(walk.value(name), table_text(text), name)
            # An address no server could take is refused before any is asked, and shown as typed, as text.
            commands = len(server.commands())
            walk_to_send_page(walk, "email", entries=dict(BUYER, user_email="ann@<b>example</b>.com"),
                              method="Purchase Order")
            walk.click("mail_form")
            walk.wait_pages("", "enter_error_sender")
            self.assertIn("ann@<b>example</b>.com", shown_texts(walk))
            self.assertEqual(len(server.commands()), commands)
        self.assertEqual(walk.close()[:2], (0, 0))

    def test_the_wait_cursor_shows_while_the_order_is_mailed(self):
        # A server that drips its replies a byte at a time: the exchange takes seconds.
        with ScriptedServer(drip=True) as server:
            walk = OrderWalk(self, env=mail_env(server.port))
            to_main(walk)
            walk_to_send_page(walk, "email", method="Purchase Order")
            before = len(walk.readouts("pages"))
            walk.click("mail_form")
            walk.wait_pages("", "enter_done", limit=120)
            self.assertTrue(any(line.startswith("DATA") for line in server.commands()), server.commands())
        during = [record["cursor"] for record in walk.readouts("pages")[before:] if record["pages"] == ["", "send_email"]]
        self.assertIn("wait", during, f"cursors seen while mailing: {during}")
        walk.wait(lambda state: state["cursor"] != "wait", "the wait cursor to go")
        self.assertEqual(walk.close()[:2], (0, 0))


if __name__ == "__main__":
    unittest.main()
