#!/usr/bin/env bash
# The HTML report in a browser: headless Chromium loads the report of the shipped example
# and of a run over every file of tests/data/real, and its DOM must hold every title, every
# axis label and one point (or bin of points) per scored sequence of the table; a
# screenshot of each is kept in OUT_DIR (CI keeps OUT_DIR/example-report.png).
# usage: tests/browser/check-report.sh TRELBA OUT_DIR    (status 77: no Chromium here)
set -euo pipefail
trelba=$(realpath "$1")
out=$(mkdir -p "$2" && realpath "$2")
cd "$(dirname "$0")/../.."
browser=$(command -v chromium || command -v chromium-headless-shell || command -v chromium-browser || true)
if [ -z "$browser" ]; then
  echo "no Chromium found (Debian package chromium): skipped"
  exit 77
fi
python=/usr/bin/python3
[ -x "$python" ] || python=python3

check() {  # name, then the arguments of the run
  local name=$1
  shift
  "$trelba" --no-reports -T "$out/$name.tsv" --report "$out/$name.html" "$@" 2>/dev/null
  # Chromium's own messages (D-Bus, GPU) go to standard error.
  "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars --dump-dom \
    "file://$out/$name.html" >"$out/$name.dom.html" 2>/dev/null
  "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1200,2000 \
    --screenshot="$out/$name-report.png" "file://$out/$name.html" >/dev/null 2>&1
  [ -s "$out/$name-report.png" ] || { echo "$name: no screenshot"; exit 1; }
  "$python" - "$out/$name.dom.html" "$out/$name.tsv" <<'PY'
import collections, csv, sys
from html.parser import HTMLParser

dom, table = sys.argv[1], sys.argv[2]
rows = list(csv.DictReader(open(table, newline=""), delimiter="\t"))
scored = collections.Counter(r.get("file", "") for r in rows if r["score"] != "NA")
files = list(dict.fromkeys(r.get("file", "") for r in rows))


class Page(HTMLParser):
    def __init__(self):
        super().__init__()
        self.groups, self.sections, self.texts, self.titles = [], [], collections.Counter(), []
        self.tag = self.svg = None

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        classes = a.get("class", "").split()
        if tag == "section":
            self.sections.append(collections.Counter())
        if self.sections:
            s = self.sections[-1]
            if tag == "svg":
                s["svg " + classes[-1]] += 1
                self.svg = classes[-1]
            if tag == "circle" and any("points" in g for g in self.groups):
                s["points " + self.svg] += 1
            if tag == "rect" and classes and classes[0] in ("bin", "bar"):
                s[classes[0] + " " + self.svg] += int(a["data-n"])
            if tag == "g" and "family" in classes:
                s["family"] += 1
        if tag == "g":
            self.groups.append(classes)
        self.tag = tag

    def handle_endtag(self, tag):
        if tag == "g":
            self.groups.pop()

    def handle_data(self, data):
        if self.tag in ("h1", "h2", "text", "title") and data.strip():
            self.texts[data.strip()] += 1
            if self.tag == "h2":
                self.titles.append(data.strip())


page = Page()
page.feed(open(dom).read())
problems = []
expect = lambda ok, what: ok or problems.append(what)
expect(page.texts["Trelba report"] == 2, "the page's title and heading")
expect(page.titles == files or (files == [""] and len(page.titles) == 1), "one section per input")
for label in ("codons (log scale)", "score", "excess (score - expected)", "sequences",
              "order value (1 - H/ln k); tick: median"):
    expect(page.texts[label] >= len(files), "axis label " + label)
for s, f in zip(page.sections, files):
    n = scored[f]
    for plot in ("score-plot", "excess-plot"):
        drawn = s["points " + plot] + s["bin " + plot]
        expect(drawn == n, "%s %s: %d points or binned points, %d scored" % (f, plot, drawn, n))
    expect(s["bar histogram"] == n, "%s histogram: %d" % (f, s["bar histogram"]))
    expect(s["family"] == 20, "%s: %d family strips" % (f, s["family"]))
if problems:
    sys.exit("\n".join(problems))
print("%s: %d sections, %d sequences, all drawn" % (dom, len(page.sections), sum(scored.values())))
PY
}

check example examples/Ecoli_HighlyExpressedGenes.fa
check many --gcode 11 tests/data/real/*
echo "screenshots: $out/example-report.png $out/many-report.png"
