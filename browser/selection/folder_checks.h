// The check state of every folder-tree node, kept beside the tree: the tree
// itself belongs to the catalogue and knows nothing of check boxes. The
// values are those of the tree's state images.
#pragma once

#include <cstdint>
#include <vector>

#include "catalog/folder_tree.h"

namespace tallowin {

enum class CheckState : std::uint8_t { kUnchecked = 1, kChecked = 2, kPartlyChecked = 3 };

class FolderChecks {
 public:
  // A node that was never given a state is unchecked, as every new node is.
  CheckState State(FolderId node) const {
    return node >= 0 && static_cast<std::size_t>(node) < states_.size() ? states_[node]
                                                                         : CheckState::kUnchecked;
  }
  void Set(FolderId node, CheckState state);
  // The end of a scan or load: all `nodeCount` nodes checked.
  void CheckAll(std::int32_t nodeCount);
  void Clear() { states_.clear(); }

 private:
  std::vector<CheckState> states_;
};

}  // namespace tallowin
