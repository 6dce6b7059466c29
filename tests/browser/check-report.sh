#!/usr/bin/env bash
# The HTML report in a browser: headless Chromium loads the report of the shipped example
# and of a run over every file of tests/data/real, and its DOM must hold every title, every
# axis label, each input's figures with a title on every dot and one point (or bin of
# points) per scored sequence of the table, the top-genes tables, and the overlays'
# legends naming every input; a screenshot of each is kept in OUT_DIR (CI keeps
# OUT_DIR/example-report.png). The figure files (--figures) of the same run are parsed as
# XML, and five are drawn. With --coa each input of two or more genes has its genes on the
# analysis's first two axes (a titled dot per gene with coordinates in the table) and its
# columns, and the inputs together a point each.
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
placed = collections.Counter(r.get("file", "") for r in rows if r.get("coa1", "NA") != "NA")
files = list(dict.fromkeys(r.get("file", "") for r in rows))


class Page(HTMLParser):
    def __init__(self):
        super().__init__()
        self.groups, self.sections, self.texts, self.titles = [], [], collections.Counter(), []
        self.legend = []
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
            if tag == "title" and self.tag == "circle" and any("points" in g for g in self.groups):
                s["titled " + self.svg] += 1
            if tag == "rect" and classes and classes[0] in ("bin", "bar"):
                s[classes[0] + " " + self.svg] += int(a["data-n"])
            if tag == "g" and "family" in classes:
                s["family"] += 1
            if tag == "table" and "top-genes" in classes:
                s["top-genes"] += 1
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
        if self.tag == "text" and any("inputs-legend" in g for g in self.groups):
            self.legend.append(data.strip())


page = Page()
page.feed(open(dom).read())
problems = []
expect = lambda ok, what: ok or problems.append(what)
expect(page.texts["Trelba report"] == 2, "the page's title and heading")
# Each input's section, then the inputs together (shown first).
expect(page.titles[-1] == "The inputs together", "the inputs together")
inputs = page.titles[:-1]
expect(inputs == files or (files == [""] and len(inputs) == 1), "one section per input")
for label in ("codons (log scale)", "excess (score - expected)", "genes",
              "gc3s (G+C at synonymous third positions)", "enc (effective number of codons)",
              "gc12 (G+C at first and second positions)", "G3/(G3+C3) at four-fold sites",
              "enc_ratio ((expected - enc) / expected)", "order value (1 - H/ln k); tick: median"):
    expect(page.texts[label] >= len(files), "axis label " + label)
for s, f in zip(page.sections, files):
    n = scored[f]
    drawn = s["points excess-plot"] + s["bin excess-plot"]
    expect(drawn == n, "%s excess-plot: %d points or binned points, %d scored" % (f, drawn, n))
    expect(s["titled excess-plot"] == s["points excess-plot"], "%s: a title per dot" % f)
    for plot in ("enc-plot", "neutrality-plot", "pr2-plot"):
        expect(s["svg " + plot] == 1, "%s: %s" % (f, plot))
    expect(0 < s["bar enc-ratio-plot"] <= n, "%s ENC ratio: %d" % (f, s["bar enc-ratio-plot"]))
    expect(s["family"] == 20, "%s: %d family strips" % (f, s["family"]))
    expect(s["top-genes"] >= 4, "%s: %d top-genes tables" % (f, s["top-genes"]))
    if placed[f]:  # --coa: the genes on axes 1 and 2, a titled dot each, and the columns
        expect(s["points coa-genes-plot"] == placed[f] == s["titled coa-genes-plot"],
               "%s coa-genes-plot: %d dots, %d genes with coordinates"
               % (f, s["points coa-genes-plot"], placed[f]))
        expect(s["svg coa-columns-plot"] == 1, "%s: coa-columns-plot" % f)
together = page.sections[-1]
expect(together["svg rscu-plot"] == 1, "the RSCU heat map")
if len(files) >= 2:
    for plot in ("overlay-enc-plot", "overlay-neutrality-plot", "overlay-pr2-plot"):
        expect(together["svg " + plot] == 1, "the inputs overlaid: " + plot)
    for f in files:
        named = [n for n in page.legend if f.endswith(n.lstrip("\u2026").split(" (every")[0])]
        expect(len(named) >= 3, "the overlays' legends name " + f)
if placed and len(files) >= 3:
    expect(together["points inputs-coa-plot"] == len(files), "the inputs' COA: a point each")
if problems:
    sys.exit("\n".join(problems))
print("%s: %d sections, %d sequences, all drawn" % (dom, len(page.sections), sum(scored.values())))
PY
}

# The figure files: each well-formed XML, an SVG a journal's column wide or more; two of
# them (an input's, and the inputs overlaid) drawn by the browser.
figures() {
  rm -rf "$out/figures"
  "$trelba" --no-reports --gcode 11 --reference auto --coa codons --figures "$out/figures" \
    tests/data/real/* \
    2>/dev/null
  "$python" - "$out/figures" <<'PY'
import os, sys
import xml.etree.ElementTree as ET

folder = sys.argv[1]
names = sorted(os.listdir(folder))
problems = []
for name in names:
    root = ET.parse(os.path.join(folder, name)).getroot()
    ns = "{http://www.w3.org/2000/svg}"
    if root.tag != ns + "svg" or not root.get("width", "").endswith("mm"):
        problems.append(name + ": not an SVG sized in mm")
    if root.find(".//" + ns + "text") is None:
        problems.append(name + ": no text")
for needed in ("inputs.overlay-enc.svg", "inputs.rscu.svg", "Mmusculus_p53.cds.fna.pr2.svg",
               "inputs.coa.svg", "Carsonella_ruddii_DC.prodigal.cds.fna.coa-genes.svg",
               "Carsonella_ruddii_DC.prodigal.cds.fna.coa-codons.svg"):
    if needed not in names:
        problems.append("no " + needed)
if problems:
    sys.exit("\n".join(problems))
print("%s: %d figure files, each well-formed" % (folder, len(names)))
PY
  for figure in inputs.overlay-enc Carsonella_ruddii_DC.prodigal.cds.fna.{neutrality,coa-genes,coa-codons} \
    inputs.coa; do
    "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=500,500 \
      --screenshot="$out/$figure.png" "file://$out/figures/$figure.svg" >/dev/null 2>&1
    [ -s "$out/$figure.png" ] || { echo "$figure: no screenshot"; exit 1; }
  done
}

check example examples/Ecoli_HighlyExpressedGenes.fa
check many --gcode 11 --coa codons tests/data/real/*
figures
echo "screenshots: $out/example-report.png $out/many-report.png $out/inputs.overlay-enc.png"
