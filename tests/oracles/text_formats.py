#!/usr/bin/env python3
"""Independent checker of the program's number and date texts.

Reads one case per line on standard input, tab-separated, and writes the expected text for each:
  float  <pattern> <repr of a double>   the pattern's text of the value (patterns of 0 , and .)
  amount <typed text>                   the stored "0.00" text, or "REFUSED"
  stamp  <y> <m> <d> <h> <n>            "dddd, mmmm d, yyyy, hh:mm AM/PM"
Rounding is Python's decimal ROUND_HALF_UP (half away from zero) on the shortest repr digits.
"""
import datetime
import re
import sys
from decimal import ROUND_HALF_UP, Decimal

AMOUNT = re.compile(r"-?(\d+\.?\d*|\.\d+)\Z")


def float_text(pattern, value):
    whole, _, frac = pattern.partition(".")
    decimals = frac.count("0")
    min_whole = whole.count("0")
    q = Decimal(value).quantize(Decimal(1).scaleb(-decimals), rounding=ROUND_HALF_UP)
    if q == 0:
        q = abs(q)
    text = format(q, ("," if "," in pattern else "") + ".%df" % decimals)
    sign = "-" if text.startswith("-") else ""
    body = text.lstrip("-")
    int_part, dot, rest = body.partition(".")
    if int_part == "0" and min_whole == 0:
        int_part = ""
    int_part = int_part.rjust(min_whole, "0")
    return sign + int_part + dot + rest


def amount_text(typed):
    text = typed.replace(",", "").strip(" \t\r\n")
    if not AMOUNT.match(text):
        return "REFUSED"
    q = Decimal(text).quantize(Decimal("0.01"), rounding=ROUND_HALF_UP)
    return format(abs(q) if q == 0 else q, ".2f")


def stamp_text(y, m, d, h, n):
    t = datetime.datetime(y, m, d, h, n)
    return "%s, %s %d, %04d, %s" % (t.strftime("%A"), t.strftime("%B"), t.day, t.year, t.strftime("%I:%M %p"))


def main():
    for line in sys.stdin.read().split("\n"):
        if not line:
            continue
        kind, *args = line.split("\t")
        if kind == "float":
            print(float_text(args[0], args[1]))
        elif kind == "amount":
            print(amount_text(args[0]))
        elif kind == "stamp":
            print(stamp_text(*map(int, args)))
        else:
            print("UNKNOWN")


main()
