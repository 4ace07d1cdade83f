"""Reads a message file with Python's email package and prints what it found as JSON:
the defects of the message and of each header, the decoded headers and the decoded body."""
import email
import email.policy
import json
import sys

with open(sys.argv[1], "rb") as f:
    raw = f.read()
message = email.message_from_bytes(raw, policy=email.policy.default)
defects = [type(d).__name__ for d in message.defects]
headers = []
for name, value in message.items():
    defects += ["%s: %s" % (name, type(d).__name__) for d in getattr(value, "defects", ())]
    headers.append([name, str(value)])


def addresses(field):
    value = message[field]
    if value is None:
        return []
    return [[a.display_name, a.addr_spec] for a in value.addresses]


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
    "body": message.get_content().replace("\r\n", "\n"),
}))
