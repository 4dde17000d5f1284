#include "cli/cli_texts.h"

#include <array>
#include <cstdio>

#include "catalog/program_texts.h"

namespace tallowin::cli::texts {

std::string NotACommand(std::string_view word) {
  return "'" + std::string(word) + "' is not a command" + std::string(kSeeHelp);
}

std::string HumanSize(std::uint64_t bytes) {
  static constexpr std::array<const char*, 6> kUnits = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
  if (bytes < 1024) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  double value = static_cast<double>(bytes) / 1024;
  std::size_t unit = 0;
  while (value >= 1024 && unit + 1 < kUnits.size()) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, value < 10 ? "%.1f %s" : "%.0f %s", value, kUnits[unit]);
  return text;
}

std::string Duration(std::uint64_t seconds) {
  char text[32];
  if (seconds >= 3600) {
    std::snprintf(text, sizeof text, "%llu:%02llu:%02llu", static_cast<unsigned long long>(seconds / 3600),
                  static_cast<unsigned long long>(seconds / 60 % 60), static_cast<unsigned long long>(seconds % 60));
  } else {
    std::snprintf(text, sizeof text, "%llu:%02llu", static_cast<unsigned long long>(seconds / 60),
                  static_cast<unsigned long long>(seconds % 60));
  }
  return text;
}

std::string StoppedAt(std::uint64_t position, std::uint64_t size) {
  return "stopped at " + std::to_string(tallowin::texts::ProgressPercent(position, size)) + "% (" +
         HumanSize(position) + " of " + HumanSize(size) + "): the catalogue is partial";
}

std::string InterruptedAfter(std::uint64_t done, std::uint64_t total) {
  return "interrupted: " + std::to_string(done) + " of " + std::to_string(total) + " file(s) done";
}

std::string SavedInto(std::string_view where) { return "Saved into " + std::string(where); }
std::string WrittenTo(std::string_view archive) { return "Written to " + std::string(archive); }
std::string WouldWrite(std::uint64_t files) { return std::to_string(files) + " file(s) would be written; nothing was written."; }

std::string FromSetCatalogue(std::uint64_t files) {
  return std::to_string(files) + " file block(s) lost: their files came back from the set's own catalogue";
}
std::string NotFoundInSetCatalogue(std::uint64_t files) {
  return std::to_string(files) + " file(s) listed in the set's own catalogue whose data was not found";
}

}  // namespace tallowin::cli::texts
