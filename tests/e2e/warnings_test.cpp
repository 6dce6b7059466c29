// Warnings about input that is plainly not coding DNA: each fires once, with its counts,
// leaves the status and the reports as they were, and stays silent on real genes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "analyse_text.hpp"
#include "run_tool.hpp"

namespace trelba::test {
namespace {

namespace fs = std::filesystem;

struct WarningCase {
  const char* name;
  std::string input;
  std::string err;
};

void PrintTo(const WarningCase& c, std::ostream* out) {
  *out << c.name;
}

std::string Repeat(const std::string& text, std::size_t times) {
  std::string out;
  out.reserve(text.size() * times);
  for (std::size_t i = 0; i < times; ++i) out += text;
  return out;
}

// ASCII text in UTF-16LE.
std::string Utf16(const std::string& text) {
  std::string out;
  for (const char c : text) out += std::string{c, '\0'};
  return out;
}

// A repeat of 20 letters as one sequence: stops in frame, and a length that 3 does not
// divide.
const std::string kGenomeChecks =
    "Warning: in.fa: 1 sequence has stop codons before the last codon (the first: header on "
    "line 1); --cds-only leaves them out\n"
    "Warning: in.fa: 1 sequence's length is not a multiple of 3 (the first: header on line 1); "
    "--cds-only leaves them out\n";
const std::string kPartial3 =
    "Warning: in.fa: 1 sequence's length is not a multiple of 3 (the first: header on line 3); "
    "--cds-only leaves them out\n";

class InputWarnings : public ::testing::TestWithParam<WarningCase> {};

TEST_P(InputWarnings, OneLineEachReportsUnchanged) {
  const WarningCase& c = GetParam();
  ScratchDir dir;
  WriteFile(dir / "in.fa", c.input);
  const RunResult run = RunTrelba({"in.fa"}, dir.path());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, c.err);
  const ReportTexts expected = AnalyseText(c.input, "0");
  EXPECT_TRUE(ReadFile(dir / "in.fa.freq") == expected.counts);
  EXPECT_EQ(ReadFile(dir / "in.fa.ok"), expected.scores);
}

INSTANTIATE_TEST_SUITE_P(
    Table, InputWarnings,
    ::testing::Values(
        WarningCase{"RnaLetters", ">m1\nAUGUUUGCU\n>m2\naugcccuaa\n",
                    "Warning: in.fa: 7 letters U or u (RNA spelling) were read: triples holding "
                    "them are not counted; convert U to T first\n"},
        WarningCase{"ProteinFile", ">sp|P69905|HBA_HUMAN\nMVLSPADKTNVKAAWGKVGAHAGEYGAEALERMFLSF\n",
                    "Warning: in.fa: 12 of 12 triples were not codons of T, C, A and G: is this "
                    "a protein file?\n"},
        WarningCase{"NoHeader", "ATGAAATTTCCC\n",
                    "Warning: in.fa: not sequence data (text): no FASTA header line (a line "
                    "starting with '>'), GenBank, EMBL or GFF3 record was found: nothing is "
                    "reported\n"},
        WarningCase{"EmptyFile", "",
                    "Warning: in.fa: not sequence data (empty): no FASTA header line (a line "
                    "starting with '>'), GenBank, EMBL or GFF3 record was found: nothing is "
                    "reported\n"},
        WarningCase{"WholeGenome", ">chr\n" + Repeat("ATGGCTAAACGTTTCCAGGA", 500001) + "\n",
                    "Warning: in.fa: 1 sequence is longer than any gene (the longest holds "
                    "10000020 letters): a whole genome is scored as one gene; give its annotation "
                    "with --gff FILE, or its GenBank file\n"
                    "Warning: in.fa: 1 sequence has stop codons before the last codon (the "
                    "first: header on line 1); --cds-only leaves them out\n"},
        // Half the triples are not codons: not "most", so no warning.
        WarningCase{"HalfNs", ">a\nNNNATG\n", ""},
        WarningCase{"JustUnderTheGenomeLength",
                    ">chr\n" + Repeat("ATGGCTAAACGTTTCCAGGA", 499999) + "\n", kGenomeChecks},
        WarningCase{"CommentLines", ";legacy comment\n>g old style\n;the g gene\nATGAAATAA\n",
                    "Warning: in.fa: 2 lines start with ';' (the first: line 1): comment lines "
                    "of old FASTA files are read as sequence letters here\n"},
        WarningCase{"HeaderInsideALine", ">a\nATGTAA>b c\nATGTAA\n",
                    "Warning: in.fa: 1 '>' inside a line starts a new sequence (the first: "
                    "line 2)\n"},
        WarningCase{"InternalStops", ">a\nATGTAA\n>b\nATGTGATAA\n>c\nATGTAGTAA\n",
                    "Warning: in.fa: 2 sequences have stop codons before the last codon (the "
                    "first: header on line 3); --cds-only leaves them out\n"},
        WarningCase{"Partial", ">a\nATGTAA\n>b\nATGTAAT\n", kPartial3},
        WarningCase{"OrdinaryGenes", ">a\nATGAAATAA\n>b\natgTAG\n>c\n\n", ""},
        // Regression: UTF-16 text after the part looked at on opening was read as bytes
        // without a word.
        WarningCase{"Utf16PastTheFirstBytes",
                    ">a\n" + Repeat("ATG", 2000) + "\n" + Utf16(">b\nATGTAA\n"),
                    "Warning: in.fa: 10 bytes are NUL (the first: byte 6006 of the text): UTF-16 "
                    "or UTF-32 text there is read as bytes\n" +
                        kPartial3}),
    [](const auto& test) { return std::string(test.param.name); });

// Regression guard: no warning on real coding sequences, under any code; the genome and
// the intron shipped with them are no coding sequences, and are told so.
TEST(InputWarnings, SilentOnRealCodingSequences) {
  ScratchDir dir;
  std::vector<fs::path> inputs;
  for (const auto& entry : fs::directory_iterator(TestData() / "real")) inputs.push_back(entry);
  inputs.push_back(TestData() / "inputs" / "ypestis.ffn");
  for (const fs::path& input : inputs) {
    const std::string name = input.filename().string();
    const bool coding =
        name.find("HIV1") == std::string::npos && name.find("lavender") == std::string::npos;
    WriteFile(dir / "in.fa", ReadFile(input));
    for (const char* code : {"0", "2", "5"}) {
      const RunResult run = RunTrelba({"--no-reports", "in.fa", code}, dir.path());
      EXPECT_EQ(run.status, 0);
      EXPECT_EQ(run.err, coding ? "" : kGenomeChecks) << input << " code " << code;
    }
  }
}

}  // namespace
}  // namespace trelba::test
