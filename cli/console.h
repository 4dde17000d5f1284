// What the command line needs from the system around it, alike on every
// platform: its arguments as UTF-8, standard output that carries exactly the
// bytes written, and whether a person watches standard error.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tallowin::cli {

// The arguments as UTF-8 (on Windows from the UTF-16 command line; elsewhere
// the bytes as given).
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Standard output and error pass bytes unchanged (no line-end translation),
// and a console shows them as UTF-8; undone when the program ends.
void PrepareStandardStreams();

// True when standard output is a terminal, where a person reads it.
bool StandardOutputIsTerminal();
// True when standard error is a terminal that can redraw a progress line.
bool StandardErrorIsTerminal();
// The width of that terminal in columns; 0 when it does not say.
std::size_t StandardErrorColumns();

}  // namespace tallowin::cli
