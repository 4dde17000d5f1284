#include "catalog/folder_tree.h"

#include <memory>

#include "catalog/same_text.h"

namespace tallowin {

const std::vector<FolderId>& FolderTree::Children(FolderId node) const {
  return node == kNoFolder ? topLevel_ : nodes_[node]->children;
}

FolderId FolderTree::FindChild(FolderId parent, std::u16string_view name) const {
  const auto found = index_.find({parent, name});
  return found == index_.end() ? kNoFolder : found->second;
}

FolderId FolderTree::AddChild(FolderId parent, std::u16string_view name) {
  auto& siblings = parent == kNoFolder ? topLevel_ : nodes_[parent]->children;
  const auto id = static_cast<FolderId>(nodes_.size());
  nodes_.push_back(std::make_unique<Node>(
      Node{std::u16string(name), parent, static_cast<std::int32_t>(siblings.size()), {}}));
  siblings.push_back(id);
  index_.emplace(ChildKey{parent, nodes_.back()->name}, id);
  return id;
}

FolderId FolderTree::EnsurePath(std::u16string_view path) {
  const auto lastSlash = path.rfind(u'\\');
  if (lastSlash == std::u16string_view::npos) return kNoFolder;
  const auto folders = path.substr(0, lastSlash + 1);
  if (lastEnd_ != kNoFolder && SameText(folders, lastFolders_)) return lastEnd_;

  FolderId level = kNoFolder;
  std::size_t start = 0;
  while (start < folders.size()) {
    const auto end = folders.find(u'\\', start);
    const auto name = folders.substr(start, end - start);
    FolderId node = FindChild(level, name);
    if (node == kNoFolder) node = AddChild(level, name);
    level = node;
    start = end + 1;
  }
  lastFolders_.assign(folders);
  lastEnd_ = level;
  return level;
}

void FolderTree::Rename(FolderId node, std::u16string_view name) {
  const FolderId parent = nodes_[node]->parent;
  const auto& siblings = Children(parent);
  // The keys view the names, so every key of the family is made again, in
  // child order: the first child of a name is the one that is found.
  for (FolderId sibling : siblings) index_.erase({parent, nodes_[sibling]->name});
  nodes_[node]->name.assign(name);
  for (FolderId sibling : siblings) index_.emplace(ChildKey{parent, nodes_[sibling]->name}, sibling);
  lastFolders_.clear();
  lastEnd_ = kNoFolder;
}

void FolderTree::Clear() {
  index_.clear();
  topLevel_.clear();
  nodes_.clear();
  lastFolders_.clear();
  lastEnd_ = kNoFolder;
}

}  // namespace tallowin
