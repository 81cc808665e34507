"""The finished order against real peers, one case per run: the Windows probe (order_probe.cpp, under
Wine) mails the test order to aiosmtpd or a scripted server on loopback, or prints it on the queue of a
private print scheduler (print_scheduler.py), or with no printer at all. Checks what arrived: the mail
as received, the printed page as text (ps2pdf, pdftotext) and as pixels (pdftoppm, Pillow).
usage: order_cases.py --list | CASE -- PROBE-COMMAND..."""
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "mail"))
from smtp_peers import RealServer, ScriptedServer, free_port  # noqa: E402
from print_scheduler import PrintScheduler  # noqa: E402

PAGES = os.path.join(HERE, "..", "..", "..", "pages")
BUYER = "ann@example.com"
CANCELLED, DIALOG_FAILED, SENDER_REFUSED, REFUSED = -7007, -7350, -1607, -7110


def run_probe(probe, *arguments, env=None):
    done = subprocess.run(probe + list(arguments), capture_output=True, text=True, timeout=240, env=env)
    print(done.stdout, end="")
    print(done.stderr, end="", file=sys.stderr)
    results = {}
    for line in done.stdout.splitlines():
        name, _, value = line.strip().partition(" ")
        results[name] = value
    return results


def number(results, name):
    assert name in results, f"the probe reported no {name}: {results}"
    return int(results[name])


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


# Mail ------------------------------------------------------------------------------------------------

def mail_equals_saved_text(probe):
    with RealServer() as server, tempfile.TemporaryDirectory(dir=".") as folder:
        saved_path = os.path.join(folder, "registration.txt")
        results = run_probe(probe, "mail", f"127.0.0.1:{server.port}", windows_path(saved_path))
        assert number(results, "mail") == 0 and number(results, "save") == 0, results
        assert len(server.mail.envelopes) == 1, f"{len(server.mail.envelopes)} messages arrived"
        envelope = server.mail.envelopes[0]
        assert envelope.mail_from == BUYER, envelope.mail_from
        assert envelope.rcpt_tos == [results["seller-order-address"]], envelope.rcpt_tos
        headers = (f"From: <{BUYER}>\r\nTo: <{results['seller-order-address']}>\r\n"
                   "Subject: Skyward registration\r\n\r\n").encode()
        content = envelope.original_content
        assert content.startswith(headers), content[:200]
        body = content[len(headers):]
        with open(saved_path, "rb") as file:
            saved = file.read()
        banner = f"--->  Please send this registration text to: {results['seller-order-address']}  <---\r\n".encode()
        assert saved == banner + b"\r\n" + body + b"\r\n" + banner, \
            f"the saved text is not the mailed body between its banners:\nsaved {saved!r}\nmailed {body!r}"
        assert b"             Name: Ann Buyer\r\n" in body, body
        # The wait cursor showed the whole time the mail waited for the server, and went after.
        assert number(results, "wait-cursor-seen") > 0 and number(results, "other-cursor-seen") == 0, results
        assert number(results, "arrow-after") == 1, results


def mail_without_address_uses_fallback_sender(probe):
    with RealServer() as server:
        results = run_probe(probe, "mail-anonymous", f"127.0.0.1:{server.port}")
        assert number(results, "mail") == 0, results
        envelope = server.mail.envelopes[0]
        assert envelope.mail_from == results["seller-fallback-sender"], envelope.mail_from
        assert f"From: <{results['seller-fallback-sender']}>".encode() in envelope.original_content


def mail_sender_refused(probe):
    with ScriptedServer(replies={"MAIL": "501 bad sender address\r\n"}) as server:
        results = run_probe(probe, "mail-anonymous", f"127.0.0.1:{server.port}")
        assert number(results, "mail") == SENDER_REFUSED, results
        assert server.commands()[-1] == "QUIT\r\n", server.commands()


def mail_server_stopped(probe):
    results = run_probe(probe, "mail-anonymous", f"127.0.0.1:{free_port()}")
    assert number(results, "mail") == REFUSED, results
    assert number(results, "arrow-after") == 1, results


# Printing --------------------------------------------------------------------------------------------

def as_pdf(postscript, folder):
    ps = os.path.join(folder, "printed.ps")
    pdf = os.path.join(folder, "printed.pdf")
    with open(ps, "wb") as file:
        file.write(postscript)
    subprocess.run(["ps2pdf", ps, pdf], check=True)
    return pdf


def pdf_text(pdf):
    return subprocess.run(["pdftotext", "-layout", pdf, "-"], check=True, capture_output=True, text=True).stdout


def pdf_image(pdf, folder):
    """The page at 72 pixels per inch: one pixel per point, greyscale."""
    from PIL import Image
    base = os.path.join(folder, "page")
    subprocess.run(["pdftoppm", "-r", "72", "-gray", "-png", "-singlefile", pdf, base], check=True)
    return Image.open(base + ".png").convert("L")


def bounding_box(postscript):
    match = re.search(rb"%%BoundingBox: (\d+) (\d+) (\d+) (\d+)", postscript)
    assert match, "the printed file has no bounding box"
    return [int(v) for v in match.groups()]


def print_order(probe):
    with PrintScheduler() as scheduler, tempfile.TemporaryDirectory(dir=".") as folder:
        results = run_probe(probe, "print", env=scheduler.env())
        assert number(results, "print") == 0, results
        assert number(results, "jobs-after") == number(results, "jobs-before") == 0, results
        postscript = scheduler.wait_for_output()
        pdf = as_pdf(postscript, folder)
        text = " ".join(pdf_text(pdf).split())
        for line in ["Product: Skyward", "Name: Ann Buyer", "Address: 12 High Street", "Flat 3", "Springfield 12345",
                     "eMail: ann@example.com", "Total: $329.00", "Please bill my: VISA",
                     "Account #: 4111 1111 1111 1111", "QuillonCD: $5.00 -- Yes, send me the QuillonCD for Windows!",
                     "Date: 3/7/05", "Thank you for supporting shareware!", "Electronic Mail Registration Form",
                     "Signature:", "sales@example.com"]:
            assert line in text, f"{line!r} is not on the printed page:\n{text}"
        # The logo at a quarter of its 384 x 128 pixels, in points, at the printable area's top left,
        # which the bounding box places on the page.
        from PIL import Image, ImageChops, ImageStat
        left, _, _, top = bounding_box(postscript)
        page = pdf_image(pdf, folder)
        origin = (left, page.height - top)
        printed = page.crop((origin[0], origin[1], origin[0] + 96, origin[1] + 32))
        logo = Image.open(os.path.join(PAGES, "printablelogo.gif")).convert("L").resize((96, 32), Image.LANCZOS)
        difference = ImageStat.Stat(ImageChops.difference(printed, logo)).mean[0]
        dark = sum(1 for v in printed.getdata() if v < 128)
        printed.save(os.path.join(os.getcwd(), "printed_logo.png"))
        assert dark > 96 * 32 // 10, f"the logo's corner holds {dark} dark pixels (printed_logo.png)"
        assert difference < 40, f"the printed logo differs from the picture by {difference:.1f} on average"
        # Right of the logo, above the form, the page is blank.
        assert ImageStat.Stat(page.crop((origin[0] + 160, origin[1], origin[0] + 400, origin[1] + 32))).extrema[0][0] > 200


def print_page_is_in_points(probe):
    with PrintScheduler() as scheduler, tempfile.TemporaryDirectory(dir=".") as folder:
        results = run_probe(probe, "print-page", env=scheduler.env())
        assert number(results, "open") == 0 and number(results, "close") == 0, results
        assert number(results, "page-number") == 1 and number(results, "page-status") == 0, results
        postscript = scheduler.wait_for_output()
        left, bottom, right, top = bounding_box(postscript)
        page = [int(v) for v in results["page"].split()]
        assert page[:2] == [0, 0], page
        assert abs(page[2] - (right - left)) <= 1 and abs(page[3] - (top - bottom)) <= 1, \
            f"page {page} against the printable area {right - left} x {top - bottom} points"
        # The square painted at (72, 72)-(144, 144) points lies there on paper.
        image = pdf_image(as_pdf(postscript, folder), folder)
        x0, y0 = left + 72, image.height - top + 72
        from PIL import ImageStat
        inside = ImageStat.Stat(image.crop((x0 + 2, y0 + 2, x0 + 70, y0 + 70))).mean[0]
        outside = [ImageStat.Stat(image.crop(box)).mean[0] for box in
                   ((x0 - 6, y0 + 10, x0 - 2, y0 + 60), (x0 + 74, y0 + 10, x0 + 78, y0 + 60),
                    (x0 + 10, y0 - 6, x0 + 60, y0 - 2), (x0 + 10, y0 + 74, x0 + 60, y0 + 78))]
        assert inside < 30 and min(outside) > 225, f"square {inside:.0f}, around it {outside}"
        assert "PAGE TEST" in pdf_text(as_pdf(postscript, folder))


def print_dialog_cancelled(probe):
    with PrintScheduler() as scheduler:
        results = run_probe(probe, "print-cancel", env=scheduler.env())
        assert number(results, "dialog-shown") == 1, results
        assert number(results, "open") == CANCELLED and number(results, "port-given") == 0, results
        assert number(results, "jobs-during") == 1, results
        assert number(results, "jobs-after") == number(results, "jobs-before") == 0, results
        assert scheduler.job_count() == 0


def print_job_abandoned(probe):
    with PrintScheduler() as scheduler:
        results = run_probe(probe, "print-abandon", env=scheduler.env())
        assert number(results, "open") == 0, results
        assert number(results, "close") == CANCELLED and number(results, "jobs-after") == 0, results
        # Aborted, not printed: the spooler has no job from it.
        assert scheduler.job_count() == 0 and not os.path.exists(scheduler.output)


def print_without_printer(probe):
    # A scheduler that is not there: no printer at all.
    with tempfile.TemporaryDirectory(dir=".") as folder:
        env = dict(os.environ, CUPS_SERVER=os.path.join(os.path.abspath(folder), "no-scheduler.sock"))
        results = run_probe(probe, "print-none", env=env)
        assert number(results, "print") == DIALOG_FAILED, results
        assert number(results, "windows-shown") == 0, results
        assert number(results, "jobs-after") == number(results, "jobs-before") == 0, results


CASES = {f.__name__: f for f in [
    mail_equals_saved_text, mail_without_address_uses_fallback_sender, mail_sender_refused, mail_server_stopped,
    print_order, print_page_is_in_points, print_dialog_cancelled, print_job_abandoned, print_without_printer]}

if __name__ == "__main__":
    if sys.argv[1:] == ["--list"]:
        print(";".join(CASES))
        sys.exit(0)
    case, separator, *probe = sys.argv[1:]
    assert separator == "--" and case in CASES, __doc__
    CASES[case](probe)
    print(f"{case}: passed")
