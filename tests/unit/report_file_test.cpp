// A report replaces what stands at its name only when committed; its temporary file is
// gone whatever happens.
#include "reports/report_file.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace trelba {
namespace {

namespace fs = std::filesystem;

class ReportFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "trelba-report-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Read(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }
  // Everything in the folder.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
};

TEST_F(ReportFileTest, CommitReplacesTheFileWhole) {
  Write("r.ok", "earlier\n");
  ReportFile report;
  ASSERT_TRUE(report.Open(Path("r.ok")));
  ASSERT_TRUE(report.Write("new\n", 4));
  EXPECT_EQ(Read("r.ok"), "earlier\n");
  ASSERT_TRUE(report.Commit());
  EXPECT_EQ(Read("r.ok"), "new\n");
  EXPECT_EQ(Entries(), std::vector<std::string>{"r.ok"});
}

TEST_F(ReportFileTest, UncommittedReportLeavesNothing) {
  Write("r.ok", "earlier\n");
  {
    ReportFile discarded, dropped;
    ASSERT_TRUE(discarded.Open(Path("r.ok")));
    ASSERT_TRUE(dropped.Open(Path("new.ok")));
    ASSERT_TRUE(discarded.Write("x", 1));
    EXPECT_EQ(Entries().size(), 3u);  // the report and two temporary files
    discarded.Discard();
    EXPECT_FALSE(discarded.Commit());
  }
  EXPECT_EQ(Read("r.ok"), "earlier\n");
  EXPECT_EQ(Entries(), std::vector<std::string>{"r.ok"});
}

TEST_F(ReportFileTest, RefusesTheFileToKeepAndWhatIsNotAFile) {
  Write("in.fa", ">a\n");
  fs::create_hard_link(dir_ / "in.fa", dir_ / "in.fa.ok");
  fs::create_directory(dir_ / "in.fa.iik");
  ReportFile report;
  EXPECT_FALSE(report.Open(Path("in.fa.ok"), IdentifyFile(Path("in.fa"))));
  EXPECT_FALSE(report.Open(Path("in.fa.iik")));
  EXPECT_TRUE(report.Open(Path("in.fa.ok")));  // nothing to keep: replaced
  report.Discard();
  EXPECT_EQ(Entries(), (std::vector<std::string>{"in.fa", "in.fa.iik", "in.fa.ok"}));
}

TEST_F(ReportFileTest, CommitAllPutsBackWhatWasPlacedWhenOneFails) {
  Write("a", "earlier a\n");
  fs::create_symlink("elsewhere", dir_ / "b");
  ReportFile a, b, c;
  ASSERT_TRUE(a.Open(Path("a")));
  ASSERT_TRUE(b.Open(Path("b")));
  ASSERT_TRUE(c.Open(Path("c")));
  ASSERT_TRUE(a.Write("new a\n", 6));
  fs::create_directory(dir_ / "c");  // appears after Open: c cannot be placed
  ReportFile* const all[] = {&a, &b, &c};
  EXPECT_EQ(CommitAll(all), 2u);
  EXPECT_EQ(Read("a"), "earlier a\n");
  EXPECT_TRUE(fs::is_symlink(dir_ / "b"));
  EXPECT_EQ(fs::read_symlink(dir_ / "b"), "elsewhere");
  EXPECT_TRUE(fs::is_directory(dir_ / "c"));
  EXPECT_EQ(Entries(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(ReportFileTest, CommitAllReplacesEveryOne) {
  Write("a", "earlier a\n");
  ReportFile a, b;
  ASSERT_TRUE(a.Open(Path("a")));
  ASSERT_TRUE(b.Open(Path("b")));
  ASSERT_TRUE(a.Write("new a\n", 6));
  ASSERT_TRUE(b.Write("new b\n", 6));
  ReportFile* const all[] = {&a, &b};
  EXPECT_EQ(CommitAll(all), 2u);
  EXPECT_EQ(Read("a"), "new a\n");
  EXPECT_EQ(Read("b"), "new b\n");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(ReportFileTest, RegistryFullIsAnOpenFailure) {
  std::vector<std::unique_ptr<ReportFile>> reports;
  for (std::size_t i = 0; i < kMaxTemporaryFiles; ++i) {
    reports.push_back(std::make_unique<ReportFile>());
    std::string name = "r";
    name += std::to_string(i);
    ASSERT_TRUE(reports.back()->Open(Path(name)));
  }
  ReportFile one_more;
  EXPECT_FALSE(one_more.Open(Path("more")));
  reports.pop_back();
  EXPECT_TRUE(one_more.Open(Path("more")));
  one_more.Discard();
  reports.clear();
  EXPECT_EQ(Entries(), std::vector<std::string>{});
}

struct TemporaryNameCase {
  const char* label;
  std::string base;
  bool cut;  // the short form
};

void PrintTo(const TemporaryNameCase& c, std::ostream* os) {
  *os << c.label;
}

class TemporaryName : public ::testing::TestWithParam<TemporaryNameCase> {};

// Every temporary name fits a file system's 255 bytes, ends in its process number and
// letters, keeps the whole report name where it fits, and is never cut inside a UTF-8
// character.
TEST_P(TemporaryName, FitsAndIsCutOnlyWhereItMust) {
  const TemporaryNameCase& c = GetParam();
  for (const unsigned long pid : {1ul, 4194304ul, 2147483647ul}) {
    const std::string name = TemporaryBaseName(c.base, pid, "Abc123");
    const std::string tail = std::to_string(pid) + ".Abc123.tmp";
    EXPECT_LE(name.size(), 255u);
    EXPECT_TRUE(name.ends_with(tail)) << name;
    const std::string whole = "." + c.base + "." + tail;
    EXPECT_EQ(name != whole, c.cut && whole.size() > 255) << name;
    if (name == whole) continue;
    EXPECT_EQ(name[name.size() - tail.size() - 1], '-') << name;
    const std::size_t hash_at = name.size() - tail.size() - 17;
    EXPECT_EQ(name[hash_at - 1], '.');
    const std::string prefix = name.substr(1, hash_at - 2);
    EXPECT_TRUE(c.base.starts_with(prefix)) << name;
    EXPECT_GE(name.size(), 252u) << "cut only as far as needed";
    EXPECT_NE(static_cast<unsigned char>(c.base[prefix.size()]) & 0xC0, 0x80) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, TemporaryName,
    ::testing::Values(TemporaryNameCase{"Short", "in.fa.ok", false},
                      TemporaryNameCase{"Fits", std::string(230, 'r'), false},
                      TemporaryNameCase{"CutWithSomeNumbers", std::string(236, 'r'), true},
                      TemporaryNameCase{"Cut", std::string(250, 'r'), true},
                      TemporaryNameCase{"Longest", std::string(255, 'r'), true},
                      // Three-byte characters: the cut falls before a whole one.
                      TemporaryNameCase{"Utf8",
                                        std::string(1, 'r') +
                                            [] {
                                              std::string text;
                                              for (int i = 0; i < 84; ++i) text += "\xe8\x8b\xb1";
                                              return text;
                                            }(),
                                        true}),
    [](const auto& test) { return std::string(test.param.label); });

// Names of one prefix differ in their hash: the clean-up tells their temporaries apart.
TEST(TemporaryNameOfLongReports, DifferBeyondTheirCommonPrefix) {
  const std::string stem(246, 'g');
  EXPECT_NE(TemporaryBaseName(stem + ".freq", 42, "Abc123"),
            TemporaryBaseName(stem + ".fre", 42, "Abc123"));
  EXPECT_NE(TemporaryBaseName(stem + ".ok", 42, "Abc123"),
            TemporaryBaseName(stem + ".ko", 42, "Abc123"));
}

}  // namespace
}  // namespace trelba
