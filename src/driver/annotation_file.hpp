// The GFF3 file of --gff, read once before the first input: its CDS lines, up to its
// "##FASTA" part if it has one.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "driver/options.hpp"
#include "input/gff3_annotation.hpp"
#include "trelba/failure_cause.hpp"

namespace trelba {

// Reads `file` ("-": standard input, plain or compressed) into `annotation`; the error
// line when it cannot be read, and then in `cause`, when given, why.
std::optional<std::string> ReadGffFile(const std::string& file, GffAnnotation& annotation,
                                       FailureCause* cause = nullptr);

// The translation table the first CDS of the file `file` gives (GenBank's or EMBL's
// /transl_table, GFF3's transl_table=), read from the first kTableLookAhead bytes of its
// text; none for standard input, FASTA, a file that cannot be read or no table there.
inline constexpr std::size_t kTableLookAhead = std::size_t{4} << 20;
std::optional<int> FirstTranslationTable(const std::string& file);

}  // namespace trelba
