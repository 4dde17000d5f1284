// twbkf's four commands over the core that the desktop program uses too.
// Each returns the exit code (cli/exit_codes.h); results go to standard
// output, problems to standard error.
#pragma once

#include "cli/options.h"

namespace tallowin::cli {

int RunScan(const Options& options);
int RunList(const Options& options);
int RunExtract(const Options& options);
int RunVerify(const Options& options);

}  // namespace tallowin::cli
