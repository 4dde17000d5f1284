#include "cli/set_summary.h"

#include <unordered_map>

#include "catalog/file_time.h"
#include "catalog/text_convert.h"
#include "cli/cli_texts.h"
#include "cli/row_output.h"

namespace tallowin::cli {
namespace {

bool NamesLostFolder(std::u16string_view folder) {
  for (std::size_t start = 0; start <= folder.size();) {
    const auto end = std::min(folder.find(u'\\', start), folder.size());
    const auto part = folder.substr(start, end - start);
    if (part.starts_with(u"lost dir") || part.starts_with(u"[lost folder ")) return true;
    start = end + 1;
  }
  return false;
}

std::string JsonText(std::u16string_view text) { return JsonString(text); }

}  // namespace

std::vector<std::string> SetSummary::Damage() const {
  std::vector<std::string> damage;
  if (facts.number == 0) damage.emplace_back(texts::kNoSetBlock);
  if (facts.rowsFromSetCatalogue > 0) damage.push_back(texts::FromSetCatalogue(facts.rowsFromSetCatalogue));
  if (facts.setCatalogueFilesNotFound > 0) {
    damage.push_back(texts::NotFoundInSetCatalogue(facts.setCatalogueFilesNotFound));
  }
  if (lostFolders) damage.emplace_back(texts::kLostFolders);
  return damage;
}

std::vector<SetSummary> SummariseSets(const Catalogue& catalogue, const std::vector<DataSetFacts>& facts) {
  std::vector<SetSummary> sets;
  std::unordered_map<std::u16string, std::size_t> index;
  const auto setOf = [&](std::u16string_view label) {
    const auto [found, added] = index.emplace(std::u16string(label), sets.size());
    // A label no data set block gave: files met before any.
    if (added) sets.emplace_back().facts.label = label;
    return found->second;
  };
  for (const DataSetFacts& set : facts) {
    if (index.emplace(set.label, sets.size()).second) sets.emplace_back().facts = set;
  }
  // Each folder's set, once a folder, not once a row: its second component,
  // so a folder takes its parent's below that; lost when a folder on the
  // way below the set was.
  struct FolderFacts {
    std::size_t set;
    bool lost;
    bool counted = false;
    std::size_t depth = 0;
  };
  constexpr std::size_t kNoSet = SIZE_MAX;  // a top folder's files lie in no set
  std::vector<FolderFacts> folders;
  catalogue.ReadFolders(0, [&](FolderKey, FolderKey parent, std::u16string_view name) {
    if (parent == kNoFolderKey) {
      folders.push_back({kNoSet, false, false, 0});
      return;
    }
    const FolderFacts& up = folders[parent];
    if (up.depth == 0) {
      folders.push_back({setOf(name), false, false, 1});
    } else {
      folders.push_back({up.set, up.lost || NamesLostFolder(name), false, up.depth + 1});
    }
  });
  const std::size_t noFolder = setOf({});
  catalogue.ReadRowFolders(0, catalogue.CatalogueRowCount(), [&](RowIndex, FolderKey key, bool, std::int64_t size) {
    FolderFacts* folder = key < folders.size() ? &folders[key] : nullptr;
    SetSummary& set = sets[folder != nullptr && folder->set != kNoSet ? folder->set : noFolder];
    ++set.files;
    if (size > 0) set.bytes += static_cast<std::uint64_t>(size);
    if (folder != nullptr && !folder->counted) {
      folder->counted = true;
      ++set.folders;
      set.lostFolders = set.lostFolders || folder->lost;
    }
  });
  // A set of no files and no data set block is none.
  std::erase_if(sets, [](const SetSummary& set) { return set.files == 0 && set.facts.label.empty(); });
  return sets;
}

std::string SetSummaryText(const std::vector<SetSummary>& sets) {
  std::string text;
  for (const SetSummary& set : sets) {
    const std::string written = set.facts.written != 0 ? FormatIso8601(set.facts.written) : std::string(texts::kUnknownDate);
    text += "Set " + std::to_string(set.facts.number) + " \"" + Utf8ForDisplay(set.facts.name) + "\", written " +
            written + ": " + std::to_string(set.files) + " file(s), " + texts::HumanSize(set.bytes) + " (" +
            std::to_string(set.bytes) + " bytes) in " + std::to_string(set.folders) + " folder(s)\n";
    if (set.CutShort()) text += "  " + std::string(texts::kCutShort) + '\n';
    for (const std::string& reason : set.Damage()) text += "  damaged: " + reason + '\n';
  }
  return text;
}

std::string ScanJson(const ScanFacts& scan, const std::vector<SetSummary>& sets) {
  std::string out = "{\"bkf\": " + JsonText(Utf16FromBytes(scan.bkfPath));
  out += ", \"size\": " + std::to_string(scan.bkfSize);
  out += ", \"files\": " + std::to_string(scan.files);
  out += std::string(", \"stopped\": ") + (scan.stopped ? "true" : "false");
  if (scan.stopped) out += ", \"stoppedAt\": " + std::to_string(scan.stoppedAt);
  out += ", \"fromSetCatalogue\": " + std::to_string(scan.rowsFromSetCatalogue);
  out += ", \"setCatalogueFilesNotFound\": " + std::to_string(scan.setCatalogueFilesNotFound);
  out += ", \"sets\": [";
  for (std::size_t i = 0; i < sets.size(); ++i) {
    const SetSummary& set = sets[i];
    if (i != 0) out += ", ";
    out += "{\"number\": " + std::to_string(set.facts.number);
    out += ", \"name\": " + JsonText(set.facts.name);
    out += ", \"label\": " + JsonText(set.facts.label);
    out += ", \"written\": ";
    out += set.facts.written != 0 ? '"' + FormatIso8601(set.facts.written) + '"' : std::string("null");
    out += ", \"files\": " + std::to_string(set.files);
    out += ", \"bytes\": " + std::to_string(set.bytes);
    out += ", \"folders\": " + std::to_string(set.folders);
    out += std::string(", \"cutShort\": ") + (set.CutShort() ? "true" : "false");
    const auto damage = set.Damage();
    out += ", \"damage\": [";
    for (std::size_t d = 0; d < damage.size(); ++d) {
      if (d != 0) out += ", ";
      out += JsonText(Utf16FromBytes(damage[d]));
    }
    out += "]}";
  }
  out += "]}";
  return out;
}

}  // namespace tallowin::cli
