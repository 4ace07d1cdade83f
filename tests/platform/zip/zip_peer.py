#!/usr/bin/env python3
"""Python's zipfile as the other side of our ZIP archives in the tests.

  zip_peer.py read ARCHIVE
      prints JSON: {"entries": [{"name", "compress_type", "size", "data"}], "testzip": first bad
      entry name or null}; data is the entry's bytes as Latin-1 text.
  zip_peer.py make ARCHIVE SPEC
      writes ARCHIVE from the JSON list in the file SPEC, one object per entry:
      {"name": ..., "data": Latin-1 text, "kind": "file" | "dir" | "link", "damage": true|false}
      A damaged entry is stored uncompressed and has one byte of its data changed after writing,
      so its checksum no longer matches.
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


def make(archive, spec_path):
    with open(spec_path, encoding="utf-8") as f:
        spec = json.load(f)
    with zipfile.ZipFile(archive, "w") as z:
        for entry in spec:
            z.writestr(info(entry), entry.get("data", "").encode("latin-1"))
    with zipfile.ZipFile(archive) as z:
        infos = z.infolist()
    with open(archive, "r+b") as f:
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
