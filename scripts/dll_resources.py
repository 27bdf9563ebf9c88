"""Lists the resources of a PE file, one "TYPE NAME" a line: integer ids as
numbers, names as text (for example "14 MAX", "5 1", "RTF INFO").

    dll_resources.py FILE.dll"""
import struct
import sys


def section_of(data, rva):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + optional_size
    for i in range(sections):
        at = table + 40 * i
        virtual_size, virtual_address, raw_size, raw_pointer = struct.unpack_from("<IIII", data, at + 8)
        if virtual_address <= rva < virtual_address + max(virtual_size, raw_size):
            return virtual_address, raw_pointer
    raise ValueError("no section holds RVA 0x%x" % rva)


def resources(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    optional = pe + 24
    directories = optional + (112 if struct.unpack_from("<H", data, optional)[0] == 0x20B else 96)
    rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]  # the resource directory
    virtual_address, raw_pointer = section_of(data, rva)
    base = rva - virtual_address + raw_pointer

    def entries(offset):
        named, ids = struct.unpack_from("<HH", data, base + offset + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, base + offset + 16 + 8 * i)
            if name & 0x80000000:
                at = base + (name & 0x7FFFFFFF)
                length = struct.unpack_from("<H", data, at)[0]
                label = data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            else:
                label = str(name)
            yield label, target

    for kind, kinds in entries(0):
        for name, _ in entries(kinds & 0x7FFFFFFF):
            yield kind, name


def main():
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    for kind, name in resources(data):
        print(kind, name)


if __name__ == "__main__":
    main()
