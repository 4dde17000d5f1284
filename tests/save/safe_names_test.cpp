#include <gtest/gtest.h>

#include "save/safe_names.h"
#include "catalog/text_convert.h"

namespace tallowin {
namespace {

bool IsValidUtf8(const std::string& text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

TEST(SafeName, ComponentsThatNameAFolderLevelGetALeadingUnderscore) {
  EXPECT_EQ(SafeName(u"", NameRules::kPosix), "_");
  EXPECT_EQ(SafeName(u".", NameRules::kPosix), "_.");
  EXPECT_EQ(SafeName(u"..", NameRules::kPosix), "_..");
  EXPECT_EQ(SafeName(u"...", NameRules::kPosix), "...");
}

TEST(SafeName, SeparatorsNulAndControlCharactersBecomeUnderscores) {
  EXPECT_EQ(SafeName(u"../../etc/passwd", NameRules::kPosix), ".._.._etc_passwd");
  EXPECT_EQ(SafeName(std::u16string(u"a\0b", 3), NameRules::kPosix), "a_b");
  EXPECT_EQ(SafeName(u"tab\there\x1F\x7F", NameRules::kPosix), "tab_here__");
  EXPECT_EQ(SafeName(u"/", NameRules::kPosix), "_");
}

TEST(SafeName, UnpairedSurrogatesBecomeReplacementCharacters) {
  EXPECT_EQ(SafeName(u"a\xD800" u"b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(SafeName(u"\xDC80"), "\xEF\xBF\xBD");
  EXPECT_EQ(SafeName(u"\xD83D\xDE00"), "\xF0\x9F\x98\x80");  // a pair stays one character
}

TEST(SafeName, OverlongNamesAreShortenedKeepingTheExtension) {
  const std::string ascii = SafeName(std::u16string(300, u'x') + u".txt");
  EXPECT_EQ(ascii.size(), kMaxNameBytes);
  EXPECT_TRUE(ascii.ends_with("x.txt"));

  const std::string wide = SafeName(std::u16string(200, u'\u00E9') + u".doc");
  EXPECT_LE(wide.size(), kMaxNameBytes);
  EXPECT_TRUE(wide.ends_with(".doc"));
  EXPECT_TRUE(IsValidUtf8(wide));
}

TEST(SafeName, NumberedNamesGoBeforeTheExtensionAndStillFit) {
  EXPECT_EQ(NumberedFileName("a.txt", 2), "a (2).txt");
  EXPECT_EQ(NumberedFileName("README", 3), "README (3)");
  EXPECT_EQ(NumberedFileName(".profile", 2), ".profile (2)");
  EXPECT_EQ(NumberedFolderName("RecBKF", 2), "RecBKF (2)");
  const std::string longName = SafeName(std::u16string(300, u'y') + u".txt");
  const std::string numbered = NumberedFileName(longName, 12);
  EXPECT_EQ(numbered.size(), kMaxNameBytes);
  EXPECT_TRUE(numbered.ends_with(" (12).txt"));
}

TEST(SafeName, WindowsRulesAlsoMendReservedCharactersAndDeviceNames) {
  EXPECT_EQ(SafeName(u"a:b?c*", NameRules::kWindows), "a_b_c_");
  EXPECT_EQ(SafeName(u"name. ", NameRules::kWindows), "name__");
  EXPECT_EQ(SafeName(u"CON", NameRules::kWindows), "_CON");
  EXPECT_EQ(SafeName(u"lpt1.txt", NameRules::kWindows), "_lpt1.txt");
  EXPECT_EQ(SafeName(u"COM10", NameRules::kWindows), "COM10");
  EXPECT_EQ(SafeName(u"a:b", NameRules::kPosix), "a:b");
}

TEST(SafeName, WindowsRulesMendTheNamesThatPosixRulesMendFurther) {
  EXPECT_EQ(SafeName(u"", NameRules::kWindows), "_");
  EXPECT_EQ(SafeName(u".", NameRules::kWindows), "__");
  EXPECT_EQ(SafeName(u"..", NameRules::kWindows), "___");
  EXPECT_EQ(SafeName(u"../../etc/passwd", NameRules::kWindows), ".._.._etc_passwd");
  EXPECT_EQ(SafeName(u"a\\b", NameRules::kWindows), "a_b");
  // Whatever the name, mending it for Windows gives what mending the POSIX
  // result for Windows gives: a saved tree compares across the systems.
  for (const std::u16string name : {u"", u".", u"..", u"...", u"CON", u"nul.txt", u"a:b. ", u"x/y", u"\xD800"}) {
    const std::string posix = SafeName(name, NameRules::kPosix);
    EXPECT_EQ(SafeName(Utf16FromBytes(posix), NameRules::kWindows), SafeName(name, NameRules::kWindows)) << posix;
  }
}

}  // namespace
}  // namespace tallowin
