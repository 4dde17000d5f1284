// The BKF file on Windows: others may read it but never write it, pipes and
// character devices are refused at once, and paths of any length open.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "engine/bkf_file.h"
#include "catalog/windows_files.h"
#include "tests/support/test_files.h"

namespace tallowin {
namespace {

using test::TempDir;

std::string Read(CBkfFile& file, std::uint64_t offset, std::size_t count) {
  std::vector<std::byte> buffer(count);
  const std::size_t got = file.ReadAt(offset, buffer);
  return {reinterpret_cast<const char*>(buffer.data()), got};
}

UniqueNativeFile OpenOther(const std::filesystem::path& path, DWORD access, DWORD sharing) {
  return UniqueNativeFile(reinterpret_cast<NativeFile>(
      ::CreateFileW(path.c_str(), access, sharing, nullptr, OPEN_EXISTING, 0, nullptr)));
}

TEST(BkfFileWindows, OthersMayReadTheWholeFileButNeverWriteIt) {
  TempDir dir;
  const auto path = dir / "backup.bkf";
  test::WriteFileBytes(path, "0123456789");
  CBkfFile file;
  ASSERT_TRUE(file.Open(path));

  EXPECT_FALSE(OpenOther(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE).IsOpen());
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  // The lock that keeps a second copy of this program away lies beyond every
  // byte of the file, so a plain reader reads all of it.
  const UniqueNativeFile reader = OpenOther(path, GENERIC_READ, FILE_SHARE_READ);
  ASSERT_TRUE(reader.IsOpen());
  char bytes[16]{};
  DWORD got = 0;
  ASSERT_TRUE(::ReadFile(reinterpret_cast<HANDLE>(reader.Get()), bytes, sizeof bytes, &got, nullptr));
  EXPECT_EQ(std::string(bytes, got), "0123456789");
  EXPECT_EQ(Read(file, 6, 10), "6789");
}

TEST(BkfFileWindows, AFileThatSomeoneWritesIsNotOpened) {
  TempDir dir;
  const auto path = dir / "busy.bkf";
  test::WriteFileBytes(path, "being written");
  const UniqueNativeFile writer = OpenOther(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_TRUE(writer.IsOpen());
  EXPECT_FALSE(CBkfFile().Open(path));
}

TEST(BkfFileWindows, ANamedPipeIsRefusedWithoutWaitingForItsServer) {
  const std::wstring name = L"\\\\.\\pipe\\tallowin-test-" + std::to_wstring(::GetCurrentProcessId());
  const UniqueNativeFile server(reinterpret_cast<NativeFile>(::CreateNamedPipeW(
      name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 2, 4096, 4096, 0, nullptr)));
  ASSERT_TRUE(server.IsOpen());
  auto opened = std::async(std::launch::async, [&] { return CBkfFile().Open(std::filesystem::path(name)); });
  ASSERT_EQ(opened.wait_for(std::chrono::seconds(10)), std::future_status::ready) << "Open waited on the pipe";
  EXPECT_FALSE(opened.get());
  EXPECT_FALSE(CBkfFile().Open(std::filesystem::path(name + L"-nobody")));
}

TEST(BkfFileWindows, CharacterDevicesAreRefused) {
  for (const wchar_t* device : {L"NUL", L"\\\\.\\NUL", L"CONIN$"}) {
    EXPECT_FALSE(CBkfFile().Open(std::filesystem::path(device))) << std::filesystem::path(device);
  }
}

TEST(BkfFileWindows, APathLongerThan260CharactersOpens) {
  TempDir dir;
  std::filesystem::path deep = dir.Path();
  for (int level = 0; level < 6; ++level) {
    deep /= std::wstring(60, static_cast<wchar_t>(L'a' + level));
    ASSERT_TRUE(::CreateDirectoryW(ExtendedLengthPath(deep).c_str(), nullptr)) << ::GetLastError();
  }
  const std::filesystem::path path = deep / L"backup.bkf";
  ASSERT_GT(path.native().size(), 260u);
  {
    const UniqueNativeFile made(reinterpret_cast<NativeFile>(::CreateFileW(
        ExtendedLengthPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)));
    ASSERT_TRUE(made.IsOpen());
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(reinterpret_cast<HANDLE>(made.Get()), "deep", 4, &written, nullptr));
  }

  CBkfFile file;
  ASSERT_TRUE(file.Open(path));
  EXPECT_EQ(file.GetSize(), 4u);
  EXPECT_EQ(Read(file, 0, 4), "deep");
}

TEST(WindowsPaths, RelativeAndSlashedPathsBecomeFullExtendedOnes) {
  const std::wstring full = ExtendedLengthPath(std::filesystem::path(L"a/b/../c.bkf"));
  EXPECT_TRUE(full.starts_with(LR"(\\?\)")) << std::filesystem::path(full);
  EXPECT_TRUE(full.ends_with(LR"(\a\c.bkf)")) << std::filesystem::path(full);
  EXPECT_EQ(ExtendedLengthPath(std::filesystem::path(LR"(\\server\share\x.bkf)")), LR"(\\?\UNC\server\share\x.bkf)");
  EXPECT_EQ(ExtendedLengthPath(std::filesystem::path(LR"(\\.\PhysicalDrive1)")), LR"(\\.\PhysicalDrive1)");
  EXPECT_EQ(ExtendedLengthPath(std::filesystem::path(LR"(\\?\C:\x)")), LR"(\\?\C:\x)");
  EXPECT_EQ(ExtendedLengthPath({}), L"");
}

TEST(WindowsPaths, DevicePathsStayDevicePathsAndCountAsExisting) {
  const std::filesystem::path drive(LR"(\\.\PhysicalDrive1)");
  EXPECT_EQ(AbsoluteBkfPath(drive), drive);
  EXPECT_TRUE(BkfPathExists(drive));  // the open decides
  const std::filesystem::path relative = AbsoluteBkfPath(std::filesystem::path(L"a/../b.bkf"));
  EXPECT_TRUE(relative.is_absolute()) << relative;
  EXPECT_TRUE(relative.native().ends_with(L"\\b.bkf")) << relative;
  EXPECT_FALSE(relative.native().starts_with(LR"(\\?\)")) << relative;
  EXPECT_EQ(AbsoluteBkfPath(std::filesystem::path(LR"(\\?\UNC\server\share\x.bkf)")),
            std::filesystem::path(LR"(\\server\share\x.bkf)"));
  TempDir dir;
  EXPECT_TRUE(BkfPathExists(dir.Path()));
  EXPECT_FALSE(BkfPathExists(dir / "missing.bkf"));
}

}  // namespace
}  // namespace tallowin
