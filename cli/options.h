// twbkf's command line as the user typed it: a command, its source and the
// files chosen, and the options, which may stand before or after the command.
#pragma once

#include <optional>
#include <string>

#include "cli/selection.h"

namespace tallowin::cli {

enum class Command { kScan, kList, kExtract, kVerify };

struct Options {
  Command command = Command::kList;
  std::string source;  // the BKF file for scan
  Selection selection;
  std::optional<std::string> filesFrom;
  bool quiet = false;
  bool verbose = false;
  bool json = false;
  bool force = false;
  bool log = false;
  std::optional<std::string> snapshot;
  std::optional<std::string> bkf;  // a moved snapshot's BKF file
  // extract's destination: exactly one of these three.
  std::optional<std::string> to;
  std::optional<std::string> archive;
  bool toStandardOutput = false;
  bool dryRun = false;
  std::string prefix = "Rec";
  int stripComponents = 0;
  bool flat = false;
};

// Fills `options` from the arguments. Nothing when the command is to run;
// otherwise the exit code, after help, the version or a usage error was
// printed.
std::optional<int> ParseOptions(int argc, char** argv, Options& options);

}  // namespace tallowin::cli
