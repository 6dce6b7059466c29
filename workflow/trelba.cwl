#!/usr/bin/env cwl-runner
# Trelba over one or more CDS files: one gene table and one genome summary, no
# per-genome reports. The inputs are staged in the working folder and named by their
# base names, so the same inputs give the same bytes whichever folders a runner stages
# them in (two inputs of one base name cannot be staged together: rename one).
cwlVersion: v1.2
class: CommandLineTool
label: Trelba, synonymous codon order per gene and per genome
doc: |
  Measures how unevenly each coding sequence uses synonymous codons and writes one
  tab-separated gene table (a `file` column naming each input by its base name) and one
  summary row per input.
baseCommand: Trelba
requirements:
  InitialWorkDirRequirement:
    listing: $(inputs.cds)
hints:
  ResourceRequirement:
    coresMin: 1
  SoftwareRequirement:
    packages:
      trelba:
        version: ["1.0.0"]
        specs: ["https://bioconda.github.io/recipes/trelba/README.html"]
arguments:
  - prefix: -j
    valueFrom: $(runtime.cores)
  - --no-reports
  - --file-column
  - prefix: -T
    valueFrom: $(inputs.table_name)
  - prefix: --summary
    valueFrom: $(inputs.summary_name)
inputs:
  cds:
    type:
      type: array
      items: File
      inputBinding:
        valueFrom: $(self.basename)
    inputBinding:
      position: 10
    # No `format:` here: a file given on the command line (--cds a.fa) carries none,
    # and a runner refuses a file without the format an input declares.
    doc: FASTA files of coding sequences, plain or compressed (gzip, xz, bzip2, zstd)
  gcode:
    type: int?
    inputBinding:
      prefix: --gcode
    doc: NCBI translation table (1-6, 9-16, 21-33); Trelba's default code when unset
  table_name:
    type: string
    default: genes.tsv
  summary_name:
    type: string
    default: genomes.tsv
outputs:
  table:
    type: File
    format: edam:format_3475
    outputBinding:
      glob: $(inputs.table_name)
  summary:
    type: File
    format: edam:format_3475
    outputBinding:
      glob: $(inputs.summary_name)
$namespaces:
  edam: http://edamontology.org/
  s: https://schema.org/
s:license: https://spdx.org/licenses/MIT
s:codeRepository: https://example.org/trelba
