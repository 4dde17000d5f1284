// The verification of files whose FILE blocks damage took: the set's
// catalogue brings their rows back, and their data decides each verdict.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "save/save_rows.h"
#include "tests/support/lost_files_backup.h"
#include "tests/support/scan_helpers.h"

namespace tallowin {
namespace {

const std::u16string kSet = u"BKF\\BACKUP SET 1(Daily)\\";

// Each file's verdict, read from `bytes` exactly as a save reads it.
std::map<std::u16string, FileReport> Verify(const std::vector<std::byte>& bytes) {
  Catalogue catalogue;
  test::ScanBytes(bytes, catalogue);
  catalogue.SetAllRowsChecked(true);
  class Collect : public SaveObserver {
   public:
    void OnFileDone(const FileReport& check) override { checks[check.path] = check; }
    std::map<std::u16string, FileReport> checks;
  } collect;
  const BkfOpener opener = [&](const std::filesystem::path&) { return std::make_unique<test::MemoryReader>(bytes); };
  SaveCheckedFiles(catalogue, VerifyOnlyRequest("memory.bkf", opener), collect);
  return collect.checks;
}

TEST(LostFileBlock, ItsDataFoundByItsHeaderOrItsChecksumIsVerifiedAndAnEmptyFileUnchecked) {
  const test::LostFilesBackup backup;
  const auto checks = Verify(backup.writer.Bytes());
  EXPECT_EQ(checks.at(kSet + u"Docs\\far.txt").verdict, FileVerdict::kVerified);
  EXPECT_EQ(checks.at(kSet + u"Docs\\bare.txt").verdict, FileVerdict::kVerified);
  EXPECT_EQ(checks.at(kSet + u"Docs\\hit.txt").verdict, FileVerdict::kDamaged);
  EXPECT_EQ(checks.at(kSet + u"Docs\\empty.txt").verdict, FileVerdict::kUnchecked);
}

}  // namespace
}  // namespace tallowin
