#include "variant_notes.hpp"

namespace trelba {

const std::array<VariantNote, kGeneticCodeCount> kVariantNotes = {{
    /* 0 */ {"the standard code: nuclear genes of most organisms; bacteria, archaea and "
             "plastids (NCBI table 11 has the same amino acids)",
             "standard code: most nuclear genes, bacteria, archaea, plastids",
             {}},
    /* 1 */
    {"vertebrate mitochondria", "vertebrate mitochondria", {{{"AGA AGG", '*'}}}, 4, {"ATA", 'I'}},
    /* 2 */
    {"yeast mitochondria (Saccharomyces and relatives)",
     "yeast mitochondria",
     {{{"CTT CTC CTA CTG", 'T'}, {"AGA AGG", 'R'}}}},
    /* 3 */
    {"Mycoplasma and Spiroplasma; mold, protozoan and coelenterate mitochondria",
     "Mycoplasma; mold, protozoan, coelenterate mitochondria",
     {}},
    /* 4 */ {"invertebrate mitochondria", "invertebrate mitochondria", {}},
    /* 5 */
    {"ciliate (Tetrahymena, Paramecium), dasycladacean and Hexamita nuclear genes",
     "ciliate, dasycladacean, Hexamita nuclear genes",
     {}},
    /* 6 */
    {"Euplotes and other euplotid ciliates: nuclear genes", "euplotid nuclear genes", {}},
    /* 7 */
    {"echinoderm and flatworm mitochondria",
     "echinoderm and flatworm mitochondria",
     {{{"AAA", 'N'}}}},
}};

}  // namespace trelba
