// The folders of the catalogue's rows, each known by a key. A folder text
// ("BKF\BACKUP SET 1(Daily)\Docs") is kept as its last name and the key of
// the folder it lies in, so a folder costs its own name however deep it
// lies, and a path 20,000 folders deep costs its length, not its length
// squared. The same text always has the same key. Not thread-safe on its
// own; the catalogue guards it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tallowin {

using FolderKey = std::uint32_t;
inline constexpr FolderKey kNoFolderKey = UINT32_MAX;  // a path without a backslash

class FolderKeys {
 public:
  // The key of a folder text, made when new: the keys of its parents are
  // made first, so a parent's key is always below its children's.
  FolderKey Intern(std::u16string_view text);
  // The key of the folder `name` (no backslash in it) in `parent`, or of a
  // first component for kNoFolderKey.
  FolderKey InternChild(FolderKey parent, std::u16string_view name);
  // The key of a text that has one; nothing otherwise.
  std::optional<FolderKey> Find(std::u16string_view text) const;

  std::u16string Text(FolderKey key) const;
  // Appends the text of `key` to `out`.
  void AppendText(FolderKey key, std::u16string& out) const;
  FolderKey Parent(FolderKey key) const { return entries_[key].parent; }
  const std::u16string& Name(FolderKey key) const { return entries_[key].name; }
  std::size_t Count() const { return entries_.size(); }
  bool Contains(FolderKey key) const { return key < entries_.size(); }
  void Clear();

 private:
  struct Entry {
    FolderKey parent;
    std::u16string name;
  };
  struct ChildKey {
    FolderKey parent;
    std::u16string_view name;  // views the entry's own name
    bool operator==(const ChildKey&) const = default;
  };
  struct ChildKeyHash {
    std::size_t operator()(const ChildKey& key) const {
      return std::hash<std::u16string_view>{}(key.name) * 31 + key.parent;
    }
  };

  std::deque<Entry> entries_;  // by key; a deque, so the map may view names
  std::unordered_map<ChildKey, FolderKey, ChildKeyHash> children_;
  // A scan interns the same text for every file of a folder.
  std::u16string lastText_;
  FolderKey lastKey_ = kNoFolderKey;
};

}  // namespace tallowin
