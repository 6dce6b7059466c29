// --trna FILE: the tRNA genes of the genome, as tRNAscan-SE or ARAGORN found them
// (input/trna_genes_text.hpp), read once before the inputs into the weights of the tai
// column (analysis/trna_adaptation.hpp).
#pragma once

#include <optional>
#include <string>

#include "analysis/trna_adaptation.hpp"
#include "driver/options.hpp"
#include "trelba/failure_cause.hpp"

namespace trelba {

// The weights of --trna FILE when given (into `weights`); the error line when it cannot
// be read.
std::optional<std::string> ReadTrnaFile(const Options& options, std::optional<TrnaWeights>& weights,
                                        FailureCause* cause = nullptr);

}  // namespace trelba
