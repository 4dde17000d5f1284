// What the save and the verification make of a file's data as real backups
// store it: checksums checked, stored forms reported, sparse files rebuilt
// with their holes, and every file given exactly one verdict.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "save/save_rows.h"
#include "catalog/file_time.h"
#include "catalog/snapshot.h"
#include "catalog/text_convert.h"
#include "tests/support/file_facts.h"
#include "tests/support/scan_helpers.h"
#include "tests/support/test_files.h"

namespace tallowin {
namespace {

namespace fs = std::filesystem;
using test::MtfWriter;
using test::RealFile;
using test::WriterStyle;

std::string Bytes(std::size_t size, char seed) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(seed + i * 7 % 251);
  return bytes;
}

class RealData : public ::testing::Test {
 protected:
  // Writes the backup, scans it and checks every row.
  void Scan() {
    writer_.EndOfSet();
    writer_.WriteTo(bkf_);
    catalogue_.ClearCatalogue();
    test::ScanBytes(writer_.Bytes(), catalogue_);
    catalogue_.SetAllRowsChecked(true);
  }
  SaveSummary Save() {
    fs::create_directories(destination_);
    SaveObserver quiet;
    return SaveCheckedFiles(catalogue_, {.bkfPath = bkf_, .destination = destination_, .prefix = u"Rec", .opener = OpenBkfFile},
                            quiet, stop_.get_token());
  }
  // The verdict of every row by its file name, as the verification gives it.
  std::map<std::string, FileReport> Verify() {
    class Collect : public SaveObserver {
     public:
      void OnFileDone(const FileReport& check) override {
        const std::u16string name = check.path.substr(check.path.rfind(u'\\') + 1);
        checks[Utf8ForDisplay(name)] = check;
      }
      std::map<std::string, FileReport> checks;
    } collect;
    const SaveSummary summary = SaveCheckedFiles(catalogue_, VerifyOnlyRequest(bkf_), collect, stop_.get_token());
    EXPECT_TRUE(summary.fatalError.empty());
    return collect.checks;
  }
  std::string Saved(const std::string& name) { return test::ReadFileBytes(destination_ / "RecBKF/BACKUP SET 1(S)" / name); }
  // The verdicts of a save by file name; the files saved complete are not listed.
  static std::map<std::string, std::string> Problems(const SaveSummary& summary) {
    std::map<std::string, std::string> problems;
    for (const FileReport& problem : summary.problems) {
      const std::u16string name = problem.path.substr(problem.path.rfind(u'\\') + 1);
      problems[Utf8ForDisplay(name)] =
          std::string(problem.verdict ? VerdictName(*problem.verdict) : "failed") + ": " + problem.reason;
    }
    return problems;
  }

  test::TempDir dir_;
  fs::path bkf_ = dir_ / "backup.bkf";
  fs::path destination_ = dir_ / "out";
  MtfWriter writer_{WriterStyle::kWindowsUtility};
  Catalogue catalogue_;
  std::stop_source stop_;

  void SetUp() override { writer_.Tape().DataSet(u"S"); }
};

TEST_F(RealData, ChecksumsTellIntactFilesFromDamagedOnes) {
  writer_.FileWithStreams({.name = u"five.txt", .data = "12345"});
  writer_.FileWithStreams({.name = u"eight.bin", .data = Bytes(8, 'e')});
  writer_.FileWithStreams({.name = u"big.bin", .data = Bytes(3'000'001, 'b')});
  writer_.FileWithStreams({.name = u"hit.doc", .data = Bytes(10'000, 'h')});
  const std::size_t hit = *writer_.LastFile().data + 4321;
  writer_.FileWithStreams({.name = u"wrong.doc", .data = "checksum written wrong", .wrongChecksum = true});
  Scan();
  // A cluster of another file's bytes over this file's data: only the
  // checksum can tell.
  writer_.Bytes()[hit] ^= std::byte{0x40};
  writer_.WriteTo(bkf_);

  const SaveSummary summary = Save();
  EXPECT_EQ(summary.verified, 3u);
  EXPECT_EQ(summary.saved, 3u);
  EXPECT_EQ(summary.damaged, 2u);
  EXPECT_FALSE(summary.Complete());
  EXPECT_EQ(Problems(summary), (std::map<std::string, std::string>{
                                   {"hit.doc", "damaged: the data does not match the checksum stored with it"},
                                   {"wrong.doc", "damaged: the data does not match the checksum stored with it"}}));
  EXPECT_EQ(Saved("five.txt"), "12345");
  EXPECT_EQ(Saved("big.bin"), Bytes(3'000'001, 'b'));
  // A damaged file is kept, with the bytes the backup holds now.
  std::string damaged = Bytes(10'000, 'h');
  damaged[4321] ^= 0x40;
  EXPECT_EQ(Saved("hit.doc"), damaged);

  const auto checks = Verify();
  EXPECT_EQ(checks.at("five.txt").verdict, FileVerdict::kVerified);
  EXPECT_EQ(checks.at("eight.bin").verdict, FileVerdict::kVerified);
  EXPECT_EQ(checks.at("hit.doc").verdict, FileVerdict::kDamaged);
  EXPECT_EQ(checks.at("wrong.doc").reason, "the data does not match the checksum stored with it");
}

// A checksum that the data stream promises and damage took leaves nothing
// to vouch for the bytes: such a file is damaged, never counted complete.
TEST_F(RealData, APromisedChecksumThatIsMissingMakesTheFileDamaged) {
  writer_.FileWithStreams({.name = u"plain.txt", .data = "no checksum", .checksummed = false});
  // The data stream says a checksum follows, but none does.
  writer_.FileWithStreams({.name = u"missing.txt", .data = "lost", .checksummed = false, .dataMediaAttributes = 0x20});
  writer_.FileWithStreams({.name = u"broken.txt", .data = "csum header damaged"});
  const std::size_t csum = *writer_.LastFile().csumHeader;
  Scan();
  writer_.Bytes()[csum + 20] ^= std::byte{1};
  writer_.WriteTo(bkf_);

  const SaveSummary summary = Save();
  EXPECT_EQ(summary.unchecked, 1u);
  EXPECT_EQ(summary.damaged, 2u);
  EXPECT_EQ(summary.saved, 1u);
  EXPECT_FALSE(summary.Complete());
  const auto checks = Verify();
  EXPECT_EQ(checks.at("plain.txt").reason, "the backup stores no checksum for it");
  EXPECT_EQ(checks.at("missing.txt").verdict, FileVerdict::kDamaged);
  EXPECT_EQ(checks.at("missing.txt").reason, "the checksum stored with it is missing");
  EXPECT_EQ(checks.at("broken.txt").verdict, FileVerdict::kDamaged);
  EXPECT_EQ(Saved("broken.txt"), "csum header damaged");
}

// One flipped bit in a data stream's header: its length and attributes can
// no longer be trusted, whatever they say. A writer that leaves the word at
// zero keeps no checksums, and its header counts for nothing either way.
TEST_F(RealData, ADataHeaderWhoseChecksumFailsMakesTheFileDamaged) {
  writer_.FileWithStreams({.name = u"hit.txt", .data = "header hit", .checksummed = false});
  const std::size_t hit = *writer_.LastFile().stanHeader;
  writer_.FileWithStreams({.name = u"unsummed.txt", .data = "no header checksum"});
  const std::size_t unsummed = *writer_.LastFile().stanHeader;
  Scan();
  writer_.Bytes()[hit + 6] ^= std::byte{0x40};
  writer_.Bytes()[unsummed + 20] = writer_.Bytes()[unsummed + 21] = std::byte{0};
  writer_.WriteTo(bkf_);

  const auto checks = Verify();
  EXPECT_EQ(checks.at("hit.txt").verdict, FileVerdict::kDamaged);
  EXPECT_EQ(checks.at("hit.txt").reason, "the header of its data is damaged");
  // Its CSUM stream after the data still vouches for it.
  EXPECT_EQ(checks.at("unsummed.txt").verdict, FileVerdict::kVerified);
  Save();
  EXPECT_EQ(Saved("hit.txt"), "header hit");
}

TEST_F(RealData, EncryptedAndCompressedDataIsSavedAsStoredAndSaidSo) {
  writer_.FileWithStreams({.name = u"packed.bin", .data = "compressed bytes", .dataMediaAttributes = 0x10});
  writer_.FileWithStreams({.name = u"sealed.bin", .data = "encrypted bytes", .dataMediaAttributes = 0x08});
  writer_.FileWithStreams({.name = u"both.bin", .data = "both", .wrongChecksum = true, .dataMediaAttributes = 0x18});
  Scan();
  const SaveSummary summary = Save();
  EXPECT_EQ(summary.storedCompressed, 1u);
  EXPECT_EQ(summary.storedEncrypted, 1u);
  EXPECT_EQ(summary.damaged, 1u);  // damage is told before the stored form
  EXPECT_EQ(summary.saved, 0u);
  EXPECT_EQ(Saved("packed.bin"), "compressed bytes");
  EXPECT_EQ(Saved("sealed.bin"), "encrypted bytes");
  const auto checks = Verify();
  EXPECT_EQ(checks.at("packed.bin").verdict, FileVerdict::kStoredCompressed);
  EXPECT_EQ(checks.at("sealed.bin").verdict, FileVerdict::kStoredEncrypted);
}

TEST_F(RealData, AnEmptyFileIsSavedEmptyWithItsTimes) {
  writer_.FileWithStreams({.name = u"desktop.ini", .modified = {2010, 3, 4, 5, 6, 7}, .accessed = {2011, 2, 2, 2, 2, 2}});
  Scan();
  ASSERT_EQ(catalogue_.CatalogueRowCount(), 1);
  EXPECT_TRUE(Save().Complete());
  const fs::path saved = destination_ / "RecBKF/BACKUP SET 1(S)/desktop.ini";
  EXPECT_EQ(fs::file_size(saved), 0u);
  const test::FileTimes times = test::TimesOf(saved);
  EXPECT_EQ(times.modified, *FileTimeFromCalendar({2010, 3, 4, 5, 6, 7, 0}));
  EXPECT_EQ(times.accessed, *FileTimeFromCalendar({2011, 2, 2, 2, 2, 2, 0}));
}

TEST_F(RealData, ASparseFileIsRebuiltFromItsPiecesWithHoles) {
  constexpr std::uint64_t kSize = std::uint64_t{16} << 20;
  writer_.FileWithStreams({.name = u"disk.img",
                           .sparse = {{kSize - 3, "tail beyond"}, {5, "start"}, {1 << 20, "middle"}},
                           .sparseSize = kSize});
  Scan();
  ASSERT_EQ(catalogue_.GetCatalogueCell(0, kCellSize), FormatInt64(static_cast<std::int64_t>(kSize)));
  const SaveSummary summary = Save();
  EXPECT_EQ(summary.unchecked, 1u) << Utf8ForDisplay(SaveSummaryText(summary));
  const fs::path saved = destination_ / "RecBKF/BACKUP SET 1(S)/disk.img";
  ASSERT_EQ(fs::file_size(saved), kSize);
  const std::string bytes = test::ReadFileBytes(saved);
  std::string expected(kSize, '\0');
  expected.replace(5, 5, "start");
  expected.replace(1 << 20, 6, "middle");
  expected.replace(kSize - 3, 3, "tai");  // the bytes beyond the size are not written
  EXPECT_TRUE(bytes == expected);
  EXPECT_LT(test::AllocatedBytes(saved), kSize / 4) << "the gaps are holes";
  EXPECT_EQ(Verify().at("disk.img").reason, "a sparse file carries no checksum");
}

// One flipped bit in the block's size field made terabytes of holes: a
// size the block's own checksum does not vouch for gives way to the end of
// the farthest piece, and the verdict says so.
TEST_F(RealData, ASparseFileWhoseBlockIsDamagedEndsWhereItsLastPieceEnds) {
  writer_.FileWithStreams({.name = u"disk.vhd", .sparse = {{5, "start"}, {4096, "end"}}, .sparseSize = 10000});
  const std::size_t block = writer_.LastFile().block;
  writer_.Bytes()[block + 17] ^= std::byte{0x08};  // the size now says 8 TiB and more
  Scan();
  writer_.WriteTo(bkf_);
  ASSERT_GT(ParseInt64(catalogue_.GetCatalogueCell(0, kCellSize)), std::int64_t{1} << 43);
  const SaveSummary summary = Save();
  EXPECT_EQ(summary.unchecked, 1u);
  std::string expected(4099, '\0');
  expected.replace(5, 5, "start");
  expected.replace(4096, 3, "end");
  EXPECT_TRUE(Saved("disk.vhd") == expected);
  const std::string reason = Verify().at("disk.vhd").reason;
  EXPECT_EQ(reason, "the block that gives its size is damaged, so it ends where its last piece ends; "
                    "a sparse file carries no checksum");
}

TEST_F(RealData, ASparseFileCutByTheEndOfTheBackupIsIncomplete) {
  writer_.FileWithStreams({.name = u"cut.img", .sparse = {{0, "first"}, {100, Bytes(5000, 'p')}}, .sparseSize = 6000});
  const std::size_t cut = writer_.LastFile().sparHeaders[1] + 22 + 8 + 1000;
  Scan();
  writer_.Bytes().resize(cut);
  writer_.WriteTo(bkf_);
  const SaveSummary summary = Save();
  EXPECT_EQ(summary.incomplete, 1u);
  EXPECT_EQ(Problems(summary).at("cut.img"),
            "incomplete: the BKF file ends before the pieces of this sparse file do");
  EXPECT_EQ(Saved("cut.img").substr(0, 5), "first");
}

TEST_F(RealData, ASnapshotsRowsGetTheSameVerdictsAsTheScans) {
  writer_.FileWithStreams({.name = u"good.txt", .data = "good"});
  writer_.FileWithStreams({.name = u"bad.txt", .data = "bad", .wrongChecksum = true});
  writer_.FileWithStreams({.name = u"sparse.img", .sparse = {{2, "xy"}}, .sparseSize = 10});
  Scan();
  const fs::path snapshot = dir_ / "s.TWBKF";
  ASSERT_TRUE(WriteSnapshot(snapshot, Utf16FromPath(bkf_), catalogue_).ok());
  class Keep : public SnapshotLoadObserver {
    std::optional<std::u16string> LocateMissingBkf(std::u16string_view) override { return std::nullopt; }
  } observer;
  ASSERT_EQ(LoadSnapshot(snapshot, catalogue_, observer).status, SnapshotLoadStatus::kLoaded);
  const SaveSummary summary = Save();
  EXPECT_EQ(summary.verified, 1u);
  EXPECT_EQ(summary.damaged, 1u);
  EXPECT_EQ(summary.unchecked, 1u);
  EXPECT_EQ(Saved("sparse.img"), std::string("\0\0xy\0\0\0\0\0\0", 10));
}

TEST_F(RealData, VerificationWritesNothingAndSkipsWhatTheSaveWouldSkip) {
  writer_.FileWithStreams({.name = u"a.txt", .data = "a"});
  Scan();
  const RowIndex absurd = catalogue_.AppendCatalogueRow(u"BKF\\BACKUP SET 1(S)\\absurd.bin");
  catalogue_.SetCatalogueNumber(absurd, kCellSize, -5);
  catalogue_.SetCatalogueNumber(absurd, kCellOffset, 0);
  catalogue_.SetRowChecked(absurd, true);
  const auto before = std::distance(fs::directory_iterator(dir_.Path()), fs::directory_iterator());
  const auto checks = Verify();
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.Path()), fs::directory_iterator()), before);
  EXPECT_EQ(checks.at("a.txt").verdict, FileVerdict::kVerified);
  EXPECT_EQ(checks.at("absurd.bin").verdict, FileVerdict::kSkipped);
  EXPECT_EQ(checks.at("absurd.bin").reason, "the file size -5 is not valid");
}

TEST(Checksum, IsTheSameHoweverTheDataIsSplit) {
  const std::string data = Bytes(1003, 'c');
  const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data.data()), data.size());
  const std::uint32_t whole = ChecksumStep(0, bytes, 0);
  EXPECT_EQ(whole, MtfWriter::DataChecksum(data));
  for (const std::size_t split : {1, 3, 4, 7, 8, 9, 500, 1002}) {
    EXPECT_EQ(ChecksumStep(ChecksumStep(0, bytes.first(split), 0), bytes.subspan(split), split), whole) << split;
  }
}

// Right after a scan the user verifies every file, checked or not, or a few
// of them; the check marks choose nothing then.
TEST_F(RealData, AVerificationOfAllOrOfNamedRowsIgnoresTheCheckMarks) {
  writer_.FileWithStreams({.name = u"one.txt", .data = "1"});
  writer_.FileWithStreams({.name = u"two.txt", .data = "22", .wrongChecksum = true});
  writer_.FileWithStreams({.name = u"three.txt", .data = "333"});
  Scan();
  catalogue_.SetAllRowsChecked(false);
  class Rows : public SaveObserver {
   public:
    void OnFileDone(const FileReport& check) override { rows.push_back(check.row); }
    std::vector<RowIndex> rows;
  };
  Rows all;
  const SaveSummary summary = SaveRows(catalogue_, VerifyOnlyRequest(bkf_), RowSelection::All(), all,
                                       stop_.get_token());
  EXPECT_EQ(all.rows, (std::vector<RowIndex>{0, 1, 2}));
  EXPECT_EQ(summary.Count(FileVerdict::kDamaged), 1u);
  Rows named;
  SaveRows(catalogue_, VerifyOnlyRequest(bkf_), RowSelection::Listed({2, 7, 0, 2, -1}), named,
           stop_.get_token());
  EXPECT_EQ(named.rows, (std::vector<RowIndex>{0, 2}));
  Rows checked;
  EXPECT_EQ(SaveCheckedFiles(catalogue_, VerifyOnlyRequest(bkf_), checked, stop_.get_token()).Attempted(), 0u);
}

}  // namespace
}  // namespace tallowin
