// GenBank, EMBL and GFF3 inputs as the sequences they hand on (name, description, letters,
// the line of the feature) and what they leave out, the same whatever the pieces the text
// arrives in; a genome FASTA read against a GFF3 annotation likewise.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "input/input_scanner.hpp"

namespace trelba {
namespace {

struct Cut {
  std::string id, description, letters;
  std::uint64_t line = 0;
  bool operator==(const Cut&) const = default;
};

void PrintTo(const Cut& c, std::ostream* os) {
  *os << c.id << " [" << c.description << "] " << c.letters << " line " << c.line;
}

struct Recorder {
  std::vector<Cut> cuts;
  void Start(SequenceNumber number, std::uint64_t line) {
    EXPECT_EQ(number, cuts.size() + 1);
    cuts.push_back({});
    cuts.back().line = line;
  }
  void Id(const char* t, std::size_t n) { cuts.back().id.append(t, n); }
  void Description(const char* t, std::size_t n) { cuts.back().description.append(t, n); }
  void Body(const char* t, std::size_t n) { cuts.back().letters.append(t, n); }
  void End() {}
};

struct Left {  // counts of what was left out
  std::uint64_t records, pseudo, other_record, unreadable, out_of_range, without_sequence;
  bool operator==(const Left&) const = default;
};

struct AnnotatedCase {
  const char* name;
  std::string text;
  std::vector<Cut> cuts;
  Left left;
  std::string annotation;  // a GFF3 text the input is the genome of, when not empty
};

void PrintTo(const AnnotatedCase& c, std::ostream* os) {
  *os << c.name;
}

class AnnotatedInputs : public ::testing::TestWithParam<AnnotatedCase> {};

TEST_P(AnnotatedInputs, HandOnTheirCdsInAnyPieces) {
  const AnnotatedCase& c = GetParam();
  for (const std::size_t piece : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{7}}) {
    GffAnnotation annotation;
    if (!c.annotation.empty()) {
      std::uint64_t line = 0;
      std::size_t at = 0;
      while (at < c.annotation.size()) {
        const std::size_t end = std::min(c.annotation.find('\n', at), c.annotation.size());
        ASSERT_TRUE(
            annotation.AddLine(std::string_view(c.annotation).substr(at, end - at), ++line));
        at = end + 1;
      }
      annotation.Seal();
    }
    InputScanner scanner;
    Recorder recorder;
    scanner.Begin(c.annotation.empty() ? nullptr : &annotation);
    const std::size_t step = piece == 0 ? std::max<std::size_t>(c.text.size(), 1) : piece;
    for (std::size_t at = 0; at < c.text.size(); at += step) {
      scanner.Scan(c.text.data() + at, std::min(step, c.text.size() - at), recorder);
    }
    scanner.Finish(recorder);
    ASSERT_FALSE(scanner.error()) << "pieces of " << piece;
    EXPECT_EQ(recorder.cuts, c.cuts) << "pieces of " << piece;
    ASSERT_NE(scanner.tally(), nullptr);
    const AnnotationTally& t = *scanner.tally();
    EXPECT_EQ((Left{t.records, t.pseudo.count, t.other_record.count, t.unreadable.count,
                    t.out_of_range.count, t.without_sequence.count}),
              c.left)
        << "pieces of " << piece;
    EXPECT_EQ(scanner.fasta().sequence, c.cuts.size());
  }
}

const std::string kGenBank =
    "LOCUS       TEST1                     29 bp    DNA     circular BCT 01-JAN-2000\n"
    "ACCESSION   X00001\n"
    "VERSION     X00001.1\n"
    "FEATURES             Location/Qualifiers\n"
    "     source          1..30\n"
    "     CDS             1..9\n"
    "                     /locus_tag=\"T_1\"\n"
    "                     /gene=\"abcA\"\n"
    "                     /product=\"a long\n"
    "                     product\"\n"
    "                     /translation=\"MK\n"
    "                     /locus_tag=\"not this\"\"\n"
    "     CDS             complement(join(11..13,\n"
    "                     16..18))\n"
    "                     /gene=\"b\"\n"
    "     CDS             20..25\n"
    "                     /codon_start=2\n"
    "                     /protein_id=\"P1.1\"\n"
    "     CDS             28..3\n"
    "     CDS             1..3\n"
    "                     /pseudo\n"
    "     CDS             join(1..3,Z99999.1:1..3)\n"
    "     CDS             25..31\n"
    "     gene            bogus((\n"
    "     CDS             bogus((\n"
    "ORIGIN      \n"
    "        1 atgaaataa cccgggttta aaccc gggtt\n"
    "//\n";

const std::string kEmbl =
    "ID   X56734; SV 1; linear; mRNA; STD; PLN; 12 BP.\n"
    "XX\n"
    "AC   X56734; S46826;\n"
    "FH   Key             Location/Qualifiers\n"
    "FT   CDS             <1..>12\n"
    "FT                   /product=\"p\"\n"
    "FT   CDS             complement(4..6)\n"
    "XX\n"
    "SQ   Sequence 12 BP; 3 A; 3 C; 3 G; 3 T; 0 other;\n"
    "     aaacccgggt tt                                                      12\n"
    "//\n";

INSTANTIATE_TEST_SUITE_P(
    Table, AnnotatedInputs,
    ::testing::Values(
        AnnotatedCase{"GenBank",
                      kGenBank,
                      {{"T_1", "[gene=abcA] [protein=a long product]", "atgaaataa", 6},
                       {"b", "[gene=b]", "aaacgg", 13},
                       {"P1.1", "", "acccg", 16},
                       {"X00001.1_cds4", "", "ttatg", 19}},
                      {1, 1, 1, 1, 1, 0},
                      ""},
        AnnotatedCase{"GenBankCrlfAfterBlankLines",
                      "\r\n\n" +
                          [] {
                            std::string text;
                            for (const char c : kGenBank) {
                              if (c == '\n') text += '\r';
                              text += c;
                            }
                            return text;
                          }(),
                      {{"T_1", "[gene=abcA] [protein=a long product]", "atgaaataa", 8},
                       {"b", "[gene=b]", "aaacgg", 15},
                       {"P1.1", "", "acccg", 18},
                       {"X00001.1_cds4", "", "ttatg", 21}},
                      {1, 1, 1, 1, 1, 0},
                      ""},
        AnnotatedCase{"GenBankTruncatedRecords",
                      "LOCUS       A 6 bp DNA\nFEATURES\n     CDS   1..3\nORIGIN\n  1 atgccc\n"
                      "LOCUS       B 6 bp DNA\nFEATURES\n     CDS   1..3\n     CDS   2..4\n"
                      "CONTIG      join(Z1.1:1..6)\n//\n"
                      "LOCUS       C 6 bp DNA\nFEATURES\n     CDS   4..6\nORIGIN\n  1 atg",
                      {{"A_cds1", "", "atg", 3}},
                      {3, 0, 0, 0, 1, 2},
                      ""},
        AnnotatedCase{
            "Embl",
            kEmbl,
            {{"X56734.1_cds1", "[protein=p]", "aaacccgggttt", 5}, {"X56734.1_cds2", "", "ggg", 7}},
            {1, 0, 0, 0, 0, 0},
            ""},
        AnnotatedCase{
            "Gff3WithItsGenome",
            "##gff-version 3\n"
            "c1\tx\tgene\t1\t30\t.\t+\t.\tID=g1\n"
            "c1\tx\tCDS\t16\t18\t.\t-\t0\tID=cds1;Parent=t1;locus_tag=L2\n"
            "c1\tx\tCDS\t1\t9\t.\t+\t0\tID=a;gene=abc;product=x%3By\n"
            "c1\tx\tCDS\t11\t13\t.\t-\t2\tID=cds1;Parent=t1;locus_tag=L2\n"
            "c2\tx\tCDS\t1\t3\t.\t+\t0\tID=p;pseudo=true\n"
            "c2\tx\tCDS\t2\t99\t.\t+\t0\tID=far\n"
            "c3\tx\tCDS\t1\t3\t.\t+\t0\tID=nowhere\n"
            "c1\tx\tCDS\t9\t3\t.\t+\t0\tID=backwards\n"
            "##FASTA\n>c1 first\natgaaataac\nccgggtttaa acccgggtt\n>c2\nATGAAA\n",
            {{"L2", "", "aaacgg", 3}, {"abc", "[gene=abc] [protein=x;y]", "atgaaataa", 4}},
            {2, 1, 0, 1, 1, 1},
            ""},
        AnnotatedCase{"GenomeWithGff",
                      ">c2 second\nATGAAA\n>c1\natgaaataacccgggtttaaacccgggtt\n",
                      {{"b", "", "AAA", 2}, {"a", "", "atgaaataa", 1}},
                      {2, 0, 0, 0, 0, 1},
                      "c1\tx\tCDS\t1\t9\t.\t+\t0\tID=a\n"
                      "c2\tx\tCDS\t4\t6\t.\t+\t0\tID=b\n"
                      "c9\tx\tCDS\t4\t6\t.\t+\t0\tID=z\n"}));

}  // namespace
}  // namespace trelba
