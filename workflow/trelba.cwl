#!/usr/bin/env cwl-runner
# Trelba over one or more CDS files: one gene table (and, with the many-input command
# line, one genome summary), no per-genome reports.
cwlVersion: v1.2
class: CommandLineTool
label: Trelba, synonymous codon order per gene
doc: |
  Measures how unevenly each coding sequence uses synonymous codons and writes one
  tab-separated gene table. Several inputs need the many-input command line
  (a `file` column is added then).
baseCommand: Trelba
hints:
  SoftwareRequirement:
    packages:
      trelba:
        version: ["1.0.0"]
arguments:
  - prefix: -T
    valueFrom: $(inputs.table_name)
  - --no-reports
inputs:
  cds:
    type: File[]
    inputBinding:
      position: 10
    doc: FASTA files of coding sequences, plain or compressed
  gcode:
    type: int?
    inputBinding:
      prefix: --gcode
    doc: NCBI translation table
  table_name:
    type: string
    default: genes.tsv
outputs:
  table:
    type: File
    outputBinding:
      glob: $(inputs.table_name)
