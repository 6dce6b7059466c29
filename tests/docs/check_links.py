#!/usr/bin/env python3
"""Every relative link of the Markdown documents leads somewhere: to a file or folder of
the source tree and, when it names one, to a heading of that file (GitHub's anchors).

    check_links.py ROOT FILE.md...    (prints each broken link, exits 1 if there is one)
"""
import os
import re
import sys

LINK = re.compile(r"\[[^\]]*\]\(([^)\s]+)\)")
CODE = re.compile(r"`[^`]*`")


def anchors(path):
    """The anchors GitHub gives the headings of `path`."""
    found, seen = set(), {}
    fenced = False
    for line in open(path, encoding="utf-8"):
        if line.startswith("```"):
            fenced = not fenced
        if fenced or not re.match(r"#{1,6} ", line):
            continue
        text = line.lstrip("#").strip().lower()
        slug = re.sub(r"[^\w\- ]", "", text).replace(" ", "-")
        count = seen.get(slug, 0)
        seen[slug] = count + 1
        found.add(slug if count == 0 else f"{slug}-{count}")
    return found


def links(path):
    """The links of `path` outside code: (line number, target)."""
    fenced = False
    for number, line in enumerate(open(path, encoding="utf-8"), 1):
        if line.startswith("```"):
            fenced = not fenced
        if fenced or line.startswith("    "):
            continue
        for match in LINK.finditer(CODE.sub("", line)):
            yield number, match.group(1)


def main(root, files):
    broken = []
    for name in files:
        path = os.path.join(root, name)
        for number, target in links(path):
            if re.match(r"[a-z]+:", target):
                continue  # https:, mailto:
            file_part, _, anchor = target.partition("#")
            dest = os.path.normpath(os.path.join(os.path.dirname(path), file_part)) if file_part else path
            if not os.path.exists(dest):
                broken.append(f"{name}:{number}: {target}: no such file")
            elif anchor and (os.path.isdir(dest) or not dest.endswith(".md")
                             or anchor not in anchors(dest)):
                broken.append(f"{name}:{number}: {target}: no such heading")
    for line in broken:
        print(line)
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2:]))
