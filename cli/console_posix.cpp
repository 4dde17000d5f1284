#include <unistd.h>

#include "cli/console.h"

namespace tallowin::cli {

std::vector<std::string> CommandLineArguments(int argc, char** argv) { return {argv, argv + argc}; }

void PrepareStandardStreams() {}

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace tallowin::cli
