#!/usr/bin/env python3
"""The version is written once, in project(Trelba VERSION ...) of CMakeLists.txt; every
integration file that names it must name the same.

  scripts/versions.py          check: list every place that differs, exit 1 if any does
  scripts/versions.py --set    write the CMake version into every place (but the Debian
                               changelog, whose new entry is written by hand)
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CMAKE = re.compile(r"^project\(Trelba VERSION ([0-9][0-9.]*)", re.M)
# (file, pattern whose group `v` is the version; every match must hold it, and there must
# be one, whether the file may be rewritten by --set)
PLACES = [
    ("galaxy/trelba.xml", r'<token name="@TOOL_VERSION@">(?P<v>[^<]+)</token>', True),
    ("recipes/trelba/meta.yaml", r'\{% set version = "(?P<v>[^"]+)" %\}', True),
    ("modules/trelba/trelba/environment.yml", r"bioconda::trelba=(?P<v>[^\s]+)", True),
    ("modules/trelba/trelba/main.nf", r"/trelba:(?P<v>[0-9][0-9.]*)--", True),
    ("modules/trelba/trelba/tests/main.nf.test.snap", r'"trelba",\s*"(?P<v>[^"]+)"', True),
    ("workflow/envs/trelba.yaml", r"- trelba =(?P<v>[^\s]+)", True),
    ("workflow/trelba.cwl", r'version: \["(?P<v>[^"]+)"\]', True),
    ("CITATION.cff", r'(?m)^version: "(?P<v>[^"]+)"', True),
    ("packaging/debian/changelog", r"\Atrelba \((?P<v>[^)]+)\)", False),
]


def project_version():
    with open(os.path.join(ROOT, "CMakeLists.txt")) as handle:
        return CMAKE.search(handle.read()).group(1)


def main(argv):
    version = project_version()
    rewrite = argv[1:] == ["--set"]
    wrong = []
    for name, pattern, writable in PLACES:
        path = os.path.join(ROOT, name)
        with open(path, encoding="utf-8") as handle:
            text = handle.read()
        found = [m.group("v") for m in re.finditer(pattern, text)]
        if not found:
            wrong.append(f"{name}: no version found ({pattern})")
        elif set(found) != {version}:
            if rewrite and writable:
                text = re.sub(pattern, lambda m: m.group(0).replace(m.group("v"), version), text)
                with open(path, "w", encoding="utf-8") as handle:
                    handle.write(text)
                print(f"{name}: {', '.join(sorted(set(found)))} -> {version}")
            else:
                wrong.append(f"{name}: {', '.join(sorted(set(found)))}, not {version}")
    for line in wrong:
        print(line, file=sys.stderr)
    if wrong:
        return 1
    print(f"version {version} (CMakeLists.txt) in every integration file ({len(PLACES)})")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
