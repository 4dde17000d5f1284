// twbkf.exe as a Windows user runs it: arguments in any script, output as on
// Linux, Ctrl+Break as the Stop button, the log in the user's own folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "catalog/text_convert.h"
#include "catalog/utf16_bytes.h"
#include "catalog/native_file.h"
#include "tests/cli/run_program_windows.h"
#include "tests/support/mtf_writer.h"
#include "tests/support/test_files.h"

namespace tallowin {
namespace {

namespace fs = std::filesystem;
using test::MtfWriter;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// twbkf.exe of this build, found from where this program lies.
fs::path TwbkfProgram() {
  std::wstring self(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    if (length < self.size()) {
      self.resize(length);
      break;
    }
    self.resize(self.size() * 2);
  }
  return (fs::path(self).parent_path() / TWBKF_FROM_TESTS).lexically_normal();
}

std::string Utf8(const fs::path& path) { return Utf8ForDisplay(Utf16FromPath(path)); }

class TwbkfWindows : public ::testing::Test {
 protected:
  // Runs in the test's folder.
  test::ProgramResult Twbkf(const std::vector<std::wstring>& arguments,
                            const std::function<void(DWORD)>& whileRunning = {}) {
    std::vector<std::wstring> command{TwbkfProgram().native()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return test::RunProgram(command, {L"LOCALAPPDATA=" + dir_.Path().native()}, whileRunning, dir_.Path().native());
  }
  fs::path Bkf(const MtfWriter& writer, const wchar_t* name = L"backup.bkf") {
    writer.WriteTo(dir_.Path() / name);
    return dir_.Path() / name;
  }
  // A sparse file too large to scan in a moment, with `head` at its start.
  // Sparse first: a plain file of that size takes its room on NTFS, and Wine
  // refuses a size beyond the free room.
  fs::path HugeSparseBkf(const MtfWriter& head) {
    const fs::path path = Bkf(head, L"huge.bkf");
    const UniqueNativeFile file(reinterpret_cast<NativeFile>(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
    DWORD returned = 0;
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = LONGLONG{8} << 30;
    const bool made =
        file.IsOpen() &&
        ::DeviceIoControl(reinterpret_cast<HANDLE>(file.Get()), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned,
                          nullptr) &&
        ::SetFileInformationByHandle(reinterpret_cast<HANDLE>(file.Get()), FileEndOfFileInfo, &end, sizeof end);
    EXPECT_TRUE(made) << ::GetLastError();
    return path;
  }
  static MtfWriter TwoFiles() {
    MtfWriter writer;
    writer.Tape().DataSet(u"Daily").Directory(u"Docs");
    writer.File({.name = u"a.txt", .data = "alpha"}).File({.name = u"Grüße.doc", .data = std::string(3000, 'b')});
    return writer;
  }

  test::TempDir dir_;
};

// Sends Ctrl+Break, as a console does, to the child's own process group
// soon after it started. A system that cannot deliver it (Wine without a
// terminal) has the child ended instead, and the test says so.
class BreakSoon {
 public:
  void operator()(DWORD process) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    delivered_ = ::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, process);
    if (delivered_) return;
    if (const HANDLE child = ::OpenProcess(PROCESS_TERMINATE, FALSE, process)) {
      ::TerminateProcess(child, 1);
      ::CloseHandle(child);
    }
  }
  bool Delivered() const { return delivered_; }

 private:
  std::atomic<bool> delivered_{false};
};

TEST_F(TwbkfWindows, CtrlBreakStopsTheScanAndKeepsWhatWasFound) {
  MtfWriter head;
  head.Tape().DataSet(u"Set").File({.name = u"early.txt", .data = "found before the stop"});
  const fs::path bkf = HugeSparseBkf(head);
  const fs::path snapshot = dir_.Path() / L"s.TWBKF";
  BreakSoon breaker;
  const auto result = Twbkf({L"scan", bkf.native(), L"--snapshot", snapshot.native()}, std::ref(breaker));
  if (!breaker.Delivered()) GTEST_SKIP() << "this system delivers no console events to a process group";
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "File(s) Found : 1\n");
  EXPECT_TRUE(fs::exists(snapshot));
}

TEST_F(TwbkfWindows, CtrlBreakBeforeAnyResultExits130) {
  const fs::path bkf = HugeSparseBkf(MtfWriter().Tape());
  const fs::path snapshot = dir_.Path() / L"s.TWBKF";
  BreakSoon breaker;
  const auto result = Twbkf({L"scan", bkf.native(), L"--snapshot", snapshot.native()}, std::ref(breaker));
  if (!breaker.Delivered()) GTEST_SKIP() << "this system delivers no console events to a process group";
  EXPECT_EQ(result.exitCode, 130);
  EXPECT_FALSE(fs::exists(snapshot));
}

TEST_F(TwbkfWindows, NonAsciiArgumentsReachTheSaveAsTheyWereTyped) {
  const fs::path bkf = Bkf(TwoFiles(), L"Sicherung März.bkf");
  const fs::path destination = dir_.Path() / fs::path(u8"Zielordner Ü");
  fs::create_directories(destination);
  const auto result = Twbkf({L"extract", bkf.native(), L"--to", destination.native(), L"--prefix", L"Rück-", L"--quiet"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  const fs::path folder = destination / fs::path(u8"Rück-BKF");
  EXPECT_EQ(ReadAll(folder / fs::path(u8"BACKUP SET 1(Daily)/Docs/Grüße.doc")), std::string(3000, 'b'));
  EXPECT_NE(result.out.find("Saved into " + Utf8(folder) + "\n"), std::string::npos) << result.out;
}

TEST_F(TwbkfWindows, OutputIsTheSameBytesAsOnLinux) {
  const fs::path bkf = Bkf(TwoFiles());
  const auto list = Twbkf({L"list", bkf.native(), L"--quiet"});
  EXPECT_EQ(list.exitCode, 0) << list.err;
  EXPECT_EQ(list.out,
            "5\t2007-05-12T14:30:45Z\tBKF\\BACKUP SET 1(Daily)\\Docs\\a.txt\n"
            "3000\t2007-05-12T14:30:45Z\tBKF\\BACKUP SET 1(Daily)\\Docs\\Gr\xC3\xBC\xC3\x9F" "e.doc\n");
  const auto json = Twbkf({L"list", bkf.native(), L"--json", L"--quiet"});
  EXPECT_EQ(json.out.find('\r'), std::string::npos);
  EXPECT_NE(json.out.find("\"path\": \"BKF\\\\BACKUP SET 1(Daily)\\\\Docs\\\\Gr\xC3\xBC\xC3\x9F" "e.doc\""),
            std::string::npos)
      << json.out;
}

// The C runtime of MinGW would expand "*.txt" to the names of the files in
// the current folder before the program sees it; no Windows shell does.
TEST_F(TwbkfWindows, APatternReachesTheMatcherUnexpanded) {
  Bkf(TwoFiles());
  test::WriteFileBytes(dir_.Path() / L"unrelated.txt", "a file that the pattern also names");
  const auto result = Twbkf({L"list", L"backup.bkf", L"--match", L"*.txt", L"--quiet"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "5\t2007-05-12T14:30:45Z\tBKF\\BACKUP SET 1(Daily)\\Docs\\a.txt\n");
}

TEST_F(TwbkfWindows, TheLogGoesToLocalAppDataAndItsPlaceIsPrinted) {
  const fs::path bkf = Bkf(TwoFiles());
  const auto result = Twbkf({L"scan", bkf.native(), L"--log", L"--quiet"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  const fs::path log = dir_.Path() / L"TwBkf.log";
  EXPECT_NE(result.out.find("Activity log: " + Utf8(log) + "\n"), std::string::npos) << result.out;
  const std::string written = ReadAll(log);
  EXPECT_EQ(written.rfind(Utf16LeBytes(Utf16FromPath(fs::absolute(bkf)) + u"\r\nSUCC 0001\r\n"), 0), 0u);
}

TEST_F(TwbkfWindows, ANamedPipeIsRefusedAtOnce) {
  const std::wstring name = L"\\\\.\\pipe\\twbkf-test-" + std::to_wstring(::GetCurrentProcessId());
  const HANDLE server = ::CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 4, 4096,
                                           4096, 0, nullptr);
  ASSERT_NE(server, INVALID_HANDLE_VALUE);
  for (const wchar_t* command : {L"list", L"scan"}) {
    const auto result = Twbkf({command, name, L"--quiet"});
    EXPECT_EQ(result.exitCode, 2) << result.out << result.err;
    EXPECT_NE(result.err.find("twbkf: "), std::string::npos);
  }
  ::CloseHandle(server);
}

TEST_F(TwbkfWindows, ExplorerShowsTheProductAndItsVersionAndTheManifestAsksForLongPaths) {
  const std::wstring program = TwbkfProgram().native();
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(program.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<std::byte> info(size);
  ASSERT_TRUE(::GetFileVersionInfoW(program.c_str(), 0, size, info.data()));
  const auto value = [&](const wchar_t* name) {
    void* text = nullptr;
    UINT length = 0;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!::VerQueryValueW(info.data(), query.c_str(), &text, &length)) return std::wstring();
    return std::wstring(static_cast<const wchar_t*>(text));
  };
  EXPECT_EQ(value(L"ProductName"), L"Tallowin for BKF");
  EXPECT_EQ(value(L"ProductVersion"), TWBKF_VERSION_WIDE);
  EXPECT_EQ(value(L"OriginalFilename"), L"twbkf.exe");

  const HMODULE image = ::LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(image, nullptr);
  const HRSRC found = ::FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(found, nullptr);
  const std::string manifest(static_cast<const char*>(::LockResource(::LoadResource(image, found))),
                             ::SizeofResource(image, found));
  ::FreeLibrary(image);
  EXPECT_NE(manifest.find(">true</longPathAware>"), std::string::npos) << manifest;
  EXPECT_NE(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos) << "Windows 10 and 11";
  EXPECT_NE(manifest.find(">UTF-8</activeCodePage>"), std::string::npos);
}

}  // namespace
}  // namespace tallowin
