#include <gtest/gtest.h>

#include "catalog/catalogue.h"
#include "engine/bkf_scanner.h"
#include "tests/support/memory_reader.h"
#include "tests/support/mtf_writer.h"

namespace tallowin {
namespace {

TEST(ScanSmoke, FindsFilesOfASmallBackup) {
  test::MtfWriter writer;
  writer.Tape().DataSet(u"Daily").Directory(u"Docs\\A").File({.name = u"a.txt", .data = "hello"});
  Catalogue catalogue;
  ActivityLog log("/nonexistent/never.log");
  ScanObserver observer;
  CBkfScanner scanner(catalogue, log, observer);
  test::MemoryReader reader(writer.Bytes());
  EXPECT_TRUE(scanner.Scan(reader));
  ASSERT_EQ(catalogue.CatalogueRowCount(), 1);
  EXPECT_EQ(catalogue.GetCatalogueCell(0, kCellPath), u"BKF\\BACKUP SET 1(Daily)\\Docs\\A\\a.txt");
  EXPECT_EQ(catalogue.GetCatalogueCell(0, kCellSize), u"5");
}

}  // namespace
}  // namespace tallowin
