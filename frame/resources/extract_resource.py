"""Copies the data of one resource out of a compiled resource file (.res), for
the builds that embed resources themselves.

    extract_resource.py FILE.res TYPE NAME OUTPUT

TYPE and NAME are integer ids or names, compared as the resource compiler
wrote them (names in upper case)."""
import struct
import sys


def read_id(data, at):
    if struct.unpack_from("<H", data, at)[0] == 0xFFFF:
        return str(struct.unpack_from("<H", data, at + 2)[0]), at + 4
    end = at
    while struct.unpack_from("<H", data, end)[0] != 0:
        end += 2
    return data[at:end].decode("utf-16-le").upper(), end + 2


def resources(data):
    at = 0
    while at + 8 <= len(data):
        size, header_size = struct.unpack_from("<II", data, at)
        kind, after = read_id(data, at + 8)
        name, _ = read_id(data, after)
        start = at + header_size
        yield kind, name, data[start:start + size]
        at = (start + size + 3) & ~3


def main():
    source, kind, name, output = sys.argv[1:5]
    with open(source, "rb") as f:
        data = f.read()
    for k, n, payload in resources(data):
        if k == kind.upper() and n == name.upper():
            with open(output, "wb") as f:
                f.write(payload)
            return 0
    sys.stderr.write("resource %s %s not found in %s\n" % (kind, name, source))
    return 1


if __name__ == "__main__":
    sys.exit(main())
