// The tRNA adaptation index (tAI; dos Reis, Wernisch & Savva 2003; dos Reis, Savva &
// Wernisch 2004): each codon's weight from the genes of the tRNAs that read it, each
// counted with 1 - s for its pairing at the anticodon's first base (34) with the codon's
// third:
// - Watson-Crick pairs, s = 0;
// - G34:U (a GNN tRNA reading NNT), s = 0.41; I34:C (an ANN tRNA, its A taken as inosine,
//   reading NNC), s = 0.28; I34:A (reading NNA), s = 0.9999; U34:G (a UNN tRNA reading NNG),
//   s = 0.68; so W(NNT) = t(NNT) + 0.59 t(NNC), W(NNC) = t(NNC) + 0.72 t(NNT),
//   W(NNA) = t(NNA) + 0.0001 t(NNT), W(NNG) = t(NNG) + 0.32 t(NNA), t(c) being the genes
//   whose anticodon reads c by Watson-Crick pairing;
// - in bacteria and archaea (the code's NCBI table 4, 11 or 25), AUA is read by a CAU tRNA
//   whose C34 is modified (lysidine, agmatidine), s = 0.89: W(ATA) = 1 - 0.89, as the
//   published weights have it.
// Stops and Met are left out, as they leave them out; w = W / the largest W; a codon no
// tRNA reads (W = 0) takes the geometric mean of the other w. tAI is the geometric mean of
// w over the sequence's codons of the amino acids kept. Every number is made of IEEE double
// operations in a fixed order, NaturalLog and Exponential.
#pragma once

#include <array>

#include "codes/genetic_code.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

struct TrnaWeights {
  CodonValues w{};
  CodonValues log_w{};                       // of the codons kept, else 0
  std::array<bool, kCodonCount + 1> kept{};  // neither a stop nor Met
};

// The weights of the genes `reading` (tRNA genes by the codon they read) under `code`.
TrnaWeights WeightsOfTrnaGenes(const GeneticCode& code, const CodonCounts& reading);

// tAI of a sequence's counts; NaN without a codon kept.
double TrnaAdaptationIndex(const TrnaWeights& weights, const CodonCounts& counts);

}  // namespace trelba
