// The save on Windows: names mended by the Windows rules, junctions never
// followed, names that differ only in case kept apart, the creation time
// set, sparse files marked sparse, and folders deeper than 260 characters.
#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>
// windows.h names CreateFileW so; the save folder's own CreateFile is meant.
#undef CreateFile

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "save/save_rows.h"
#include "save/save_folder.h"
#include "catalog/text_convert.h"
#include "catalog/windows_files.h"
#include "tests/support/file_facts.h"
#include "tests/support/mtf_writer.h"
#include "tests/support/scan_helpers.h"
#include "tests/support/test_files.h"

namespace tallowin {
namespace {

namespace fs = std::filesystem;

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 251);
  return bytes;
}

// A junction (a mount point) at `link` that leads to `target`; false where the
// system cannot make one.
bool MakeJunction(const fs::path& link, const fs::path& target) {
  if (!::CreateDirectoryW(link.c_str(), nullptr)) return false;
  const UniqueNativeFile folder(reinterpret_cast<NativeFile>(
      ::CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
  if (!folder.IsOpen()) return false;
  const std::wstring substitute = L"\\??\\" + fs::absolute(target).native();
  const std::wstring print = fs::absolute(target).native();
  // The mount point layout: tag, sizes, then both names, each with a NUL.
  struct Header {
    DWORD tag;
    WORD dataLength, reserved;
    WORD substituteOffset, substituteLength, printOffset, printLength;
  };
  const std::size_t names = (substitute.size() + 1 + print.size() + 1) * sizeof(wchar_t);
  std::vector<std::byte> buffer(sizeof(Header) + names);
  Header header{IO_REPARSE_TAG_MOUNT_POINT,
                static_cast<WORD>(8 + names),
                0,
                0,
                static_cast<WORD>(substitute.size() * sizeof(wchar_t)),
                static_cast<WORD>((substitute.size() + 1) * sizeof(wchar_t)),
                static_cast<WORD>(print.size() * sizeof(wchar_t))};
  std::memcpy(buffer.data(), &header, sizeof header);
  std::memcpy(buffer.data() + sizeof header, substitute.c_str(), (substitute.size() + 1) * sizeof(wchar_t));
  std::memcpy(buffer.data() + sizeof header + (substitute.size() + 1) * sizeof(wchar_t), print.c_str(),
              (print.size() + 1) * sizeof(wchar_t));
  DWORD returned = 0;
  if (!::DeviceIoControl(reinterpret_cast<HANDLE>(folder.Get()), FSCTL_SET_REPARSE_POINT, buffer.data(),
                         static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr)) {
    return false;
  }
  // Some systems say yes and keep nothing.
  return (::GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Whether a creation time set on a file in `folder` is kept (Wine's folders
// on a Linux file system keep none).
bool KeepsCreationTimes(const fs::path& folder) {
  const fs::path probe = folder / "creation-probe";
  test::WriteFileBytes(probe, "");
  const UniqueNativeFile file(reinterpret_cast<NativeFile>(::CreateFileW(
      probe.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)));
  const FILETIME created{0x12345600, 0x01C00000};
  const bool set = file.IsOpen() && ::SetFileTime(reinterpret_cast<HANDLE>(file.Get()), &created, nullptr, nullptr);
  const bool kept = set && test::TimesOf(probe).created == 0x01C0'0000'1234'5600ull;
  fs::remove(probe);
  return kept;
}

class WindowsSave : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(destination_);
    test::WriteFileBytes(bkf_, Pattern(10'000));
  }
  RowIndex Row(std::u16string_view path, std::int64_t size, std::int64_t offset) {
    const RowIndex row = catalogue_.AppendCatalogueRow(path);
    catalogue_.SetCatalogueNumber(row, kCellSize, size);
    catalogue_.SetCatalogueNumber(row, kCellOffset, offset);
    catalogue_.SetRowChecked(row, true);
    return row;
  }
  SaveSummary Save() {
    SaveObserver quiet;
    return SaveCheckedFiles(catalogue_, {.bkfPath = bkf_, .destination = destination_, .prefix = u"Rec"}, quiet);
  }
  std::string Saved(const fs::path& relative) { return test::ReadFileBytes(destination_ / relative); }

  test::TempDir dir_;
  fs::path bkf_ = dir_ / "backup.bkf";
  fs::path destination_ = dir_ / "destination";
  Catalogue catalogue_;
};

TEST_F(WindowsSave, HostileNamesAreMendedByTheWindowsRulesAndStayInside) {
  const std::u16string paths[] = {u"BKF\\..\\..\\escape.txt", u"BKF\\S\\CON",          u"BKF\\S\\aux.txt",
                                  u"BKF\\S\\a:b?c*.txt",      u"BKF\\S\\trailing. ",   u"BKF\\lpt1\\x.txt",
                                  u"BKF\\S\\<>|\".txt",      u"BKF\\S\\.",            u"BKF\\S\\Grüße.txt"};
  for (const auto& path : paths) Row(path, 5, 0);
  const SaveSummary summary = Save();
  EXPECT_EQ(summary.saved, std::size(paths)) << Utf8ForDisplay(SaveSummaryText(summary));
  for (const char8_t* name : {u8"RecBKF/___/___/escape.txt", u8"RecBKF/S/_CON", u8"RecBKF/S/_aux.txt",
                              u8"RecBKF/S/a_b_c_.txt", u8"RecBKF/S/trailing__", u8"RecBKF/_lpt1/x.txt",
                              u8"RecBKF/S/____.txt", u8"RecBKF/S/__", u8"RecBKF/S/Grüße.txt"}) {
    EXPECT_EQ(Saved(fs::path(name)), Pattern(5)) << reinterpret_cast<const char*>(name);
  }
  for (const auto& entry : fs::recursive_directory_iterator(dir_.Path())) {
    EXPECT_TRUE(entry.path() == bkf_ || entry.path().native().starts_with(destination_.native())) << entry.path();
  }
}

// Windows keeps no two names that differ only in case: files get numbered
// names, and folders share one folder on disk.
TEST_F(WindowsSave, NamesThatDifferOnlyInCaseGetNumberedNames) {
  Row(u"BKF\\S\\report.txt", 3, 0);
  Row(u"BKF\\S\\REPORT.TXT", 3, 100);
  Row(u"BKF\\s\\other.txt", 3, 200);
  const SaveSummary summary = Save();
  EXPECT_EQ(summary.saved, 3u);
  EXPECT_EQ(Saved("RecBKF/S/report.txt"), Pattern(3));
  EXPECT_EQ(Saved("RecBKF/S/REPORT (2).TXT"), Pattern(103).substr(100));
  EXPECT_EQ(Saved("RecBKF/S/other.txt"), Pattern(203).substr(200));
}

TEST_F(WindowsSave, AJunctionPlantedWhereTheSaveFolderGoesIsNeverFollowed) {
  const fs::path outside = dir_ / "outside";
  fs::create_directories(outside);
  if (!MakeJunction(destination_ / "RecBKF", outside)) GTEST_SKIP() << "this system makes no junctions";
  Row(u"BKF\\S\\a.txt", 5, 0);
  EXPECT_EQ(Save().saved, 1u);
  EXPECT_TRUE(fs::is_empty(outside));
  EXPECT_EQ(Saved("RecBKF (2)/S/a.txt"), Pattern(5));
}

TEST_F(WindowsSave, AJunctionInsideTheSaveIsNeverOpenedAsAFolder) {
  const fs::path outside = dir_ / "outside";
  fs::create_directories(outside);
  int error = 0;
  SaveFolder destination = SaveFolder::OpenDestination(destination_, error);
  ASSERT_TRUE(destination.IsOpen()) << error;
  if (!MakeJunction(destination_ / "link", outside)) GTEST_SKIP() << "this system makes no junctions";
  EXPECT_FALSE(destination.OpenFolder("link", error).IsOpen());
  EXPECT_EQ(error, ELOOP);
  EXPECT_FALSE(destination.CreateFolder("link", error).IsOpen());
  EXPECT_EQ(error, EEXIST);
  EXPECT_FALSE(destination.CreateFile("link", error).IsOpen());
  EXPECT_EQ(error, EEXIST);
}

TEST_F(WindowsSave, TheCreationTimeIsSetWhereTheFileSystemKeepsOne) {
  const RowIndex row = Row(u"BKF\\S\\dated.txt", 5, 0);
  const FileTime modified = 128'000'000'000'000'000;  // 2006
  const FileTime accessed = 129'000'000'000'000'000;
  const FileTime created = 127'000'000'000'000'000;
  catalogue_.SetCatalogueCell(row, kCellModifiedLow, FormatInt64(static_cast<std::uint32_t>(modified)));
  catalogue_.SetCatalogueCell(row, kCellModifiedHigh, FormatInt64(static_cast<std::uint32_t>(modified >> 32)));
  catalogue_.SetCatalogueCell(row, kCellAccessedLow, FormatInt64(static_cast<std::uint32_t>(accessed)));
  catalogue_.SetCatalogueCell(row, kCellAccessedHigh, FormatInt64(static_cast<std::uint32_t>(accessed >> 32)));
  catalogue_.SetCatalogueCell(row, kCellCreatedLow, FormatInt64(static_cast<std::uint32_t>(created)));
  catalogue_.SetCatalogueCell(row, kCellCreatedHigh, FormatInt64(static_cast<std::uint32_t>(created >> 32)));
  ASSERT_EQ(Save().saved, 1u);
  const test::FileTimes times = test::TimesOf(destination_ / "RecBKF/S/dated.txt");
  EXPECT_EQ(times.modified, modified);
  EXPECT_EQ(times.accessed, accessed);
  if (!KeepsCreationTimes(dir_.Path())) GTEST_SKIP() << "this file system keeps no creation time that can be set";
  EXPECT_EQ(times.created, created);
}

// Whether a file in `folder` keeps the sparse attribute once asked to (Wine's
// folders on a Linux file system have holes, but no such attribute).
bool KeepsSparseAttribute(const fs::path& folder) {
  const fs::path probe = folder / "sparse-probe";
  test::WriteFileBytes(probe, "");
  bool kept = false;
  {
    const UniqueNativeFile file(reinterpret_cast<NativeFile>(
        ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
    DWORD returned = 0;
    kept = file.IsOpen() &&
           ::DeviceIoControl(reinterpret_cast<HANDLE>(file.Get()), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0,
                             &returned, nullptr) &&
           (::GetFileAttributesW(probe.c_str()) & FILE_ATTRIBUTE_SPARSE_FILE) != 0;
  }
  fs::remove(probe);
  return kept;
}

TEST_F(WindowsSave, ASparseFileIsMarkedSparseAndOnlyItsPiecesTakeRoom) {
  test::MtfWriter writer(test::WriterStyle::kWindowsUtility);
  writer.Tape().DataSet(u"S");
  constexpr std::uint64_t kSize = std::uint64_t{32} << 20;
  writer.FileWithStreams({.name = u"disk.vhd", .sparse = {{0, "head"}, {kSize - 4, "tail"}}, .sparseSize = kSize});
  writer.EndOfSet();
  writer.WriteTo(bkf_);
  test::ScanBytes(writer.Bytes(), catalogue_);
  catalogue_.SetAllRowsChecked(true);
  ASSERT_EQ(Save().unchecked, 1u);
  const fs::path saved = destination_ / "RecBKF/BACKUP SET 1(S)/disk.vhd";
  EXPECT_EQ(fs::file_size(saved), kSize);
  EXPECT_LT(test::AllocatedBytes(saved), kSize / 4) << "the gap is a hole";
  if (!KeepsSparseAttribute(dir_.Path())) GTEST_SKIP() << "this file system keeps no sparse attribute";
  EXPECT_NE(::GetFileAttributesW(saved.c_str()) & FILE_ATTRIBUTE_SPARSE_FILE, 0u);
}

TEST_F(WindowsSave, FoldersDeeperThan260CharactersAreSaved) {
  std::u16string path = u"BKF";
  for (int level = 0; level < 5; ++level) path += u"\\" + std::u16string(70, static_cast<char16_t>(u'a' + level));
  path += u"\\deep.txt";
  Row(path, 7, 0);
  const SaveSummary summary = Save();
  ASSERT_EQ(summary.saved, 1u) << Utf8ForDisplay(SaveSummaryText(summary));
  fs::path saved = destination_ / "RecBKF";
  for (int level = 0; level < 5; ++level) saved /= std::wstring(70, static_cast<wchar_t>(L'a' + level));
  saved /= L"deep.txt";
  ASSERT_GT(saved.native().size(), 260u);
  EXPECT_EQ(test::ReadFileBytes(fs::path(ExtendedLengthPath(saved))), Pattern(7));
}

TEST_F(WindowsSave, ADestinationOfNonAsciiNameIsUsedAsNamed) {
  const fs::path destination = dir_.Path() / fs::path(u8"Zielordner Ü");
  fs::create_directories(destination);
  Row(u"BKF\\S\\a.txt", 5, 0);
  SaveObserver quiet;
  const SaveSummary summary =
      SaveCheckedFiles(catalogue_, {.bkfPath = bkf_, .destination = destination, .prefix = u"Rück-"}, quiet);
  ASSERT_EQ(summary.saved, 1u);
  ASSERT_EQ(summary.folders.size(), 1u);
  EXPECT_EQ(summary.folders[0], destination / fs::path(u8"Rück-BKF"));
  EXPECT_EQ(test::ReadFileBytes(destination / fs::path(u8"Rück-BKF/S/a.txt")), Pattern(5));
}

}  // namespace
}  // namespace tallowin
