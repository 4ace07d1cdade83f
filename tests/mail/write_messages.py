"""Writes messages the way Python's email package does into a folder, one file per case, and
prints a JSON manifest: for every case the file name, the subject, the sender, the body lines and
the attachments (file name, content type, bytes as Base64) a reader should find. Text is given
in Windows-1252 as Latin-1 code points, as the reader keeps it."""
import base64
import json
import os
import sys
from email.message import EmailMessage
from email.policy import SMTP, default

folder = sys.argv[1]
PDF = bytes(range(256)) * 3
cases = []


def new(subject, sender="Corner Shop <shop@example.com>"):
    m = EmailMessage()
    m["From"] = sender
    m["To"] = "John Smith <john@example.com>, mary@example.com"
    m["Subject"] = subject
    return m


def case(name, message, subject, body, attachments=(), policy=default, sender=("Corner Shop", "shop@example.com")):
    with open(os.path.join(folder, name + ".eml"), "wb") as f:
        f.write(message.as_bytes(policy=policy))
    cases.append({
        "file": name + ".eml", "subject": subject, "sender": list(sender), "body": body,
        "attachments": [[n, t, base64.b64encode(b).decode()] for n, t, b in attachments],
    })


m = new("Plain")
m.set_content("Dear John,\n\nThank you.\n")
case("7bit", m, "Plain", ["Dear John,", "", "Thank you."])

m = new("Latin")
m.set_content("Gr\xfc\xdfe aus K\xf6ln, caf\xe9 " + "x" * 80 + "\n", charset="iso-8859-1", cte="quoted-printable")
case("quoted-printable", m, "Latin", ["Gr\xfc\xdfe aus K\xf6ln, caf\xe9 " + "x" * 80], policy=SMTP)

m = new("Base64 text")
m.set_content("Preis: 5 \u20ac\nZweite Zeile\n", cte="base64")
case("base64", m, "Base64 text", ["Preis: 5 \x80", "Zweite Zeile"])

m = new("Rechnung f\xfcr M\xfcller \u20ac", sender="J\xfcrgen M\xfcller <jm@example.com>")
m.set_content("Text\n")
case("encoded-subject", m, "Rechnung f\xfcr M\xfcller \x80", ["Text"], sender=("J\xfcrgen M\xfcller", "jm@example.com"))

m = new("Attachments")
m.set_content("See the files.\n")
m.add_attachment(PDF, maintype="application", subtype="pdf", filename="invoice.pdf")
m.add_attachment("Line one\nLine two\n", filename="notes.txt")
case("attachments", m, "Attachments", ["See the files."],
     [["invoice.pdf", "application/pdf", PDF], ["notes.txt", "text/plain", b"Line one\r\nLine two\r\n"]],
     policy=SMTP)

m = new("Alternative")
m.set_content("Plain text\n")
m.add_alternative("<p>Rich text</p>\n", subtype="html")
# Text parts without an encoding are read as lines, which end in CR LF.
case("alternative", m, "Alternative", ["Plain text"], [["_alt.0", "text/html", b"<p>Rich text</p>\r\n"]])

m = new("Nested")
m.set_content("Plain text\n")
m.add_alternative("<p>Rich text</p>\n", subtype="html")
m.add_attachment(PDF, maintype="application", subtype="pdf", filename="invoice.pdf")
case("nested", m, "Nested", ["Plain text"],
     [["_alt.0", "text/html", b"<p>Rich text</p>\r\n"], ["invoice.pdf", "application/pdf", PDF]])

m = new("Only a file")
m.set_content(PDF, maintype="application", subtype="pdf", disposition="attachment", filename="invoice.pdf")
case("single", m, "Only a file", [], [["invoice.pdf", "application/pdf", PDF]])

print(json.dumps(cases))
