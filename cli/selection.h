// Which files of the catalogue a command works on, chosen as archive tools
// choose them: paths named after SOURCE or read from a file (a file, or a
// folder and everything below it), patterns that keep (--match) and leave
// out (--exclude), all with "/" or "\" between folders, and with or without
// regard to case.
#pragma once

#include <string>
#include <vector>

#include "catalog/catalogue.h"

namespace tallowin::cli {

struct Selection {
  std::vector<std::string> paths;     // catalogue paths of files or folders
  std::vector<std::string> matches;   // the program's own patterns
  std::vector<std::string> excludes;  // ... of files left out
  bool ignoreCase = false;

  bool ChoosesAll() const { return paths.empty() && matches.empty() && excludes.empty(); }
};

// Reads one path a line ("-": standard input) and adds them to `paths`;
// false with the reason when the file cannot be read.
bool ReadPathList(const std::string& file, std::vector<std::string>& paths, std::string& reason);

// The paths and --match patterns that chose no row at all, as the user
// wrote them.
struct Unchosen {
  std::vector<std::string> paths;
  std::vector<std::string> patterns;
};

// Checks exactly the chosen rows.
Unchosen CheckChosenRows(Catalogue& catalogue, const Selection& selection);

}  // namespace tallowin::cli
