#!/usr/bin/env python3
"""Checks of what is shipped, read from the files themselves.
  check.py resources PROGRAM.scr VERSION: the manifest embedded in the program declares
    per-monitor DPI awareness and asInvoker (Wine does not scale for DPI, so this is what can be
    checked here); its version resource holds VERSION.
  check.py dist DIST VERSION PROGRAM.scr: the package manifests agree with each other and with
    the installer's bytes, SHA256SUMS covers every file, the zip holds the build's program, the
    web zip the built site, the wallpaper zip the page and the hosts' descriptions naming it, the
    Linux packages are there."""
import hashlib
import json
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET
import zipfile

failures = []


def expect(condition, message):
    if not condition:
        failures.append(message)


def check_resources(program, version):
    if not os.path.isfile(program):
        print(f"SKIP: no {program} (run: cmake --preset windows && cmake --build --preset windows)")
        sys.exit(77)
    # windres reads the resources of a built program back as resource-script text.
    rc = subprocess.run(["x86_64-w64-mingw32-windres", "-i", program, "-O", "rc"],
                        capture_output=True, text=True, check=True).stdout
    block = re.search(r"^1 24 /\* RT_MANIFEST \*/\nBEGIN\n(.*?)^END", rc, re.M | re.S)
    lines = block.group(1).splitlines() if block else ['"<none/>"']
    root = ET.fromstring("".join(line.strip()[1:-1].replace('""', '"').replace("\\n", "\n")
                                 for line in lines))
    asm3, smi = "{urn:schemas-microsoft-com:asm.v3}", "{http://schemas.microsoft.com/SMI/"
    settings = f"{asm3}application/{asm3}windowsSettings/"
    for path, text in ((f"{settings}{smi}2016/WindowsSettings}}dpiAwareness",
                        "PerMonitorV2, PerMonitor"),
                       (f"{settings}{smi}2005/WindowsSettings}}dpiAware", "true/pm")):
        value = root.findtext(path)
        expect(value is not None and value.strip() == text, f"manifest: {path} is {value!r}")
    level = root.find(f"{asm3}trustInfo/{asm3}security/{asm3}requestedPrivileges/"
                      f"{asm3}requestedExecutionLevel")
    expect(level is not None and level.get("level") == "asInvoker", "manifest: not asInvoker")
    expect(f" FILEVERSION {version.replace('.', ', ')}, 0\n" in rc and
           f'VALUE "ProductVersion", "{version}"' in rc, f"version resource: not {version}")


def check_dist(dist, version, program):
    import yaml
    setup = f"Lumenweave-{version}-setup.exe"
    if not os.path.isfile(os.path.join(dist, setup)):
        print(f"SKIP: no {setup} in {dist} (run: bash tools/package.sh)")
        sys.exit(77)
    sha256 = lambda path: hashlib.sha256(open(os.path.join(dist, path), "rb").read()).hexdigest()
    manifests = {}
    for suffix in ("", ".installer", ".locale.en-US"):
        with open(os.path.join(dist, f"winget/Lumenweave.Lumenweave{suffix}.yaml")) as f:
            m = manifests[suffix] = yaml.safe_load(f)
        expect((m["PackageIdentifier"], str(m["PackageVersion"])) == ("Lumenweave.Lumenweave",
               version), f"{suffix}: {m['PackageIdentifier']} {m['PackageVersion']}")
        expect(tuple(map(int, m["ManifestVersion"].split("."))) >= (1, 6, 0),
               f"{suffix}: ManifestVersion {m['ManifestVersion']}")
    expect([m["ManifestType"] for m in manifests.values()] ==
           ["version", "installer", "defaultLocale"], "ManifestType of each manifest")
    installer = manifests[".installer"]
    expect((installer["InstallerType"], installer["Scope"]) == ("nullsoft", "machine"),
           "InstallerType or Scope")
    [entry] = installer["Installers"]
    expect(entry["Architecture"] == "x64", "Architecture")
    expect(entry["InstallerUrl"].endswith("/" + setup), f"InstallerUrl {entry['InstallerUrl']}")
    expect(entry["InstallerSha256"] == sha256(setup).upper(), "InstallerSha256")

    sums = dict(reversed(line.rstrip("\n").split("  ", 1))
                for line in open(os.path.join(dist, "SHA256SUMS")))
    files = {os.path.relpath(os.path.join(d, f), dist)
             for d, _, names in os.walk(dist) for f in names} - {"SHA256SUMS"}
    expect(set(sums) == files, f"SHA256SUMS lists {sorted(sums)}, dist/ holds {sorted(files)}")
    linux = {f"lumenweave_{version}_amd64.deb", f"lumenweave-{version}-1.x86_64.rpm"}
    expect(linux <= files, f"dist/ lacks the Linux packages {sorted(linux - files)}")
    expect(all(sums[p] == sha256(p) for p in set(sums) & files), "SHA256SUMS: a hash differs")

    with zipfile.ZipFile(os.path.join(dist, f"Lumenweave-{version}-windows-x64.zip")) as z:
        expect(sorted(z.namelist()) == ["LICENSE", "Lumenweave.scr", "README.txt"],
               f"the zip holds {z.namelist()}")
        expect(z.read("Lumenweave.scr") == open(program, "rb").read(),
               "the zip's Lumenweave.scr is not the build's (run: bash tools/package.sh)")

    # The static site in one folder, each file as the playground build wrote it: all of them (the
    # service worker asks for every one) but the Node command line and its two engines.
    site = os.path.join(dist, "..", "build", "web")
    folder = f"lumenweave-web-{version}/"
    web_files = [os.path.relpath(os.path.join(d, n), site) for d, _, names in os.walk(site) for n in names]
    web_files = [f for f in web_files if f not in ("lumenweave-sim.mjs", "lumenweave-sim.wasm", "lumenweave-trace.wasm")]
    for f in ("index.html", "playground.js", "check-worker.js", "reference.html", "gallery.html",
              "embed.html", "wallpaper.html", "sw.js", "lumenweave.wasm"):
        expect(f in web_files, f"the site lacks {f} (run: bash tools/package.sh)")
    with zipfile.ZipFile(os.path.join(dist, f"lumenweave-web-{version}.zip")) as z:
        expect(sorted(z.namelist()) == sorted([folder] + [folder + f for f in web_files]),
               f"the web zip holds {z.namelist()}")
        for f in set(web_files) & {n[len(folder):] for n in z.namelist()}:
            expect(z.read(folder + f) == open(os.path.join(site, f), "rb").read(),
                   f"the web zip's {f} is not the build's (run: bash tools/package.sh)")

    # The wallpaper: the page and the hosts' descriptions at the top, naming the page.
    with zipfile.ZipFile(os.path.join(dist, f"lumenweave-wallpaper-{version}.zip")) as z:
        names = set(z.namelist())
        expect({"wallpaper.html", "wallpaper.js", "LivelyInfo.json", "LivelyProperties.json",
                "project.json"} <= names, f"the wallpaper zip holds {sorted(names)}")
        read = lambda name: json.loads(z.read(name)) if name in names else {}
        lively, properties, project = (read(n) for n in
                                       ("LivelyInfo.json", "LivelyProperties.json", "project.json"))
        expect(lively.get("Type") == 1 and lively.get("FileName") == "wallpaper.html",
               f"LivelyInfo.json: {lively}")
        expect(project.get("type") == "web" and project.get("file") == "wallpaper.html",
               f"project.json: {project}")
        settings = {"example", "seed", "speed", "every", "shuffle"}
        expect(set(properties) == settings and
               set(project.get("general", {}).get("properties", {})) == settings,
               "the hosts' settings are not the page's example, seed, speed, every and shuffle")
        for picture in {lively.get("Preview"), project.get("preview")}:
            expect(picture in names, f"the wallpaper zip lacks its picture {picture}")

if sys.argv[1] == "resources":
    check_resources(*sys.argv[2:4])
else:
    check_dist(*sys.argv[2:5])
for failure in failures:
    print("FAIL:", failure)
print(f"{sys.argv[1]}: {'FAILED' if failures else 'ok'}")
sys.exit(1 if failures else 0)
