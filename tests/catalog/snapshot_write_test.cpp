// Where a snapshot may be written: never over the backup it describes, a
// device, a folder or a document, and never half written.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "catalog/replacing_file.h"
#include "catalog/snapshot.h"
#include "catalog/text_convert.h"
#include "tests/support/test_files.h"

namespace tallowin {
namespace {

namespace fs = std::filesystem;
using test::Le;
using test::TempDir;

std::size_t EntriesIn(const fs::path& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class SnapshotTargets : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteFileBytes(bkf_, kBkfBytes);
    catalogue_.AppendCatalogueRow(u"BKF\\S\\a.txt");
  }
  SnapshotWriteResult Write(const fs::path& target, bool replaceAnyFile = false) {
    return WriteSnapshot(target, Utf16FromPath(bkf_), catalogue_, replaceAnyFile);
  }
  std::string Expected() const {
    return Le(u"<" + Utf16FromPath(bkf_) + u">\r\n<1>\r\n<BKF\\S\\a.txt><><><><><><><><>\r\n");
  }

  static constexpr const char* kBkfBytes = "TAPE and the rest of a damaged backup";
  TempDir dir_;
  fs::path bkf_ = dir_ / "victim.bkf";
  Catalogue catalogue_;
};

#ifndef _WIN32
// Symbolic links; Windows has a test of its own with a hard link.
TEST_F(SnapshotTargets, TheBkfFileItselfIsNeverReplacedHoweverItIsNamed) {
  fs::create_symlink(bkf_, dir_ / "link.TWBKF");
  fs::create_hard_link(bkf_, dir_ / "hard.TWBKF");
  for (const fs::path& target : {bkf_, dir_ / "link.TWBKF", dir_ / "hard.TWBKF", dir_ / "." / "victim.bkf"}) {
    const auto result = Write(target, true);
    EXPECT_EQ(result.status, SnapshotWriteStatus::kRefused) << target;
    EXPECT_EQ(result.target, SnapshotTargetKind::kBkfFile);
    EXPECT_NE(result.error.find("BKF file"), std::string::npos) << result.error;
  }
  EXPECT_EQ(test::ReadFileBytes(bkf_), kBkfBytes);
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.TWBKF"));
}
#endif

#ifndef _WIN32
// /dev/null and a FIFO.
TEST_F(SnapshotTargets, DevicesPipesAndLinksToThemAreRefusedAndStayAsTheyWere) {
  fs::create_symlink("/dev/null", dir_ / "null.TWBKF");
  ASSERT_EQ(::mkfifo((dir_ / "pipe.TWBKF").c_str(), 0600), 0);
  for (const char* name : {"null.TWBKF", "pipe.TWBKF"}) {
    const auto result = Write(dir_ / name, true);
    EXPECT_EQ(result.status, SnapshotWriteStatus::kRefused) << name;
    EXPECT_EQ(result.target, SnapshotTargetKind::kNotRegular);
  }
  EXPECT_TRUE(fs::is_symlink(dir_ / "null.TWBKF"));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_TRUE(fs::is_fifo(dir_ / "pipe.TWBKF"));
}
#endif

#ifndef _WIN32
// Symbolic links.
TEST_F(SnapshotTargets, ALinkIsFollowedAndItsTargetReplaced) {
  fs::create_directory(dir_ / "real");
  test::WriteFileBytes(dir_ / "real/old.TWBKF", Le(u"<old.bkf>\r\n<0>\r\n"));
  fs::create_symlink(dir_ / "real/old.TWBKF", dir_ / "link.TWBKF");
  fs::create_symlink(dir_ / "real/new.TWBKF", dir_ / "dangling.TWBKF");

  ASSERT_TRUE(Write(dir_ / "link.TWBKF").ok());
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.TWBKF"));
  EXPECT_EQ(test::ReadFileBytes(dir_ / "real/old.TWBKF"), Expected());

  ASSERT_TRUE(Write(dir_ / "dangling.TWBKF").ok());
  EXPECT_TRUE(fs::is_symlink(dir_ / "dangling.TWBKF"));
  EXPECT_EQ(test::ReadFileBytes(dir_ / "real/new.TWBKF"), Expected());
}
#endif

TEST_F(SnapshotTargets, ADocumentIsReplacedOnlyWhenTheUserAgrees) {
  const fs::path document = dir_ / "thesis.odt";
  test::WriteFileBytes(document, "three years of work");
  const auto refused = Write(document);
  EXPECT_EQ(refused.status, SnapshotWriteStatus::kRefused);
  EXPECT_EQ(refused.target, SnapshotTargetKind::kOtherFile);
  EXPECT_EQ(test::ReadFileBytes(document), "three years of work");

  EXPECT_TRUE(Write(document, true).ok());
  EXPECT_EQ(test::ReadFileBytes(document), Expected());
}

TEST_F(SnapshotTargets, SnapshotsAndEmptyFilesAreReplacedWithoutAsking) {
  test::WriteFileBytes(dir_ / "old.TWBKF", Le(u"<elsewhere.bkf>\r\n<7>\r\n"));
  test::WriteFileBytes(dir_ / "bom.TWBKF", "\xFF\xFE" + Le(u"<elsewhere.bkf>\r\n<0>\r\n"));
  test::WriteFileBytes(dir_ / "empty", "");
  for (const char* name : {"old.TWBKF", "bom.TWBKF", "empty"}) {
    const auto result = Write(dir_ / name);
    EXPECT_TRUE(result.ok()) << name << ": " << result.error;
    EXPECT_EQ(result.target, SnapshotTargetKind::kSnapshot);
    EXPECT_EQ(test::ReadFileBytes(dir_ / name), Expected());
  }
}

// A snapshot is known by its first two lines, not by its first character:
// an XML or HTML text in UTF-16LE begins with "<" too.
TEST_F(SnapshotTargets, ATextThatOnlyBeginsLikeASnapshotIsNotReplacedWithoutAsking) {
  const std::map<std::string, std::string> texts = {
      {"settings.xml", "\xFF\xFE" + Le(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<settings/>\r\n")},
      {"page.htm", Le(u"<html>\r\n<body>\r\n")},
      {"one-line.TWBKF", Le(u"<elsewhere.bkf>")},
      {"no-count.TWBKF", Le(u"<elsewhere.bkf>\r\n<seven>\r\n")},
      {"no-path.TWBKF", Le(u"<>\r\n<7>\r\n")},
  };
  for (const auto& [name, text] : texts) {
    test::WriteFileBytes(dir_ / name, text);
    const auto result = Write(dir_ / name);
    EXPECT_EQ(result.status, SnapshotWriteStatus::kRefused) << name;
    EXPECT_EQ(result.target, SnapshotTargetKind::kOtherFile) << name;
    EXPECT_EQ(test::ReadFileBytes(dir_ / name), text) << name;
  }
}

#ifndef _WIN32
// Symbolic links are the POSIX file systems' own.
TEST_F(SnapshotTargets, ALoopOfLinksIsRefusedAndStaysALoop) {
  fs::create_symlink("b.TWBKF", dir_ / "a.TWBKF");
  fs::create_symlink("a.TWBKF", dir_ / "b.TWBKF");
  for (const bool force : {false, true}) {
    const auto result = Write(dir_ / "a.TWBKF", force);
    EXPECT_EQ(result.status, SnapshotWriteStatus::kRefused);
    EXPECT_EQ(result.target, SnapshotTargetKind::kNotRegular);
  }
  EXPECT_TRUE(fs::is_symlink(dir_ / "a.TWBKF"));
  EXPECT_EQ(fs::read_symlink(dir_ / "a.TWBKF"), "b.TWBKF");
}
#endif

TEST_F(SnapshotTargets, AFolderFailsWithTheReasonOfTheFailure) {
  fs::create_directory(dir_ / "taken.TWBKF");
  for (const fs::path& target : {dir_ / "taken.TWBKF", dir_.Path(), fs::path(".")}) {
    const auto result = Write(target, true);
    EXPECT_EQ(result.status, SnapshotWriteStatus::kFailed) << target;
    EXPECT_NE(result.error.find("Is a directory"), std::string::npos) << result.error;
  }
  const auto missing = Write(dir_ / "no-such-folder" / "s.TWBKF");
  EXPECT_EQ(missing.status, SnapshotWriteStatus::kFailed);
  EXPECT_NE(missing.error.find("No such file or directory"), std::string::npos) << missing.error;
  EXPECT_EQ(Write("").status, SnapshotWriteStatus::kFailed);
  EXPECT_TRUE(fs::is_directory(dir_ / "taken.TWBKF"));
  EXPECT_EQ(EntriesIn(dir_.Path()), 2u);  // the BKF file and the folder
}

TEST(ReplacingFile, HasNoNameUntilCommittedAndLeavesNothingWhenAbandoned) {
  TempDir dir;
  const fs::path target = dir / "s.TWBKF";
  test::WriteFileBytes(target, "old");
  int error = 0;
  {
    ReplacingFile file(target, error);
    ASSERT_TRUE(file.IsOpen()) << error;
    ASSERT_TRUE(file.Write("new but never finished", error));
#ifndef _WIN32
    // A process killed now leaves only the old target behind.
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
#endif
  }
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);
  EXPECT_EQ(test::ReadFileBytes(target), "old");

  ReplacingFile file(target, error);
  ASSERT_TRUE(file.Write("new", error));
  ASSERT_TRUE(file.Commit(error)) << error;
  EXPECT_EQ(test::ReadFileBytes(target), "new");
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);

  ReplacingFile fresh(dir / "fresh", error);
  ASSERT_TRUE(fresh.Write("made", error));
  ASSERT_TRUE(fresh.Commit(error)) << error;
  EXPECT_EQ(test::ReadFileBytes(dir / "fresh"), "made");
  EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}

TEST(ReplacingFile, AProcessKilledWhileWritingLeavesNothingBehind) {
  TempDir dir;
  const fs::path target = dir / "s.TWBKF";
  test::WriteFileBytes(target, "old");
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // _Exit runs no destructor: the system alone closes the files, as when
  // the process is killed.
  EXPECT_EXIT(
      {
        int error = 0;
        ReplacingFile file(target, error);
        if (file.IsOpen() && file.Write("new but never finished", error)) std::_Exit(3);
        std::_Exit(4);
      },
      ::testing::ExitedWithCode(3), "");
  EXPECT_EQ(EntriesIn(dir.Path()), 1u);
  EXPECT_EQ(test::ReadFileBytes(target), "old");
}

TEST(SnapshotEncoding, SnapshotsInOtherEncodingsAreToldApartFromBackupsAndNativeSnapshots) {
  TempDir dir;
  const auto looks = [&](const std::string& bytes) {
    test::WriteFileBytes(dir / "f", bytes);
    return std::pair{LooksLikeSnapshotInOtherEncoding(dir / "f"), LooksLikeSnapshot(dir / "f")};
  };
  const std::string line = "<C:\\backup.bkf>\r\n<3>\r\n";
  std::string be;
  for (const char c : line) be += std::string{'\0', c};
  EXPECT_EQ(looks(line), std::pair(true, false));
  EXPECT_EQ(looks("\xEF\xBB\xBF" + line), std::pair(true, false));
  EXPECT_EQ(looks(be), std::pair(true, false));
  EXPECT_EQ(looks("\xFE\xFF" + be), std::pair(true, false));
  EXPECT_EQ(looks(Le(u"<C:\\backup.bkf>\r\n")), std::pair(false, true));
  EXPECT_EQ(looks(std::string("TAPE\0\0", 6) + line), std::pair(false, false));
  EXPECT_EQ(looks("<no closing bracket\r\n"), std::pair(false, false));
}

#ifndef _WIN32
// A FIFO.
TEST(SnapshotEncoding, APipeIsNeverOpened) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  EXPECT_FALSE(LooksLikeSnapshot(dir / "pipe"));
  EXPECT_FALSE(LooksLikeSnapshotInOtherEncoding(dir / "pipe"));
  class NoQuestions : public SnapshotLoadObserver {
    std::optional<std::u16string> LocateMissingBkf(std::u16string_view) override { return std::nullopt; }
  } observer;
  Catalogue catalogue;
  EXPECT_EQ(LoadSnapshot(dir / "pipe", catalogue, observer).status, SnapshotLoadStatus::kOpenFailed);
}
#endif

}  // namespace
}  // namespace tallowin
