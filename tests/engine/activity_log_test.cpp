// The activity log: its exact lines for a recovery, and that it never gets in
// the way of one.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "catalog/activity_log.h"
#include "engine/recovery_session.h"
#include "engine/bkf_scanner.h"
#include "tests/support/scan_helpers.h"
#include "tests/support/test_files.h"

namespace tallowin {
namespace {

using test::Le;
using test::MtfWriter;
using test::ReadFileBytes;
using test::TempDir;

std::u16string Succ(int number) {
  std::u16string digits = FormatInt64(number);
  return u"SUCC " + std::u16string(4 - digits.size(), u'0') + digits + u"\r\n";
}

std::u16string Repeat(const std::u16string& text, int times) {
  std::u16string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

std::u16string Ascii(const std::filesystem::path& path) {
  const std::string text = path.string();
  return {text.begin(), text.end()};
}

// A TAPE block (two positions), a set, a directory and a file in the first
// window; a set, a directory and a file in a tail of 1,537 bytes.
void WriteSmallBackup(const std::filesystem::path& path) {
  MtfWriter writer;
  writer.Tape().DataSet(u"Main").Directory(u"D").File({.name = u"a.txt", .data = "a"});
  writer.PadTo(CBkfScanner::kWindowSize);
  writer.DataSet(u"Tail").Directory(u"E").File({.name = u"b.txt", .data = "b"});
  writer.PadTo(CBkfScanner::kWindowSize + 3 * 512 + 1);
  ASSERT_EQ(writer.Size(), 67073u);
  writer.WriteTo(path);
}

TEST(ActivityLog, RecoveryWritesEveryMarkerInOrderAsUtf16WithCrLf) {
  TempDir dir;
  const auto bkf = dir / "backup.bkf";
  WriteSmallBackup(bkf);
  ActivityLog log(dir / "TwBkf.log");
  log.DeleteLogFile();
  log.SetGenerateLog(true);
  Catalogue catalogue;
  ScanObserver observer;
  CBkfScanner scanner(catalogue, log, observer);

  LogRecoveryStart(log, Ascii(bkf));
  ASSERT_TRUE(RunRecoveryWorker(catalogue, scanner, log, bkf, {}));
  ASSERT_EQ(catalogue.CatalogueRowCount(), 2);

  std::u16string expected = Ascii(bkf) + u"\r\n";
  for (int n = 1; n <= 7; ++n) expected += Succ(n);  // up to the first window read
  expected += Succ(8);                                  // TAPE: no 0009
  expected += Succ(8) + Succ(9);                        // the TAPE block's second half
  expected += Succ(8) + Succ(9) + Succ(10);             // SSET
  expected += Succ(8) + Succ(9) + Succ(11);             // DIRB
  expected += Succ(8) + Succ(9) + Succ(12) + Succ(13);  // FILE, one row
  expected += Repeat(Succ(8) + Succ(9), 128 - 5);       // empty positions
  expected += Succ(6);                                  // the iteration that ends the main pass
  expected += Succ(11) + Succ(12) + Succ(13);           // tail: SSET writes nothing
  EXPECT_EQ(ReadFileBytes(log.Path()), Le(expected));
}

TEST(ActivityLog, GenerateLogOffWritesNoFileAtAll) {
  TempDir dir;
  const auto bkf = dir / "backup.bkf";
  WriteSmallBackup(bkf);
  ActivityLog log(dir / "TwBkf.log");
  log.WriteLogText(u"from an earlier run\r\n");
  log.DeleteLogFile();  // program start
  Catalogue catalogue;
  ScanObserver observer;
  CBkfScanner scanner(catalogue, log, observer);
  LogRecoveryStart(log, Ascii(bkf));
  ASSERT_TRUE(RunRecoveryWorker(catalogue, scanner, log, bkf, {}));
  EXPECT_EQ(catalogue.CatalogueRowCount(), 2);
  EXPECT_FALSE(std::filesystem::exists(log.Path()));
}

TEST(ActivityLog, SwitchedOnDuringAScanStartsAtTheNextLine) {
  // Switches the log on when the first window is done.
  class SwitchOn : public ScanObserver {
   public:
    explicit SwitchOn(ActivityLog& log) : log_(log) {}
    void OnProgress(const JobProgress& progress) override {
      if (progress.done > 0) log_.SetGenerateLog(true);
    }

   private:
    ActivityLog& log_;
  };
  TempDir dir;
  ActivityLog log(dir / "TwBkf.log");
  SwitchOn observer(log);
  Catalogue catalogue;
  CBkfScanner scanner(catalogue, log, observer);
  test::MemoryReader reader(std::vector<std::byte>(2 * CBkfScanner::kWindowSize));
  scanner.Scan(reader);
  EXPECT_EQ(ReadFileBytes(log.Path()), Le(Succ(6) + Succ(7) + Repeat(Succ(8) + Succ(9), 128)));
}

TEST(ActivityLog, UnwritableLogNeverDisturbsTheScan) {
  TempDir dir;
  const auto bkf = dir / "backup.bkf";
  WriteSmallBackup(bkf);
  std::filesystem::create_directory(dir / "a-folder");
  for (const auto& logPath : {dir / "missing-folder" / "TwBkf.log", dir / "a-folder"}) {
    ActivityLog log(logPath);
    log.SetGenerateLog(true);
    Catalogue catalogue;
    test::RecordingObserver observer;
    CBkfScanner scanner(catalogue, log, observer);
    LogRecoveryStart(log, Ascii(bkf));
    ASSERT_TRUE(RunRecoveryWorker(catalogue, scanner, log, bkf, {}));
    EXPECT_EQ(test::Paths(catalogue),
              (std::vector<std::u16string>{u"BKF\\BACKUP SET 1(Main)\\D\\a.txt",
                                           u"BKF\\BACKUP SET 2(Tail)\\E\\b.txt"}));
    EXPECT_EQ(observer.finished.size(), 1u);
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "missing-folder"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "a-folder"));
}

TEST(ActivityLog, StartOnAMissingFileLogsOnlyTheScannerStart) {
  TempDir dir;
  ActivityLog log(dir / "TwBkf.log");
  log.SetGenerateLog(true);
  Catalogue catalogue;
  ScanObserver observer;
  CBkfScanner scanner(catalogue, log, observer);
  EXPECT_FALSE(scanner.Run(dir / "missing.bkf"));
  EXPECT_EQ(ReadFileBytes(log.Path()), Le(Succ(4)));
}

TEST(ActivityLog, TextsAreAppendedUnitForUnitAndDeletedAtStart) {
  TempDir dir;
  ActivityLog log(dir / "TwBkf.log");
  log.WriteLogText(u"SUCC 0001\r\n");
  log.WriteLogText(u"C:\\B\u00E4ck\r\n");
  EXPECT_EQ(ReadFileBytes(log.Path()),
            std::string("S\0U\0C\0C\0 \0" "0\0" "0\0" "0\0" "1\0\r\0\n\0"
                        "C\0:\0\\\0B\0\xE4\0c\0k\0\r\0\n\0", 40));
  log.DeleteLogFile();
  EXPECT_FALSE(std::filesystem::exists(log.Path()));
}

}  // namespace
}  // namespace tallowin
