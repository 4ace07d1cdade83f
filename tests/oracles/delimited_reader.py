#!/usr/bin/env python3
"""Independent reader of the program's delimited text exports.

Usage: delimited_reader.py <file> <delimiter> <quoted|bare>

Reads the file's bytes as Windows-1252 (Latin-1 keeps every byte as one character), checks that
every line ends with CR LF and that no bare CR or LF stands anywhere else, and parses the lines
with the csv module. Prints JSON: {"rows": [[field, ...], ...]} with each byte of a field as the
character of the same code. Exits 1 with a reason when the line ends are wrong.
"""
import csv
import io
import json
import sys

path, delimiter, mode = sys.argv[1], sys.argv[2], sys.argv[3]
with open(path, "rb") as f:
    data = f.read()
text = data.decode("latin-1")
if text and not text.endswith("\r\n"):
    sys.exit("the last line does not end with CR LF")
body = text.replace("\r\n", "")
if "\r" in body or "\n" in body:
    sys.exit("a line end other than CR LF")
quoting = csv.QUOTE_MINIMAL if mode == "quoted" else csv.QUOTE_NONE
reader = csv.reader(io.StringIO(text, newline=""), delimiter=delimiter, quotechar='"',
                    quoting=quoting, doublequote=True, strict=(mode == "quoted"))
rows = [row for row in reader]
if mode == "quoted":
    # Every field of a quoted line is enclosed: the line is a quote, the fields joined by
    # quote-comma-quote, a quote.
    for line, row in zip(text.split("\r\n"), rows):
        expected = '"' + ('"%s"' % delimiter).join(f.replace('"', '""') for f in row) + '"'
        if line != expected:
            sys.exit("not every field is quoted: %r" % line)
json.dump({"rows": rows}, sys.stdout)
