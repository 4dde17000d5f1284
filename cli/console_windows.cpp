// The console on Windows: the UTF-16 command line, UTF-8 output, binary
// standard streams, and a progress line drawn with the console's own
// terminal sequences.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>

#include "catalog/text_convert.h"
#include "cli/console.h"

namespace tallowin::cli {
namespace {

UINT originalOutputPage = 0;
bool terminalSequences = false;

void RestoreOutputPage() { ::SetConsoleOutputCP(originalOutputPage); }

}  // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return {argv, argv + argc};
  std::vector<std::string> arguments;
  arguments.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const std::wstring_view argument(wide[i]);
    arguments.push_back(Utf8ForDisplay(std::u16string(argument.begin(), argument.end())));
  }
  ::LocalFree(wide);
  return arguments;
}

void PrepareStandardStreams() {
  // "\n" stays one byte, so that output is the same as on other systems.
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
  // The console's code page outlives the program: it is put back at exit.
  originalOutputPage = ::GetConsoleOutputCP();
  if (originalOutputPage != 0 && originalOutputPage != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8)) {
    std::atexit(RestoreOutputPage);
  }
  const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  terminalSequences = error != INVALID_HANDLE_VALUE && ::GetConsoleMode(error, &mode) &&
                      ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
                       ::SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING));
}

// A console without terminal sequences (before Windows 10) gets no progress
// line rather than a garbled one.
bool StandardOutputIsTerminal() {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

bool StandardErrorIsTerminal() { return terminalSequences; }

std::size_t StandardErrorColumns() {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!::GetConsoleScreenBufferInfo(::GetStdHandle(STD_ERROR_HANDLE), &info)) return 0;
  return static_cast<std::size_t>(info.srWindow.Right - info.srWindow.Left + 1);
}

}  // namespace tallowin::cli
