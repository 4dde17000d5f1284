#pragma once

namespace tallowin::cli {

enum ExitCode : int {
  kExitSuccess = 0,
  kExitUsage = 1,
  kExitSourceUnreadable = 2,  // the source cannot be opened or read
  kExitNoData = 3,
  kExitIncomplete = 4,  // something could not be saved completely
  kExitInterrupted = 130,  // Ctrl-C before any result
};

}  // namespace tallowin::cli
