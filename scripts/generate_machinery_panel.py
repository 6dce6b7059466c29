#!/usr/bin/env python3
"""Writes src/analysis/machinery_panel_data.cpp: the proteins that --reference auto aligns
genes to when no header names the translation machinery, and the BLOSUM62 scores.

    scripts/generate_machinery_panel.py [--leave-out NAME]
    scripts/generate_machinery_panel.py --check   # fails when the file differs from it

tests/data/genomes holds four annotated bacterial CDS sets and their lists of ribosomal-protein and
elongation-factor genes (*.heg.ids: rpl*, rps*, rpm*, tuf*, tsf, fusA, checked by alignment
to a named ortholog; E. coli's list also holds other highly expressed genes, such as eno,
gapA, dnaK and groL, so E. coli is left out); docs/machinery_panel.md gives their sources and licences. Each listed
gene is translated with NCBI table 11, its first residue written M and its stop dropped.
--leave-out drops one genome's proteins (to measure the route on a genome the panel does not
hold). Needs python3-biopython (Debian); --check exits with 77 (skipped, for CTest) without
it.
"""
import gzip
import pathlib
import sys

try:
    from Bio.Align import substitution_matrices
    from Bio.Seq import Seq
except ImportError:
    sys.exit(77 if "--check" in sys.argv else "needs python3-biopython")

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUT = ROOT / "src" / "analysis" / "machinery_panel_data.cpp"
ALPHABET = "ARNDCQEGHILKMFPSTWYV"
SETS = [
    ("Msmeg", "Msmegmatis_mc2_155.cds.fna.gz", "Msmegmatis_mc2_155.heg.ids"),
    ("Mtub", "Mtuberculosis_H37Rv.cds.fna.gz", "Mtuberculosis_H37Rv.heg.ids"),
    ("Rden", "Rdenitrificans_OCh114.cds.fna.gz", "Rdenitrificans_OCh114.heg.ids"),
    ("Prokka", "prokka_multicontig.cds.fna.gz", "prokka_multicontig.heg.ids"),
]


def records(path):
    opener = gzip.open if path.suffix == ".gz" else open
    header, body = None, []
    with opener(path, "rt") as f:
        for line in f:
            line = line.strip()
            if line.startswith(">"):
                if header is not None:
                    yield header, "".join(body)
                header, body = line[1:].split()[0], []
            elif line:
                body.append(line)
    if header is not None:
        yield header, "".join(body)


def main():
    data = ROOT / "tests" / "data" / "genomes"
    leave_out = sys.argv[2] if len(sys.argv) > 2 and sys.argv[1] == "--leave-out" else ""
    proteins = []
    for name, fasta, ids in SETS:
        if name == leave_out:
            continue
        wanted = {line.split()[0] for line in open(data / ids) if line.strip()}
        for header, body in records(data / fasta):
            if header in wanted:
                protein = str(Seq(body[: len(body) // 3 * 3]).translate(table=11)).rstrip("*")
                proteins.append((name + ":" + header.split(";")[0], "M" + protein[1:]))
    blosum = substitution_matrices.load("BLOSUM62")
    out = ["// Written by scripts/generate_machinery_panel.py; do not edit.",
           '#include "analysis/machinery_panel.hpp"', "", "namespace trelba {", "",
           "const std::array<std::array<std::int8_t, kResidueKinds>, kResidueKinds> kBlosum62 = {{"]
    for a in ALPHABET + "X":
        row = [int(blosum[a][b]) for b in ALPHABET + "X"]
        out.append("    {{" + ", ".join(str(v) for v in row) + "}},")
    out += ["}};", "", "namespace {", "", "constexpr PanelProtein kProteins[] = {"]
    for name, protein in proteins:
        out.append('    {"%s",' % name)
        for i in range(0, len(protein), 80):
            out.append('     "%s"' % protein[i:i + 80])
        out[-1] += "},"
    out += ["};", "", "}  // namespace", "", "const std::span<const PanelProtein> kPanel = kProteins;", "",
            "}  // namespace trelba", ""]
    text = "\n".join(out)
    if "--check" in sys.argv:
        if OUT.read_text() != text:
            sys.exit(f"{OUT} differs from what {__file__} writes")
        return
    OUT.write_text(text)
    print(len(proteins), "proteins,", sum(len(p) for _, p in proteins), "residues,",
          "longest", max(len(p) for _, p in proteins))


if __name__ == "__main__":
    main()
