#include "catalog/program_texts.h"

#include "catalog/number_text.h"

namespace tallowin::texts {

std::u16string ProgressLabel(std::uint64_t position, std::uint64_t fileSize) {
  return u"Progress : " + FormatUInt64(position) + u" \\ " + FormatUInt64(fileSize);
}

std::u16string FilesFoundLabel(std::uint64_t count) { return u"File(s) Found : " + FormatUInt64(count); }

int ProgressPercent(std::uint64_t position, std::uint64_t fileSize) {
  if (fileSize == 0) return 0;
  // Split so that position x 100 cannot overflow for any 64-bit size.
  const std::uint64_t whole = position / fileSize;
  const std::uint64_t rest = position % fileSize;
  const std::uint64_t fraction =
      rest <= UINT64_MAX / 100 ? rest * 100 / fileSize : rest / (fileSize / 100 + 1);
  return static_cast<int>(whole * 100 + fraction);
}

}  // namespace tallowin::texts
