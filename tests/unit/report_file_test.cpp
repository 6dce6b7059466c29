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

}  // namespace
}  // namespace trelba
