// The save's files as a tar or zip archive, written by libarchive: the same
// folders, names and bytes as a save into a folder. Tar archives are pax
// with UTF-8 names, any size, the three times and sparse files as sparse
// entries; zip archives are zip64 where sizes need it, with UTF-8 names.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "save/save_target.h"

namespace tallowin::cli {

class ArchiveTarget : public SaveTarget {
 public:
  // "-" writes a tar stream to standard output; otherwise the kind comes
  // from the name's ending. Null with the reason when it cannot be started:
  // the file is made under a temporary name beside OUT.
  static std::unique_ptr<ArchiveTarget> Open(const std::string& out, std::string& reason);

  // Ends the archive and gives it its name; false with the reason.
  virtual bool Finish(std::string& reason) = 0;
  // Removes what was written (nothing to do for standard output).
  virtual void Abandon() = 0;
};

// Whether the name's ending tells an archive kind that Open knows.
bool KnownArchiveName(const std::string& out);

}  // namespace tallowin::cli
