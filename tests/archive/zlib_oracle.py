#!/usr/bin/env python3
"""Checks the archive format against Python's zlib as an independent implementation.

1. Files are added with kestrune-arc; this script walks the archive by the documented
   layout and inflates every member with plain zlib.
2. This script writes an archive of its own (members deflated by plain zlib at several
   levels, embedded at an offset in a larger file); kestrune-arc extracts it.

Usage: zlib_oracle.py [--wine] KESTRUNE_ARC [EMULATOR...]
With --wine, paths handed to the tool are given as Z: drive paths.
"""
import os
import random
import struct
import subprocess
import sys
import tempfile
import zlib

HEADER = 172


def win_path(p, wine):
    return "Z:" + p.replace("/", "\\") if wine else p


def run(cmd):
    r = subprocess.run(cmd, capture_output=True, text=True)
    if r.returncode != 0:
        sys.exit("command failed: %s\n%s%s" % (cmd, r.stdout, r.stderr))
    return r.stdout


def sample_files(folder):
    rnd = random.Random(1)
    words = [b"install", b"archive", b"volume", b"header", b"Zarvotill", b"\r\n", b" "]
    data = {
        "empty.dat": b"",
        "one.dat": b"x",
        "step.dat": bytes(rnd.getrandbits(8) for _ in range(4096)),
        "stepplus.dat": bytes(rnd.getrandbits(8) for _ in range(4097)),
        "text.txt": b"".join(rnd.choice(words) for _ in range(60000)),
        "random.bin": bytes(rnd.getrandbits(8) for _ in range(200000)),
    }
    for name, content in data.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(content)
    return data


def parse_plain(blob, offset):
    count, spanned = struct.unpack_from("<iB", blob, offset)
    assert spanned == 0, "plain archive expected"
    members, p = [], offset + 5
    for i in range(count):
        h = blob[p:p + HEADER]
        (number, date, end_disk, last_byte) = struct.unpack_from("<idBxxxi", h, 0)
        name = h[21:21 + h[20]].decode("cp1250")
        (next_header, original, data_start, compressed, start_disk, unique_id) = struct.unpack_from("<iiiiBxxxi", h, 124)
        version = h[149:149 + h[148]].decode("cp1250")
        assert number == i + 1, (number, i)
        assert data_start == p - offset + HEADER, "data follows its header"
        assert last_byte == data_start + compressed - 1
        assert next_header == last_byte + 1
        assert end_disk == 0 and start_disk == 0
        assert h[13:16] == b"\0\0\0" and h[121:124] == b"\0\0\0" and h[141:144] == b"\0\0\0" and h[169:172] == b"\0\0\0"
        members.append((name, original, offset + data_start, compressed, unique_id, version, date))
        p = offset + next_header
    assert p == len(blob), "nothing follows the last member"
    return members


def main():
    args = sys.argv[1:]
    wine = args[0] == "--wine"
    if wine:
        args = args[1:]
    tool = args[0]
    emulator = args[1:]
    with tempfile.TemporaryDirectory(prefix="kestrune-oracle-") as tmp:
        src = os.path.join(tmp, "src")
        os.mkdir(src)
        data = sample_files(src)
        names = sorted(data)
        archive = os.path.join(tmp, "engine.1")
        for level in ("max", "none", "fastest", "default"):
            run(emulator + [tool, "add", win_path(archive, wine)] +
                [win_path(os.path.join(src, n), wine) for n in names] + ["--id", "42", "--level", level])
            blob = open(archive, "rb").read()
            members = parse_plain(blob, 0)
            assert len(members) == len(names)
            for (name, original, start, compressed, uid, version, date), expected in zip(members, names):
                leaf = name.replace("\\", "/").split("/")[-1]
                assert leaf == expected, (leaf, expected)
                assert uid == 42
                assert version == ""
                assert 40000 < date < 80000
                out = zlib.decompress(blob[start:start + compressed])
                assert out == data[expected], "member %s differs (level %s)" % (expected, level)
                assert original == len(out)
                assert blob[start] == 0x78, "zlib header"

        # An archive written here, embedded after 1000 bytes of something else.
        prefix = b"MZ" + bytes(998)
        body = bytearray(struct.pack("<iB", len(names), 0))
        for i, name in enumerate(names):
            level = [9, 1, 6, 0, -1, 9][i % 6]
            packed = zlib.compress(data[name], level)
            stored = ("C:\\Build\\Files\\" + name).encode("cp1250")
            version = b"1.2.3.4"
            header_pos = len(body)
            data_start = header_pos + HEADER
            h = bytearray(HEADER)
            struct.pack_into("<idBxxxi", h, 0, i + 1, 36526.5, 0, data_start + len(packed) - 1)
            h[20] = len(stored)
            h[21:21 + len(stored)] = stored
            struct.pack_into("<iiiiBxxxi", h, 124, data_start + len(packed), len(data[name]), data_start, len(packed), 0, 1000 + i)
            h[148] = len(version)
            h[149:149 + len(version)] = version
            body += h + packed
        carrier = os.path.join(tmp, "setup.exe")
        with open(carrier, "wb") as f:
            f.write(prefix + bytes(body))
        listing = run(emulator + [tool, "list", win_path(carrier, wine), "--offset", str(len(prefix))])
        lines = [l.split("\t") for l in listing.splitlines()]
        assert [l[0] for l in lines] == ["C:\\Build\\Files\\" + n for n in names], listing
        assert all(l[3] == "2000-01-01 12:00:00" and l[4] == "1.2.3.4" for l in lines), listing
        out = os.path.join(tmp, "out")
        run(emulator + [tool, "extract", win_path(carrier, wine), win_path(out, wine), "--offset", str(len(prefix))])
        for name in names:
            got = open(os.path.join(out, name), "rb").read()
            assert got == data[name], "extracted %s differs" % name
    print("zlib oracle: all members agree")


if __name__ == "__main__":
    main()
