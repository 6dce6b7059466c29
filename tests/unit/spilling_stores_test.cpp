// The stores that keep part of an input in the temporary folder give back exactly what
// they were given, on either side of what memory holds and however often they are read;
// a temporary folder that fails is told with its cause, by every store.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "input/spill_store.hpp"
#include "reports/gene_count_store.hpp"
#include "reports/median_series.hpp"
#include "reports/staged_sink.hpp"

namespace trelba {
namespace {

struct CountsCase {
  const char* name;
  std::vector<std::pair<std::size_t, std::uint64_t>> counts;  // codon (1 to 64), count
};

void PrintTo(const CountsCase& c, std::ostream* os) {
  *os << c.name;
}

CodonCounts CountsOf(const CountsCase& c) {
  CodonCounts counts{};
  for (const auto& [codon, count] : c.counts) counts[codon] = count;
  return counts;
}

std::vector<std::pair<std::size_t, std::uint64_t>> Codons(std::size_t n, std::uint64_t count) {
  std::vector<std::pair<std::size_t, std::uint64_t>> codons;
  for (std::size_t c = 1; c <= n; ++c) codons.emplace_back(c * 64 / (n + 1) + 1, count + c);
  return codons;
}

// Sequence `n`'s counts of every codon, some of two bytes.
CodonCounts Other(std::uint64_t n) {
  CodonCounts counts{};
  for (std::size_t c = 1; c <= kCodonCount; ++c) counts[c] = (n + c) % 300;
  return counts;
}

class GeneCounts : public ::testing::TestWithParam<CountsCase> {};

// Each case's counts, between sequences of every codon, until the store has spilled and
// more; read back twice (the reference search reads them once a round).
TEST_P(GeneCounts, ComeBackInOrderAfterSpilling) {
  const CodonCounts counts = CountsOf(GetParam());
  GeneCountStore store;
  std::uint64_t added = 0, spilled_at = 0;
  for (; spilled_at == 0 || added < spilled_at + 1000; ++added) {
    if (spilled_at == 0 && store.spilled_bytes() != 0) spilled_at = added;
    ASSERT_TRUE(store.Add(added % 2 == 0 ? counts : Other(added),
                          static_cast<std::uint8_t>(added % 256),
                          1.0 / static_cast<double>(added + 3)));
  }
  for (int pass = 0; pass < 2; ++pass) {
    GeneCountStore::Reader reader(store);
    CodonCounts back;
    std::uint8_t marks = 0;
    double excess_p = 0.0;
    std::uint64_t read = 0;
    for (; reader.Next(back, marks, excess_p); ++read) {
      ASSERT_TRUE(back == (read % 2 == 0 ? counts : Other(read))) << "sequence " << read;
      ASSERT_EQ(marks, read % 256) << "sequence " << read;
      ASSERT_EQ(excess_p, 1.0 / static_cast<double>(read + 3)) << "sequence " << read;
    }
    EXPECT_FALSE(reader.failed());
    EXPECT_EQ(read, added);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, GeneCounts,
    ::testing::Values(
        CountsCase{"NoCodon", {}}, CountsCase{"OneCodon", {{64, 1}}},
        // Kept codon by codon up to half of them, as 64 counts beyond.
        CountsCase{"HalfTheCodons", Codons(32, 1)}, CountsCase{"MoreThanHalf", Codons(33, 1)},
        CountsCase{"AllCodons", Codons(64, 0)}, CountsCase{"CountsOfTwoBytes", Codons(5, 127)},
        // Every codon's count one byte but the last's (128: two).
        CountsCase{"AllCodonsTheLastOfTwoBytes", Codons(64, 64)},
        CountsCase{"CountsPast32Bits", Codons(40, std::uint64_t{1} << 40)},
        CountsCase{"LargestCount", {{1, std::numeric_limits<std::uint64_t>::max()}, {2, 3}}}),
    [](const auto& test) { return std::string(test.param.name); });

// Rows held in memory and rows spilled (as they are while the allowance lasts, the rest
// compressed) come back whole, each with what the caller appends at its end.
TEST(StagedRows, ComeBackWholeWithTheirEnds) {
  const struct {
    std::size_t rows;
    double allowed;  // the share of the rows' bytes let spill as they are
  } cases[] = {{1000, 0.0}, {200000, 0.0}, {200000, 0.5}, {200000, 1.0}};
  for (const auto& c : cases) {
    StagedSink staged;
    std::string written, expected;
    for (std::size_t r = 0; r < c.rows; ++r) {
      const std::string row = std::to_string(r) + "\tgene" + std::to_string(r * 7919 % 100003) +
                              "\t0.5\tNA\tNA\t" + std::to_string(r % 13);
      written += row + "\n";
      expected += row + "\tend\n";
    }
    staged.AllowAsTheyAre(
        static_cast<std::uint64_t>(c.allowed * static_cast<double>(written.size())));
    for (std::size_t at = 0; at < written.size(); at += 65536) {
      ASSERT_TRUE(
          staged.Write(written.data() + at, std::min<std::size_t>(65536, written.size() - at)));
    }
    ASSERT_EQ(written.size() > StagedSink::kMemoryHeld, c.rows == 200000);
    StringSink sink;
    OutputBuffer out(sink);
    ASSERT_TRUE(staged.ReleaseRows(out, [](OutputBuffer& o) { o.Append("\tend"); }));
    out.Flush();
    EXPECT_TRUE(sink.text == expected) << c.rows << " rows, " << c.allowed << " as they are";
  }
}

// TMPDIR set for the life of the object.
class TemporaryFolderSetting {
 public:
  explicit TemporaryFolderSetting(const char* folder) {
    if (const char* was = std::getenv("TMPDIR")) earlier_ = was;
    ::setenv("TMPDIR", folder, 1);
  }
  ~TemporaryFolderSetting() {
    if (earlier_.empty()) {
      ::unsetenv("TMPDIR");
    } else {
      ::setenv("TMPDIR", earlier_.c_str(), 1);
    }
  }

 private:
  std::string earlier_;
};

// Regression: the stores went to /tmp whatever TMPDIR said, and a median whose values
// could not be kept was taken from those left.
TEST(TemporaryFolder, ThatCannotBeHadFailsEveryStoreWithItsCause) {
  const TemporaryFolderSetting missing("/nonexistent/trelba-temporary");
  const std::string row(1000, 'x');
  // Rows compressed (which may reach the file only as they are released), and as they are.
  for (const std::uint64_t allowed : {std::uint64_t{0}, std::uint64_t{1} << 40}) {
    StagedSink staged;
    staged.AllowAsTheyAre(allowed);
    bool written = true;
    for (std::size_t size = 0; written && size <= 2 * StagedSink::kMemoryHeld; size += row.size()) {
      written = staged.Write(row.data(), row.size());
    }
    StringSink sink;
    OutputBuffer out(sink);
    EXPECT_FALSE(written && staged.Release(out)) << allowed;
    EXPECT_TRUE(staged.spill_failed()) << allowed;
    EXPECT_EQ(staged.error().code, ENOENT) << allowed;
    EXPECT_TRUE(staged.error().in_temporary_folder) << allowed;
  }

  GeneCountStore genes;
  CodonCounts counts{};
  counts.fill(1000);
  bool added = true;
  for (std::size_t n = 0; added && n < GeneCountStore::kHeldBytes; ++n) added = genes.Add(counts);
  EXPECT_FALSE(added);
  EXPECT_TRUE(genes.failed());
  EXPECT_EQ(genes.error().code, ENOENT);

  MedianSeries scores;
  const std::vector<double> values(MedianSeries::kHeldValues + 1, 0.25);
  scores.Add(values);
  EXPECT_TRUE(scores.failed());
  EXPECT_EQ(scores.error().code, ENOENT);
  EXPECT_NE(scores.Median(), scores.Median());  // NaN, never a median of the values left

  SpillStore record(16);  // an annotated record's sequence
  EXPECT_FALSE(record.Append(row.data(), row.size()));
  EXPECT_EQ(record.error().code, ENOENT);

  for (const FailureCause& cause : {genes.error(), scores.error(), record.error()}) {
    EXPECT_TRUE(cause.in_temporary_folder);
  }
}

}  // namespace
}  // namespace trelba
