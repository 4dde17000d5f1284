// The folder tree: one node per folder component, children in order of first
// insertion, found among their siblings by exact, case-sensitive name. Nodes
// are only ever added (or renamed), or removed all together. Not thread-safe on its own;
// the catalogue guards it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tallowin {

using FolderId = std::int32_t;
inline constexpr FolderId kNoFolder = -1;  // the parent of top-level nodes

class FolderTree {
 public:
  // Adds every component of `path` that is followed by a backslash; the text
  // after the last backslash is not a folder. Returns the node of the last
  // folder component, kNoFolder for a path without a backslash. New nodes
  // are numbered on from NodeCount(), parents before their children.
  FolderId EnsurePath(std::u16string_view path);
  void Clear();
  // Gives `node` a new name. Siblings may then share a name; FindChild still
  // finds the first of them in child order.
  void Rename(FolderId node, std::u16string_view name);

  std::int32_t NodeCount() const { return static_cast<std::int32_t>(nodes_.size()); }
  const std::u16string& Name(FolderId node) const { return nodes_[node]->name; }
  FolderId Parent(FolderId node) const { return nodes_[node]->parent; }
  std::int32_t IndexInParent(FolderId node) const { return nodes_[node]->indexInParent; }
  // The children of `node`, or the top-level nodes for kNoFolder.
  const std::vector<FolderId>& Children(FolderId node) const;
  FolderId FindChild(FolderId parent, std::u16string_view name) const;

 private:
  struct Node {
    std::u16string name;
    FolderId parent;
    std::int32_t indexInParent;
    std::vector<FolderId> children;
  };
  struct ChildKey {
    FolderId parent;
    std::u16string_view name;  // views the node's own name
    bool operator==(const ChildKey&) const = default;
  };
  struct ChildKeyHash {
    std::size_t operator()(const ChildKey& key) const {
      return std::hash<std::u16string_view>{}(key.name) * 31 + static_cast<std::size_t>(key.parent);
    }
  };

  FolderId AddChild(FolderId parent, std::u16string_view name);

  // Nodes live in fixed places so that the keys can view their names.
  std::vector<std::unique_ptr<Node>> nodes_;
  std::vector<FolderId> topLevel_;
  std::unordered_map<ChildKey, FolderId, ChildKeyHash> index_;
  // The folder part of the last path ensured, and its node: rows mostly
  // arrive folder by folder.
  std::u16string lastFolders_;
  FolderId lastEnd_ = kNoFolder;
};

}  // namespace tallowin
