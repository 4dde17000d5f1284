#include "catalog/catalogue_search.h"

namespace tallowin {
namespace {

constexpr auto kNotFound = std::u16string_view::npos;

bool EndsWith(std::u16string_view text, std::u16string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

bool Halted(const SearchFlags* flags) { return flags != nullptr && flags->Halted(); }

}  // namespace

bool MatchCataloguePath(std::u16string_view path, std::u16string_view pattern,
                        const SearchFlags* flags) {
  if (path.empty() || pattern.empty()) return false;
  const bool hasStar = pattern.find(u'*') != kNotFound;
  if (!hasStar && path.size() < pattern.size()) return false;
  if (pattern == u"*") return true;
  if (pattern == u"*.*") return path.find(u'.') != kNotFound;
  if (!hasStar && pattern.find(u'?') == kNotFound) return path.find(pattern) != kNotFound;

  // Two or more trailing stars count as one.
  while (pattern.size() >= 2 && pattern.ends_with(u"**")) {
    if (Halted(flags)) return false;
    pattern.remove_suffix(1);
  }

  const std::size_t length = pattern.size();
  std::size_t j = 0;  // position in the pattern
  std::size_t i = 0;  // position in the path
  std::u16string run;  // the literal text met since the last "*"
  bool afterStar = false;
  while (j < length) {
    if (Halted(flags)) return false;
    const char16_t x = pattern[j];
    if (x == u'*') {
      run.clear();
      afterStar = true;
      if (j == length - 1) return true;
      char16_t c = pattern[j + 1];
      if (c == u'*' || c == u'?') {
        ++j;
        while (j < length && (pattern[j] == u'*' || pattern[j] == u'?')) {
          if (Halted(flags)) return false;
          ++j;
        }
        if (j == length) return true;
        c = pattern[j];
        if (j == length - 1) return path.back() == c;
        --j;
      }
      ++i;
      if (i < path.size()) {
        ++j;
      } else if (j + 1 < length) {
        return j + 2 == length && pattern[j] == u'*' &&
               path.find(c, j + 1) != kNotFound;
      } else {
        ++j;
      }
    } else if (x == u'?') {
      if (j == length - 1) {
        std::u16string tail(path.substr(path.size() - std::min(path.size(), run.size() + 1)));
        tail.back() = u'?';
        return tail == run + u'?';
      }
      if (i + 1 > length && j + 1 < length) return false;
      if (j + 2 < length && i + 1 >= path.size()) return false;
      ++i;
      ++j;
    } else if (!afterStar) {
      if (j >= path.size() || i >= path.size() || path[i] != x) return false;
      ++i;
      ++j;
    } else if (i < path.size() && path[i] == x) {
      if (j + 2 < length && i + 1 >= path.size()) return false;
      if (j == length - 1) return EndsWith(path, run + x);
      run += x;
      ++i;
      ++j;
    } else {
      run += x;
      if (j == length - 1) return EndsWith(path, run);
      const std::size_t found = i == 0 || i - 1 >= path.size() ? kNotFound : path.find(run, i - 1);
      if (found == kNotFound) return false;
      i = found + run.size() - 1;
      if (i + 1 >= path.size()) return false;
      ++i;
      ++j;
    }
  }
  return true;
}

std::uint64_t SearchCatalogue(const Catalogue& catalogue, std::u16string_view pattern,
                              const SearchFlags& flags, SearchObserver& observer) {
  const RowIndex rows = catalogue.CatalogueRowCount();
  std::uint64_t found = 0;
  for (RowIndex row = 0; row < rows; ++row) {
    if (flags.Halted()) break;
    observer.OnSearchProgress(static_cast<int>(std::int64_t{100} * row / rows));
    const std::u16string path = catalogue.GetCatalogueCell(row, kCellPath);
    if (!MatchCataloguePath(path, pattern, &flags)) continue;
    observer.OnSearchMatch(row, path, catalogue.GetCatalogueCell(row, kCellSize), ++found);
  }
  return found;
}

}  // namespace tallowin
