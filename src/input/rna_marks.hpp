// Whether a FASTA header marks its sequence as RNA or as a pseudogene, as annotation
// pipelines write them: NCBI's "[gbkey=rRNA]" (tRNA, rRNA, tmRNA, ncRNA) and
// "[pseudo=true]"; Prokka's and Bakta's products alone in the description ("tRNA-Leu(caa)",
// "16S ribosomal RNA", "transfer-messenger RNA, SsrA"). Products of proteins that work on
// RNA ("tRNA-dihydrouridine synthase", "16S rRNA methyltransferase") are no such mark.
#pragma once

#include <string_view>

namespace trelba {

bool MarksRna(std::string_view description);
bool MarksPseudogene(std::string_view description);

}  // namespace trelba
