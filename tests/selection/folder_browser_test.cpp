// The browser's check-box rules on small catalogues: the folder tree, the
// file list and the catalogue's marks must always agree.
#include "browser/selection/folder_browser.h"

#include "catalog/file_time.h"
#include "tests/support/scan_helpers.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace tallowin {
namespace {

class FolderBrowserTest : public ::testing::Test {
 protected:
  Catalogue catalogue;
  FolderChecks checks;
  FolderBrowser browser{catalogue, checks};

  void Add(std::initializer_list<std::u16string_view> paths) {
    for (std::u16string_view path : paths) test::AppendFileRow(catalogue, path, {});
  }
  // The node at `path` ("BKF", "BKF\S", ...).
  FolderId Node(std::u16string_view path) const {
    return catalogue.ReadFolderTree([&](const FolderTree& tree) {
      FolderId at = kNoFolder;
      std::size_t start = 0;
      while (start <= path.size()) {
        const auto end = path.find(u'\\', start);
        at = tree.FindChild(at, path.substr(start, end == std::u16string_view::npos ? end : end - start));
        if (end == std::u16string_view::npos) break;
        start = end + 1;
      }
      return at;
    });
  }
  // A finished scan: every row and node checked.
  void Finish() {
    catalogue.SetAllRowsChecked(true);
    browser.ResetFolderTree();
  }
  std::vector<bool> Marks() const {
    std::vector<bool> marks;
    for (RowIndex row = 0; row < catalogue.CatalogueRowCount(); ++row) marks.push_back(catalogue.IsRowChecked(row));
    return marks;
  }
  std::vector<std::u16string> Names() const {
    std::vector<std::u16string> names;
    for (const ListRow& row : browser.List()) names.push_back(browser.RowName(row));
    return names;
  }
  CheckState State(std::u16string_view path) const { return checks.State(Node(path)); }
};

constexpr auto kChecked = CheckState::kChecked;
constexpr auto kUnchecked = CheckState::kUnchecked;
constexpr auto kPartly = CheckState::kPartlyChecked;

TEST_F(FolderBrowserTest, ShowFolderListsParentThenFoldersThenFilesInCatalogueOrder) {
  Add({u"BKF\\S\\b.txt", u"BKF\\S\\Zeta\\z.txt", u"BKF\\S\\a.txt", u"BKF\\S\\Alpha\\x.txt"});
  Finish();
  browser.ShowFolder(Node(u"BKF\\S"));
  EXPECT_EQ(Names(), (std::vector<std::u16string>{u"..", u"Zeta", u"Alpha", u"b.txt", u"a.txt"}));
  EXPECT_EQ(browser.List()[0].kind, ListRowKind::kParent);
  EXPECT_EQ(browser.List()[3].row, 0);
  EXPECT_EQ(browser.List()[4].row, 2);
  EXPECT_EQ(catalogue.FolderText(catalogue.KeyOfNode(Node(u"BKF\\S\\Zeta"))), u"BKF\\S\\Zeta");

  browser.ShowFolder(Node(u"BKF"));
  EXPECT_EQ(Names(), (std::vector<std::u16string>{u"S"}));  // a top-level node has no parent row
  EXPECT_EQ(catalogue.FolderText(catalogue.KeyOfNode(Node(u"BKF"))), u"BKF");
}

TEST_F(FolderBrowserTest, TogglingACheckedNodeClearsEverythingBelowItAndUpdatesItsAncestors) {
  Add({u"BKF\\S\\A\\1.txt", u"BKF\\S\\A\\Deep\\2.txt", u"BKF\\S\\B\\3.txt"});
  Finish();
  browser.ToggleNode(Node(u"BKF\\S\\A"));
  EXPECT_EQ(Marks(), (std::vector<bool>{false, false, true}));
  EXPECT_EQ(State(u"BKF\\S\\A"), kUnchecked);
  EXPECT_EQ(State(u"BKF\\S\\A\\Deep"), kUnchecked);
  EXPECT_EQ(State(u"BKF\\S"), kPartly);
  EXPECT_EQ(State(u"BKF"), kPartly);
  EXPECT_EQ(browser.Selected(), Node(u"BKF\\S\\A"));
  for (const ListRow& row : browser.List()) {
    if (row.kind != ListRowKind::kParent) {
      EXPECT_EQ(row.state, kUnchecked);
    }
  }

  // A partly checked node checks everything below it.
  browser.ToggleNode(Node(u"BKF\\S"));
  EXPECT_EQ(Marks(), (std::vector<bool>{true, true, true}));
  EXPECT_EQ(State(u"BKF\\S\\A\\Deep"), kChecked);
  EXPECT_EQ(State(u"BKF"), kChecked);
}

// Every folder of a deep chain counts the rows below it: a click at the
// bottom updates thousands of ancestors, each from running sums.
TEST_F(FolderBrowserTest, AClickDeepDownGivesEveryAncestorItsStateFromTheRowsBelowIt) {
  std::u16string deep = u"BKF\\S";
  for (int level = 0; level < 3000; ++level) deep += u"\\f" + FormatInt64(level);
  Add({deep + u"\\bottom.txt", u"BKF\\S\\f0\\beside.txt", u"BKF\\S\\other.txt"});
  Finish();
  browser.ToggleNode(Node(deep));
  EXPECT_EQ(Marks(), (std::vector<bool>{false, true, true}));
  EXPECT_EQ(State(deep), kUnchecked);
  EXPECT_EQ(State(deep.substr(0, deep.rfind(u'\\'))), kUnchecked);
  EXPECT_EQ(State(u"BKF\\S\\f0\\f1"), kUnchecked);
  EXPECT_EQ(State(u"BKF\\S\\f0"), kPartly);
  EXPECT_EQ(State(u"BKF"), kPartly);
  EXPECT_EQ(browser.CountChecked().checked, 2);
}

TEST_F(FolderBrowserTest, AFolderWithoutFilesBecomesCheckedWhenItsStateIsRecomputed) {
  catalogue.EnsureFolderPath(u"BKF\\S\\Empty\\Inner\\");
  Add({u"BKF\\S\\f.txt"});
  Finish();
  browser.ToggleNode(Node(u"BKF\\S\\Empty"));
  EXPECT_EQ(State(u"BKF\\S\\Empty"), kUnchecked);
  browser.ToggleNode(Node(u"BKF\\S\\Empty\\Inner"));
  // Inner is checked again, and Empty, with no file anywhere below it, too.
  EXPECT_EQ(State(u"BKF\\S\\Empty"), kChecked);
}

TEST_F(FolderBrowserTest, AFolderCheckBoxNeverChangesFilesOfAnotherFolderThatMerelyContainsItsPath) {
  // "BKF\Docs\" occurs inside the second path, but that file is not below BKF\Docs.
  Add({u"BKF\\Docs\\a.txt", u"BKF\\Other\\BKF\\Docs\\b.txt"});
  Finish();
  browser.ToggleNode(Node(u"BKF\\Docs"));
  EXPECT_EQ(Marks(), (std::vector<bool>{false, true}));
}

TEST_F(FolderBrowserTest, AFileRowStandsForItsOwnCatalogueRowEvenWhenPathsRepeat) {
  Add({u"BKF\\S\\same.txt", u"BKF\\S\\same.txt"});
  Finish();
  browser.ShowFolder(Node(u"BKF\\S"));
  ASSERT_EQ(Names(), (std::vector<std::u16string>{u"..", u"same.txt", u"same.txt"}));
  browser.ToggleListRow(2);
  EXPECT_EQ(Marks(), (std::vector<bool>{true, false}));
  EXPECT_EQ(State(u"BKF\\S"), kPartly);
  browser.ToggleListRow(1);
  EXPECT_EQ(Marks(), (std::vector<bool>{false, false}));
  EXPECT_EQ(State(u"BKF\\S"), kUnchecked);
  EXPECT_EQ(State(u"BKF"), kUnchecked);
}

TEST_F(FolderBrowserTest, AFolderRowTogglesItsSubtreeAndTheListDecidesTheShownFolder) {
  Add({u"BKF\\S\\A\\1.txt", u"BKF\\S\\B\\2.txt"});
  Finish();
  browser.ShowFolder(Node(u"BKF\\S"));
  browser.ToggleListRow(1);  // A
  EXPECT_EQ(Marks(), (std::vector<bool>{false, true}));
  EXPECT_EQ(State(u"BKF\\S\\A"), kUnchecked);
  EXPECT_EQ(State(u"BKF\\S"), kPartly);
  browser.ToggleListRow(2);  // B: every row of the list unchecked
  EXPECT_EQ(State(u"BKF\\S"), kUnchecked);
  EXPECT_EQ(State(u"BKF"), kUnchecked);
  browser.ToggleListRow(0);  // the parent row never changes
  EXPECT_EQ(browser.List()[0].kind, ListRowKind::kParent);
  EXPECT_EQ(Marks(), (std::vector<bool>{false, false}));
}

TEST_F(FolderBrowserTest, ACatalogueListMarkUpdatesTheTreeAndTheFileListAtOnce) {
  Add({u"BKF\\S\\A\\1.txt", u"BKF\\S\\A\\2.txt", u"BKF\\S\\B\\3.txt"});
  Finish();
  browser.ShowFolder(Node(u"BKF\\S\\A"));
  browser.SetRowMark(1, false);
  EXPECT_EQ(Marks(), (std::vector<bool>{true, false, true}));
  EXPECT_EQ(State(u"BKF\\S\\A"), kPartly);
  EXPECT_EQ(State(u"BKF\\S"), kPartly);
  EXPECT_EQ(State(u"BKF"), kPartly);
  EXPECT_EQ(browser.List()[2].state, kUnchecked);
  browser.SetRowMark(0, false);
  EXPECT_EQ(State(u"BKF\\S\\A"), kUnchecked);
  browser.SetRowMark(0, true);
  browser.SetRowMark(1, true);
  EXPECT_EQ(State(u"BKF"), kChecked);
}

TEST_F(FolderBrowserTest, RenameChangesTheRowsInsideTheFolderAndNoOthers) {
  Add({u"BKF\\S\\Docs\\a.txt", u"BKF\\S\\Docs\\In\\b.txt", u"BKF\\S\\DocsOld\\c.txt", u"BKF\\S\\d.txt"});
  Finish();
  catalogue.SetRowChecked(1, false);
  ASSERT_EQ(browser.RenameFolder(Node(u"BKF\\S\\Docs"), u"Papers"), RenameResult::kRenamed);
  EXPECT_EQ(catalogue.GetCatalogueCell(0, kCellPath), u"BKF\\S\\Papers\\a.txt");
  EXPECT_EQ(catalogue.GetCatalogueCell(1, kCellPath), u"BKF\\S\\Papers\\In\\b.txt");
  EXPECT_EQ(catalogue.GetCatalogueCell(2, kCellPath), u"BKF\\S\\DocsOld\\c.txt");
  EXPECT_EQ(catalogue.GetCatalogueCell(3, kCellPath), u"BKF\\S\\d.txt");
  EXPECT_EQ(Marks(), (std::vector<bool>{true, false, true, true}));
  EXPECT_NE(Node(u"BKF\\S\\Papers"), kNoFolder);
  EXPECT_EQ(Node(u"BKF\\S\\Docs"), kNoFolder);
  browser.ShowFolder(Node(u"BKF\\S\\Papers"));
  EXPECT_EQ(Names(), (std::vector<std::u16string>{u"..", u"In", u"a.txt"}));
}

TEST_F(FolderBrowserTest, RenameRefusesNamesThatWouldCorruptSnapshotsOrDetachRows) {
  Add({u"BKF\\S\\Docs\\a.txt"});
  Finish();
  const FolderId docs = Node(u"BKF\\S\\Docs");
  EXPECT_EQ(browser.RenameFolder(docs, u""), RenameResult::kEmptyName);
  for (std::u16string_view bad : {u"a\\b", u"a/b", u"a|b", u"*", u"a:b", u"?", u"<", u">"}) {
    EXPECT_EQ(browser.RenameFolder(docs, bad), RenameResult::kIllegalCharacter);
  }
  EXPECT_EQ(browser.RenameFolder(Node(u"BKF"), u"Other"), RenameResult::kTopLevel);
  EXPECT_EQ(catalogue.GetCatalogueCell(0, kCellPath), u"BKF\\S\\Docs\\a.txt");
  EXPECT_EQ(browser.RenameFolder(docs, u"It's \"fine\""), RenameResult::kRenamed);
}

TEST_F(FolderBrowserTest, NavigationLeadsToTheParentAndToSubfoldersOnly) {
  Add({u"BKF\\S\\A\\1.txt", u"BKF\\S\\f.txt"});
  Finish();
  browser.ShowFolder(Node(u"BKF\\S"));
  EXPECT_EQ(browser.NavigationTarget(0), Node(u"BKF"));
  EXPECT_EQ(browser.NavigationTarget(1), Node(u"BKF\\S\\A"));
  EXPECT_EQ(browser.NavigationTarget(2), kNoFolder);
  browser.ShowFolder(Node(u"BKF"));
  EXPECT_EQ(browser.NavigationTarget(0), Node(u"BKF\\S"));
}

TEST_F(FolderBrowserTest, SortingKeepsTheParentFirstAndComparesSizesAndDatesAsValues) {
  const FileTime march = 127553103030000000;  // 2005-03-14
  const FileTime december = 127790928000000000;  // 2005-12-15
  test::AppendFileRow(catalogue, u"BKF\\S\\b.txt", {.size = 1000, .modified = march});
  test::AppendFileRow(catalogue, u"BKF\\S\\A.txt", {.size = 20, .modified = december});
  test::AppendFileRow(catalogue, u"BKF\\S\\c.txt", {.size = 300, .modified = 0});
  Add({u"BKF\\S\\Sub\\x.txt"});
  Finish();
  browser.ShowFolder(Node(u"BKF\\S"));

  browser.SortByColumn(static_cast<int>(FileListColumn::kName));
  EXPECT_EQ(Names(), (std::vector<std::u16string>{u"..", u"A.txt", u"b.txt", u"c.txt", u"Sub"}));
  browser.SortByColumn(static_cast<int>(FileListColumn::kName));
  EXPECT_FALSE(browser.SortAscending());
  EXPECT_EQ(Names(), (std::vector<std::u16string>{u"..", u"Sub", u"c.txt", u"b.txt", u"A.txt"}));

  // Another column keeps the direction.
  browser.SortByColumn(static_cast<int>(FileListColumn::kSize));
  EXPECT_EQ(Names(), (std::vector<std::u16string>{u"..", u"b.txt", u"c.txt", u"A.txt", u"Sub"}));
  browser.SortByColumn(static_cast<int>(FileListColumn::kSize));
  EXPECT_EQ(Names(), (std::vector<std::u16string>{u"..", u"Sub", u"A.txt", u"c.txt", u"b.txt"}));
  browser.SortByColumn(static_cast<int>(FileListColumn::kModified));
  EXPECT_EQ(Names(), (std::vector<std::u16string>{u"..", u"Sub", u"c.txt", u"b.txt", u"A.txt"}));

  // A refill lists the rows in folder order again; the sort state stays.
  browser.ShowFolder(Node(u"BKF\\S"));
  EXPECT_EQ(Names(), (std::vector<std::u16string>{u"..", u"Sub", u"b.txt", u"A.txt", u"c.txt"}));
  EXPECT_EQ(browser.SortColumn(), static_cast<int>(FileListColumn::kModified));
}

TEST_F(FolderBrowserTest, RowsAddedWhileAScanRunsAppearInTheNextListing) {
  Add({u"BKF\\S\\1.txt"});
  browser.ShowFolder(Node(u"BKF\\S"));
  EXPECT_EQ(browser.List().size(), 2u);
  Add({u"BKF\\S\\2.txt"});
  browser.ShowFolder(Node(u"BKF\\S"));
  EXPECT_EQ(Names(), (std::vector<std::u16string>{u"..", u"1.txt", u"2.txt"}));
  EXPECT_EQ(browser.List()[2].state, kUnchecked);
}

TEST_F(FolderBrowserTest, TheCheckedCountAgreesWithTheMarksAfterEveryKindOfChange) {
  const std::u16string_view paths[] = {u"BKF\\S\\A\\1.txt", u"BKF\\S\\A\\Deep\\2.txt", u"BKF\\S\\B\\3.txt",
                                       u"BKF\\T\\4.txt", u"loose.txt"};
  std::int64_t size = 10;
  for (const std::u16string_view path : paths) test::AppendFileRow(catalogue, path, {.size = size *= 10});
  Finish();
  const auto walked = [&] {
    FolderIndex::Counts counts;
    for (RowIndex row = 0; row < catalogue.CatalogueRowCount(); ++row) {
      const RowNumbers numbers = catalogue.ReadRowNumbers(row);
      ++counts.rows;
      if (numbers.checked) ++counts.checked, counts.checkedBytes += numbers.size;
    }
    return std::pair(counts.checked, counts.checkedBytes);
  };
  const auto counted = [&] {
    const FolderIndex::Counts counts = browser.CountChecked();
    return std::pair(counts.checked, counts.checkedBytes);
  };
  EXPECT_EQ(counted(), (std::pair<std::int64_t, std::int64_t>(5, 1111100)));
  browser.ToggleNode(Node(u"BKF\\S\\A"));
  EXPECT_EQ(counted(), walked());
  browser.ShowFolder(Node(u"BKF\\S\\B"));
  browser.ToggleListRow(1);
  EXPECT_EQ(counted(), walked());
  browser.SetRowMark(4, false);
  EXPECT_EQ(counted(), walked());
  EXPECT_EQ(counted(), (std::pair<std::int64_t, std::int64_t>(1, 100000)));
  browser.SetRowMark(0, true);
  browser.ToggleNode(Node(u"BKF"));
  EXPECT_EQ(counted(), walked());
  ASSERT_EQ(browser.RenameFolder(Node(u"BKF\\S\\A"), u"Renamed"), RenameResult::kRenamed);
  browser.ToggleNode(Node(u"BKF\\S"));
  EXPECT_EQ(counted(), walked());
  // Rows a scan adds later are counted as they come.
  test::AppendFileRow(catalogue, u"BKF\\New\\5.txt", {.size = 7});
  catalogue.SetRowChecked(5, true);
  EXPECT_EQ(counted(), walked());
}

TEST(FileListDate, MonthDayYearWithTwoDigitFields) {
  EXPECT_EQ(FormatListDate(0), u"01/01/1601 00:00:00");
  EXPECT_EQ(FormatListDate(*FileTimeFromCalendar({2005, 3, 14, 9, 5, 3})), u"03/14/2005 09:05:03");
  EXPECT_EQ(FormatListDate(*FileTimeFromCalendar({30827, 12, 31, 23, 59, 59})), u"12/31/30827 23:59:59");
}

}  // namespace
}  // namespace tallowin
