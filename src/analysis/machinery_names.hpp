// Whether a header's description names a protein of the cytosolic translation machinery: a
// ribosomal protein or the elongation factors EF-Tu / EF-1A, EF-G / EF-2, EF-Ts / EF-1B.
// The products annotation tools write are read, wherever they stand in the description:
// NCBI's "[protein=50S ribosomal protein L2]", Prokka's and Bakta's "50S ribosomal protein
// L2", a GFF attribute "product=...", or a description that ends with the product.
//
// A product names a ribosomal protein when "ribosomal protein" is followed by one name of
// L, S or P and letters, digits or '/' (L2, S27a, L7/L12, P0, SA), perhaps "type X" or a
// number, and then the product's end; an elongation factor when "elongation factor" is
// followed by Tu, Ts, G, 1-alpha (1 alpha, 1A), 1-beta (1B) or 2 (each perhaps as EF-Tu
// ...), perhaps a number or a letter, and the product's end. So "ribosomal protein L11
// methyltransferase", "ribosomal protein S6 kinase", "elongation factor 4" and "elongation
// factor P" are not. A product that names a mitochondrion, a mitoribosome, a chloroplast,
// plastid or apicoplast, or a subunit of the mitochondrial ribosome (28S, 39S, 37S, 54S),
// or that is transcriptional or selenocysteine-specific, is not either. Gene symbols (rplB,
// tufA) are not read: in some annotations they are carried over from a neighbouring gene.
// Letters are compared without case.
#pragma once

#include <string_view>

namespace trelba {

bool NamesTranslationMachinery(std::string_view description);

}  // namespace trelba
