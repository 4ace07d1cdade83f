#!/usr/bin/python3
"""Checks an index file written by the storage engine, and its data file, against the documented
layouts alone.

Index file: rows of RowSize bytes, RowSize being the sum of the keys' PageSize; key k's section
starts at SectionOffset(k), the sum of the page sizes of the keys before it. Row 0 holds at each
section a 28-byte header (little-endian):
  0 int32 FirstFree, 4 int32 NumberFree, 8 int32 NumberPages, 12 int32 PageSize,
  16 int32 RootPage, 20 byte AllowDuplicates, 21 byte reserved, 22 int32 NumberEntries,
  26 uint16 ItemsPerPage (62; 0 reads as 62); the rest of row 0 is zero.
PageSize = 6 + 62 * (L + 9) for key length L. Page p of a key lies at p * RowSize + SectionOffset.
A page: uint16 EntryCount, int32 LeftChild (0 in a leaf), then EntryCount entries of L + 9 bytes:
int32 DataRef, int32 Child, a length byte and L characters. A free page holds the int32 number of
the next free page of its key (-1 at the end). Entries are ordered by key as unsigned bytes (a
prefix first) and, where duplicates are allowed, by DataRef. Every page but the root holds 31 to
62 entries; all leaves lie at one depth. The file holds (highest NumberPages + 1) rows.

The data file (see dat_checker.py) gives the live records. The test lays each key of a record out
as a length byte and its characters at a known offset, given here as --key OFFSET:LENGTH:DUP
(DUP 1 when duplicates are allowed), once per key in key order. Every live record's key must be in
its index with the record's reference, and the index must hold nothing else.

Usage: ix_checker.py DATAFILE INDEXFILE --key OFF:LEN:DUP [--key ...]
Exit status 0 when the files are sound, 1 otherwise (the faults are printed).
"""

import argparse
import struct
import sys

ITEMS = 62
HEADER = 28


def live_records(data):
    _, _, number_records, record_length, number_keys = struct.unpack_from("<5i", data, 0)
    records = {}
    for ref in range(1, number_records + 1):
        slot = data[ref * record_length:(ref + 1) * record_length]
        if struct.unpack_from("<i", slot, 0)[0] == 0:
            records[ref] = slot
    return records, number_keys, data[20]


def sort_key(key, ref, dup):
    return (key, ref) if dup else (key,)


def check_key(index, row_size, section, number, spec, errors):
    offset, length, dup = spec
    first_free, number_free, number_pages, page_size, root, allow_dup, _, number_entries, items = \
        struct.unpack_from("<5iBBiH", index, section)
    items = items or ITEMS
    where = f"key {number}"
    if items != ITEMS:
        errors.append(f"{where}: ItemsPerPage {items}")
    if page_size != 6 + ITEMS * (length + 9):
        errors.append(f"{where}: PageSize {page_size} does not fit key length {length}")
        return None
    if allow_dup != dup:
        errors.append(f"{where}: AllowDuplicates {allow_dup}, expected {dup}")
    if any(index[section + HEADER:section + page_size]):
        errors.append(f"{where}: row 0 is not zero after the header")
    if not 0 <= root <= number_pages:
        errors.append(f"{where}: RootPage {root} outside 0..{number_pages}")
        return None
    entry_size = length + 9
    seen = set()
    entries = []
    leaf_depths = set()

    def page_at(p):
        start = p * row_size + section
        return index[start:start + page_size]

    def visit(p, depth, is_root):
        if not 1 <= p <= number_pages:
            errors.append(f"{where}: child page {p} outside 1..{number_pages}")
            return
        if p in seen:
            errors.append(f"{where}: page {p} reached twice")
            return
        seen.add(p)
        page = page_at(p)
        if len(page) < 6:
            errors.append(f"{where}: page {p} lies beyond the end of the file")
            return
        count, left = struct.unpack_from("<Hi", page, 0)
        low = 1 if is_root else ITEMS // 2
        if not low <= count <= ITEMS:
            errors.append(f"{where}: page {p} holds {count} entries")
            return
        children = [left]
        page_entries = []
        for i in range(count):
            at = 6 + i * entry_size
            ref, child, key_len = struct.unpack_from("<iiB", page, at)
            if key_len > length:
                errors.append(f"{where}: page {p} entry {i + 1} key length {key_len} above {length}")
                return
            page_entries.append((page[at + 9:at + 9 + key_len], ref))
            children.append(child)
        leaf = left == 0
        if any((c == 0) != leaf for c in children):
            errors.append(f"{where}: page {p} mixes leaf and inner links")
            return
        if leaf:
            leaf_depths.add(depth)
        for i, child in enumerate(children):
            if not leaf:
                visit(child, depth + 1, False)
            if i < count:
                entries.append(page_entries[i])

    if root:
        visit(root, 1, True)
    if len(leaf_depths) > 1:
        errors.append(f"{where}: leaves at depths {sorted(leaf_depths)}")
    for a, b in zip(entries, entries[1:]):
        if not sort_key(*a, dup) < sort_key(*b, dup):
            errors.append(f"{where}: {a} is not before {b}")
            break
    if number_entries != len(entries):
        errors.append(f"{where}: NumberEntries {number_entries}, {len(entries)} entries in the tree")

    free = 0
    p = first_free
    while p != -1:
        if not 1 <= p <= number_pages or p in seen:
            errors.append(f"{where}: free chain meets page {p}")
            break
        seen.add(p)
        free += 1
        p = struct.unpack_from("<i", page_at(p), 0)[0]
    if free != number_free:
        errors.append(f"{where}: {free} pages on the free chain, NumberFree {number_free}")
    if len(seen) != number_pages:
        errors.append(f"{where}: {len(seen)} tree and free pages, NumberPages {number_pages}")
    return number_pages, entries


def check(data_path, index_path, specs):
    errors = []
    with open(data_path, "rb") as f:
        data = f.read()
    with open(index_path, "rb") as f:
        index = f.read()
    records, number_keys, dirty = live_records(data)
    if dirty != 0:
        errors.append(f"index-dirty byte is {dirty}")
    if number_keys != len(specs):
        return errors + [f"the data header names {number_keys} keys, {len(specs)} described"]
    row_size = sum(6 + ITEMS * (length + 9) for _, length, _ in specs)
    highest = 0
    section = 0
    for number, spec in enumerate(specs, start=1):
        result = check_key(index, row_size, section, number, spec, errors)
        section += 6 + ITEMS * (spec[1] + 9)
        if result is None:
            continue
        pages, entries = result
        highest = max(highest, pages)
        offset, length, dup = spec
        expected = []
        for ref, slot in records.items():
            key = slot[offset + 1:offset + 1 + slot[offset]]
            expected.append((key, ref))
        expected.sort(key=lambda e: sort_key(*e, dup))
        if sorted(entries, key=lambda e: sort_key(*e, dup)) != expected:
            missing = set(expected) - set(entries)
            extra = set(entries) - set(expected)
            errors.append(f"key {number}: {len(missing)} live records missing from the index, "
                          f"{len(extra)} entries without their record")
    if len(index) != (highest + 1) * row_size:
        errors.append(f"index file of {len(index)} bytes, expected ({highest} + 1) x {row_size}")
    return errors


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("data")
    parser.add_argument("index")
    parser.add_argument("--key", action="append", default=[])
    args = parser.parse_args()
    specs = [tuple(int(x) for x in k.split(":")) for k in args.key]
    errors = check(args.data, args.index, specs)
    for e in errors:
        print(e)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
