// A twbkf built without libarchive (the Windows build made here): asked for
// an archive, it says that it writes none.
#include "cli/archive_target.h"
#include "cli/cli_texts.h"

namespace tallowin::cli {

std::unique_ptr<ArchiveTarget> ArchiveTarget::Open(const std::string&, std::string& reason) {
  reason = texts::kNoArchives;
  return nullptr;
}

bool KnownArchiveName(const std::string&) { return true; }

}  // namespace tallowin::cli
