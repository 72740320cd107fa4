#!/usr/bin/env python3
"""The resources embedded in the built Lumenweave.scr, read from its PE resource directory: the
manifest declares per-monitor DPI awareness and asInvoker, the version resource holds the
project's version. Wine does not scale for DPI, so this is what can be checked of it here.
usage: check_resources.py PROGRAM.scr VERSION"""
import struct
import sys
import xml.etree.ElementTree as ET

RT_VERSION, RT_MANIFEST = 16, 24


def resources(path):
    """{(type id, name id): bytes of its first language} of a PE32+ file."""
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        sys.exit(f"{path}: not a PE file")
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    rsrc_rva = struct.unpack_from("<I", data, optional + 112 + 2 * 8)[0]
    table = [struct.unpack_from("<8xIIII", data, optional + optional_size + 40 * i)
             for i in range(sections)]

    def offset(rva):
        for _, address, raw_size, raw in table:
            if address <= rva < address + raw_size:
                return raw + rva - address
        sys.exit(f"{path}: address {rva:#x} is in no section")

    base = offset(rsrc_rva)

    def entries(directory):
        named, ids = struct.unpack_from("<HH", data, base + directory + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, base + directory + 16 + 8 * i)
            yield name, target & 0x7FFFFFFF

    found = {}
    for kind, names in entries(0):
        for name, languages in entries(names):
            _, leaf = next(entries(languages))
            rva, size = struct.unpack_from("<II", data, base + leaf)
            found[(kind, name)] = data[offset(rva):offset(rva) + size]
    return found


def main():
    program, version = sys.argv[1], sys.argv[2]
    found = resources(program)
    failures = []

    manifest = found.get((RT_MANIFEST, 1))
    if manifest is None:
        sys.exit(f"FAIL: {program} has no manifest resource 1")
    root = ET.fromstring(manifest)
    asm3 = "{urn:schemas-microsoft-com:asm.v3}"
    settings = root.find(f"{asm3}application/{asm3}windowsSettings")
    expected = {
        "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}dpiAwareness":
            "PerMonitorV2, PerMonitor",
        "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}dpiAware": "true/pm",
    }
    for tag, text in expected.items():
        element = None if settings is None else settings.find(tag)
        value = None if element is None else (element.text or "").strip()
        if value != text:
            failures.append(f"manifest: {tag} is {value!r}, not {text!r}")
    level = root.find(f"{asm3}trustInfo/{asm3}security/{asm3}requestedPrivileges/"
                      f"{asm3}requestedExecutionLevel")
    if level is None or level.get("level") != "asInvoker":
        failures.append("manifest: requestedExecutionLevel is not asInvoker")

    info = found.get((RT_VERSION, 1), b"")
    fixed = info.find(struct.pack("<I", 0xFEEF04BD))
    if fixed < 0:
        failures.append("no fixed file information in the version resource")
    else:
        ms, ls = struct.unpack_from("<II", info, fixed + 8)
        got = f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
        if got != f"{version}.0":
            failures.append(f"version resource: file version {got}, not {version}.0")
    if ("\0".join("ProductVersion") + "\0\0\0" + "\0".join(version)).encode() not in info:
        failures.append(f"version resource: no ProductVersion string {version}")

    for failure in failures:
        print("FAIL:", failure)
    if failures:
        sys.exit(1)
    print(f"ok: {program}: per-monitor DPI aware, asInvoker, version {version}")


main()
