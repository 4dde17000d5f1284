// The BKF file on disk: read-only, exclusive, 64-bit reads.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <future>
#include <fstream>
#include <string>
#include <vector>

#include "engine/bkf_file.h"
#include "tests/support/test_files.h"

namespace tallowin {
namespace {

using test::TempDir;

std::string Read(CBkfFile& file, std::uint64_t offset, std::size_t count) {
  std::vector<std::byte> buffer(count);
  const std::size_t got = file.ReadAt(offset, buffer);
  return {reinterpret_cast<const char*>(buffer.data()), got};
}

#ifdef __linux__
// The access mode of this process's descriptor for `path`, or -1.
int AccessModeOf(const std::filesystem::path& path) {
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    if (std::filesystem::read_symlink(entry.path(), error) != path) continue;
    std::ifstream info("/proc/self/fdinfo/" + entry.path().filename().string());
    std::string key;
    while (info >> key) {
      if (key == "flags:") {
        std::string octal;
        info >> octal;
        return static_cast<int>(std::stol(octal, nullptr, 8)) & O_ACCMODE;
      }
    }
  }
  return -1;
}
#endif

TEST(BkfFile, OpensAReadOnlyFileAndNeverAsksForWriteAccess) {
  TempDir dir;
  const auto path = dir / "readonly.bkf";
  test::WriteFileBytes(path, "0123456789");
  std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read);
  CBkfFile file;
  ASSERT_TRUE(file.Open(path));
  EXPECT_TRUE(file.IsOpen());
  EXPECT_EQ(file.GetSize(), 10u);
  EXPECT_EQ(Read(file, 3, 4), "3456");
  EXPECT_EQ(Read(file, 8, 10), "89");  // a read stops at the end of the file
  EXPECT_EQ(Read(file, std::uint64_t{1} << 40, 10), "");
#ifdef __linux__
  // Permissions do not bind a privileged user, so look at the descriptor itself.
  EXPECT_EQ(AccessModeOf(std::filesystem::canonical(path)), O_RDONLY);
#endif
}

TEST(BkfFile, SecondOpenFailsWhileTheFirstHoldsTheFile) {
  TempDir dir;
  const auto path = dir / "backup.bkf";
  test::WriteFileBytes(path, std::string(2048, 'b'));
  CBkfFile first, second;
  ASSERT_TRUE(first.Open(path));
  EXPECT_FALSE(second.Open(path));
  EXPECT_FALSE(second.IsOpen());
  EXPECT_EQ(OpenBkfFile(path), nullptr);
  first.Close();
  EXPECT_FALSE(first.IsOpen());
  EXPECT_TRUE(second.Open(path));
  // Opening another file gives up the first one, and its lock.
  test::WriteFileBytes(dir / "other.bkf", "x");
  ASSERT_TRUE(second.Open(dir / "other.bkf"));
  EXPECT_TRUE(first.Open(path));
}

TEST(BkfFile, DirectoryOrMissingFileDoesNotOpen) {
  TempDir dir;
  CBkfFile file;
  EXPECT_FALSE(file.Open(dir.Path()));
  EXPECT_FALSE(file.Open(dir / "missing.bkf"));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(file.GetSize(), 0u);
  EXPECT_EQ(Read(file, 0, 10), "");
}

#ifndef _WIN32
// A FIFO; Windows has a test of its own for its named pipes.
TEST(BkfFile, NamedPipeIsRefusedWithoutWaitingForAWriter) {
  TempDir dir;
  const auto fifo = dir / "pipe.bkf";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto opened = std::async(std::launch::async, [&] { return CBkfFile().Open(fifo); });
  const bool returned = opened.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
  if (!returned) {  // give the stuck open its writer, so that the test can end
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    opened.wait();
    ::close(writer);
  }
  EXPECT_TRUE(returned) << "Open waited for a writer to the pipe";
  EXPECT_FALSE(opened.get());
}
#endif

#ifndef _WIN32
// Every refusal names its cause, so that no front end has to guess it.
TEST(BkfFileOpenError, EachRefusalNamesItsCause) {
  TempDir dir;
  const auto path = dir / "backup.bkf";
  test::WriteFileBytes(path, std::string(2048, 'b'));
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  EXPECT_EQ(WhyBkfNotOpened(dir.Path()).message(), "Is a directory");
  EXPECT_EQ(WhyBkfNotOpened(dir / "missing.bkf").message(), "No such file or directory");
  EXPECT_EQ(WhyBkfNotOpened("/dev/null").message(), "not a regular file or disk");
  EXPECT_EQ(WhyBkfNotOpened(dir / "pipe").message(), "not a regular file or disk");
  CBkfFile holder;
  ASSERT_TRUE(holder.Open(path));
  EXPECT_EQ(WhyBkfNotOpened(path).message(), "in use by another program");
  holder.Close();
  EXPECT_FALSE(WhyBkfNotOpened(path));
  // A failure is forgotten by the next open that succeeds.
  CBkfFile file;
  EXPECT_FALSE(file.Open(dir.Path()));
  EXPECT_TRUE(file.OpenError());
  ASSERT_TRUE(file.Open(path));
  EXPECT_FALSE(file.OpenError());
}

TEST(BkfFileOpenError, AFileThatMayNotBeReadSaysSo) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may read every file";
  TempDir dir;
  const auto path = dir / "private.bkf";
  test::WriteFileBytes(path, "x");
  ::chmod(path.c_str(), 0);
  EXPECT_EQ(WhyBkfNotOpened(path).message(), "Permission denied");
}

#endif

}  // namespace
}  // namespace tallowin
