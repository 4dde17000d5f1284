// Catalogue rows as `twbkf list` prints them.
#pragma once

#include <cstdio>
#include <string>

#include "browser/save/file_verification.h"
#include "catalog/catalogue.h"

namespace tallowin::cli {

// Size, modification time and catalogue path, separated by tabs.
std::string PlainRowLine(const Catalogue& catalogue, RowIndex row);
// One JSON object; lone surrogates are written as \uXXXX escapes. With
// `withSource` (rows of a scan) it says where the scan learnt of the file:
// "block" or "catalogue".
std::string JsonRowLine(const Catalogue& catalogue, RowIndex row, bool withSource);

// A verified file as `twbkf verify` prints it: verdict, catalogue path and
// reason separated by tabs, or {"row": N, "path": …, "verdict": …, "reason": …}.
std::string PlainCheckLine(const FileCheck& check);
std::string JsonCheckLine(const FileCheck& check);

}  // namespace tallowin::cli
