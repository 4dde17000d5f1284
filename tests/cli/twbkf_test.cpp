#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <fcntl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "catalog/catalogue.h"
#include "catalog/snapshot.h"
#include "catalog/text_convert.h"
#include "catalog/utf16_bytes.h"
#include "engine/bkf_scanner.h"
#include "tests/cli/run_program.h"
#include "tests/cli/twbkf_fixture.h"
#include "tests/support/memory_reader.h"
#include "tests/support/mtf_writer.h"
#include "tests/support/scan_helpers.h"

namespace tallowin {
namespace {

namespace fs = std::filesystem;
using test::FileEntry;
using test::MtfWriter;
using test::RunProgram;

TEST_F(TwbkfTest, ScanSnapshotHoldsExactlyTheCatalogueOfTheScan) {
  const MtfWriter writer = TwoFiles();
  const fs::path bkf = Bkf(writer);
  const auto result = Twbkf({"scan", bkf.string(), "--snapshot", (dir_ / "s.TWBKF").string(), "--quiet"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            "File(s) Found : 2\n"
            "Set 1 \"Daily\", written unknown: 2 file(s), 2.9 KiB (3005 bytes) in 1 folder(s)\n"
            "  cut short: its end-of-set block was not found\n");

  Catalogue expected;
  ActivityLog noLog(dir_ / "unused.log");
  ScanObserver observer;
  CBkfScanner scanner(expected, noLog, observer);
  test::MemoryReader reader(writer.Bytes());
  scanner.Scan(reader);
  ASSERT_TRUE(WriteSnapshot(dir_ / "expected.TWBKF", Utf16FromPath(bkf), expected).ok());
  EXPECT_EQ(ReadAll(dir_ / "s.TWBKF"), ReadAll(dir_ / "expected.TWBKF"));
  EXPECT_EQ(ReadAll(dir_ / "s.TWBKF").substr(0, 2), std::string("<\0", 2));
}

TEST_F(TwbkfTest, ScanThatFindsNothingSaysSoAndWritesNoSnapshot) {
  WriteAll(dir_ / "empty.bkf", std::string(1000, '\0'));
  const auto result = Twbkf({"scan", (dir_ / "empty.bkf").string(), "--snapshot", (dir_ / "s.TWBKF").string()});
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_NE(result.err.find("No data found in backup file"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "s.TWBKF"));
}

TEST_F(TwbkfTest, SourceThatCannotBeOpenedExitsTwo) {
  EXPECT_EQ(Twbkf({"scan", (dir_ / "missing.bkf").string()}).exitCode, 2);
  EXPECT_EQ(Twbkf({"list", (dir_ / "missing.bkf").string()}).exitCode, 2);

  const fs::path bkf = Bkf(TwoFiles());
  const int holder = ::open(bkf.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);
  const auto locked = Twbkf({"scan", bkf.string()});
  ::close(holder);
  EXPECT_EQ(locked.exitCode, 2);
  EXPECT_EQ(locked.err, "twbkf: " + bkf.string() + ": cannot scan: in use by another program\n");
}

TEST_F(TwbkfTest, UsageErrorsExitOne) {
  EXPECT_EQ(Twbkf({}).exitCode, 1);
  EXPECT_EQ(Twbkf({"scan"}).exitCode, 1);
  EXPECT_EQ(Twbkf({"scan", "x.bkf", "--no-such-option"}).exitCode, 1);
  EXPECT_EQ(Twbkf({"frobnicate"}).exitCode, 1);
  EXPECT_EQ(Twbkf({"--help"}).exitCode, 0);
}

TEST_F(TwbkfTest, VersionIsPrintedInTheGnuManner) {
  const auto version = Twbkf({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out.rfind("twbkf (Tallowin for BKF) ", 0), 0u) << version.out;
  EXPECT_NE(version.out.find("\nCopyright (C) 2026"), std::string::npos);
  EXPECT_NE(Twbkf({"--help"}).out.find("Home page: <https://www.tallowin.com/bkf/>"), std::string::npos);
}

TEST_F(TwbkfTest, LogOptionStartsAFreshLogWithTheRecoveryLines) {
  WriteAll(dir_ / "TwBkf.log", "left over from an earlier run");
  MtfWriter writer;
  writer.File({.name = u"a.txt", .data = "x"}).PadTo(1536);
  const fs::path bkf = Bkf(writer);
  ASSERT_EQ(Twbkf({"scan", bkf.string(), "--log", "--quiet"}).exitCode, 0);

  // A file under 64 KiB: one main-pass iteration that ends the main pass,
  // then the tail pass finds the FILE block and adds its row.
  std::u16string expected = Utf16FromPath(bkf) + u"\r\n";
  for (const char16_t* mark : {u"0001", u"0002", u"0003", u"0004", u"0005", u"0006", u"0012", u"0013"}) {
    expected += u"SUCC " + std::u16string(mark) + u"\r\n";
  }
  EXPECT_EQ(ReadAll(dir_ / "TwBkf.log"), Utf16LeBytes(expected));
}

TEST_F(TwbkfTest, ScanWithoutLogLeavesTheLogAlone) {
  WriteAll(dir_ / "TwBkf.log", "kept");
  ASSERT_EQ(Twbkf({"scan", Bkf(TwoFiles()).string(), "--quiet"}).exitCode, 0);
  EXPECT_EQ(ReadAll(dir_ / "TwBkf.log"), "kept");
}

// A file whose block was lost comes back from the backup's own catalogue;
// the scan says how many did, and a listing of the scan says which.
TEST_F(TwbkfTest, ScanAndListTellWhatCameFromTheBackupsOwnCatalogue) {
  MtfWriter writer(test::WriterStyle::kWindowsUtility);
  writer.Tape().DataSet(u"Set").Directory(u"A");
  writer.FileWithStreams({.name = u"kept.txt", .data = "kept"});
  writer.FileWithStreams({.name = u"lost.txt", .data = std::string(2000, 'l')});
  writer.ZeroCluster(writer.LastFile().block, *writer.LastFile().data - writer.LastFile().block);
  writer.FileWithStreams({.name = u"gone.txt", .data = "gone"});
  writer.ZeroCluster(writer.LastFile().block, 1024);
  writer.EndOfSet();
  const fs::path bkf = Bkf(writer);

  const auto scan = Twbkf({"scan", bkf.string(), "--snapshot", (dir_ / "s.TWBKF").string(), "--quiet"});
  ASSERT_EQ(scan.exitCode, 0) << scan.err;
  EXPECT_EQ(scan.out.substr(0, scan.out.find("Set 1")),
            "File(s) Found : 2\n"
            "1 file(s) came back from the backup's own catalogue; it lists 1 more file(s) whose data was not found.\n");
  const auto list = Twbkf({"list", bkf.string(), "--json", "--quiet"});
  ASSERT_EQ(list.exitCode, 0) << list.err;
  const auto second = list.out.find('\n') + 1;
  EXPECT_NE(list.out.substr(0, second).find("\"source\": \"block\""), std::string::npos);
  EXPECT_NE(list.out.substr(second).find("lost.txt\", \"type\""), std::string::npos);
  EXPECT_NE(list.out.substr(second).find("\"source\": \"catalogue\""), std::string::npos);
  // A snapshot does not know where its rows came from, and does not say.
  const auto snapshot = Twbkf({"list", (dir_ / "s.TWBKF").string(), "--json", "--quiet"});
  EXPECT_EQ(snapshot.out.find("\"source\""), std::string::npos);
}

TEST_F(TwbkfTest, ListReadsASnapshotWhoseBkfFileIsGone) {
  const std::u16string snapshot =
      u"<" + Utf16FromPath(dir_ / "gone.bkf") + u">\r\n<2>\r\n"
      u"<BKF\\BACKUP SET 1(D)\\x\\a.txt><5><1046><541038720><29856930><0><0><0><0>\r\n"
      u"<BKF\\BACKUP SET 1(D)\\x\\b\xDC80.bin><7>\r\n";
  WriteAll(dir_ / "s.TWBKF", Utf16LeBytes(snapshot));

  const auto plain = Twbkf({"list", (dir_ / "s.TWBKF").string()});
  ASSERT_EQ(plain.exitCode, 0) << plain.err;
  EXPECT_EQ(plain.out,
            "5\t2007-05-12T14:30:45Z\tBKF\\BACKUP SET 1(D)\\x\\a.txt\n"
            "7\t1601-01-01T00:00:00Z\tBKF\\BACKUP SET 1(D)\\x\\b\xEF\xBF\xBD.bin\n");

  const auto json = Twbkf({"list", "--json", (dir_ / "s.TWBKF").string()});
  ASSERT_EQ(json.exitCode, 0) << json.err;
  EXPECT_NE(json.out.find("{\"row\": 0, \"path\": \"BKF\\\\BACKUP SET 1(D)\\\\x\\\\a.txt\""), std::string::npos);
  EXPECT_NE(json.out.find("\"size\": 5, \"offset\": 1046, \"modified\": \"2007-05-12T14:30:45Z\""),
            std::string::npos);
  EXPECT_NE(json.out.find("b\\udc80.bin"), std::string::npos);
}

TEST_F(TwbkfTest, ListOfABrokenOrEmptySnapshotSaysWhy) {
  WriteAll(dir_ / "broken.TWBKF", Utf16LeBytes(u"<no closing bracket\r\n<1>\r\n"));
  const auto broken = Twbkf({"list", (dir_ / "broken.TWBKF").string()});
  EXPECT_EQ(broken.exitCode, 2);
  EXPECT_EQ(broken.err,
            "twbkf: " + (dir_ / "broken.TWBKF").string() + ": cannot read: not a recovery snapshot that this program can read\n");

  WriteAll(dir_ / "empty.TWBKF", Utf16LeBytes(u"<" + Utf16FromPath(dir_) + u">\r\n<0>\r\n"));
  const auto empty = Twbkf({"list", (dir_ / "empty.TWBKF").string()});
  EXPECT_EQ(empty.exitCode, 3);
  EXPECT_NE(empty.err.find("No data found in backup file"), std::string::npos);
}

void InterruptSoon(pid_t pid) {
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ::kill(pid, SIGINT);
}

// A partial catalogue never looks whole: what was found is kept where the
// user asked, the stop is said with where it came, and the exit is 130.
TEST_F(TwbkfTest, InterruptedScanKeepsWhatWasFoundButNeverLooksWhole) {
  MtfWriter head;
  head.Tape().DataSet(u"Set").File({.name = u"early.txt", .data = "found before the stop"});
  const fs::path bkf = HugeSparseBkf(head);
  const auto result = Twbkf({"scan", bkf.string(), "--snapshot", (dir_ / "s.TWBKF").string()}, InterruptSoon);
  EXPECT_EQ(result.exitCode, 130) << result.err;
  EXPECT_EQ(result.out.rfind("File(s) Found : 1\n", 0), 0u) << result.out;
  EXPECT_NE(result.err.find("twbkf: " + bkf.string() + ": stopped at "), std::string::npos) << result.err;
  EXPECT_NE(result.err.find(" of 64 GiB): the catalogue is partial\n"), std::string::npos) << result.err;
  EXPECT_TRUE(fs::exists(dir_ / "s.TWBKF"));

  const auto list = Twbkf({"list", bkf.string()}, InterruptSoon);
  EXPECT_EQ(list.exitCode, 130) << list.err;
  EXPECT_NE(list.out.find("early.txt"), std::string::npos);
  EXPECT_NE(list.err.find("the catalogue is partial"), std::string::npos);

  // Nothing is saved from a catalogue cut short.
  fs::create_directories(dir_ / "out");
  const auto extract = Twbkf({"extract", bkf.string(), "-C", (dir_ / "out").string()}, InterruptSoon);
  EXPECT_EQ(extract.exitCode, 130) << extract.err;
  EXPECT_TRUE(fs::is_empty(dir_ / "out"));
}

// A save killed in the middle of a file leaves that file under a hidden
// temporary name, never a short file under its own name.
TEST_F(TwbkfTest, AKilledSaveLeavesNoShortFileUnderItsName) {
  const fs::path bkf = HugeSparseBkf(MtfWriter().Tape());
  Catalogue catalogue;
  test::AppendFileRow(catalogue, u"BKF\\big.bin", {.size = std::int64_t{4} << 30, .offset = 1 << 20});
  ASSERT_TRUE(WriteSnapshot(dir_ / "big.TWBKF", Utf16FromPath(bkf), catalogue).ok());
  fs::create_directories(dir_ / "out");
  const fs::path part = dir_ / "out/RecBKF/.big.bin.twbkf-part";
  const auto result = Twbkf({"extract", (dir_ / "big.TWBKF").string(), "--to", (dir_ / "out").string(), "--quiet"},
                            [&](pid_t pid) {
                              // Killed once some of the file is written.
                              std::error_code none;
                              for (int i = 0; i < 20000 && fs::file_size(part, none) == static_cast<std::uintmax_t>(-1); ++i) {
                                std::this_thread::sleep_for(std::chrono::microseconds(200));
                              }
                              for (int i = 0; i < 20000 && fs::file_size(part, none) == 0; ++i) {
                                std::this_thread::sleep_for(std::chrono::microseconds(200));
                              }
                              ::kill(pid, SIGKILL);
                            });
  EXPECT_EQ(result.exitCode, 128 + SIGKILL);
  EXPECT_FALSE(fs::exists(dir_ / "out/RecBKF/big.bin"));
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir_ / "out/RecBKF")) left.push_back(entry.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{".big.bin.twbkf-part"});
  EXPECT_GT(fs::file_size(part), 0u);
}

// Ctrl-C in the middle of a file's data stops a verification or a save
// there: the exit is 130, how far it came is said, and a save keeps nothing
// of the file it was in.
TEST_F(TwbkfTest, InterruptedVerifyAndSaveSayHowFarTheyCame) {
  const fs::path bkf = HugeSparseBkf(MtfWriter().Tape());
  Catalogue catalogue;
  test::AppendFileRow(catalogue, u"BKF\\big.bin", {.size = std::int64_t{48} << 30, .offset = 1 << 20});
  ASSERT_TRUE(WriteSnapshot(dir_ / "big.TWBKF", Utf16FromPath(bkf), catalogue).ok());

  const auto verify = Twbkf({"verify", (dir_ / "big.TWBKF").string(), "--quiet"}, InterruptSoon);
  EXPECT_EQ(verify.exitCode, 130) << verify.err;
  EXPECT_NE(verify.out.find(" The verification was cancelled."), std::string::npos) << verify.out;
  EXPECT_NE(verify.err.find("interrupted: 0 of 1 file(s) done\n"), std::string::npos) << verify.err;

  fs::create_directories(dir_ / "out");
  const auto extract =
      Twbkf({"extract", (dir_ / "big.TWBKF").string(), "--to", (dir_ / "out").string(), "--quiet"}, InterruptSoon);
  EXPECT_EQ(extract.exitCode, 130) << extract.err;
  EXPECT_NE(extract.err.find("interrupted: 0 of 1 file(s) done\n"), std::string::npos) << extract.err;
  EXPECT_FALSE(fs::exists(dir_ / "out/RecBKF/big.bin"));
  EXPECT_FALSE(fs::exists(dir_ / "out/RecBKF/.big.bin.twbkf-part"));
}

TEST_F(TwbkfTest, InterruptBeforeAnyResultExits130) {
  const fs::path bkf = HugeSparseBkf(MtfWriter().Tape());
  const auto result = Twbkf({"scan", bkf.string(), "--snapshot", (dir_ / "s.TWBKF").string()}, InterruptSoon);
  EXPECT_EQ(result.exitCode, 130);
  EXPECT_FALSE(fs::exists(dir_ / "s.TWBKF"));
}

TEST_F(TwbkfTest, ExtractSavesEveryFileOrSaysWhichAreIncomplete) {
  MtfWriter writer = TwoFiles();
  const fs::path bkf = Bkf(writer);
  fs::create_directories(dir_ / "out");
  const auto whole = Twbkf({"extract", bkf.string(), "--to", (dir_ / "out").string(), "--quiet"});
  EXPECT_EQ(whole.exitCode, 0) << whole.err;
  EXPECT_EQ(ReadAll(dir_ / "out/RecBKF/BACKUP SET 1(Daily)/Docs/a.txt"), "alpha");
  EXPECT_EQ(ReadAll(dir_ / "out/RecBKF/BACKUP SET 1(Daily)/Docs/b.doc"), std::string(3000, 'b'));

  // Cut inside the second file's data: the scan still finds it, the save
  // keeps what exists and exits 4.
  writer.Bytes().resize(writer.LastDataOffset() + 1000);
  const fs::path cut = Bkf(writer, "cut.bkf");
  const auto partial = Twbkf({"extract", cut.string(), "--to", (dir_ / "out").string(), "--prefix", "Cut", "--quiet"});
  EXPECT_EQ(partial.exitCode, 4);
  EXPECT_NE(partial.out.find("1 file(s) saved (0 verified, 1 unchecked), 0 damaged, 0 stored encrypted, "
                              "0 stored compressed, 1 incomplete, 0 failed."),
            std::string::npos)
      << partial.out;
  EXPECT_EQ(ReadAll(dir_ / "out/CutBKF/BACKUP SET 1(Daily)/Docs/b.doc"), std::string(1000, 'b'));
}

TEST_F(TwbkfTest, ExtractFromASnapshotUsesTheNamedBkfWhenTheRecordedOneMoved) {
  const fs::path bkf = Bkf(TwoFiles());
  ASSERT_EQ(Twbkf({"scan", bkf.string(), "--snapshot", (dir_ / "s.TWBKF").string(), "--quiet"}).exitCode, 0);
  fs::rename(bkf, dir_ / "moved.bkf");
  fs::create_directories(dir_ / "out");

  const auto lost = Twbkf({"extract", (dir_ / "s.TWBKF").string(), "--to", (dir_ / "out").string()});
  EXPECT_EQ(lost.exitCode, 2);

  const auto found = Twbkf({"extract", (dir_ / "s.TWBKF").string(), "--to", (dir_ / "out").string(),
                            "--bkf", (dir_ / "moved.bkf").string(), "--match", "*.doc", "--quiet"});
  EXPECT_EQ(found.exitCode, 0) << found.err;
  EXPECT_EQ(ReadAll(dir_ / "out/RecBKF/BACKUP SET 1(Daily)/Docs/b.doc"), std::string(3000, 'b'));
  EXPECT_FALSE(fs::exists(dir_ / "out/RecBKF/BACKUP SET 1(Daily)/Docs/a.txt"));
}

TEST_F(TwbkfTest, ListMatchUsesTheProgramsOwnWildcards) {
  const fs::path bkf = Bkf(TwoFiles());
  const auto docs = Twbkf({"list", bkf.string(), "--match", "*.doc", "--quiet"});
  ASSERT_EQ(docs.exitCode, 0);
  EXPECT_EQ(docs.out, "3000\t2007-05-12T14:30:45Z\tBKF\\BACKUP SET 1(Daily)\\Docs\\b.doc\n");
  // Anchored at the start of the path: "a*" matches nothing, "BKF*" everything.
  EXPECT_EQ(Twbkf({"list", bkf.string(), "--match", "a*", "--quiet"}).out, "");
  const std::string both = Twbkf({"list", bkf.string(), "--match", "Docs", "--quiet"}).out;
  EXPECT_EQ(std::count(both.begin(), both.end(), '\n'), 2);
}

TEST_F(TwbkfTest, ASnapshotNeverReplacesTheBackupItDescribes) {
  const fs::path bkf = Bkf(TwoFiles(), "victim.bkf");
  const std::string before = ReadAll(bkf);
  fs::create_symlink(bkf, dir_ / "link.TWBKF");
  for (const fs::path& target : {bkf, dir_ / "link.TWBKF"}) {
    const auto result = Twbkf({"scan", bkf.string(), "--snapshot", target.string(), "--force", "--quiet"});
    EXPECT_EQ(result.exitCode, 2) << target;
    EXPECT_NE(result.err.find("BKF file being recovered"), std::string::npos) << result.err;
  }
  EXPECT_EQ(ReadAll(bkf), before);
}

TEST_F(TwbkfTest, SnapshotTargetsThatAreNoPlainFileAreRefusedOrFailWithTheirReason) {
  const fs::path bkf = Bkf(TwoFiles());
  fs::create_symlink("/dev/null", dir_ / "null.TWBKF");
  ASSERT_EQ(::mkfifo((dir_ / "pipe.TWBKF").c_str(), 0600), 0);
  for (const char* name : {"null.TWBKF", "pipe.TWBKF"}) {
    const auto result = Twbkf({"scan", bkf.string(), "--snapshot", (dir_ / name).string(), "--quiet"});
    EXPECT_EQ(result.exitCode, 2) << name;
    EXPECT_NE(result.err.find("not a regular file"), std::string::npos) << result.err;
  }
  EXPECT_TRUE(fs::is_symlink(dir_ / "null.TWBKF"));
  EXPECT_TRUE(fs::is_fifo(dir_ / "pipe.TWBKF"));

  for (const fs::path& folder : {dir_, fs::path(".")}) {
    const auto result = Twbkf({"scan", bkf.string(), "--snapshot", folder.string(), "--quiet"});
    EXPECT_EQ(result.exitCode, 4) << folder;
    EXPECT_NE(result.err.find("Is a directory"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("Success"), std::string::npos) << result.err;
  }
}

TEST_F(TwbkfTest, ADocumentIsReplacedByASnapshotOnlyWithForce) {
  const fs::path bkf = Bkf(TwoFiles());
  WriteAll(dir_ / "notes.txt", "my notes");
  const auto refused = Twbkf({"scan", bkf.string(), "--snapshot", (dir_ / "notes.txt").string(), "--quiet"});
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_NE(refused.err.find("not a recovery snapshot (--force replaces it)"), std::string::npos) << refused.err;
  EXPECT_EQ(ReadAll(dir_ / "notes.txt"), "my notes");

  const auto forced =
      Twbkf({"scan", bkf.string(), "--snapshot", (dir_ / "notes.txt").string(), "--force", "--quiet"});
  EXPECT_EQ(forced.exitCode, 0) << forced.err;
  EXPECT_TRUE(LooksLikeSnapshot(dir_ / "notes.txt"));
  // And a snapshot is replaced as before, without --force.
  EXPECT_EQ(Twbkf({"scan", bkf.string(), "--snapshot", (dir_ / "notes.txt").string(), "--quiet"}).exitCode, 0);
}

TEST_F(TwbkfTest, PipesAndEmptyPathsAreRefusedAtOnce) {
  ASSERT_EQ(::mkfifo((dir_ / "pipe").c_str(), 0600), 0);
  fs::create_directories(dir_ / "out");
  const std::string pipe = (dir_ / "pipe").string(), out = (dir_ / "out").string();
  const fs::path snapshot = dir_ / "s.TWBKF";
  ASSERT_EQ(Twbkf({"scan", Bkf(TwoFiles()).string(), "--snapshot", snapshot.string(), "--quiet"}).exitCode, 0);
  const std::vector<std::vector<std::string>> refused = {
      {"list", pipe},      {"extract", pipe, "--to", out},
      {"scan", ""},        {"list", ""},
      {"extract", "", "--to", out}, {"extract", snapshot.string(), "--to", out, "--bkf", ""},
  };
  for (const auto& arguments : refused) {
    const auto result = Twbkf(arguments);
    EXPECT_EQ(result.exitCode, 2) << arguments[0] << " " << arguments[1];
    EXPECT_NE(result.err.find("twbkf: "), std::string::npos);
  }
}

// Runs twbkf under /bin/sh, which first applies `setup` ("ulimit -f 16",
// "exec >/dev/full").
test::ProgramResult TwbkfUnderShell(const std::string& setup, std::vector<std::string> arguments,
                                    const fs::path& home) {
  arguments.insert(arguments.begin(), {"/bin/sh", "-c", setup + "; exec \"$0\" \"$@\"", TWBKF_PATH});
  return RunProgram(arguments, {"HOME=" + home.string()});
}

TEST_F(TwbkfTest, OutputThatCannotBeWrittenExitsFour) {
  const fs::path bkf = Bkf(TwoFiles());
  fs::create_directories(dir_ / "out");
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"scan", bkf.string(), "--quiet"},
        {"list", bkf.string(), "--quiet"},
        {"extract", bkf.string(), "--to", (dir_ / "out").string(), "--quiet"}}) {
    const auto result = TwbkfUnderShell("exec >/dev/full", arguments, dir_);
    EXPECT_EQ(result.exitCode, 4) << arguments[0];
    EXPECT_NE(result.err.find("standard output: No space left on device"), std::string::npos) << result.err;
  }
}

TEST_F(TwbkfTest, AFileSizeLimitFailsTheLargeFileAndTheSaveGoesOn) {
  MtfWriter writer;
  writer.Tape().DataSet(u"Daily").Directory(u"Docs");
  writer.File({.name = u"a.txt", .data = "alpha"});
  writer.File({.name = u"big.bin", .data = std::string(400'000, 'b')});
  writer.File({.name = u"c.txt", .data = "gamma"});
  const fs::path bkf = Bkf(writer);
  fs::create_directories(dir_ / "out");
  // 64 blocks: 32 KiB or 64 KiB, as the shell counts them.
  const auto result = TwbkfUnderShell("ulimit -f 64", {"extract", bkf.string(), "--to", (dir_ / "out").string(), "--quiet"}, dir_);
  EXPECT_EQ(result.exitCode, 4) << result.err;
  EXPECT_NE(result.out.find("2 file(s) saved"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("File too large"), std::string::npos) << result.out;
  EXPECT_EQ(ReadAll(dir_ / "out/RecBKF/BACKUP SET 1(Daily)/Docs/c.txt"), "gamma");
  EXPECT_FALSE(fs::exists(dir_ / "out/RecBKF/BACKUP SET 1(Daily)/Docs/big.bin"));
}

TEST_F(TwbkfTest, ASnapshotInAnotherEncodingIsNamedForWhatItIs) {
  WriteAll(dir_ / "utf8.TWBKF", "<" + (dir_ / "x.bkf").string() + ">\r\n<1>\r\n<BKF\\S\\a><1>\r\n");
  const auto result = Twbkf({"list", (dir_ / "utf8.TWBKF").string()});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("looks like a recovery snapshot in an encoding that this program does not read"),
            std::string::npos)
      << result.err;
}

// A backup as the Windows utility writes it, with one file whose data a
// stray cluster overwrote and one empty file.
MtfWriter RealBackupWithDamage() {
  MtfWriter writer(test::WriterStyle::kWindowsUtility);
  writer.Tape().DataSet(u"Daily").Directory(u"Docs");
  writer.FileWithStreams({.name = u"good.txt", .data = "intact"});
  writer.FileWithStreams({.name = u"hit.doc", .data = std::string(5000, 'h')});
  writer.Bytes()[*writer.LastFile().data + 100] = std::byte{'X'};
  writer.FileWithStreams({.name = u"empty.ini"});
  writer.EndOfSet();
  return writer;
}

TEST_F(TwbkfTest, VerifyNamesTheDamagedFilesAndExitsFour) {
  const fs::path bkf = Bkf(RealBackupWithDamage());
  const auto before = std::distance(fs::directory_iterator(dir_), fs::directory_iterator());
  const auto plain = Twbkf({"verify", bkf.string(), "--quiet"});
  EXPECT_EQ(plain.exitCode, 4) << plain.err;
  EXPECT_EQ(plain.out,
            "damaged\tBKF\\BACKUP SET 1(Daily)\\Docs\\hit.doc\tthe data does not match the checksum stored with it\n"
            "unchecked\tBKF\\BACKUP SET 1(Daily)\\Docs\\empty.ini\tan empty file has no data to check\n"
            "3 file(s): 1 verified, 1 damaged, 1 unchecked, 0 incomplete, 0 stored encrypted, "
            "0 stored compressed, 0 skipped.\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), before) << "nothing written";

  const auto json = Twbkf({"verify", bkf.string(), "--json", "--quiet"});
  EXPECT_EQ(json.exitCode, 4);
  EXPECT_EQ(json.out,
            "{\"row\": 0, \"path\": \"BKF\\\\BACKUP SET 1(Daily)\\\\Docs\\\\good.txt\", \"verdict\": \"verified\", "
            "\"reason\": \"\"}\n"
            "{\"row\": 1, \"path\": \"BKF\\\\BACKUP SET 1(Daily)\\\\Docs\\\\hit.doc\", \"verdict\": \"damaged\", "
            "\"reason\": \"the data does not match the checksum stored with it\"}\n"
            "{\"row\": 2, \"path\": \"BKF\\\\BACKUP SET 1(Daily)\\\\Docs\\\\empty.ini\", \"verdict\": \"unchecked\", "
            "\"reason\": \"an empty file has no data to check\"}\n");

  const auto sound = Twbkf({"verify", bkf.string(), "--match", "*.txt", "--quiet"});
  EXPECT_EQ(sound.exitCode, 0) << sound.out;
}

TEST_F(TwbkfTest, ABkfFileThatDoesNotHoldTheSnapshotsDataIsRefusedUnlessForced) {
  const fs::path bkf = Bkf(TwoFiles());
  ASSERT_EQ(Twbkf({"scan", bkf.string(), "--snapshot", (dir_ / "s.TWBKF").string(), "--quiet"}).exitCode, 0);
  fs::remove(bkf);
  const fs::path other = Bkf(RealBackupWithDamage(), "other.bkf");
  fs::create_directories(dir_ / "out");
  const std::string message = "This BKF file does not hold the data that the snapshot describes";

  const auto extract = Twbkf({"extract", (dir_ / "s.TWBKF").string(), "--to", (dir_ / "out").string(), "--bkf",
                              other.string(), "--quiet"});
  EXPECT_EQ(extract.exitCode, 2);
  EXPECT_NE(extract.err.find(message), std::string::npos) << extract.err;
  EXPECT_TRUE(fs::is_empty(dir_ / "out"));
  const auto verify = Twbkf({"verify", (dir_ / "s.TWBKF").string(), "--bkf", other.string(), "--quiet"});
  EXPECT_EQ(verify.exitCode, 2);
  EXPECT_NE(verify.err.find(message), std::string::npos) << verify.err;

  // The user knows better: the files are read from it as they lie.
  const auto forced = Twbkf({"extract", (dir_ / "s.TWBKF").string(), "--to", (dir_ / "out").string(), "--bkf",
                             other.string(), "--force", "--quiet"});
  EXPECT_NE(forced.exitCode, 2) << forced.err;
  EXPECT_TRUE(fs::exists(dir_ / "out/RecBKF"));
}

TEST_F(TwbkfTest, VerifyOfASnapshotWhoseBackupIsGoneExitsTwo) {
  const fs::path bkf = Bkf(RealBackupWithDamage());
  ASSERT_EQ(Twbkf({"scan", bkf.string(), "--snapshot", (dir_ / "s.TWBKF").string(), "--quiet"}).exitCode, 0);
  fs::rename(bkf, dir_ / "moved.bkf");
  const auto lost = Twbkf({"verify", (dir_ / "s.TWBKF").string(), "--quiet"});
  EXPECT_EQ(lost.exitCode, 2);
  EXPECT_EQ(lost.err, "twbkf: " + bkf.string() + ": cannot read: No such file or directory\n");
  const auto found = Twbkf({"verify", (dir_ / "s.TWBKF").string(), "--bkf", (dir_ / "moved.bkf").string(), "--quiet"});
  EXPECT_EQ(found.exitCode, 4);
}

TEST_F(TwbkfTest, ExtractKeepsADamagedFileButExitsFour) {
  const fs::path bkf = Bkf(RealBackupWithDamage());
  fs::create_directories(dir_ / "out");
  const auto result = Twbkf({"extract", bkf.string(), "--to", (dir_ / "out").string(), "--quiet"});
  EXPECT_EQ(result.exitCode, 4);
  EXPECT_NE(result.out.find("2 file(s) saved (1 verified, 1 unchecked), 1 damaged,"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("hit.doc: damaged, the data does not match the checksum stored with it"),
            std::string::npos)
      << result.out;
  EXPECT_EQ(fs::file_size(dir_ / "out/RecBKF/BACKUP SET 1(Daily)/Docs/hit.doc"), 5000u);
  EXPECT_EQ(fs::file_size(dir_ / "out/RecBKF/BACKUP SET 1(Daily)/Docs/empty.ini"), 0u);
}

}  // namespace
}  // namespace tallowin
