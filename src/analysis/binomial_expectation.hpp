// The expected entropy term of one codon whose count is binomially distributed.
#pragma once

#include <cstdint>

namespace trelba {

// E[EntropyTerm(double(c) / total)] for c ~ Binomial(n, q), 0 <= q <= 1: the terms
// exactly as the analysis computes them, weighted by the binomial probabilities. `total`
// is the family total the count is divided by (double(n) for a family whose codons are
// all drawn). Uses only +, -, *, / in a fixed order and NaturalLog, so the value has the
// same bits on every platform; within 1e-12 relative of the exact expectation.
double ExpectedEntropyTerm(std::uint64_t n, double q, double total);

}  // namespace trelba
