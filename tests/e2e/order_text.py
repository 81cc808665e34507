"""The order's text as the seller receives it, written here from the form's rules on their own - labels
right-aligned in 18 columns, one blank, the value, continuation lines under the value, CR LF - and from
the seller's settings file, so that the program's text can be compared with it byte for byte."""

import datetime
import os

from skyward_e2e import SOURCE_DIR

COLUMN = 18


def seller_settings(path=os.path.join(SOURCE_DIR, "app", "seller_settings.txt")):
    settings = {}
    with open(path, encoding="utf-8") as file:
        for line in file:
            line = line.strip()
            if line and not line.startswith("#"):
                key, _, value = line.partition("=")
                settings.setdefault(key.strip(), value.strip())
    return settings


def form_line(label, value):
    """One entry: the label in its column, the value's lines after it."""
    if value is None:
        return label + "\r\n"
    lines = value.replace("\r\n", "\n").replace("\r", "\n").split("\n")
    head = " " * max(COLUMN - len(label), 0) + label if label is not None else " " * COLUMN
    text = f"{head} {lines[0]}\r\n"
    for line in lines[1:]:
        text += " " * COLUMN + f" {line}\r\n"
    return text


def order_text(entries, today=None, saved=False):
    """The text of an order with these entries (the order form's keys), as mailed, or as saved with the
    banner first and last."""
    seller = seller_settings()
    today = today or datetime.date.today()
    banner = f"--->  Please send this registration text to: {seller['order_address']}  <---\r\n"
    blank = "\r\n"
    text = banner + blank if saved else ""
    text += form_line(f"{seller['company']} Electronic Mail Registration Form", None) + blank
    text += form_line("Product:", "Skyward") + blank
    for label, key in [("Name:", "user_name"), ("Company:", "user_company"), ("Address:", "user_address"),
                       ("eMail:", "user_email"), ("Phone:", "user_phone"), ("Fax:", "user_fax")]:
        text += form_line(label, entries[key])
    text += blank + form_line("Comments:", entries["comments"]) + blank
    text += form_line("Price per copy:", "$30.00")
    text += form_line("Number of copies:", entries["total_copies"])
    text += form_line("Quantity discount:", entries["total_discount"])
    if "quillon_cd" in entries:
        text += form_line("QuillonCD:", "$5.00 -- Yes, send me the QuillonCD for Windows!")
    text += blank + form_line("Total:", entries["total_payment"]) + blank
    if int(entries["total_copies"] or "0") == 0:
        text += form_line("Just sending you a note!", None) + blank
    elif "__is_using_card" in entries:
        text += form_line("Please bill my:", entries["card_kind"])
        text += form_line("Account #: ", entries["card_number"])
        text += form_line("Verification #: ", entries["card_verify"])
        text += form_line("Expires: ", entries["card_expire"])
        if entries["card_name"] != entries["user_name"]:
            text += form_line("Name:", entries["card_name"])
    else:
        text += form_line("Purchase Order", None)
    text += blank
    text += form_line("Date: ", f"{today.month}/{today.day}/{today.year % 100:02d}") + blank
    text += form_line(None, f"{seller['company']} {seller['tax_id']}")
    text += blank + form_line(None, "Thank you for supporting shareware!") + blank
    if saved:
        text += blank + banner
    return text.encode("cp1252")
