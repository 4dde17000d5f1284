// Which folders hold, in themselves or below, a file whose verdict is
// trouble (damaged, incomplete or skipped): the tree and the file list mark
// them. Worked out again after each save or verification, from the few rows
// that have trouble, never by a walk per folder.
#pragma once

#include <vector>

#include "save/row_verdicts.h"
#include "catalog/catalogue.h"

namespace tallowin {

class FolderMarks {
 public:
  void Recompute(const Catalogue& catalogue, const RowVerdicts& verdicts);
  void Clear() { troubled_.clear(); }
  bool Troubled(FolderKey folder) const {
    return folder != kNoFolderKey && folder < troubled_.size() && troubled_[folder];
  }
  bool Any() const { return any_; }

 private:
  std::vector<bool> troubled_;  // by folder key
  bool any_ = false;
};

}  // namespace tallowin
