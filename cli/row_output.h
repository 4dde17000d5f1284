// Catalogue rows as `twbkf list` prints them.
#pragma once

#include <cstdio>
#include <string>

#include "save/save_rows.h"
#include "catalog/catalogue.h"

namespace tallowin::cli {

// The data set, the folders below it and the file's name of a catalogue
// path: "BKF\BACKUP SET 1(Daily)\Docs\a.txt" gives "BACKUP SET 1(Daily)",
// "Docs" and "a.txt".
struct CataloguePathParts {
  std::u16string_view set, folder, name;
};
CataloguePathParts SplitCataloguePath(std::u16string_view path);

// A JSON string; lone surrogates are written as \uXXXX escapes.
std::string JsonString(std::u16string_view text);

// Size, modification time and catalogue path, separated by tabs.
std::string PlainRowLine(const Catalogue& catalogue, RowIndex row);
// One JSON object: the row's numbers, its set, folder and name, and its
// cells. With
// `withSource` (rows of a scan) it says where the scan learnt of the file:
// "block" or "catalogue".
std::string JsonRowLine(const Catalogue& catalogue, RowIndex row, bool withSource);

// A verified file as `twbkf verify` prints it: verdict, catalogue path and
// reason separated by tabs, or {"row": N, "path": …, "verdict": …, "reason": …}.
std::string PlainCheckLine(const FileReport& check);
std::string JsonCheckLine(const FileReport& check);

}  // namespace tallowin::cli
