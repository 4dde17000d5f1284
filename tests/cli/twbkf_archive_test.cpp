// extract --archive: the archive, read back with libarchive, holds the same
// tree, names and bytes as a save into a folder, each file's verdict is
// reported the same way, and a damaged file's entry is still written.
#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <unistd.h>

#include <clocale>
#include <map>

#include "catalog/text_convert.h"
#include "catalog/utf16_bytes.h"
#include "tests/cli/twbkf_fixture.h"

namespace tallowin {
namespace {

// Entries larger than this keep only their data blocks, not a full copy.
constexpr std::int64_t kWholeLimit = std::int64_t{64} << 20;

struct Entry {
  bool folder = false;
  std::int64_t size = 0;
  std::string data;  // the whole content, holes as zeros (small entries)
  std::map<std::int64_t, std::string> blocks;  // where the data lies (large entries)
  int sparseRuns = 0;
  std::time_t modified = 0, accessed = 0, created = 0;
  bool operator==(const Entry& other) const {
    return folder == other.folder && size == other.size && data == other.data;
  }
};
using Tree = std::map<std::string, Entry>;

std::ostream& operator<<(std::ostream& out, const Entry& entry) {
  return out << (entry.folder ? "folder" : "file of " + std::to_string(entry.size) + " bytes");
}

Tree ReadArchive(const std::string& bytes) {
  // Names beyond ASCII come as UTF-8 only in a locale that has them.
  std::setlocale(LC_CTYPE, "C.UTF-8");
  Tree tree;
  archive* a = archive_read_new();
  archive_read_support_filter_all(a);
  archive_read_support_format_all(a);
  EXPECT_EQ(archive_read_open_memory(a, bytes.data(), bytes.size()), ARCHIVE_OK) << archive_error_string(a);
  archive_entry* header = nullptr;
  for (int next; (next = archive_read_next_header(a, &header)) == ARCHIVE_OK || next == ARCHIVE_WARN;) {
    const char* utf8 = archive_entry_pathname_utf8(header);
    EXPECT_NE(utf8, nullptr);
    std::string name = utf8 != nullptr ? utf8 : "";
    Entry entry;
    entry.folder = archive_entry_filetype(header) == AE_IFDIR;
    if (name.ends_with('/')) name.pop_back();
    entry.size = entry.folder ? 0 : archive_entry_size(header);
    entry.sparseRuns = archive_entry_sparse_count(header);
    entry.modified = archive_entry_mtime(header);
    entry.accessed = archive_entry_atime(header);
    entry.created = archive_entry_birthtime(header);
    const bool whole = entry.size <= kWholeLimit;
    if (whole) entry.data.assign(static_cast<std::size_t>(entry.size), '\0');
    const void* block = nullptr;
    std::size_t length = 0;
    la_int64_t offset = 0;
    while (archive_read_data_block(a, &block, &length, &offset) == ARCHIVE_OK) {
      const std::string piece(static_cast<const char*>(block), length);
      if (whole) {
        entry.data.replace(static_cast<std::size_t>(offset), length, piece);
      } else {
        entry.blocks[offset] += piece;
      }
    }
    tree[name] = std::move(entry);
  }
  archive_read_free(a);
  return tree;
}

Tree ReadFolder(const fs::path& root) {
  Tree tree;
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    Entry entry;
    entry.folder = item.is_directory();
    if (!entry.folder) {
      entry.size = static_cast<std::int64_t>(item.file_size());
      if (entry.size <= kWholeLimit) entry.data = ReadAll(item.path());
    }
    tree[fs::relative(item.path(), root).generic_string()] = std::move(entry);
  }
  return tree;
}

// Every kind of file a recovery meets: verified, unchecked, damaged, empty,
// sparse, encrypted, names beyond ASCII, and one cut short by the end of
// the backup.
MtfWriter EveryKindOfFile() {
  MtfWriter writer(test::WriterStyle::kWindowsUtility);
  writer.Tape().DataSet(u"Daily").Directory(u"Docs");
  writer.FileWithStreams({.name = u"good.txt", .data = "intact"});
  writer.FileWithStreams({.name = u"Z\u00fcrich \u20ac \u65e5\u672c.txt", .data = "names beyond ASCII"});
  writer.FileWithStreams({.name = u"hit.doc", .data = std::string(5000, 'h')});
  writer.Bytes()[*writer.LastFile().data + 100] = std::byte{'X'};
  writer.FileWithStreams({.name = u"empty.ini"});
  writer.FileWithStreams({.name = u"plain.bin", .data = std::string(70'000, 'p'), .checksummed = false});
  writer.Directory(u"Disks");
  writer.FileWithStreams({.name = u"disk.vhd", .sparse = {{5, "start"}, {300'000, "middle"}}, .sparseSize = 1'000'000});
  writer.FileWithStreams({.name = u"secret.xls", .data = "stored as is", .encrypted = true});
  writer.EndOfSet();
  writer.DataSet(u"Weekly").Directory(u"Logs");
  writer.FileWithStreams({.name = u"long.log", .data = std::string(20'000, 'l')});
  writer.Bytes().resize(*writer.LastFile().data + 7000);
  return writer;
}

class ArchiveTest : public TwbkfTest {
 protected:
  // The folder save of `bkf` and its report.
  std::pair<Tree, test::ProgramResult> FolderSave(const fs::path& bkf) {
    const fs::path out = dir_ / "folder";
    fs::create_directories(out);
    auto result = Twbkf({"extract", bkf.string(), "-C", out.string(), "-q"});
    return {ReadFolder(out), std::move(result)};
  }
};

// The report of a save, less the line that says where it went.
std::string Verdicts(const std::string& out) {
  std::string kept;
  for (std::size_t at = 0; at < out.size();) {
    const auto end = out.find('\n', at);
    const std::string line = out.substr(at, end - at);
    if (!line.starts_with("Saved into ") && !line.starts_with("Written to ")) kept += line + '\n';
    at = end == std::string::npos ? out.size() : end + 1;
  }
  return kept;
}

TEST_F(ArchiveTest, EveryKindOfArchiveHoldsWhatTheFolderSaveHoldsByteForByte) {
  const fs::path bkf = Bkf(EveryKindOfFile());
  const auto [folder, folderRun] = FolderSave(bkf);
  ASSERT_EQ(folderRun.exitCode, 4) << folderRun.err;
  ASSERT_TRUE(folder.contains("RecBKF/BACKUP SET 1(Daily)/Docs/hit.doc"));
  ASSERT_TRUE(folder.contains("RecBKF/BACKUP SET 1(Daily)/Docs/Z\xC3\xBCrich \xE2\x82\xAC \xE6\x97\xA5\xE6\x9C\xAC.txt"));
  ASSERT_EQ(folder.at("RecBKF/BACKUP SET 2(Weekly)/Logs/long.log").size, 7000);

  for (const char* name : {"out.tar", "out.tar.gz", "out.tar.zst", "out.tar.xz", "out.tar.bz2", "out.zip"}) {
    const auto run = Twbkf({"extract", bkf.string(), "-o", (dir_ / name).string(), "-q"});
    EXPECT_EQ(run.exitCode, 4) << name << run.err;
    EXPECT_EQ(Verdicts(run.out), Verdicts(folderRun.out)) << name;
    EXPECT_NE(run.out.find("Written to " + (dir_ / name).string()), std::string::npos) << run.out;
    EXPECT_EQ(ReadArchive(ReadAll(dir_ / name)), folder) << name;
  }
  // A tar stream on standard output, the report on standard error.
  const auto stream = Twbkf({"extract", bkf.string(), "--archive", "-", "-q"});
  EXPECT_EQ(stream.exitCode, 4) << stream.err;
  EXPECT_EQ(Verdicts(stream.err), Verdicts(folderRun.out));
  EXPECT_EQ(ReadArchive(stream.out), folder);
  // No temporary file is left beside the archives.
  for (const auto& item : fs::directory_iterator(dir_)) {
    EXPECT_EQ(item.path().filename().string().find(".twbkf-"), std::string::npos) << item.path();
  }
}

TEST_F(ArchiveTest, ATarEntryKeepsASparseFileSparseAndTheThreeTimes) {
  const fs::path bkf = Bkf(EveryKindOfFile());
  ASSERT_EQ(Twbkf({"extract", bkf.string(), "-o", (dir_ / "out.tar").string(), "-q"}).exitCode, 4);
  const Tree tar = ReadArchive(ReadAll(dir_ / "out.tar"));
  const Entry& disk = tar.at("RecBKF/BACKUP SET 1(Daily)/Disks/disk.vhd");
  EXPECT_GT(disk.sparseRuns, 0);
  EXPECT_EQ(disk.size, 1'000'000);
  EXPECT_EQ(disk.data.substr(5, 5), "start");
  EXPECT_EQ(disk.data.substr(300'000, 6), "middle");
  EXPECT_LT(fs::file_size(dir_ / "out.tar"), 200'000u) << "the holes take no room";
  // As the writer dates them: modified and accessed 2007-05-12 14:30:45 (as
  // the backup utility does), created 2006-01-02 03:04:05.
  const Entry& good = tar.at("RecBKF/BACKUP SET 1(Daily)/Docs/good.txt");
  EXPECT_EQ(good.modified, 1178980245);
  EXPECT_EQ(good.accessed, 1178980245);
  EXPECT_EQ(good.created, 1136171045);
}

// GNU tar reads each run of a sparse entry from a block of its own: runs
// that begin inside a block put another file's bytes into the holes' place.
TEST_F(ArchiveTest, GnuTarUnpacksTheSparseEntriesAsTheFolderSaveHoldsThem) {
  if (!fs::exists("/usr/bin/tar")) GTEST_SKIP() << "no GNU tar here";
  const fs::path bkf = Bkf(EveryKindOfFile());
  const auto [folder, folderRun] = FolderSave(bkf);
  ASSERT_EQ(Twbkf({"extract", bkf.string(), "-o", (dir_ / "out.tar").string(), "-q"}).exitCode, 4);
  fs::create_directories(dir_ / "unpacked");
  const auto tar = RunProgram({"/usr/bin/tar", "--warning=no-unknown-keyword", "-xf", (dir_ / "out.tar").string(),
                               "-C", (dir_ / "unpacked").string()});
  ASSERT_EQ(tar.exitCode, 0) << tar.err;
  EXPECT_EQ(ReadFolder(dir_ / "unpacked"), folder);
}

TEST_F(ArchiveTest, AFileOver8GiBInASparseBackupKeepsItsSizeAndBytes) {
  constexpr std::uint64_t kSize = (std::uint64_t{9} << 30) + 123;
  MtfWriter writer(test::WriterStyle::kWindowsUtility);
  writer.Tape().DataSet(u"Big").Directory(u"Images");
  writer.FileWithStreams({.name = u"huge.img", .sparse = {{0, "head"}, {kSize - 4, "tail"}}, .sparseSize = kSize});
  writer.EndOfSet();
  const fs::path bkf = Bkf(writer);
  const auto run = Twbkf({"extract", bkf.string(), "-o", (dir_ / "big.tar").string(), "-q"});
  ASSERT_EQ(run.exitCode, 0) << run.err << run.out;
  const Tree tar = ReadArchive(ReadAll(dir_ / "big.tar"));
  const Entry& huge = tar.at("RecBKF/BACKUP SET 1(Big)/Images/huge.img");
  EXPECT_EQ(static_cast<std::uint64_t>(huge.size), kSize);
  ASSERT_FALSE(huge.blocks.empty());
  EXPECT_EQ(huge.blocks.begin()->second.substr(0, 4), "head");
  EXPECT_EQ(huge.blocks.rbegin()->second.substr(huge.blocks.rbegin()->second.size() - 4), "tail");
  // The folder save has the same size and bytes there.
  fs::create_directories(dir_ / "folder");
  ASSERT_EQ(Twbkf({"extract", bkf.string(), "-C", (dir_ / "folder").string(), "-q"}).exitCode, 0);
  const fs::path saved = dir_ / "folder/RecBKF/BACKUP SET 1(Big)/Images/huge.img";
  EXPECT_EQ(fs::file_size(saved), kSize);
  const int fd = ::open(saved.c_str(), O_RDONLY);
  char tail[4] = {};
  ASSERT_EQ(::pread(fd, tail, 4, static_cast<off_t>(kSize - 4)), 4);
  ::close(fd);
  EXPECT_EQ(std::string(tail, 4), "tail");
}

TEST_F(ArchiveTest, AnArchiveNeverReplacesTheBackupAFolderOrAFileUnasked) {
  const fs::path bkf = Bkf(TwoFiles(), "backup.tar");
  const std::string before = ReadAll(bkf);
  const auto overBkf = Twbkf({"extract", bkf.string(), "-o", bkf.string(), "--force"});
  EXPECT_EQ(overBkf.exitCode, 2);
  EXPECT_EQ(overBkf.err, "twbkf: " + bkf.string() +
                             ": cannot write: this is the BKF file being recovered, which is never replaced\n");
  EXPECT_EQ(ReadAll(bkf), before);

  fs::create_directories(dir_ / "folder.tar");
  EXPECT_EQ(Twbkf({"extract", bkf.string(), "-o", (dir_ / "folder.tar").string(), "--force"}).exitCode, 2);

  WriteAll(dir_ / "old.zip", "mine");
  const auto refused = Twbkf({"extract", bkf.string(), "-o", (dir_ / "old.zip").string()});
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_EQ(refused.err, "twbkf: " + (dir_ / "old.zip").string() + ": cannot write: the file exists (--force replaces it)\n");
  EXPECT_EQ(ReadAll(dir_ / "old.zip"), "mine");
  EXPECT_EQ(Twbkf({"extract", bkf.string(), "-o", (dir_ / "old.zip").string(), "--force", "-q"}).exitCode, 0);
  EXPECT_EQ(ReadArchive(ReadAll(dir_ / "old.zip")).at("RecBKF/BACKUP SET 1(Daily)/Docs/a.txt").data, "alpha");
}

// An archive cut short by Ctrl-C must not look whole: it is removed, and
// the exit status says the work was interrupted.
TEST_F(ArchiveTest, AnInterruptedArchiveIsRemoved) {
  const fs::path bkf = dir_ / "huge.bkf";
  WriteAll(bkf, "");
  fs::resize_file(bkf, std::uintmax_t{64} << 30);
  // A snapshot of one file of 60 GiB: no scan, a save far too long to end.
  WriteAll(dir_ / "s.TWBKF", Utf16LeBytes(u"<" + Utf16FromPath(bkf) + u">\r\n<1>\r\n"
                                          u"<BKF\\SET 1(D)\\big.bin><64424509440><1024><0><0><0><0><0><0>\r\n"));
  const auto result = Twbkf({"extract", (dir_ / "s.TWBKF").string(), "-o", (dir_ / "big.tar").string()},
                            [](pid_t pid) {
                              std::this_thread::sleep_for(std::chrono::milliseconds(300));
                              ::kill(pid, SIGINT);
                            });
  EXPECT_EQ(result.exitCode, 130) << result.err;
  EXPECT_NE(result.err.find("big.tar: interrupted: the unfinished archive was removed"), std::string::npos)
      << result.err;
  for (const auto& item : fs::directory_iterator(dir_)) {
    EXPECT_EQ(item.path().filename().string().find("big.tar"), std::string::npos) << item.path();
  }
}

TEST_F(ArchiveTest, ADryRunNamesTheArchivesEntries) {
  const fs::path bkf = Bkf(TwoFiles());
  const auto dry = Twbkf({"extract", bkf.string(), "-o", (dir_ / "x.tar").string(), "-n"});
  EXPECT_EQ(dry.exitCode, 0) << dry.err;
  EXPECT_EQ(dry.out, "RecBKF/BACKUP SET 1(Daily)/Docs/a.txt\nRecBKF/BACKUP SET 1(Daily)/Docs/b.doc\n"
                     "2 file(s) would be written; nothing was written.\n");
  EXPECT_FALSE(fs::exists(dir_ / "x.tar"));
}

}  // namespace
}  // namespace tallowin
