// twbkf's parts on their own: the progress line, sizes and times as people
// read them, and the choice of files by paths and patterns.
#include <gtest/gtest.h>

#include "catalog/catalogue.h"
#include "cli/cli_texts.h"
#include "cli/selection.h"
#include "cli/terminal_progress.h"

namespace tallowin::cli {
namespace {

TEST(HumanSize, SaysBytesUnderAKibibyteAndOneDecimalUnderTen) {
  EXPECT_EQ(texts::HumanSize(0), "0 bytes");
  EXPECT_EQ(texts::HumanSize(1), "1 byte");
  EXPECT_EQ(texts::HumanSize(1023), "1023 bytes");
  EXPECT_EQ(texts::HumanSize(1024), "1.0 KiB");
  EXPECT_EQ(texts::HumanSize(std::uint64_t{1503238553}), "1.4 GiB");
  EXPECT_EQ(texts::HumanSize(std::uint64_t{3} << 30), "3.0 GiB");
  EXPECT_EQ(texts::HumanSize(std::uint64_t{64} << 30), "64 GiB");
  EXPECT_EQ(texts::HumanSize(UINT64_MAX), "16 EiB");
}

TEST(Duration, HasHoursOnlyWhenItNeedsThem) {
  EXPECT_EQ(texts::Duration(0), "0:00");
  EXPECT_EQ(texts::Duration(42), "0:42");
  EXPECT_EQ(texts::Duration(3723), "1:02:03");
}

TEST(StoppedAt, TellsThePlaceInPercentAndBytes) {
  EXPECT_EQ(texts::StoppedAt(std::uint64_t{1503238553}, std::uint64_t{3} << 30),
            "stopped at 46% (1.4 GiB of 3.0 GiB): the catalogue is partial");
}

TEST(ProgressLine, TellsTheTimeLeftOnceTheRateHasSettled) {
  const std::uint64_t mib = 1 << 20;
  EXPECT_EQ(ProgressLine(10 * mib, 100 * mib, "3 file(s) found", 1, 200),
            "10 MiB of 100 MiB  10%  3 file(s) found  10 MiB/s");
  EXPECT_EQ(ProgressLine(10 * mib, 100 * mib, "3 file(s) found", 2, 200),
            "10 MiB of 100 MiB  10%  3 file(s) found  5.0 MiB/s  0:18 left");
  EXPECT_EQ(ProgressLine(100 * mib, 100 * mib, "9 file(s) found", 4, 200),
            "100 MiB of 100 MiB  100%  9 file(s) found  25 MiB/s");
}

TEST(ProgressLine, NeverWrapsOnANarrowTerminal) {
  const std::string line = ProgressLine(std::uint64_t{1} << 30, std::uint64_t{3} << 30, "1234 file(s) found", 5, 20);
  EXPECT_EQ(line, "1.0 GiB of 3.0 GiB ");
  // Characters, not bytes: a name beyond ASCII is cut between characters.
  EXPECT_EQ(ProgressLine(0, 0, "\xC3\xBC\xC3\xBC\xC3\xBC", 0, 26), "0 bytes of 0 bytes  0%  \xC3\xBC");
}

class SelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char16_t* path : {u"BKF\\SET 1(A)\\Docs\\a.txt", u"BKF\\SET 1(A)\\Docs\\Old\\b.DOC",
                                 u"BKF\\SET 1(A)\\Docsx\\c.txt", u"BKF\\SET 2(B)\\Docs\\a.txt"}) {
      catalogue_.AppendCatalogueRow(path);
    }
  }
  // The chosen rows' numbers, and what chose nothing.
  std::string Choose(std::vector<std::string> paths, std::vector<std::string> matches = {},
                     std::vector<std::string> excludes = {}, bool ignoreCase = false) {
    Selection selection;
    selection.paths = std::move(paths);
    selection.matches = std::move(matches);
    selection.excludes = std::move(excludes);
    selection.ignoreCase = ignoreCase;
    const auto unused = CheckChosenRows(catalogue_, selection);
    std::string chosen;
    for (RowIndex row = 0; row < catalogue_.CatalogueRowCount(); ++row) {
      if (catalogue_.IsRowChecked(row)) chosen += std::to_string(row);
    }
    for (const std::string& text : unused.paths) chosen += " !" + text;
    for (const std::string& text : unused.patterns) chosen += " ?" + text;
    return chosen;
  }
  Catalogue catalogue_;
};

TEST_F(SelectionTest, NothingNamedTakesEveryFile) { EXPECT_EQ(Choose({}), "0123"); }

TEST_F(SelectionTest, AFolderTakesWhatLiesBelowItAndNothingOfALikeNamedOne) {
  EXPECT_EQ(Choose({"BKF/SET 1(A)/Docs"}), "01");
  EXPECT_EQ(Choose({"SET 1(A)\\Docs\\"}), "01");
  EXPECT_EQ(Choose({"BKF/SET 1(A)/Docs/a.txt"}), "0");
  EXPECT_EQ(Choose({"BKF/SET 1(A)/Doc"}), " !BKF/SET 1(A)/Doc");
}

TEST_F(SelectionTest, PatternsKeepAndExcludesLeaveOut) {
  EXPECT_EQ(Choose({}, {"*.txt"}), "023");
  EXPECT_EQ(Choose({}, {"*.txt", "*.pdf"}), "023 ?*.pdf");
  EXPECT_EQ(Choose({}, {"*.txt"}, {"SET 2"}), "02");
  EXPECT_EQ(Choose({}, {}, {"*/Docs/*"}), "2");
  EXPECT_EQ(Choose({"BKF/SET 1(A)"}, {}, {"Old"}), "02");
}

TEST_F(SelectionTest, IgnoringCaseFoldsPathsAndPatternsAlike) {
  EXPECT_EQ(Choose({}, {"*.doc"}), " ?*.doc");
  EXPECT_EQ(Choose({}, {"*.doc"}, {}, true), "1");
  EXPECT_EQ(Choose({"bkf/set 2(b)"}, {}, {}, true), "3");
}

}  // namespace
}  // namespace tallowin::cli
