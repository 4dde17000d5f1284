// Runs twbkf.exe as a child process on Windows and collects what it prints.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tallowin::test {

struct ProgramResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// One argument as CommandLineToArgvW and the C runtime read it back.
inline std::wstring QuotedArgument(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

// `environment` entries ("NAME=value") are added to the test's own; the
// child starts in `workingFolder`, or in the test's own folder. The
// child runs in a process group of its own, so that `whileRunning` (given
// its process id once it started) can send it Ctrl+Break alone.
inline ProgramResult RunProgram(const std::vector<std::wstring>& arguments,
                                const std::vector<std::wstring>& environment = {},
                                const std::function<void(DWORD)>& whileRunning = {},
                                const std::wstring& workingFolder = {}) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
  if (!::CreatePipe(&outRead, &outWrite, &inherit, 0) || !::CreatePipe(&errRead, &errWrite, &inherit, 0)) return {};
  ::SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  ::SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);

  std::wstring commandLine;
  for (const auto& argument : arguments) commandLine += (commandLine.empty() ? L"" : L" ") + QuotedArgument(argument);
  std::vector<std::wstring> entries(environment);
  if (wchar_t* own = ::GetEnvironmentStringsW()) {
    for (const wchar_t* entry = own; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
      const std::wstring text(entry);
      const auto name = text.substr(0, text.find(L'=', 1) + 1);
      const bool replaced = std::any_of(environment.begin(), environment.end(), [&](const std::wstring& mine) {
        return ::CompareStringOrdinal(mine.c_str(), static_cast<int>(name.size()), name.c_str(),
                                      static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
      });
      if (!replaced) entries.push_back(text);
    }
    ::FreeEnvironmentStringsW(own);
  }
  std::wstring block;
  for (const auto& entry : entries) block += entry + L'\0';
  block += L'\0';

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = outWrite;
  startup.hStdError = errWrite;
  PROCESS_INFORMATION process{};
  const bool started = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_UNICODE_ENVIRONMENT | CREATE_NEW_PROCESS_GROUP, block.data(),
                                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &process);
  ::CloseHandle(outWrite);
  ::CloseHandle(errWrite);
  ProgramResult result;
  if (!started) {
    ::CloseHandle(outRead);
    ::CloseHandle(errRead);
    return result;
  }
  const auto drain = [](HANDLE from, std::string& into) {
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(from, buffer, sizeof buffer, &got, nullptr) && got > 0) into.append(buffer, got);
    ::CloseHandle(from);
  };
  std::thread errReader(drain, errRead, std::ref(result.err));
  std::thread action;
  if (whileRunning) action = std::thread(whileRunning, process.dwProcessId);
  drain(outRead, result.out);
  errReader.join();
  ::WaitForSingleObject(process.hProcess, INFINITE);
  if (action.joinable()) action.join();
  DWORD code = 0;
  ::GetExitCodeProcess(process.hProcess, &code);
  result.exitCode = static_cast<int>(code);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return result;
}

}  // namespace tallowin::test
