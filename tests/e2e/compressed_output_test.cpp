// Outputs whose names ask for compression, read back by each format's own tool as users
// read them: the text of the plain output; the same compressed bytes at every thread
// count (gzip through its text: ISA-L's bytes can vary). gzip output is BGZF, which htslib's tools
// take as such.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "input/readable_formats.hpp"
#include "run_tool.hpp"
#include "synthetic_genes.hpp"

namespace trelba::test {
namespace {

namespace fs = std::filesystem;

// Enough rows for several members of every format.
const std::string& Genes() {
  static const std::string genes = SyntheticGenes(3000, 100);
  return genes;
}

bool Found(const std::string& tool) {
  return std::system(("command -v " + tool + " > /dev/null 2>&1").c_str()) == 0;
}

// Runs `command` in `dir`; its standard output, or "failed".
std::string Output(const fs::path& dir, const std::string& command) {
  const fs::path out = dir / "tool.out";
  const std::string line = "cd '" + dir.string() + "' && " + command + " > '" + out.string() + "'";
  return std::system(line.c_str()) == 0 ? ReadFile(out) : "failed";
}

struct OutputCase {
  const char* name;
  std::vector<std::string> options;  // before the output option
  const char* option;                // names the output
  const char* plain;                 // its plain name
  const char* suffix;                // what the compressed name adds
  CompressionFormat format;
  const char* unpack;  // the tool that gives its text on standard output
};

void PrintTo(const OutputCase& c, std::ostream* os) {
  *os << c.name;
}

class CompressedOutputs : public ::testing::TestWithParam<OutputCase> {};

TEST_P(CompressedOutputs, ReadBackAsThePlainTextWithTheSameBytesAtEveryThreadCount) {
  const OutputCase& c = GetParam();
  const auto written = ReadableFormats();
  const std::string tool = std::string(c.unpack).substr(0, std::string(c.unpack).find(' '));
  if (std::find(written.begin(), written.end(), c.format) == written.end() || !Found(tool)) {
    GTEST_SKIP() << "no " << CompressionName(c.format) << " in this build, or no " << tool;
  }
  ScratchDir dir;
  WriteFile(dir / "in.fa", Genes());
  const std::string compressed = std::string(c.plain) + c.suffix;
  std::vector<std::string> args = c.options;
  for (const std::string& extra : {std::string("--no-reports"), std::string(c.option)}) {
    args.push_back(extra);
  }
  const auto run = [&](const char* threads, const std::string& name) {
    std::vector<std::string> with = {"-j", threads};
    with.insert(with.end(), args.begin(), args.end());
    with.push_back(name);
    with.emplace_back("in.fa");
    EXPECT_EQ(RunTrelba(with, dir.path()).status, 0) << name << " -j " << threads;
    return ReadFile(dir / name);
  };
  const std::string plain = run("1", c.plain);
  const std::string one = run("1", compressed);
  const std::string three = run("3", compressed);
  // igzip (ISA-L) may take other matches for the same text from one process to the next:
  // its gzip bytes are compared through their text, every other format's as bytes.
  if (c.format != CompressionFormat::kGzip) {
    EXPECT_TRUE(one == three) << "-j 1 and -j 3 differ";
  }
  EXPECT_NE(one.substr(0, 16), plain.substr(0, 16));
  EXPECT_TRUE(Output(dir.path(), std::string(c.unpack) + " '" + compressed + "'") == plain);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CompressedOutputs,
    ::testing::Values(
        OutputCase{"GzipTable", {}, "-T", "t.tsv", ".gz", CompressionFormat::kGzip, "gzip -dc"},
        // Regression: .xz, .zst and .bz2 were written as plain text (here and below).
        OutputCase{"ZstdTable", {}, "-T", "t.tsv", ".zst", CompressionFormat::kZstd, "zstd -dcq"},
        OutputCase{"XzTable", {}, "-T", "t.tsv", ".xz", CompressionFormat::kXz, "xz -dc"},
        OutputCase{"Bzip2Table", {}, "-T", "t.tsv", ".bz2", CompressionFormat::kBzip2, "bzip2 -dc"},
        // A suffix in capitals promises the same; .bgz is BGZF's own.
        OutputCase{
            "GzipTableInCapitals", {}, "-T", "t.tsv", ".GZ", CompressionFormat::kGzip, "gzip -dc"},
        OutputCase{"BgzfTable", {}, "-T", "t.tsv", ".bgz", CompressionFormat::kGzip, "gzip -dc"},
        // Rows held until the input's reference columns are known, then compressed.
        OutputCase{"GzipTableWithReference",
                   {"--reference", "auto", "--counts"},
                   "-T",
                   "t.tsv",
                   ".gz",
                   CompressionFormat::kGzip,
                   "gzip -dc"},
        OutputCase{"XzSummary", {}, "--summary", "s.tsv", ".xz", CompressionFormat::kXz, "xz -dc"},
        OutputCase{"ZstdCodonUsage",
                   {},
                   "--codon-usage",
                   "u.tsv",
                   ".zst",
                   CompressionFormat::kZstd,
                   "zstd -dcq"},
        OutputCase{
            "Bzip2Page", {}, "--report", "r.html", ".bz2", CompressionFormat::kBzip2, "bzip2 -dc"}),
    [](const auto& test) { return std::string(test.param.name); });

// A gzipped table is BGZF: htslib recognises it, bgzip and gzip test it whole, Python reads
// it, and tabix indexes it and finds a row by its identifier.
TEST(CompressedOutputs, GzipTableIsBgzfForHtslibAndTabix) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", Genes());
  ASSERT_EQ(RunTrelba({"--no-reports", "-T", "t.tsv.gz", "in.fa"}, dir.path()).status, 0);
  ASSERT_EQ(RunTrelba({"--no-reports", "-T", "t.tsv", "in.fa"}, dir.path()).status, 0);
  EXPECT_EQ(Output(dir.path(), "gzip -t t.tsv.gz && echo whole"), "whole\n");
  if (Found("/usr/bin/python3")) {
    EXPECT_TRUE(Output(dir.path(),
                       "/usr/bin/python3 -c \"import gzip, sys; "
                       "sys.stdout.write(gzip.open('t.tsv.gz', 'rt').read())\"") ==
                ReadFile(dir / "t.tsv"));
  }
  if (!Found("htsfile") || !Found("tabix") || !Found("bgzip")) {
    GTEST_SKIP() << "htslib's tools are not installed (Debian: tabix)";
  }
  EXPECT_NE(Output(dir.path(), "htsfile t.tsv.gz").find("BGZF-compressed"), std::string::npos);
  EXPECT_EQ(Output(dir.path(), "bgzip -t t.tsv.gz && echo whole"), "whole\n");
  // Each identifier as a sequence name, its row number as the position.
  ASSERT_EQ(Output(dir.path(), "tabix -S 1 -s 2 -b 1 -e 1 t.tsv.gz && echo indexed"), "indexed\n");
  const std::string table = ReadFile(dir / "t.tsv");
  const std::size_t row = table.find("\n2000\t");
  ASSERT_NE(row, std::string::npos);
  const std::string line = table.substr(row + 1, table.find('\n', row + 1) - row);
  const std::string id = line.substr(5, line.find('\t', 5) - 5);
  EXPECT_EQ(Output(dir.path(), "tabix t.tsv.gz '" + id + "'"), line);
}

}  // namespace
}  // namespace trelba::test
