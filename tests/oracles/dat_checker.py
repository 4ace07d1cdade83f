#!/usr/bin/python3
"""Checks a data file written by the storage engine against its documented layout alone.

Layout: fixed slots of RecordLength bytes; slot 0 is the header (little-endian):
  0 int32 FirstFree, 4 int32 NumberFree, 8 int32 NumberRecords, 12 int32 RecordLength,
  16 int32 NumberKeys, 20 byte index-dirty flag; the rest of slot 0 is zero.
A live record has int32 0 in its first four bytes; a deleted one holds the next deleted slot
(-1 at the end of the chain), the chain starting at FirstFree.

Usage: dat_checker.py FILE [--used N] [--records N] [--clean]
Exit status 0 when the file is sound (and matches the expectations given), 1 otherwise.
"""

import argparse
import struct
import sys


def check(path, used=None, records=None, clean=False):
    errors = []
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 21:
        return ["file shorter than the 21-byte header"]
    first_free, number_free, number_records, record_length, number_keys = struct.unpack_from("<5i", data, 0)
    dirty = data[20]
    if not 21 <= record_length <= 65535:
        return [f"record length {record_length} outside 21..65535"]
    if not 0 <= number_keys <= 100:
        errors.append(f"number of keys {number_keys} outside 0..100")
    if number_records < 0 or len(data) != (number_records + 1) * record_length:
        return errors + [f"size {len(data)} is not ({number_records} + 1) x {record_length}"]
    if any(data[21:record_length]):
        errors.append("slot 0 is not zero after the header")
    if clean and dirty != 0:
        errors.append(f"index-dirty byte is {dirty}, expected 0")

    def status(ref):
        return struct.unpack_from("<i", data, ref * record_length)[0]

    chain = []
    seen = set()
    ref = first_free
    while ref != -1:
        if not 1 <= ref <= number_records:
            errors.append(f"free chain reaches {ref}, outside 1..{number_records}")
            break
        if ref in seen:
            errors.append(f"free chain loops at {ref}")
            break
        seen.add(ref)
        chain.append(ref)
        ref = status(ref)
        if ref == 0:
            errors.append(f"free chain runs into live slot {chain[-1]}")
            break
    if len(chain) != number_free:
        errors.append(f"free chain holds {len(chain)} slots, header says {number_free}")
    not_live = {r for r in range(1, number_records + 1) if status(r) != 0}
    if not_live != seen:
        errors.append(f"deleted slots not on the chain: {sorted(not_live - seen)}")
    live = number_records - len(not_live)
    if used is not None and live != used:
        errors.append(f"{live} live records, expected {used}")
    if records is not None and number_records != records:
        errors.append(f"{number_records} slots, expected {records}")
    return errors


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("file")
    parser.add_argument("--used", type=int)
    parser.add_argument("--records", type=int)
    parser.add_argument("--clean", action="store_true")
    args = parser.parse_args()
    errors = check(args.file, args.used, args.records, args.clean)
    for e in errors:
        print(f"{args.file}: {e}", file=sys.stderr)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
