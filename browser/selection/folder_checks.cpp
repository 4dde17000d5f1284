#include "browser/selection/folder_checks.h"

namespace tallowin {

void FolderChecks::Set(FolderId node, CheckState state) {
  if (node < 0) return;
  if (static_cast<std::size_t>(node) >= states_.size()) {
    states_.resize(static_cast<std::size_t>(node) + 1, CheckState::kUnchecked);
  }
  states_[node] = state;
}

void FolderChecks::CheckAll(std::int32_t nodeCount) {
  states_.assign(static_cast<std::size_t>(nodeCount < 0 ? 0 : nodeCount), CheckState::kChecked);
}

}  // namespace tallowin
