"""The printed order from the real window: the fax route's "Print order..." answered in the real print
dialog by keystrokes, printed on the queue of a private print scheduler (the printed page's text holds
the form's lines, the logo's pixels lie in its top-left corner); the dialog cancelled; and no printer at
all, where no dialog opens and the print error page shows the code."""

import os
import sys
import tempfile
import unittest

from order_walk import OrderWalk, to_main, walk_to_send_page
from skyward_e2e import ProgramTestCase, wait_until

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app", "order"))
from order_cases import PAGES, as_pdf, bounding_box, pdf_image, pdf_text  # noqa: E402
from print_scheduler import PrintScheduler  # noqa: E402

PRINT_TITLE = "Print"
CANCELLED, NO_PRINTER = -7007, -7350


def shown_texts(walk):
    return " ".join(control["value"] for control in walk.state()["controls"].values() if control["visible"])


class OrderPrintWindowTest(ProgramTestCase):
    def to_print(self, env):
        walk = OrderWalk(self, env=env)
        to_main(walk)
        walk_to_send_page(walk, "fax", method="Mastercard", copies="20",
                          card={"card_number": "5555 5555 5555 4444", "card_expire": "11/48", "card_verify": "321"})
        self.assertEqual(walk.state()["print_jobs"], 0)
        walk.click("print_form")
        return walk

    def answer_print_dialog(self, key):
        dialog = self.display.find_window(PRINT_TITLE)
        self.shot(dialog, "print-dialog")
        dialog.key(key, x=20, y=20)  # the pointer onto the dialog first: keys typed elsewhere are lost
        wait_until(lambda: not dialog.is_viewable(), what="the print dialog to go")

    def test_the_order_is_printed_with_the_logo(self):
        with PrintScheduler() as scheduler, tempfile.TemporaryDirectory() as folder:
            walk = self.to_print(scheduler.env())
            self.answer_print_dialog("Return")
            walk.wait_pages("", "enter_done", limit=120)
            self.assertEqual(walk.state()["print_jobs"], 0)
            postscript = scheduler.wait_for_output()
            self.assertEqual(walk.close()[:2], (0, 0))
            pdf = as_pdf(postscript, folder)
            text = " ".join(pdf_text(pdf).split())
            for line in ["Product: Skyward", "Name: Ann Buyer", "Company: Buyer & Daughters", "Address: 12 High Street",
                         "Springfield 12345", "eMail: ann@example.com", "Number of copies: 20",
                         "Quantity discount: $120.00", "Total: $480.00", "Please bill my: Mastercard",
                         "Account #: 5555 5555 5555 4444", "Verification #: 321", "Expires: 11/48", "Signature:",
                         "Thank you for supporting shareware!"]:
                self.assertIn(line, text)
            # The logo at a quarter of its size in points, in the printable area's top-left corner.
            from PIL import Image, ImageChops, ImageStat
            left, _, _, top = bounding_box(postscript)
            page = pdf_image(pdf, folder)
            origin = (left, page.height - top)
            printed = page.crop((origin[0], origin[1], origin[0] + 96, origin[1] + 32))
            artefacts = os.environ.get("SKYWARD_ARTEFACTS", folder)
            page.save(os.path.join(artefacts, "printed-order.png"))
            printed.save(os.path.join(artefacts, "printed-logo-corner.png"))
            with Image.open(os.path.join(PAGES, "printablelogo.gif")) as picture:
                logo = picture.convert("L").resize((96, 32), Image.LANCZOS)
            self.assertLess(ImageStat.Stat(ImageChops.difference(printed, logo)).mean[0], 40)
            self.assertGreater(sum(1 for v in printed.getdata() if v < 128), 96 * 32 // 10)

    def test_a_cancelled_print_dialog_shows_the_cancel_page(self):
        with PrintScheduler() as scheduler:
            walk = self.to_print(scheduler.env())
            self.answer_print_dialog("Escape")
            walk.wait_pages("", "enter_cancel")
            self.assertIn(str(CANCELLED), shown_texts(walk))
            self.assertEqual(walk.state()["print_jobs"], 0)
            self.assertEqual(scheduler.job_count(), 0)
            self.shot(walk.window, "print-cancelled")
            self.assertEqual(walk.close()[:2], (0, 0))

    def test_without_a_printer_no_dialog_opens_and_the_error_page_shows_the_code(self):
        with tempfile.TemporaryDirectory() as folder:
            walk = self.to_print({"CUPS_SERVER": os.path.join(folder, "no-scheduler.sock")})
            walk.wait_pages("", "enter_error_print", limit=60)
            self.assertIn(f"(error {NO_PRINTER})", shown_texts(walk))
            self.assertEqual([w for w in self.display.find_windows(PRINT_TITLE) if w.is_viewable()], [])
            self.assertEqual(walk.state()["print_jobs"], 0)
            self.shot(walk.window, "print-error-page")
            self.assertEqual(walk.close()[:2], (0, 0))


if __name__ == "__main__":
    unittest.main()
