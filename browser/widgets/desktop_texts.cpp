#include "browser/widgets/desktop_texts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "catalog/number_text.h"

namespace tallowin::desktop {
namespace {

std::u16string Ascii(const std::string& text) { return {text.begin(), text.end()}; }

}  // namespace

std::u16string DataSize(std::uint64_t bytes) {
  constexpr const char* kUnits[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
  if (bytes < 1024) return FormatUInt64(bytes) + (bytes == 1 ? u" byte" : u" bytes");
  double value = static_cast<double>(bytes) / 1024;
  std::size_t unit = 0;
  // 1023.96 KiB would read "1024.0 KiB": the next unit says it better.
  while (value >= 1023.95 && unit + 1 < std::size(kUnits)) {
    value /= 1024;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
  return Ascii(text);
}

std::u16string TimeLeft(double seconds) {
  const auto whole = static_cast<std::uint64_t>(std::max(0.0, std::ceil(seconds)));
  if (whole < 60) return u"about " + FormatUInt64(std::max<std::uint64_t>(whole, 1)) + u" s left";
  const std::uint64_t minutes = (whole + 30) / 60;
  if (minutes < 60) return u"about " + FormatUInt64(minutes) + u" min left";
  return u"about " + FormatUInt64(minutes / 60) + u" h " + FormatUInt64(minutes % 60) + u" min left";
}

std::u16string StoppedNote(int percent, std::uint64_t position, std::uint64_t fileSize) {
  return u"Stopped at " + FormatUInt64(static_cast<std::uint64_t>(percent)) + u"% (" + DataSize(position) + u" of " +
         DataSize(fileSize) + u"): the catalogue is partial";
}

std::u16string LoadStoppedNote(int percent) {
  return u"Stopped at " + FormatUInt64(static_cast<std::uint64_t>(percent)) +
         u"% of the snapshot: the catalogue is partial";
}

std::u16string LoadedNote(std::u16string_view snapshotName) {
  return u"Loaded from the recovery snapshot " + std::u16string(snapshotName);
}

std::u16string BkfMoved(std::u16string_view recordedPath) {
  return u"The snapshot was made of the BKF file\n" + std::u16string(recordedPath) +
         u"\nwhich is not there any more: it was moved or renamed, or its disk is not connected. The snapshot "
         u"only tells where each file lies in that BKF file, so please choose where the file is now.";
}

std::u16string CannotOpenNow(std::u16string_view path, bool catalogueShown) {
  return u"Tallowin for BKF could not open " + std::u16string(path) +
         (catalogueShown ? u" while a catalogue is shown: press Back first, then open it again."
                         : u" while other work is under way: wait for its end, then open it again.");
}

std::u16string ProgressLine(std::uint64_t position, std::uint64_t fileSize, std::optional<double> secondsLeft) {
  std::u16string line = u"Progress : " + DataSize(position) + u" \\ " + DataSize(fileSize);
  if (secondsLeft) line += u", " + TimeLeft(*secondsLeft);
  return line;
}

std::u16string FileWorkLine(std::uint64_t files, std::uint64_t totalFiles, std::uint64_t bytes,
                            std::uint64_t totalBytes, std::optional<double> secondsLeft) {
  std::u16string line = FormatUInt64(files) + u" of " + FormatUInt64(totalFiles) + u" file(s), " + DataSize(bytes) +
                        u" of " + DataSize(totalBytes);
  if (secondsLeft) line += u", " + TimeLeft(*secondsLeft);
  return line;
}

std::u16string_view RefusalText(Refusal reason) {
  switch (reason) {
    case Refusal::kScanRunning:
      return kStopScanFirst;
    case Refusal::kScanRunningForChecks:
      return kScanGuard;
    case Refusal::kScanRunningForMenu:
      return kSearchGuard;
    case Refusal::kSnapshotWriting:
      return kWaitForSnapshot;
    case Refusal::kNone:
    case Refusal::kNoCatalogue:
    case Refusal::kCatalogueShown:
    case Refusal::kWorkUnderWay:
      break;
  }
  return {};
}

}  // namespace tallowin::desktop
