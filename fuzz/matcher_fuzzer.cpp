// The catalogue search matcher. The input is UTF-16LE code units (a last odd
// byte is dropped): the path, then the pattern. They are split at the first
// U+FFFF unit, which belongs to neither, or, when there is none, in the
// middle, the path taking the smaller half.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "catalog/catalogue_search.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string units(size / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  const std::u16string_view all(units);
  const std::size_t split = all.find(u'\xFFFF');
  const std::u16string_view path = split == std::u16string_view::npos ? all.substr(0, all.size() / 2)
                                                                        : all.substr(0, split);
  const std::u16string_view pattern = split == std::u16string_view::npos
                                          ? all.substr(all.size() / 2)
                                          : all.substr(split + 1);

  const bool match = tallowin::MatchCataloguePath(path, pattern);

  // A stop that is never asked for changes nothing.
  std::stop_source stop;
  FUZZ_CHECK(tallowin::MatchCataloguePath(path, pattern, stop.get_token()) == match);

  // A stop already asked for ends the match early; any answer is allowed.
  stop.request_stop();
  (void)tallowin::MatchCataloguePath(path, pattern, stop.get_token());

  // Nothing matches an empty path or pattern.
  if (path.empty() || pattern.empty()) FUZZ_CHECK(!match);
  // A pattern without wildcards is a search for that text.
  if (!pattern.empty() && pattern.find_first_of(u"*?") == std::u16string_view::npos) {
    FUZZ_CHECK(match == (!path.empty() && path.find(pattern) != std::u16string_view::npos));
  }
  // "*" matches any path at all.
  if (pattern == u"*") FUZZ_CHECK(match == !path.empty());
  return 0;
}
