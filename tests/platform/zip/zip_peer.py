#!/usr/bin/env python3
"""Python's zipfile as the other side of our ZIP archives in the tests.

  zip_peer.py read ARCHIVE
      prints JSON: {"entries": [{"name", "compress_type", "size", "data"}], "testzip": first bad
      entry name or null}; data is the entry's bytes as Latin-1 text.
  zip_peer.py make ARCHIVE SPEC
      writes ARCHIVE from the JSON list in the file SPEC, one object per entry:
      {"name": ..., "data": Latin-1 text, "kind": "file" | "dir" | "link", "damage": true|false,
       "declared_size": N}
      A damaged entry is stored uncompressed and has one byte of its data changed after writing,
      so its checksum no longer matches. A declared size of 0 or more replaces the uncompressed
      size in the entry's local header and in the central directory alike.
"""
import json
import stat
import sys
import zipfile


def read(archive):
    with zipfile.ZipFile(archive) as z:
        entries = [{"name": i.filename, "compress_type": i.compress_type, "size": i.file_size,
                    "data": z.read(i).decode("latin-1")} for i in z.infolist()]
        bad = z.testzip()
    print(json.dumps({"entries": entries, "testzip": bad}))


def info(entry):
    i = zipfile.ZipInfo(entry["name"], date_time=(2024, 5, 6, 7, 8, 10))
    i.create_system = 3  # Unix: the mode sits in the upper half of the external attributes
    kind = entry.get("kind", "file")
    mode = {"file": stat.S_IFREG | 0o644, "dir": stat.S_IFDIR | 0o755, "link": stat.S_IFLNK | 0o777}[kind]
    i.external_attr = mode << 16
    damaged = entry.get("damage", False)
    i.compress_type = zipfile.ZIP_STORED if damaged or kind != "file" else zipfile.ZIP_DEFLATED
    return i


def central_headers(f):
    """The offset of each entry's central directory header, in entry order."""
    f.seek(-22, 2)
    end = f.read(22)
    count = int.from_bytes(end[10:12], "little")
    at = int.from_bytes(end[16:20], "little")
    offsets = []
    for _ in range(count):
        offsets.append(at)
        f.seek(at + 28)
        lengths = f.read(6)
        at += 46 + sum(int.from_bytes(lengths[k:k + 2], "little") for k in (0, 2, 4))
    return offsets


def declare_sizes(f, spec, infos):
    for entry, i, central in zip(spec, infos, central_headers(f)):
        size = entry.get("declared_size", -1)
        if size < 0:
            continue
        for at in (i.header_offset + 22, central + 24):
            f.seek(at)
            f.write(int(size).to_bytes(4, "little"))


def make(archive, spec_path):
    with open(spec_path, encoding="utf-8") as f:
        spec = json.load(f)
    with zipfile.ZipFile(archive, "w") as z:
        for entry in spec:
            z.writestr(info(entry), entry.get("data", "").encode("latin-1"))
    with zipfile.ZipFile(archive) as z:
        infos = z.infolist()
    with open(archive, "r+b") as f:
        declare_sizes(f, spec, infos)
        for entry, i in zip(spec, infos):
            if not entry.get("damage") or i.compress_size == 0:
                continue
            f.seek(i.header_offset + 26)
            name_length = int.from_bytes(f.read(2), "little")
            extra_length = int.from_bytes(f.read(2), "little")
            at = i.header_offset + 30 + name_length + extra_length + i.compress_size // 2
            f.seek(at)
            byte = f.read(1)[0]
            f.seek(at)
            f.write(bytes([byte ^ 0x5A]))


if __name__ == "__main__":
    if sys.argv[1] == "read":
        read(sys.argv[2])
    else:
        make(sys.argv[2], sys.argv[3])
