// The copies of files that the user opens or drags out of the lists. Each
// is saved by the save's own code into a temporary folder of the program's
// own, which only its user may enter and which goes, with everything in it,
// when the program ends. A file is saved once for each catalogue; opened
// again, its copy is reused as long as it is there.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <unordered_map>

#include "catalog/catalogue.h"

class QTemporaryDir;

namespace tallowin {

class PrivateCopies {
 public:
  PrivateCopies();
  ~PrivateCopies();

  // The folder, made when first asked for; nothing when it cannot be made.
  std::optional<std::filesystem::path> Folder();
  // The copy of `row` made for this catalogue, if it is still there.
  std::optional<std::filesystem::path> Find(RowIndex row) const;
  void Keep(RowIndex row, const std::filesystem::path& copy);
  // The catalogue was emptied: its rows' copies are not reused (their files
  // stay until the program ends).
  void Forget() { copies_.clear(); }

 private:
  std::unique_ptr<QTemporaryDir> folder_;
  std::unordered_map<RowIndex, std::filesystem::path> copies_;
};

}  // namespace tallowin
