// Catalogue rows as `twbkf list` prints them.
#pragma once

#include <cstdio>
#include <string>

#include "catalog/catalogue.h"

namespace tallowin::cli {

// Size, modification time and catalogue path, separated by tabs.
std::string PlainRowLine(const Catalogue& catalogue, RowIndex row);
// One JSON object; lone surrogates are written as \uXXXX escapes.
std::string JsonRowLine(const Catalogue& catalogue, RowIndex row);

}  // namespace tallowin::cli
