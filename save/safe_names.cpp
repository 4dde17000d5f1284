#include "save/safe_names.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "catalog/code_points.h"
#include "catalog/text_convert.h"

namespace tallowin {
namespace {

// An extension longer than this is part of the name, not worth keeping whole.
constexpr std::size_t kMaxKeptExtension = 32;

bool IsControl(char16_t c) { return c < 0x20 || c == 0x7F; }

bool IsWindowsReserved(std::u16string_view name) {
  std::u16string stem(name.substr(0, name.find(u'.')));
  std::transform(stem.begin(), stem.end(), stem.begin(),
                 [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; });
  static constexpr std::array<std::u16string_view, 4> kDevices = {u"CON", u"PRN", u"AUX", u"NUL"};
  if (std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end()) return true;
  return stem.size() == 4 && (stem.starts_with(u"COM") || stem.starts_with(u"LPT")) &&
         stem[3] >= u'1' && stem[3] <= u'9';
}

// Where the extension (with its dot) begins, or the end of the name.
std::size_t ExtensionStart(const std::string& name) {
  const auto dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0 || name.size() - dot > kMaxKeptExtension) return name.size();
  return dot;
}

// Cuts UTF-8 text to at most `bytes` bytes without splitting a character.
std::string CutUtf8(const std::string& text, std::size_t bytes) {
  if (text.size() <= bytes) return text;
  std::size_t end = bytes;
  while (end > 0 && (static_cast<std::uint8_t>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

// `stem` + `suffix` + `extension`, with the stem cut so that all fits.
std::string Fit(const std::string& stem, const std::string& suffix, const std::string& extension) {
  const std::size_t room = kMaxNameBytes - std::min(kMaxNameBytes, suffix.size() + extension.size());
  return CutUtf8(stem, room) + suffix + extension;
}

}  // namespace

std::string SafeName(std::u16string_view component, NameRules rules) {
  std::u16string name;
  name.reserve(component.size() + 1);
  ForEachCodePoint(component, [&](const CodePoint& c) {
    if (c.lone) {
      name.push_back(u'\uFFFD');
    } else if (c.units.size() == 2) {
      name.append(c.units);
    } else if (c.value == u'/' || IsControl(c.units[0]) ||
               (rules == NameRules::kWindows && std::u16string_view(u"<>:\"\\|?*").find(c.units[0]) != std::u16string_view::npos)) {
      name.push_back(u'_');
    } else {
      name.push_back(c.units[0]);
    }
  });
  if (name.empty() || name == u"." || name == u"..") name.insert(name.begin(), u'_');
  // After the rule above, so that a name mended for Windows is the name
  // mended elsewhere, mended further.
  if (rules == NameRules::kWindows) {
    for (auto it = name.rbegin(); it != name.rend() && (*it == u'.' || *it == u' '); ++it) *it = u'_';
    if (IsWindowsReserved(name)) name.insert(name.begin(), u'_');
  }

  const std::string bytes = BytesFromUtf16(name);  // valid UTF-16 now, so plain UTF-8
  if (bytes.size() <= kMaxNameBytes) return bytes;
  const std::size_t extension = ExtensionStart(bytes);
  return Fit(bytes.substr(0, extension), {}, bytes.substr(extension));
}

std::string NumberedFileName(const std::string& safeName, int n) {
  const std::size_t extension = ExtensionStart(safeName);
  return Fit(safeName.substr(0, extension), " (" + std::to_string(n) + ")", safeName.substr(extension));
}

std::string NumberedFolderName(const std::string& safeName, int n) {
  return Fit(safeName, " (" + std::to_string(n) + ")", {});
}

std::string PartName(const std::string& safeName, int n) {
  const std::string suffix = n == 1 ? ".twbkf-part" : ".twbkf-part-" + std::to_string(n);
  return Fit("." + safeName, suffix, {});
}

}  // namespace tallowin
