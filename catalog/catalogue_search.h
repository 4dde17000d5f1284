// Finding catalogue rows by a name pattern. The pattern is matched against
// the whole catalogue path with the program's own wildcard rules, which are
// not those of a shell glob: a pattern without wildcards is a substring
// search; with wildcards it is anchored at the start of the path unless it
// begins with "*"; text after the last "*" must end the path; a "?" stands
// for one character at the end of the pattern or before the first "*".
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "catalog/catalogue.h"

namespace tallowin {

// Set from another thread to end a search; the matcher also gives up on them.
struct SearchFlags {
  std::atomic<bool> stop{false};
  std::atomic<bool> closing{false};

  bool Halted() const { return stop.load(std::memory_order_relaxed) || closing.load(std::memory_order_relaxed); }
};

bool MatchCataloguePath(std::u16string_view path, std::u16string_view pattern,
                        const SearchFlags* flags = nullptr);

class SearchObserver {
 public:
  virtual ~SearchObserver() = default;
  // Before row `row` is matched: (100 x row) / rows.
  virtual void OnSearchProgress(int percent) { (void)percent; }
  // A match: its row, catalogue path and size text, and the count so far.
  virtual void OnSearchMatch(RowIndex row, std::u16string_view path, std::u16string_view size,
                             std::uint64_t found) = 0;
};

// Walks the rows in order (the row count is read once), until the end or
// until a flag is set. Returns how many rows matched.
std::uint64_t SearchCatalogue(const Catalogue& catalogue, std::u16string_view pattern,
                              const SearchFlags& flags, SearchObserver& observer);

}  // namespace tallowin
