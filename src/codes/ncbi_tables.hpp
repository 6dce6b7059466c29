// The genetic codes of the NCBI translation tables ("transl_table" numbers), as families.
#pragma once

#include <span>
#include <string_view>

#include "codes/genetic_code.hpp"

namespace trelba {

// Every table number NCBI defines, ascending: 1 to 6, 9 to 16, 21 to 33.
std::span<const int> NcbiTableNumbers();

// The code of NCBI translation table `table`, or nullptr where NCBI defines no such table.
// Each amino acid's family holds every codon the table translates to it and the stop family
// every codon it marks as a stop only; k is the family's size, no codon is exempt from the
// entropy term, and the denominator holds the families of two or more codons in ascending
// number.
const GeneticCode* NcbiGeneticCode(int table);

// NCBI's name of table `table` ("Vertebrate Mitochondrial"), empty where none is defined.
std::string_view NcbiTableName(int table);

}  // namespace trelba
