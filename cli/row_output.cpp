#include "cli/row_output.h"

#include <array>
#include <cstdint>

#include "catalog/code_points.h"
#include "catalog/file_time.h"
#include "catalog/text_convert.h"

namespace tallowin::cli {
namespace {

std::array<std::u16string, kCatalogueCellCount> Cells(const Catalogue& catalogue, RowIndex row) {
  std::array<std::u16string, kCatalogueCellCount> cells;
  for (int cell = 0; cell < kCatalogueCellCount; ++cell) {
    cells[static_cast<std::size_t>(cell)] = catalogue.GetCatalogueCell(row, cell);
  }
  return cells;
}

void AppendEscape(std::string& out, unsigned unit) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHex[(unit >> shift) & 0xF]);
}

}  // namespace

std::string JsonString(std::u16string_view text) {
  std::string out = "\"";
  std::u16string plain;  // a run of text without anything to escape
  const auto flush = [&] {
    out += Utf8ForDisplay(plain);
    plain.clear();
  };
  ForEachCodePoint(text, [&](const CodePoint& c) {
    if (c.lone || c.value < 0x20) {
      flush();
      AppendEscape(out, static_cast<unsigned>(c.value));
    } else if (c.value == u'"' || c.value == u'\\') {
      flush();
      out.push_back('\\');
      out.push_back(static_cast<char>(c.value));
    } else {
      plain.append(c.units);
    }
  });
  flush();
  out += '"';
  return out;
}

CataloguePathParts SplitCataloguePath(std::u16string_view path) {
  CataloguePathParts parts;
  const auto last = path.rfind(u'\\');
  parts.name = last == std::u16string_view::npos ? path : path.substr(last + 1);
  const auto first = path.find(u'\\');
  if (first == std::u16string_view::npos || first == last) return parts;
  const auto second = path.find(u'\\', first + 1);
  parts.set = path.substr(first + 1, second - first - 1);
  if (second < last) parts.folder = path.substr(second + 1, last - second - 1);
  return parts;
}

std::string PlainRowLine(const Catalogue& catalogue, RowIndex row) {
  return Utf8ForDisplay(catalogue.GetCatalogueCell(row, kCellSize)) + '\t' +
         FormatIso8601(catalogue.ReadRowNumbers(row).modified) + '\t' +
         Utf8ForDisplay(catalogue.GetCatalogueCell(row, kCellPath));
}

std::string JsonRowLine(const Catalogue& catalogue, RowIndex row, bool withSource) {
  const auto cells = Cells(catalogue, row);
  const RowNumbers numbers = catalogue.ReadRowNumbers(row);
  std::string out = "{\"row\": " + std::to_string(row);
  out += ", \"path\": " + JsonString(cells[kCellPath]);
  const CataloguePathParts parts = SplitCataloguePath(cells[kCellPath]);
  out += ", \"set\": " + JsonString(parts.set);
  out += ", \"folder\": " + JsonString(parts.folder);
  out += ", \"name\": " + JsonString(parts.name);
  out += ", \"type\": " + JsonString(cells[kCellType]);
  out += ", \"size\": " + std::to_string(numbers.size);
  out += ", \"offset\": " + std::to_string(numbers.offset);
  out += ", \"modified\": \"" + FormatIso8601(numbers.modified) + '"';
  out += ", \"accessed\": \"" + FormatIso8601(numbers.accessed) + '"';
  out += ", \"created\": \"" + FormatIso8601(numbers.created) + '"';
  if (withSource) {
    out += numbers.source == RowSource::kSetCatalogue ? ", \"source\": \"catalogue\"" : ", \"source\": \"block\"";
  }
  out += ", \"cells\": [";
  for (std::size_t cell = 0; cell < cells.size(); ++cell) {
    if (cell != 0) out += ", ";
    out += JsonString(cells[cell]);
  }
  out += "]}";
  return out;
}

// A verification gives every file a verdict.
std::string PlainCheckLine(const FileReport& check) {
  return std::string(VerdictName(*check.verdict)) + '\t' + Utf8ForDisplay(check.path) + '\t' + check.reason;
}

std::string JsonCheckLine(const FileReport& check) {
  return "{\"row\": " + std::to_string(check.row) + ", \"path\": " + JsonString(check.path) +
         ", \"verdict\": \"" + std::string(VerdictName(*check.verdict)) + "\", \"reason\": " +
         JsonString(Utf16FromBytes(check.reason)) + "}";
}

}  // namespace tallowin::cli
