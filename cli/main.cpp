// twbkf: the command line of Tallowin for BKF, over the same core as the
// desktop program.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/exit_codes.h"
#include "cli/interrupt.h"
#include "cli/options.h"

namespace tallowin::cli {
namespace {

// The result of a command, unless its output could not be written in full
// (a full disk, a closed pipe): then that is reported and the exit code is 4.
int WithOutputChecked(int exitCode) {
  if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0) return exitCode;
  const int error = errno != 0 ? errno : EIO;
  std::fprintf(stderr, "%s%s%s\n", texts::kProgram.data(), texts::kOutputFailed.data(),
               std::generic_category().message(error).c_str());
  return exitCode == kExitSuccess ? kExitIncomplete : exitCode;
}

int Run(int argc, char** argv) {
  Options options;
  if (const auto done = ParseOptions(argc, argv, options)) return WithOutputChecked(*done);
  CatchInterrupt();
  switch (options.command) {
    case Command::kScan: return WithOutputChecked(RunScan(options));
    case Command::kList: return WithOutputChecked(RunList(options));
    case Command::kExtract: return WithOutputChecked(RunExtract(options));
    case Command::kVerify: return WithOutputChecked(RunVerify(options));
  }
  return kExitUsage;
}

}  // namespace
}  // namespace tallowin::cli

int main(int argc, char** argv) {
#ifdef SIGXFSZ
  // A write beyond the file-size limit fails with its reason instead of
  // killing the program in the middle of a save.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  tallowin::cli::PrepareStandardStreams();
  try {
    std::vector<std::string> arguments = tallowin::cli::CommandLineArguments(argc, argv);
    std::vector<char*> pointers;
    for (std::string& argument : arguments) pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    return tallowin::cli::Run(static_cast<int>(arguments.size()), pointers.data());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s%s\n", tallowin::cli::texts::kProgram.data(), e.what());
  } catch (...) {
    std::fprintf(stderr, "%s%s\n", tallowin::cli::texts::kProgram.data(), tallowin::cli::texts::kUnexpectedError.data());
  }
  return tallowin::cli::kExitSourceUnreadable;
}
