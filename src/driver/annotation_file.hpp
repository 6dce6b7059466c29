// The GFF3 file of --gff, read once before the first input: its CDS lines, up to its
// "##FASTA" part if it has one.
#pragma once

#include <optional>
#include <string>

#include "driver/options.hpp"
#include "input/gff3_annotation.hpp"

namespace trelba {

// Reads `file` ("-": standard input, plain or compressed) into `annotation`; the error
// line when it cannot be read.
std::optional<std::string> ReadGffFile(const std::string& file, GffAnnotation& annotation);

}  // namespace trelba
