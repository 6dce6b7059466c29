// The reports and the table of a text under a genetic code, made in memory by the
// program's own pipeline: the expected output of end-to-end and fuzz tests.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "codes/genetic_code.hpp"

namespace trelba {

struct ReportTexts {
  std::string order;   // ".iik"
  std::string scores;  // ".ok"
  std::string counts;  // ".freq"
  std::string table;   // the table of results
};

// `piece` > 0 feeds the pipeline that many bytes at a time; `threads` workers analyse.
ReportTexts AnalyseText(std::string_view input, const GeneticCode& code, std::size_t piece = 0,
                        unsigned threads = 1);

// The same under the genetic-code argument `code_id` ("0" to "7").
ReportTexts AnalyseText(std::string_view input, std::string_view code_id, std::size_t piece = 0,
                        unsigned threads = 1);

}  // namespace trelba
