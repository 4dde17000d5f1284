// Ctrl-C as the Stop button: the first one asks the running job to stop and
// keep what it has; a second one ends the program at once.
#pragma once

namespace tallowin::cli {

void CatchInterrupt();
// Ctrl-C has come.
bool Interrupted();

}  // namespace tallowin::cli
