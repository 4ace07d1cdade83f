"""The codecs of Python's standard library beside ours. Reads a folder holding data.bin (the
bytes), ours.qp, ours.b64 and ours.uu (our encodings of them) and prints as JSON Python's own
encodings of the bytes (quopri, base64, binascii's uuencode, one line per 45 bytes) and Python's
decodings of ours, bytes as Base64."""
import base64
import binascii
import json
import os
import quopri
import sys

folder = sys.argv[1]


def read(name):
    with open(os.path.join(folder, name), "rb") as f:
        return f.read()


data = read("data.bin")
ours_uu = b"".join(binascii.a2b_uu(line) for line in read("ours.uu").splitlines())
print(json.dumps({
    "qp": quopri.encodestring(data).decode("ascii"),
    "b64": base64.encodebytes(data).decode("ascii"),
    "uu": [binascii.b2a_uu(data[i:i + 45], backtick=True).decode("ascii").rstrip("\n")
           for i in range(0, len(data), 45)],
    "ours_qp": base64.b64encode(quopri.decodestring(read("ours.qp"))).decode("ascii"),
    "ours_b64": base64.b64encode(base64.b64decode(read("ours.b64"), validate=False)).decode("ascii"),
    "ours_uu": base64.b64encode(ours_uu).decode("ascii"),
}))
