// Finding catalogue rows by a name pattern. The pattern is matched against
// the whole catalogue path with the program's own wildcard rules, which are
// not those of a shell glob: a pattern without wildcards is a substring
// search; with wildcards it is anchored at the start of the path unless it
// begins with "*"; text after the last "*" must end the path; a "?" stands
// for one character at the end of the pattern or before the first "*".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <stop_token>

#include "catalog/catalogue.h"
#include "catalog/job_progress.h"

namespace tallowin {

// A long match gives up, false, once `stop` is requested.
bool MatchCataloguePath(std::u16string_view path, std::u16string_view pattern,
                        const std::stop_token& stop = {});

// Progress (JobProgress): before each row is matched, the rows before it of
// the rows there are.
class SearchObserver : public JobObserver {
 public:
  // A match: its row, catalogue path and size text, and the count so far.
  virtual void OnSearchMatch(RowIndex row, std::u16string_view path, std::u16string_view size,
                             std::uint64_t found) = 0;
};

// Walks the rows in order (the row count is read once), until the end or
// until `stop` is requested. Returns how many rows matched.
std::uint64_t SearchCatalogue(const Catalogue& catalogue, std::u16string_view pattern,
                              SearchObserver& observer, std::stop_token stop = {});

}  // namespace tallowin
