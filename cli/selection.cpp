#include "cli/selection.h"

#include <fstream>
#include <iostream>
#include <system_error>

#include "catalog/catalogue_search.h"
#include "catalog/text_convert.h"

namespace tallowin::cli {
namespace {

// The letters of ASCII and of Latin-1 in lower case; enough for the names
// that the Windows backup utility's users gave their files in most cases.
char16_t Lower(char16_t c) {
  if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<char16_t>(c + 32);
  return c;
}

// The text as the catalogue spells paths: "\" between folders.
std::u16string AsCataloguePath(const std::string& text, bool ignoreCase) {
  std::u16string path = Utf16FromBytes(text);
  for (char16_t& c : path) {
    if (c == u'/') c = u'\\';
    if (ignoreCase) c = Lower(c);
  }
  return path;
}

struct NamedPath {
  std::u16string path;  // without a final "\"
  bool used = false;
};

struct Pattern {
  std::u16string text;
  bool used = false;
};

// A path names a row's file, or a folder the row lies in; the first folder,
// "BKF", may be left out.
bool Names(std::u16string_view row, std::u16string_view named) {
  const auto within = [&](std::u16string_view path) {
    return path.starts_with(named) && (path.size() == named.size() || path[named.size()] == u'\\');
  };
  if (within(row)) return true;
  constexpr std::u16string_view kTop = u"bkf\\";
  if (row.size() <= kTop.size()) return false;
  for (std::size_t i = 0; i < kTop.size(); ++i) {
    if (Lower(row[i]) != kTop[i]) return false;
  }
  return within(row.substr(kTop.size()));
}

}  // namespace

bool ReadPathList(const std::string& file, std::vector<std::string>& paths, std::string& reason) {
  std::ifstream named;
  if (file != "-") {
    named.open(PathFromUtf8(file), std::ios::binary);
    if (!named) {
      reason = std::generic_category().message(errno != 0 ? errno : ENOENT);
      return false;
    }
  }
  std::istream& in = file == "-" ? std::cin : named;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) paths.push_back(line);
  }
  if (in.bad()) {
    reason = std::generic_category().message(EIO);
    return false;
  }
  return true;
}

Unchosen CheckChosenRows(Catalogue& catalogue, const Selection& selection) {
  const bool fold = selection.ignoreCase;
  std::vector<NamedPath> paths;
  for (const std::string& text : selection.paths) {
    std::u16string path = AsCataloguePath(text, fold);
    while (path.size() > 1 && path.back() == u'\\') path.pop_back();
    paths.push_back({std::move(path)});
  }
  std::vector<Pattern> matches, excludes;
  for (const std::string& text : selection.matches) matches.push_back({AsCataloguePath(text, fold)});
  for (const std::string& text : selection.excludes) excludes.push_back({AsCataloguePath(text, fold)});
  const bool everything = paths.empty() && matches.empty();

  const RowIndex count = catalogue.CatalogueRowCount();
  std::vector<RowIndex> chosen, left;
  std::u16string path;
  for (RowIndex row = 0; row < count; ++row) {
    path = catalogue.GetCatalogueCell(row, kCellPath);
    if (fold) {
      for (char16_t& c : path) c = Lower(c);
    }
    bool keep = everything;
    for (NamedPath& named : paths) {
      if (Names(path, named.path)) keep = named.used = true;
    }
    for (Pattern& pattern : matches) {
      if (MatchCataloguePath(path, pattern.text)) keep = pattern.used = true;
    }
    for (Pattern& pattern : excludes) {
      if (keep && MatchCataloguePath(path, pattern.text)) {
        keep = false;
        pattern.used = true;
      }
    }
    (keep ? chosen : left).push_back(row);
  }
  catalogue.SetRowsChecked(chosen, true);
  catalogue.SetRowsChecked(left, false);

  Unchosen unused;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (!paths[i].used) unused.paths.push_back(selection.paths[i]);
  }
  for (std::size_t i = 0; i < matches.size(); ++i) {
    if (!matches[i].used) unused.patterns.push_back(selection.matches[i]);
  }
  return unused;
}

}  // namespace tallowin::cli
