#!/usr/bin/env python3
"""kestrune-arc as a user meets it: exit codes, what a failure leaves behind, messages that
name the member, outside text printed with control characters escaped, stored versions.

Usage: arc_tool_test.py [--wine] PE_SAMPLES KESTRUNE_ARC [EMULATOR...]
With --wine, paths handed to the tool are given as Z: drive paths.
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

HEADER = 172


def main():
    args = sys.argv[1:]
    wine = args[0] == "--wine"
    if wine:
        args = args[1:]
    samples, tool, emulator = args[0], args[1], args[2:]

    def w(p):
        return "Z:" + p.replace("/", "\\") if wine else p

    def arc(*words, code=0):
        r = subprocess.run(emulator + [tool] + list(words), capture_output=True)
        out, err = r.stdout.decode("latin-1"), r.stderr.decode("latin-1")
        assert r.returncode == code, "%s: exit %d, wanted %d\n%s%s" % (words, r.returncode, code, out, err)
        assert "\x1b" not in out + err, "raw control character printed: %r" % (out + err)
        return out, err

    def member(name, data, tweak=None):
        packed = bytearray(zlib.compress(data, 9))
        if tweak:
            tweak(packed)
        return name.encode("latin-1"), data, bytes(packed)

    def archive_of(members):
        body = bytearray(struct.pack("<iB", len(members), 0))
        for i, (name, data, packed) in enumerate(members):
            start = len(body) + HEADER
            h = bytearray(HEADER)
            struct.pack_into("<idBxxxi", h, 0, i + 1, 36526.5, 0, start + len(packed) - 1)
            h[20] = len(name)
            h[21:21 + len(name)] = name
            struct.pack_into("<iiiiBxxxi", h, 124, start + len(packed), len(data), start, len(packed), 0, 0)
            body += h + packed
        return bytes(body)

    with tempfile.TemporaryDirectory(prefix="kestrune-arc-") as tmp:
        def path(*parts):
            return os.path.join(tmp, *parts)

        for d in ("a", "b", "out"):
            os.mkdir(path(d))
        for d, text in (("a", b"first"), ("b", b"second")):
            with open(path(d, "x.txt"), "wb") as f:
                f.write(text)

        # Both members are stored; extracting them into one folder is refused, nothing written.
        arc("add", w(path("two.1")), w(path("a", "x.txt")), w(path("b", "x.txt")))
        out, _ = arc("list", w(path("two.1")))
        assert len(out.splitlines()) == 2, out
        _, err = arc("extract", w(path("two.1")), w(path("out")), code=1)
        assert "would both be extracted as x.txt" in err, err
        assert os.listdir(path("out")) == [], os.listdir(path("out"))

        # A new archive whose input is missing leaves the old archive and nothing else.
        before = open(path("two.1"), "rb").read()
        entries = sorted(os.listdir(tmp))
        _, err = arc("add", w(path("two.1")), w(path("a", "x.txt")), w(path("gone.txt")), code=1)
        assert "gone.txt" in err, err
        assert open(path("two.1"), "rb").read() == before
        assert sorted(os.listdir(tmp)) == entries, os.listdir(tmp)

        # Outside text with control characters is escaped; the failing member is named.
        with open(path("evil.1"), "wb") as f:
            f.write(archive_of([member("e\x1b[31m.txt", b"red"),
                                member("C:\\src\\bad.txt", b"data" * 1000, lambda p: p.__setitem__(-1, p[-1] ^ 1))]))
        out, _ = arc("list", w(path("evil.1")))
        assert out.startswith("e\\x1B[31m.txt\t"), out
        _, err = arc("extract", w(path("evil.1")), w(path("out")), "e\x1b[31m.txt", code=1)
        assert "e\\x1B[31m.txt" in err and "not a valid file name" in err, err
        _, err = arc("extract", w(path("evil.1")), w(path("out")), "C:\\src\\bad.txt", code=1)
        assert "extracting C:\\src\\bad.txt: " in err, err
        assert os.listdir(path("out")) == [], os.listdir(path("out"))

        # Versions are read from the files added (natively by the portable reader).
        arc("add", w(path("ver.1")), w(os.path.join(samples, "ver_en.dll")), w(os.path.join(samples, "ver_none.dll")))
        out, _ = arc("list", w(path("ver.1")))
        versions = [line.split("\t")[4] for line in out.splitlines()]
        assert versions == ["4.0.1381.1", ""], out

        # A wrong command line exits 2.
        arc("extract", code=2)
        arc("list", w(path("two.1")), "--offset", "x", code=2)
    print("kestrune-arc: exit codes, leftovers and messages as expected")


if __name__ == "__main__":
    main()
