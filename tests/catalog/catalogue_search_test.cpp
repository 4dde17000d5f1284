#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalog/catalogue_search.h"

namespace tallowin {
namespace {

constexpr std::u16string_view kReport = u"BKF\\BACKUP SET 1(Data)\\Documents\\report.doc";

struct Case {
  std::u16string pattern;
  bool match;
};

class MatcherOnReportPath : public ::testing::TestWithParam<Case> {};

TEST_P(MatcherOnReportPath, GivesTheProgramsOwnWildcardResult) {
  EXPECT_EQ(MatchCataloguePath(kReport, GetParam().pattern), GetParam().match);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedPatterns, MatcherOnReportPath,
    ::testing::Values(Case{u"*.doc", true}, Case{u"*.*", true}, Case{u"*", true},
                      Case{u"*.txt", false}, Case{u"*.do", false}, Case{u"*.do?", true},
                      Case{u"*.d?c", false}, Case{u"report", true}, Case{u"Report", false},
                      Case{u"rep*", false}, Case{u"BKF*", true}, Case{u"BKF?", true},
                      Case{u"B?F*", true}, Case{u"*rep*", true}, Case{u"*e*o*", true},
                      Case{u"report.doc*", false}, Case{u"*.doc**", true}, Case{u"*.DOC", false},
                      Case{u"Documents", true}, Case{u"", false}));

TEST(Matcher, StarDotStarNeedsADotSomewhereInThePath) {
  EXPECT_FALSE(MatchCataloguePath(u"BKF\\BACKUP SET 1(Data)\\Makefile", u"*.*"));
  EXPECT_TRUE(MatchCataloguePath(u"BKF\\BACKUP SET 1(v1.2)\\Makefile", u"*.*"));
}

TEST(Matcher, PatternLongerThanThePathNeverMatchesWithoutAStar) {
  EXPECT_FALSE(MatchCataloguePath(u"BKF", u"BKF?"));
  EXPECT_FALSE(MatchCataloguePath(u"", u"*"));
}

TEST(Matcher, HaltedSearchMatchesNothing) {
  std::stop_source stop;
  stop.request_stop();
  EXPECT_FALSE(MatchCataloguePath(kReport, u"*.doc", stop.get_token()));
  // The simple forms are decided before any loop and so are not stopped.
  EXPECT_TRUE(MatchCataloguePath(kReport, u"report", stop.get_token()));
}

// One table per rule of the matcher that a shell's wildcards do not have.
struct QuirkCase {
  std::u16string path;
  std::u16string pattern;
  bool match;
};

void PrintTo(const QuirkCase& c, std::ostream* os) {
  *os << ::testing::PrintToString(c.pattern) << " on " << ::testing::PrintToString(c.path);
}

class Quirk : public ::testing::TestWithParam<QuirkCase> {};

TEST_P(Quirk, GivesTheProgramsOwnResult) {
  EXPECT_EQ(MatchCataloguePath(GetParam().path, GetParam().pattern), GetParam().match);
}

// Without a leading "*", a pattern with wildcards is matched from the path's
// first character.
INSTANTIATE_TEST_SUITE_P(AnchoredAtTheStart, Quirk,
                         ::testing::Values(QuirkCase{u"BKF\\a.doc", u"a?", false},
                                           QuirkCase{u"BKF\\a.doc", u"?KF*", true},
                                           QuirkCase{u"BKF\\a.doc", u"B?F\\a*", true},
                                           QuirkCase{u"BKF\\x\\report.doc", u"B?F\\a*", false},
                                           QuirkCase{u"BKF\\a.doc", u"BKF*.doc", true}));

// Text after the last "*" must end the path; a trailing "*" takes the rest,
// and several trailing stars count as one.
INSTANTIATE_TEST_SUITE_P(TextAfterTheLastStarEndsThePath, Quirk,
                         ::testing::Values(QuirkCase{u"BKF\\a.doc", u"*doc", true},
                                           QuirkCase{u"BKF\\a.doc", u"*t", false},
                                           QuirkCase{u"BKF\\a.doc", u"*.doc*", true},
                                           QuirkCase{u"BKF\\a.doc", u"*.doc**", true},
                                           QuirkCase{u"BKF\\a.doc", u"**", true},
                                           QuirkCase{u"BKF\\a.doc", u"**c", true},
                                           QuirkCase{u"BKF\\a.doc", u"*x", false}));

// Text between two stars is searched forward from where the walk stands.
INSTANTIATE_TEST_SUITE_P(TextBetweenStarsIsSearched, Quirk,
                         ::testing::Values(QuirkCase{u"BKF\\x\\report.doc", u"*e*t*", true},
                                           QuirkCase{u"BKF\\a.doc", u"*e*t*", false},
                                           QuirkCase{u"BKF\\a.doc", u"*.d*c", true},
                                           QuirkCase{u"BKF\\a.doc", u"*c*c*c*c*c*c", false},
                                           QuirkCase{u"BKF\\a.doc", u"*\\a*", true},
                                           QuirkCase{u"BKF\\x\\report.doc", u"*\\a*", false}));

// A "?" at the end compares the run before it with the path's end; a "?"
// after a "*" with more text behind it stands for nothing; "?" runs at the
// start of a pattern are measured against the pattern, not the path.
INSTANTIATE_TEST_SUITE_P(QuestionMarks, Quirk,
                         ::testing::Values(QuirkCase{u"BKF\\a.doc", u"*.do?", true},
                                           QuirkCase{u"BKF\\a.doc", u"*.doc?", false},
                                           QuirkCase{u"BKF\\a.doc", u"*oc?", false},
                                           QuirkCase{u"BKF\\a.doc", u"*.d?c", false},
                                           QuirkCase{u"BKF\\a.doc", u"*?c", true},
                                           QuirkCase{u"BKF\\a.doc", u"*??c", true},
                                           QuirkCase{u"BKF\\a.doc", u"??", true},
                                           QuirkCase{u"BKF\\a.doc", u"???", true},
                                           QuirkCase{u"BKF\\a.doc", u"*?", true},
                                           QuirkCase{u"BKF\\a.doc", u"?*", true}));

// Patterns that run past a short path decide without reading beyond it.
INSTANTIATE_TEST_SUITE_P(PatternsLongerThanThePath, Quirk,
                         ::testing::Values(QuirkCase{u"B", u"*?", true}, QuirkCase{u"B", u"*??", true},
                                           QuirkCase{u"B", u"?*", true}, QuirkCase{u"B", u"**", true},
                                           QuirkCase{u"B", u"??", false}, QuirkCase{u"B", u"*?*?x", false},
                                           QuirkCase{u"B", u"*.d*c", false},
                                           QuirkCase{u"BKF\\a.doc", u"B" + std::u16string(47, u'?') + u"*", false},
                                           QuirkCase{u"BKF\\a.doc", u"BKF\\*\\*\\*\\*\\*\\?", false}));

class Collector : public SearchObserver {
 public:
  void OnProgress(const JobProgress& report) override { progress.push_back(report.Percent()); }
  void OnSearchMatch(RowIndex row, std::u16string_view path, std::u16string_view size,
                     std::uint64_t found) override {
    rows.push_back(row);
    paths.emplace_back(path);
    sizes.emplace_back(size);
    counts.push_back(found);
    if (stopAfter != 0 && found == stopAfter) stop.request_stop();
  }
  std::vector<int> progress;
  std::vector<RowIndex> rows;
  std::vector<std::u16string> paths, sizes;
  std::vector<std::uint64_t> counts;
  std::uint64_t stopAfter = 0;
  std::stop_source stop;
};

void FillFourRows(Catalogue& catalogue) {
  for (const auto* path : {u"BKF\\S\\a.doc", u"BKF\\S\\b.txt", u"BKF\\S\\c.doc", u"BKF\\S\\d.doc"}) {
    const RowIndex row = catalogue.AppendCatalogueRow(path);
    catalogue.SetCatalogueNumber(row, kCellSize, row * 10);
  }
}

TEST(Search, ListsMatchesInRowOrderWithTheirSizes) {
  Catalogue catalogue;
  FillFourRows(catalogue);
  Collector collector;
  EXPECT_EQ(SearchCatalogue(catalogue, u"*.doc", collector, collector.stop.get_token()), 3u);
  EXPECT_EQ(collector.rows, (std::vector<RowIndex>{0, 2, 3}));
  EXPECT_EQ(collector.sizes, (std::vector<std::u16string>{u"0", u"20", u"30"}));
  EXPECT_EQ(collector.counts, (std::vector<std::uint64_t>{1, 2, 3}));
  EXPECT_EQ(collector.progress, (std::vector<int>{0, 25, 50, 75}));
}

TEST(Search, StopKeepsTheResultsFoundSoFar) {
  Catalogue catalogue;
  FillFourRows(catalogue);
  Collector collector;
  collector.stopAfter = 1;
  EXPECT_EQ(SearchCatalogue(catalogue, u"*.doc", collector, collector.stop.get_token()), 1u);
  EXPECT_EQ(collector.paths, (std::vector<std::u16string>{u"BKF\\S\\a.doc"}));
}

TEST(Search, AStopAskedForBeforeTheSearchBeginsLooksAtNoRow) {
  Catalogue catalogue;
  FillFourRows(catalogue);
  Collector collector;
  collector.stop.request_stop();
  EXPECT_EQ(SearchCatalogue(catalogue, u"*.doc", collector, collector.stop.get_token()), 0u);
  EXPECT_TRUE(collector.progress.empty());
}

TEST(Search, EmptyPatternFindsNothing) {
  Catalogue catalogue;
  FillFourRows(catalogue);
  Collector collector;
  EXPECT_EQ(SearchCatalogue(catalogue, u"", collector, collector.stop.get_token()), 0u);
}

}  // namespace
}  // namespace tallowin
