#!/usr/bin/python3
"""Builds the data folders of the older programs and checks what the conversion made of them.

The record maps below are written down from the older programs' layouts on their own, apart from
the program's tables, so that a mistake in either shows as a difference.

  old_files.py make  sibling|version2 OLD_DIR [--short]
  old_files.py check sibling|version2 OLD_DIR PROGRAM_DIR [--existing N,N] [--terms T|T]

`make` writes the old company list, each company's files, the program files, the terms file and
the label layouts. Old records are filled with noise first, then every mapped field gets a short
text (some with a wild length byte), so that a field read from the wrong place, a byte copied
where nothing should be, or a length byte followed past its field shows in the check. --short
writes every file with a shorter old record, so that fields lie partly or wholly beyond it.

`check` reads the old folder again, works out every record the conversion must have written
(companies refused when their number is in --existing or cannot name files), and compares the
program folder's data files byte for byte: mapped fields, constants, the line keys and numbers,
untouched bytes (zero), the files copied, the label layouts kept, the terms merged (--terms gives
the expected list). Exit status 0 when all agree; every difference is printed.
"""

import os
import random
import struct
import sys

# --- record maps -----------------------------------------------------------------------------
# A row: (new offset, width, rule, source). Rules: T old short text at source, cut to width;
# M the same, trimmed first; B width raw bytes at source; L the literal text source; Y the byte
# value source.


def parse(rows, shift=0):
    """'345:35 416:4b' -> text or byte rows whose old field stands at new offset - shift."""
    out = []
    for item in rows.split():
        at, width = item.split(":")
        raw = width.endswith("b")
        width = int(width.rstrip("b"))
        out.append((int(at), width, "B" if raw else "T", int(at) - shift))
    return out


def lit(at, text):
    return (at, len(text), "L", text)


STATUS = [(0, 4, "B", 0)]

SIBLING_COMPANY = STATUS + parse("4:35 40:5 57:35 93:35 129:35 165:35") + parse(
    "345:35 381:32 416:4b 420:4b 424:1b 425:1b 677:78 756:78 835:78 914:78 993:9 1003:9 1013:5b 1018:6 "
    "1025:35 1061:1 1063:1 1065:8 1088:1b 1089:1 1091:1 1093:1 1095:1 1097:1b 1098:40 1140:4b 1144:4b "
    "1148:3b 1151:1 1153:8b 1161:2 1164:2 1167:2 1422:25 1448:25 1474:25 1500:25 1526:15 1542:15 1558:32 "
    "1591:15 1607:15 1623:10 1634:80 1715:3b 1718:9 2016:80 2097:2 2100:10 2111:10 2133:10 2144:1b "
    "2145:35 2181:1 2183:5 2189:5 2244:3 2248:4 2253:4 2258:4 2263:1 2265:1 2267:1 2269:1 2271:1 "
    "2273:10 2284:1 2286:10 2297:2 2300:2", 144) + [
    (2983, 25, "T", 2548), (3121, 50, "T", 2159), (3172, 50, "T", 2210), (3223, 50, "T", 2261),
    (3274, 50, "T", 2312), (3325, 1, "T", 2363), (3327, 60, "T", 2365), (3388, 60, "T", 2426),
    (3449, 60, "T", 2487), (3510, 25, "T", 2574), (3536, 10, "T", 2600), (3547, 1, "T", 2611),
    (3549, 1, "T", 2613), (3555, 3, "T", 2674), (3559, 3, "T", 2678), (3563, 3, "T", 2682),
    (3567, 10, "T", 2690), (3578, 10, "T", 2701), (3589, 10, "T", 2712),
    lit(46, "999.99"), lit(426, "ovt8.bmp"), lit(1077, "01/01/1998"), lit(1171, " "), lit(2303, "50000"),
    lit(2313, "This Purchase Order is issued under the terms of our Operating Agreement."),
    lit(2389, "Purchase Agent Signature: _______________________________"), lit(2466, "Purchase Order"),
    lit(2493, "1"), lit(2495, "PO Copy"), lit(2521, "Description of goods and services purchased:"),
    lit(2603, "0"), lit(2608, "0"), lit(2618, "90000"), lit(2631, "N"), (2659, 1, "Y", 1),
    lit(2667, " "), lit(2746, " "), lit(2825, " "), lit(2904, " "), lit(3009, "Ship Order To:"),
    lit(3035, "Net 30 Days"), lit(3071, "P"), lit(3073, "N"), lit(3075, "N"), lit(3077, "N"), lit(3079, "N"),
    lit(3083, "1"), lit(3085, "1000")]

SIBLING_CUSTOMER = STATUS + parse(
    "4:8 13:35 49:12 62:10 73:9 83:25 109:1 111:10 122:35 158:35 194:35 230:35 266:35 302:25 328:35 "
    "364:35 400:35 436:35 472:25 542:200") + [lit(a, "0") for a in (498, 509, 520, 531)] + parse(
    "743:1 745:1 747:10 758:1 760:10 771:15 787:25 813:1", -40) + [(815, 50, "M", 855)]

SIBLING_INVOICE = STATUS + parse(
    "4:9 14:1 16:8 25:8 34:5 40:10 51:1 53:2 56:2 59:4 64:10 75:80 156:35 192:35 228:1 230:10 241:10 "
    "252:10 263:10 274:10 285:10 296:10 307:1 309:1 311:10 322:3 326:3")

SIBLING_DETAIL = STATUS + parse("4:65 70:1") + [
    (76, 5, "T", 72), (82, 9, "T", 78), (92, 10, "T", 88), (103, 15, "T", 99), (119, 8, "T", 110),
    (128, 10, "T", 119), lit(139, "Y"), (141, 10, "T", 88), lit(152, "0")]

SIBLING_PRODUCT = STATUS + [
    (4, 15, "T", 4), (20, 32, "T", 15), (53, 10, "T", 48), (64, 1, "B", 59), (65, 10, "T", 60), lit(76, "0"),
    (87, 225, "T", 82), (313, 10, "T", 233), (324, 10, "T", 244), (335, 1, "T", 255), (337, 1, "T", 257),
    (339, 10, "T", 259), lit(350, "0"), lit(361, "0"), (372, 32, "T", 15), lit(405, "F"), lit(407, "A"),
    (409, 1, "B", 59), lit(410, "0"), (421, 1, "Y", 0), (422, 1, "Y", 0), lit(423, "*NONE*"),
    lit(444, "*NONE*"), lit(455, "0"), lit(466, " "), lit(477, " "), lit(489, "0"), lit(500, " "),
    lit(511, "0"), lit(522, "0"), lit(533, "0"), (544, 1, "Y", 0), lit(545, "0"), lit(548, " ")]

VERSION2_COMPANY = [(0, 3600, "B", 0), lit(3109, "3")]

VERSION2_PRODUCT = STATUS + [
    (4, 15, "T", 4), (20, 32, "T", 15), (53, 10, "T", 48), (65, 10, "T", 60), (76, 10, "T", 71),
    (87, 225, "T", 82), (64, 1, "B", 59)] + parse(
    "313:10 324:10 335:1 337:1 339:10 350:10 361:10", 5) + [(372, 32, "T", 15)] + parse(
    "405:1 407:1", 5) + [(409, 1, "B", 59)] + parse("410:10 421:1b 422:1b 423:20 444:10 455:10 466:10 "
                                                   "477:10 488:1b 489:10 500:10 511:10 522:10 533:10 544:1b "
                                                   "545:2 548:20", 5)

VERSION2_DETAIL = STATUS + parse("4:65 70:1 76:5 82:9 92:10 103:15") + parse(
    "119:8 128:10 139:1 141:10 152:10 163:10", 5)

VERSION2_PO_DETAIL = STATUS + parse("4:65 70:1 72:1 74:1 76:5 82:9 92:10 103:15") + parse(
    "119:8 128:10 139:1 141:10 152:10 163:9", 5)

# A converted file: letter, new record length, number of keys, map, old number (offset, width)
# that must not be empty, old type offset ("R" passes over), line key and line number offsets
# and the new document number offset (None: no numbering); old record length, full and short.
SIBLING = {
    "list": ("COMPANY.DAT", SIBLING_COMPANY, 2750, 2600),
    "programs": ["OVPV3.EXE"],
    "files": [
        ("C", 916, 2, SIBLING_CUSTOMER, (4, 8), None, None, 920, 870),
        ("I", 544, 6, SIBLING_INVOICE, (4, 9), 14, None, 340, 300),
        ("D", 224, 3, SIBLING_DETAIL, (78, 9), None, (174, 218, 82), 140, 115),
        ("P", 620, 3, SIBLING_PRODUCT, (4, 15), None, None, 280, 240),
    ],
    "copied": ["M.DAT"],
}

VERSION2 = {
    "list": ("OVCOMP.DAT", VERSION2_COMPANY, 3600, 3200),
    "programs": ["OVINV.EXE"],
    "files": [
        ("P", 620, 3, VERSION2_PRODUCT, (4, 15), None, None, 570, 500),
        ("D", 224, 3, VERSION2_DETAIL, (82, 9), None, (174, 218, 82), 180, 150),
        ("PD", 248, 6, VERSION2_PO_DETAIL, (82, 9), None, (173, 211, 82), 180, 160),
    ],
    "copied": ["PM.DAT", "O.DAT", "C.DAT", "V.DAT", "I.DAT", "M.DAT"],
}

PLANS = {"sibling": SIBLING, "version2": VERSION2}
LABELS = ["A5160.LBL", "A5161.LBL", "A5162.LBL", "A5163.LBL"]
OLD_TERMS = b"net 30 days\r\nNet 45 Days\r\n\r\nCash Only\r\n"

# The old companies: number, name, what is done to its files. "30" and "3" tell an exact number
# match from a near one; "A1B" cannot name files; "7" has damaged files.
COMPANIES = [("12", "Acme Supply"), ("3", "Third Street Hardware"), ("30", "Thirty Limited"),
             ("A1B", "Bad Number"), ("7", "Seven Seas Damaged")]

# --- the data-file layout ----------------------------------------------------------------------


def data_file(length, records, keys=0, deleted=()):
    """A data file of the given record length with these records (bytes); slots listed in deleted
    (1-based) are on the free chain."""
    slots = []
    free = -1
    for n, record in enumerate(records, 1):
        record = bytearray(record.ljust(length, b"\0")[:length])
        if n in deleted:
            record[0:4] = struct.pack("<i", free)
            free = n
        slots.append(bytes(record))
    header = struct.pack("<5iB", free, len(deleted), len(records), length, keys, 0).ljust(length, b"\0")
    return header + b"".join(slots)


def live_records(path):
    """The live records of a data file in slot order, as the conversion must read them: whole
    slots only, up to the header's count."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 21:
        return None
    _, _, count, length, _ = struct.unpack_from("<5i", data, 0)
    if not 21 <= length <= 65535 or count < 0:
        return None
    whole = min(count, len(data) // length - 1)
    out = []
    for n in range(1, whole + 1):
        slot = data[n * length:(n + 1) * length]
        if struct.unpack_from("<i", slot, 0)[0] == 0:
            out.append(slot)
    return out


def find(folder, name):
    """The entry of folder whose name is name in any letter case."""
    for entry in os.listdir(folder):
        if entry.upper() == name.upper():
            return os.path.join(folder, entry)
    return None


# --- the conversion, as the layouts describe it ------------------------------------------------


def old_text(old, offset, limit=255):
    if offset >= len(old):
        return b""
    return old[offset + 1:offset + 1 + min(old[offset], limit, len(old) - offset - 1)]


def trim(text):
    return text.strip(bytes(range(33)))


def put_text(record, at, width, text):
    text = text[:width]
    record[at] = len(text)
    record[at + 1:at + 1 + len(text)] = text


def convert(fields, length, old):
    new = bytearray(length)
    for at, width, rule, source in fields:
        if rule == "T":
            put_text(new, at, width, old_text(old, source, width))
        elif rule == "M":
            put_text(new, at, width, trim(old_text(old, source)))
        elif rule == "B":
            piece = old[source:source + width]
            new[at:at + len(piece)] = piece
        elif rule == "L":
            put_text(new, at, width, source.encode("cp1252"))
        elif rule == "Y":
            new[at] = source
    return bytes(new)


def valid_number(number):
    return 0 < len(number) <= 5 and number.isalnum() and number[-1:].isdigit()


# --- make ---------------------------------------------------------------------------------------


def noise(rng, length):
    return bytearray(rng.randrange(256) for _ in range(length))


def printable(rng, length):
    return bytes(rng.choice(b"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .-/") for _ in range(length))


def old_record(rng, fields, length, key=None, wild=False):
    """Noise with a short text in every text field the map reads; key fields (offset, text) set."""
    record = noise(rng, length)
    record[0:4] = b"\0\0\0\0"
    sources = [(source, width) for _, width, rule, source in fields if rule in "TM"]
    rng.shuffle(sources)
    for source, width in sources:
        if source >= length:
            continue
        text = printable(rng, rng.randrange(width + 3))  # now and then longer than the new field
        if rng.random() < 0.2:
            text = b"  " + text.strip() + b" "
        end = min(length, source + 1 + len(text))
        record[source] = len(text)
        record[source + 1:end] = text[:end - source - 1]
        if wild and rng.random() < 0.3:
            record[source] = 255  # a length byte that runs past the field and the record
    for offset, text in key or []:
        if offset < length:
            record[offset] = len(text)
            record[offset + 1:offset + 1 + len(text)] = text
    return bytes(record)


def make(kind, folder, short):
    plan = PLANS[kind]
    rng = random.Random(f"{kind}{short}")
    os.makedirs(folder, exist_ok=True)
    column = 3 if short else 2
    list_name, company_map, *lengths = plan["list"]
    companies = []
    for number, name in COMPANIES:
        key = [(40, number.encode()), (4, name.encode())]
        companies.append(old_record(rng, company_map if kind == "sibling" else SIBLING_COMPANY,
                                    lengths[column - 2], key))
    companies.append(old_record(rng, SIBLING_COMPANY, lengths[column - 2], [(40, b"99")]))
    write(folder, list_name.capitalize(), data_file(lengths[column - 2], companies, deleted={len(companies)}))
    for program in plan["programs"]:
        write(folder, program.lower(), b"MZ")
    for number, _ in COMPANIES:
        for letter, _, _, fields, (number_at, _), type_at, lines, full, cut in plan["files"]:
            length = cut if short else full
            records = []
            for n in range(12):
                document = str(1000 + n // 3).encode()  # three lines to a document
                key = [(number_at, document if lines else f"{letter}{n}".encode())]
                if n == 4:
                    key = [(number_at, b"   ")]  # an empty number: passed over
                if type_at is not None:
                    key.append((type_at, b"R" if n == 5 else b"S"))
                records.append(old_record(rng, fields, length, key, wild=n in (7, 8)))
            name = f"{number}{letter}.dat".lower()
            body = data_file(length, records, keys=2, deleted={2, 9})
            if number == "7" and letter == plan["files"][0][0]:
                body = body[:12] + struct.pack("<i", 3) + body[16:]  # record length 3: unreadable
            elif number == "7":
                body = body[:-length // 2]  # the last record cut short
            write(folder, name, body)
        for suffix in plan["copied"]:
            if number != "7" or suffix != "M.DAT":  # company 7 has no memo file
                write(folder, number + suffix, f"{number}{suffix} bytes".encode() * 7)
    write(folder, "PVTERMS.DAT", OLD_TERMS)
    for label in LABELS:
        write(folder, label, f"old layout {label}".encode())


def write(folder, name, data):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# --- check -------------------------------------------------------------------------------------


class Checker:
    def __init__(self):
        self.errors = []

    def fail(self, text):
        self.errors.append(text)

    def same_records(self, what, fields, length, got, want):
        if len(got) != len(want):
            self.fail(f"{what}: {len(got)} records, expected {len(want)}")
            return
        for n, (g, w) in enumerate(zip(got, want), 1):
            if g == w:
                continue
            wrong = [f"{at}({rule})" for at, width, rule, _ in fields
                     if g[at:at + width + (rule in "TML")] != w[at:at + width + (rule in "TML")]]
            covered = set()
            for at, width, rule, _ in fields:
                covered.update(range(at, at + width + (rule in "TML")))
            stray = [i for i in range(length) if i not in covered and g[i] != w[i]]
            self.fail(f"{what} record {n}: fields {wrong[:8]} differ; untouched bytes {stray[:8]} not zero")


def check(kind, old_folder, folder, existing, terms):
    plan = PLANS[kind]
    c = Checker()
    list_name, company_map, *_ = plan["list"]
    old_list = live_records(find(old_folder, list_name))
    stored = {}
    for record in live_records(os.path.join(folder, "ovcomp.DAT")) or []:
        stored[trim(old_text(record, 40, 5)).decode()] = record
    for old in old_list:
        number = trim(old_text(old, 40, 5)).decode()
        if number in existing or not valid_number(number):
            if find(folder, number + plan["files"][0][0] + ".DAT") and valid_number(number):
                c.fail(f"company {number} was refused, but its files were written")
            continue
        if number not in stored:
            c.fail(f"company {number} is not in the company list")
            continue
        c.same_records(f"company {number}", company_map, 3600, [stored[number]], [convert(company_map, 3600, old)])
        check_files(c, plan, old_folder, folder, number)
    check_shared(c, folder, old_folder, terms)
    for error in c.errors:
        print(error)
    return 0 if not c.errors else 1


def check_files(c, plan, old_folder, folder, number):
    for letter, length, keys, fields, (number_at, width), type_at, lines, _, _ in plan["files"]:
        path = find(folder, f"{number}{letter}.DAT")
        if not path:
            c.fail(f"{number}{letter}.DAT was not written")
            continue
        with open(path, "rb") as f:
            header = f.read(21)
        _, _, _, got_length, got_keys = struct.unpack_from("<5i", header, 0)
        if (got_length, got_keys) != (length, keys):
            c.fail(f"{number}{letter}.DAT: record length {got_length} and {got_keys} keys, "
                   f"expected {length} and {keys}")
        if not find(folder, f"{number}{letter}.IX"):
            c.fail(f"{number}{letter}.IX was not created")
        old = live_records(find(old_folder, f"{number}{letter}.DAT")) or []
        want = []
        line_of = {}
        for record in old:
            if not trim(old_text(record, number_at, width)):
                continue
            if type_at is not None and trim(old_text(record, type_at, 1)) == b"R":
                continue
            new = bytearray(convert(fields, length, record))
            if lines:
                key_at, line_at, document_at = lines
                document = bytes(trim(old_text(new, document_at, 9)))
                line_of[document] = line_of.get(document, 0) + 1
                line = b"%02d" % line_of[document]
                put_text(new, key_at, 20, document.rjust(9, b"0")[:9] + line)
                put_text(new, line_at, 2, line)
            want.append(bytes(new))
        got = live_records(path) or []
        covered = fields + ([(lines[0], 20, "T", 0), (lines[1], 2, "T", 0)] if lines else [])
        c.same_records(f"{number}{letter}.DAT", covered, length, got, want)
        if number == "12" and len(want) < 8:
            c.fail(f"{number}{letter}.DAT: only {len(want)} records to compare")
    for suffix in plan["copied"]:
        source = find(old_folder, number + suffix)
        target = find(folder, number + suffix)
        if source is None:
            continue
        if target is None or open(source, "rb").read() != open(target, "rb").read():
            c.fail(f"{number}{suffix} was not copied as it is")
        if find(folder, number + suffix[:-4] + ".IX"):
            c.fail(f"{number}{suffix[:-4]}.IX was left beside the copied data file")


def check_shared(c, folder, old_folder, terms):
    for label in LABELS:
        got = open(find(folder, label), "rb").read() if find(folder, label) else None
        if label == "A5160.LBL":
            if got != b"my own layout":
                c.fail(f"{label}: the program's own layout was replaced")
        elif got != open(find(old_folder, label), "rb").read():
            c.fail(f"{label}: not copied")
    if terms is not None:
        got = open(find(folder, "PVTERMS.DAT"), "rb").read()
        want = "".join(t + "\r\n" for t in terms.split("|")).encode("cp1252")
        if got != want:
            c.fail(f"PVTERMS.DAT holds {got!r}, expected {want!r}")


def main(argv):
    if len(argv) >= 3 and argv[0] == "make":
        make(argv[1], argv[2], "--short" in argv)
        return 0
    if len(argv) >= 4 and argv[0] == "check":
        options = dict(zip(argv[4::2], argv[5::2]))
        existing = set(filter(None, options.get("--existing", "").split(",")))
        return check(argv[1], argv[2], argv[3], existing, options.get("--terms"))
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
