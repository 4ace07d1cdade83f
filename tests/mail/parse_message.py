"""Reads a message file with Python's email package and prints what it found as JSON:
the defects of the message, of each part and of each header, the decoded headers, the decoded
body of a single-part message, every part in walk order (content type, file name, the name
parameter of its Content-Type, transfer encoding, decoded bytes), the files of a uuencoded body
read with binascii, the Date as seconds since 1970 (null when there is none) and the Message-ID."""
import base64
import binascii
import email
import email.policy
import email.utils
import json
import sys

with open(sys.argv[1], "rb") as f:
    raw = f.read()
message = email.message_from_bytes(raw, policy=email.policy.default)
defects = []
headers = []
parts = []
for part in message.walk():
    defects += [type(d).__name__ for d in part.defects]
    for name, value in part.items():
        defects += ["%s: %s" % (name, type(d).__name__) for d in getattr(value, "defects", ())]
    payload = b"" if part.is_multipart() else part.get_payload(decode=True) or b""
    parts.append({
        "content_type": part.get_content_type(),
        "filename": part.get_filename() or "",
        "type_name": email.utils.collapse_rfc2231_value(part.get_param("name", "")),
        "cte": str(part["Content-Transfer-Encoding"] or ""),
        "disposition": part.get_content_disposition() or "",
        "bytes": base64.b64encode(payload).decode(),
    })
for name, value in message.items():
    headers.append([name, str(value)])


def addresses(field):
    value = message[field]
    if value is None:
        return []
    return [[a.display_name, a.addr_spec] for a in value.addresses]


def uu_files(text):
    files = []
    current = None
    for line in text.splitlines():
        if current is None:
            if line.startswith("begin "):
                current = [line.split(" ", 2)[2], b""]
        elif line in ("`", "end"):
            if line == "end":
                files.append([current[0], base64.b64encode(current[1]).decode()])
                current = None
        else:
            current[1] += binascii.a2b_uu(line)
    return files


def date_seconds():
    value = message["Date"]
    return None if value is None or value.datetime is None else value.datetime.timestamp()


body = "" if message.is_multipart() else message.get_content()
print(json.dumps({
    "defects": defects,
    "headers": headers,
    "from": addresses("From"),
    "to": addresses("To"),
    "cc": addresses("CC"),
    "subject": str(message["Subject"] or ""),
    "content_type": message.get_content_type(),
    "charset": message.get_content_charset() or "",
    "cte": str(message["Content-Transfer-Encoding"] or ""),
    "body": body.replace("\r\n", "\n") if isinstance(body, str) else "",
    "parts": parts,
    "uu": uu_files(raw.decode("latin-1")),
    "date": date_seconds(),
    "message_id": str(message["Message-ID"] or ""),
}))
