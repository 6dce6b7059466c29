// The background of the expected score as the options choose it: even use, the pooled
// codons of the input itself, or those of a FASTA file.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "analysis/background.hpp"
#include "driver/input_reader.hpp"
#include "driver/options.hpp"
#include "input/byte_source.hpp"
#include "input/input_survey.hpp"

namespace trelba {

// What a pass that pools counts saw of its text: what the input checks read.
struct PooledText {
  InputSurvey survey;
  std::uint64_t u_letters = 0;
  bool any_header = false;
};

// The codon counts of every sequence of `input` added up, in a pass that analyses
// nothing, by `reader` (null: a reader of its own, with threads of its own); kDone, or why
// it could not be read to its end. With `seen`, what it saw of the text.
[[nodiscard]] InputOutcome::Status PoolSourceCounts(ByteSource& input, const Options& options,
                                                    CodonCounts& pooled,
                                                    std::uint64_t* sequences = nullptr,
                                                    InputReader* reader = nullptr,
                                                    PooledText* seen = nullptr);

// The text of an input read for its background, kept for its second pass when it is small.
struct KeptText {
  static constexpr std::size_t kLimit = std::size_t{4} << 20;
  std::string text;
  bool whole = false;  // `text` holds all of it
};

// The same of the file `file` ("-": standard input), with the number of its sequences when
// asked; the error line when it cannot be read. With `kept`, its text of up to
// KeptText::kLimit bytes is kept there. A file other than an input (`other`: a reference
// or a background) is checked as an input is, with the same warnings (no header line, RNA,
// a protein file, NUL bytes, ...), and one in which no codon was counted is an error.
std::optional<std::string> PoolFile(const Options& options, const std::string& file,
                                    CodonCounts& pooled, std::uint64_t* sequences = nullptr,
                                    InputReader* reader = nullptr, KeptText* kept = nullptr,
                                    FailureCause* cause = nullptr, bool other = false);

// Why a reference or background file is refused when no codon was counted in it.
inline constexpr const char* kNoCodonCounted = "no codon of T, C, A and G was counted in it";

// The background of `input` (a file name; "" when the background is not the input's
// own); the error line when it cannot be had, and then in `cause`, when given, why. Warns
// of families the background lacks. A background file "-" is standard input. `reader` and
// `kept` as PoolFile takes them.
std::optional<std::string> ChooseBackground(const Options& options, const std::string& input,
                                            Background& background, InputReader* reader = nullptr,
                                            KeptText* kept = nullptr,
                                            FailureCause* cause = nullptr);

// The background of pooled counts `pooled` read from `name`, with the warning of
// families it lacks.
Background BackgroundOfCounts(const Options& options, const std::string& name,
                              const CodonCounts& pooled);

}  // namespace trelba
