#include "catalog/catalogue_search.h"

#include <algorithm>
#include <optional>

namespace tallowin {
namespace {

constexpr auto kNotFound = std::u16string_view::npos;


// The patterns that need no walk: none, everything, anything with a dot,
// and plain text, which is found anywhere in the path.
std::optional<bool> ShortcutMatch(std::u16string_view path, std::u16string_view pattern) {
  if (path.empty() || pattern.empty()) return false;
  const bool hasStar = pattern.find(u'*') != kNotFound;
  if (!hasStar && path.size() < pattern.size()) return false;
  if (pattern == u"*") return true;
  if (pattern == u"*.*") return path.find(u'.') != kNotFound;
  if (!hasStar && pattern.find(u'?') == kNotFound) return path.find(pattern) != kNotFound;
  return std::nullopt;
}

// The walk over the pattern, one step per pattern character. Each step
// either decides the match or moves on; the rules are the program's own and
// not those of a shell, which is why some of them look odd.
class PatternWalk {
 public:
  PatternWalk(std::u16string_view path, std::u16string_view pattern, const std::stop_token& stop)
      : path_(path), pattern_(pattern), stop_(stop) {}

  // The result once decided; nothing while the walk goes on.
  std::optional<bool> Step() {
    const char16_t x = pattern_[j_];
    if (x == u'*') return Star();
    if (x == u'?') return QuestionMark();
    if (!afterStar_) return AnchoredLiteral(x);
    if (i_ < path_.size() && path_[i_] == x) return LiteralInPlace(x);
    return LiteralSearched(x);
  }
  bool Done() const { return j_ >= pattern_.size(); }

 private:
  bool SkippingWildcards() const { return j_ < pattern_.size() && (pattern_[j_] == u'*' || pattern_[j_] == u'?'); }
  bool LastInPattern() const { return j_ + 1 == pattern_.size(); }
  bool EndsWith(std::u16string_view end) const {
    return path_.size() >= end.size() && path_.substr(path_.size() - end.size()) == end;
  }

  // "*" starts a new run of literal text. A "*" at the end matches the rest;
  // wildcards right after it are skipped, and a single character after them
  // must then be the path's last one. The "*" itself takes one character.
  std::optional<bool> Star() {
    run_.clear();
    afterStar_ = true;
    if (LastInPattern()) return true;
    char16_t next = pattern_[j_ + 1];
    if (next == u'*' || next == u'?') {
      for (++j_; SkippingWildcards(); ++j_) {
        if (stop_.stop_requested()) return false;
      }
      if (Done()) return true;
      next = pattern_[j_];
      if (LastInPattern()) return path_.back() == next;
      --j_;
    }
    ++i_;
    if (i_ < path_.size()) {
      ++j_;
      return std::nullopt;
    }
    // The path is used up: only "**c" at the pattern's end can still match.
    if (j_ + 1 < pattern_.size()) {
      return j_ + 2 == pattern_.size() && pattern_[j_] == u'*' && path_.find(next, j_ + 1) != kNotFound;
    }
    ++j_;
    return std::nullopt;
  }

  // "?" stands for one character. At the end of the pattern it compares the
  // run before it with the path's end; elsewhere it checks against the
  // pattern's length (not the path's) as the program always has.
  std::optional<bool> QuestionMark() {
    if (LastInPattern()) {
      std::u16string tail(path_.substr(path_.size() - std::min(path_.size(), run_.size() + 1)));
      tail.back() = u'?';
      return tail == run_ + u'?';
    }
    if (i_ + 1 > pattern_.size() && j_ + 1 < pattern_.size()) return false;
    if (j_ + 2 < pattern_.size() && i_ + 1 >= path_.size()) return false;
    ++i_;
    ++j_;
    return std::nullopt;
  }

  // Before the first "*", text is matched from the start of the path.
  std::optional<bool> AnchoredLiteral(char16_t x) {
    if (j_ >= path_.size() || i_ >= path_.size() || path_[i_] != x) return false;
    ++i_;
    ++j_;
    return std::nullopt;
  }

  // After a "*", text that goes on where the path stands extends the run;
  // at the pattern's end the run must end the path.
  std::optional<bool> LiteralInPlace(char16_t x) {
    if (j_ + 2 < pattern_.size() && i_ + 1 >= path_.size()) return false;
    if (LastInPattern()) return EndsWith(run_ + x);
    run_ += x;
    ++i_;
    ++j_;
    return std::nullopt;
  }

  // After a "*", text that does not go on where the path stands is searched
  // forward, from one character back.
  std::optional<bool> LiteralSearched(char16_t x) {
    run_ += x;
    if (LastInPattern()) return EndsWith(run_);
    const std::size_t found = i_ == 0 || i_ - 1 >= path_.size() ? kNotFound : path_.find(run_, i_ - 1);
    if (found == kNotFound) return false;
    i_ = found + run_.size() - 1;
    if (i_ + 1 >= path_.size()) return false;
    ++i_;
    ++j_;
    return std::nullopt;
  }

  std::u16string_view path_;
  std::u16string_view pattern_;
  const std::stop_token& stop_;
  std::size_t i_ = 0;  // position in the path
  std::size_t j_ = 0;  // position in the pattern
  std::u16string run_;  // the literal text met since the last "*"
  bool afterStar_ = false;
};

}  // namespace

bool MatchCataloguePath(std::u16string_view path, std::u16string_view pattern,
                        const std::stop_token& stop) {
  if (const auto decided = ShortcutMatch(path, pattern)) return *decided;
  // Two or more trailing stars count as one.
  while (pattern.size() >= 2 && pattern.ends_with(u"**")) {
    if (stop.stop_requested()) return false;
    pattern.remove_suffix(1);
  }
  PatternWalk walk(path, pattern, stop);
  while (!walk.Done()) {
    if (stop.stop_requested()) return false;
    if (const auto decided = walk.Step()) return *decided;
  }
  return true;
}

std::uint64_t SearchCatalogue(const Catalogue& catalogue, std::u16string_view pattern,
                              SearchObserver& observer, std::stop_token stop) {
  const RowIndex rows = catalogue.CatalogueRowCount();
  std::uint64_t found = 0;
  JobProgress progress{.done = 0, .total = static_cast<std::uint64_t>(rows), .files = 0, .filesTotal = 0};
  for (RowIndex row = 0; row < rows; ++row) {
    if (stop.stop_requested()) break;
    progress.done = static_cast<std::uint64_t>(row);
    observer.OnProgress(progress);
    const std::u16string path = catalogue.GetCatalogueCell(row, kCellPath);
    if (!MatchCataloguePath(path, pattern, stop)) continue;
    observer.OnSearchMatch(row, path, catalogue.GetCatalogueCell(row, kCellSize), ++found);
  }
  return found;
}

}  // namespace tallowin
