// The activity log: a trace of a recovery in a fixed file, the BKF path and
// the "SUCC 0001" to "SUCC 0013" marker lines, written only while Generate
// Log is on. The file is opened, appended to and closed for every text, and a
// log that cannot be written is ignored: it must never disturb a recovery.
#pragma once

#include <atomic>
#include <filesystem>
#include <string_view>

namespace tallowin {

class ActivityLog {
 public:
  explicit ActivityLog(std::filesystem::path path = DefaultPath());

  // $HOME/TwBkf.log (%LOCALAPPDATA%\TwBkf.log on Windows); not configurable.
  static std::filesystem::path DefaultPath();
  const std::filesystem::path& Path() const { return path_; }

  // At program start: every run begins a new log.
  void DeleteLogFile() const;
  // Appends the text's UTF-16LE code units, whatever the option says.
  void WriteLogText(std::u16string_view text) const;

  void SetGenerateLog(bool on) { generate_.store(on, std::memory_order_relaxed); }
  bool GenerateLog() const { return generate_.load(std::memory_order_relaxed); }
  // Writes `text` when Generate Log is on at this moment.
  void Mark(std::u16string_view text) const {
    if (GenerateLog()) WriteLogText(text);
  }

 private:
  std::filesystem::path path_;
  std::atomic<bool> generate_{false};
};

namespace marks {
inline constexpr std::u16string_view kRecoveryStarted = u"SUCC 0001\r\n";
inline constexpr std::u16string_view kRecoveryWorker = u"SUCC 0002\r\n";
inline constexpr std::u16string_view kCatalogueCleared = u"SUCC 0003\r\n";
inline constexpr std::u16string_view kScannerStart = u"SUCC 0004\r\n";
inline constexpr std::u16string_view kScanBegins = u"SUCC 0005\r\n";
inline constexpr std::u16string_view kMainPassIteration = u"SUCC 0006\r\n";
inline constexpr std::u16string_view kWindowRead = u"SUCC 0007\r\n";
inline constexpr std::u16string_view kPosition = u"SUCC 0008\r\n";
inline constexpr std::u16string_view kNotTape = u"SUCC 0009\r\n";
inline constexpr std::u16string_view kSetBlock = u"SUCC 0010\r\n";
inline constexpr std::u16string_view kDirectoryBlock = u"SUCC 0011\r\n";
inline constexpr std::u16string_view kFileBlock = u"SUCC 0012\r\n";
inline constexpr std::u16string_view kRowAdded = u"SUCC 0013\r\n";
}  // namespace marks

}  // namespace tallowin
