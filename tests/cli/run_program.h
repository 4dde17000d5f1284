// Runs twbkf as a child process and collects what it prints.
#pragma once

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
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

// `environment` entries ("NAME=value") are added to the test's own.
// `whileRunning`, when given, is called with the child's pid once it started.
inline ProgramResult RunProgram(const std::vector<std::string>& arguments,
                                const std::vector<std::string>& environment = {},
                                const std::function<void(pid_t)>& whileRunning = {}) {
  int outPipe[2], errPipe[2];
  if (::pipe(outPipe) != 0 || ::pipe(errPipe) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
  posix_spawn_file_actions_addclose(&actions, outPipe[0]);
  posix_spawn_file_actions_addclose(&actions, errPipe[0]);

  std::vector<char*> argv;
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  std::vector<std::string> env(environment);
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry(*e);
    const auto name = entry.substr(0, entry.find('=') + 1);
    const bool replaced = std::any_of(environment.begin(), environment.end(),
                                      [&](const std::string& own) { return own.starts_with(name); });
    if (!replaced) env.push_back(entry);
  }
  std::vector<char*> envp;
  for (auto& entry : env) envp.push_back(entry.data());
  envp.push_back(nullptr);

  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  ProgramResult result;
  if (spawned != 0) {
    ::close(outPipe[0]);
    ::close(errPipe[0]);
    return result;
  }
  const auto drain = [](int fd, std::string& into) {
    char buffer[65536];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;) into.append(buffer, static_cast<std::size_t>(got));
    ::close(fd);
  };
  std::thread errReader(drain, errPipe[0], std::ref(result.err));
  std::thread action;
  if (whileRunning) action = std::thread(whileRunning, pid);
  drain(outPipe[0], result.out);
  errReader.join();
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (action.joinable()) action.join();
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

}  // namespace tallowin::test
