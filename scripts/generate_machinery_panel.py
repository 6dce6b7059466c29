#!/usr/bin/env python3
"""Writes src/analysis/machinery_panel_data.cpp: the proteins that --reference auto aligns
genes to when no header names the translation machinery, and the BLOSUM62 scores.

    scripts/generate_machinery_panel.py [--leave-out NAME[,NAME...]]
    scripts/generate_machinery_panel.py --check   # fails when the file differs from it

The cytosolic ribosomal proteins and elongation factors (EF-Tu / EF-1A, EF-G / EF-2, EF-Ts,
EF-1B) come from three sources; docs/machinery_panel.md gives them and their licences.
- tests/data/genomes: four annotated bacterial CDS sets and their lists of such genes
  (*.heg.ids: rpl*, rps*, rpm*, tuf*, tsf, fusA, checked by alignment to a named ortholog;
  E. coli's list also holds other highly expressed genes, so E. coli is left out). Each
  listed gene is translated with NCBI table 11, its first residue written M, its stop dropped.
- UniProtKB entries (Debian mmseqs2-examples): those whose whole name is "30S/50S/40S/60S
  ribosomal protein X" or "Elongation factor Tu/1-alpha/G/2/Ts" (no fragments, no E. coli),
  up to PER_FAMILY of each family in each domain (archaea by organism name; eukaryotes by
  40S/60S or EF-1-alpha/EF-2), reviewed entries first, then in file order.
- Two archaeal genomes of two orders (RefSeq GenBank records in Debian cct-examples): the CDS
  whose whole product name is a ribosomal protein ("[LSU |SSU ][acidic ]ribosomal protein X
  [homolog]") or EF-1 alpha, EF-1 beta or EF-2 ("translation elongation factor [EF-]1,
  [subunit ]alpha", ...), their /translation.
The decoys, ribosomal proteins and elongation factors of mitochondria and chloroplasts (the
UniProtKB entries named ", mitochondrial", ", chloroplastic", 39S, 28S; the Arabidopsis
chloroplast genome's ribosomal proteins from Debian python-biopython-doc) are marked so: a
gene whose best match is a decoy is none of the cytosolic machinery.
--leave-out drops genomes' proteins and their species' UniProtKB entries, or the decoys of a
source (UniProt-decoys, Athaliana-chloroplast), to measure the route on proteins the panel
does not hold. Needs python3-biopython, mmseqs2-examples, python-biopython-doc and
cct-examples (Debian); --check exits with 77 (skipped, for CTest) without them.
"""
import gzip
import pathlib
import re
import sys

UNIPROT = pathlib.Path("/usr/share/doc/mmseqs2/example-data/DB.fasta.gz")
CHLOROPLAST = pathlib.Path("/usr/share/doc/python-biopython-doc/Tests/GenBank/NC_000932.faa.gz")
CCT = pathlib.Path("/usr/share/doc/cct/examples/sample_projects/sample_project_2/comparison_genomes")
ARCHAEAL_GENOMES = [  # name, GenBank record, its species in UniProtKB
    ("Macet", CCT / "Methanosarcina_acetivorans.gbk.gz", "Methanosarcina acetivorans"),
    ("Tkod", CCT / "Thermococcus_kodakaraensis.gbk.gz",
     "Thermococcus kodakarensis|Pyrococcus kodakaraensis"),
]
try:
    from Bio import SeqIO
    from Bio.Align import substitution_matrices
    from Bio.Seq import Seq
    if not all(p.exists() for p in [UNIPROT, CHLOROPLAST] + [g[1] for g in ARCHAEAL_GENOMES]):
        raise ImportError
except ImportError:
    sys.exit(77 if "--check" in sys.argv else
             "needs python3-biopython, mmseqs2-examples, python-biopython-doc and cct-examples")

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUT = ROOT / "src" / "analysis" / "machinery_panel_data.cpp"
ALPHABET = "ARNDCQEGHILKMFPSTWYV"
SETS = [  # name, CDS, list, its species in UniProtKB
    ("Msmeg", "Msmegmatis_mc2_155.cds.fna.gz", "Msmegmatis_mc2_155.heg.ids",
     "Mycolicibacterium smegmatis|Mycobacterium smegmatis"),
    ("Mtub", "Mtuberculosis_H37Rv.cds.fna.gz", "Mtuberculosis_H37Rv.heg.ids",
     "Mycobacterium tuberculosis"),
    ("Rden", "Rdenitrificans_OCh114.cds.fna.gz", "Rdenitrificans_OCh114.heg.ids",
     "Roseobacter denitrificans"),
    ("Prokka", "prokka_multicontig.cds.fna.gz", "prokka_multicontig.heg.ids", None),
]
PER_FAMILY = {"bacteria": 1, "archaea": 2, "eukaryotes": 2}
ARCHAEA = re.compile(
    r"archae|Methano|Sulfolob|Thermoprote|Metallosph|Pyrobacul|Pyrodict|Hyperthermus|Halo"
    r"(ferax|arcula|bacterium|coccus|rubrum|notius)|Natr|Geoglobus|Archaeoglob|Aeropyrum|"
    r"Fervidicoccus|Ferroplasma|Thermoplasma|Desulfurococcus|Pyrococcus|Thermococcus|"
    r"Nitrosopumilus|Ignicoccus|Staphylothermus|Acidianus|Caldivirga|Vulcanisaeta|Picrophilus|"
    r"Thermofilum|Nanoarchaeum|Acidilobus|Sulfurisphaera|Arc I group")
RIBOSOMAL = re.compile(r"^(30S|50S|40S|60S|39S|28S) (?:acidic )?ribosomal protein ([LSP]\w*(?:/L\w+)?)"
                       r"(, mitochondrial|, chloroplastic)?$", re.I)
ELONGATION = re.compile(r"^Elongation factor (Tu|1-alpha|G|2|Ts)(?: \d)?(, mitochondrial|, chloroplastic)?$")
FACTORS = {"Tu": "EF-Tu", "1-alpha": "EF-Tu", "G": "EF-G", "2": "EF-G", "Ts": "EF-Ts"}
GENOME_PRODUCT = re.compile(
    r"^(?:(?:LSU |SSU )?(?:acidic )?ribosomal protein [LSP]\w*(?: homolog)?|translation elongation"
    r" factor (?:EF-)?(?:1, (?:subunit )?(?:alpha|beta)(?: subunit)?|2))$", re.I)
LEFT_OUT_ALWAYS = "Escherichia coli"


def records(path):
    opener = gzip.open if path.suffix == ".gz" else open
    header, body = None, []
    with opener(path, "rt") as f:
        for line in f:
            line = line.strip()
            if line.startswith(">"):
                if header is not None:
                    yield header, "".join(body)
                header, body = line[1:], []
            elif line:
                body.append(line)
    if header is not None:
        yield header, "".join(body)


def uniprot(left_out_species, decoys):
    """(name, protein, decoy) of the UniProtKB entries taken."""
    chosen = {}
    for header, protein in records(UNIPROT):
        fields = re.match(r"(\w+)\|\w+\|(\S+) (.*?) OS=(.*?) (?:OX|GN|PE)=", header)
        if not fields:
            continue
        kind, entry, product, species = fields.groups()
        ribosomal, elongation = RIBOSOMAL.match(product), ELONGATION.match(product)
        if not (ribosomal or elongation) or re.match(LEFT_OUT_ALWAYS, species):
            continue
        if left_out_species and re.match(left_out_species, species):
            continue
        if ribosomal:
            prefix, family, organelle = ribosomal.groups()
            prefix = prefix.upper()
            family = family[0].upper() + family[1:]
            eukaryotic = prefix in ("40S", "60S")
            organelle = organelle or prefix in ("39S", "28S")
        else:
            family, organelle = FACTORS[elongation.group(1)], elongation.group(2)
            eukaryotic = elongation.group(1) in ("1-alpha", "2")
        if organelle:
            domain = "decoys"
        elif ARCHAEA.search(species):
            domain = "archaea"
        else:
            domain = "eukaryotes" if eukaryotic else "bacteria"
        chosen.setdefault((domain, family), []).append((kind != "sp", entry, protein))
    taken = []
    for (domain, family), entries in chosen.items():
        entries.sort(key=lambda e: e[0])  # reviewed first, then in file order (a stable sort)
        if domain == "decoys":
            keep = entries if decoys else []
        else:
            keep = entries[:PER_FAMILY[domain]]
        taken += [("UniProt:" + entry, protein, domain == "decoys") for _, entry, protein in keep]
    return taken


def archaeal_genome(path):
    """(name, protein) of the CDS of a GenBank record whose product GENOME_PRODUCT takes."""
    with gzip.open(path, "rt") as f:
        for record in SeqIO.parse(f, "genbank"):
            for feature in record.features:
                q = feature.qualifiers
                product = " ".join(q.get("product", [""])[0].split())
                if feature.type != "CDS" or "pseudo" in q or not GENOME_PRODUCT.match(product):
                    continue
                yield q["locus_tag"][0], q["translation"][0]


def main():
    data = ROOT / "tests" / "data" / "genomes"
    leave_out = sys.argv[2].split(",") if len(sys.argv) > 2 and sys.argv[1] == "--leave-out" else []
    proteins, left_out_species = [], []
    for name, fasta, ids, species in SETS:
        if name in leave_out:
            left_out_species += [species] if species else []
            continue
        wanted = {line.split()[0] for line in open(data / ids) if line.strip()}
        for header, body in records(data / fasta):
            header = header.split()[0]
            if header in wanted:
                protein = str(Seq(body[: len(body) // 3 * 3]).translate(table=11)).rstrip("*")
                proteins.append((name + ":" + header.split(";")[0], "M" + protein[1:], False))
    for name, path, species in ARCHAEAL_GENOMES:
        if name in leave_out:
            left_out_species.append(species)
    proteins += uniprot("|".join(left_out_species), "UniProt-decoys" not in leave_out)
    for name, path, _ in ARCHAEAL_GENOMES:
        if name not in leave_out:
            proteins += [(name + ":" + tag, protein, False) for tag, protein in archaeal_genome(path)]
    for header, protein in records(CHLOROPLAST):
        if "Athaliana-chloroplast" not in leave_out and re.search(r"\| ribosomal protein [LS]\d+ \[",
                                                              header):
            proteins.append(("Athaliana-chloroplast:" + header.split("|")[3], protein, True))
    blosum = substitution_matrices.load("BLOSUM62")
    out = ["// Written by scripts/generate_machinery_panel.py; do not edit.",
           '#include "analysis/machinery_panel.hpp"', "", "namespace trelba {", "",
           "const std::array<std::array<std::int8_t, kResidueKinds>, kResidueKinds> kBlosum62 = {{"]
    for a in ALPHABET + "X":
        row = [int(blosum[a][b]) for b in ALPHABET + "X"]
        out.append("    {{" + ", ".join(str(v) for v in row) + "}},")
    out += ["}};", "", "namespace {", "", "constexpr PanelProtein kProteins[] = {"]
    for name, protein, decoy in proteins:
        protein = re.sub("[^" + ALPHABET + "]", "X", protein)
        out.append('    {"%s", %s,' % (name, "true" if decoy else "false"))
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
    decoys = sum(1 for p in proteins if p[2])
    print(len(proteins), "proteins (", decoys, "decoys ),", sum(len(p) for _, p, _ in proteins),
          "residues, longest", max(len(p) for _, p, _ in proteins))


if __name__ == "__main__":
    main()
