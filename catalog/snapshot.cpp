#include "catalog/snapshot.h"

#include <algorithm>
#include <bit>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>
#include <utility>

#include "catalog/program_texts.h"
#include "catalog/replacing_file.h"
#include "catalog/text_convert.h"
#include "catalog/utf16_bytes.h"

namespace tallowin {
namespace {

constexpr std::size_t kWriteChunk = std::size_t{1} << 20;
constexpr std::size_t kReadChunk = std::size_t{1} << 20;
constexpr int kRowLineCells[] = {kCellPath,         kCellSize,        kCellOffset,
                                 kCellModifiedLow,  kCellModifiedHigh, kCellAccessedLow,
                                 kCellAccessedHigh, kCellCreatedLow,  kCellCreatedHigh};
constexpr std::u16string_view kLineEnd = u"\r\n";
constexpr std::size_t kNotFound = std::u16string_view::npos;

std::u16string Value(std::u16string_view text) {
  std::u16string line = u"<";
  line += text;
  line += u">\r\n";
  return line;
}

// The text strictly between positions a and b, where a missing "<" counts as
// the position before the line and a missing ">" leaves nothing.
// The first `unit` at or after `from`, four units at a time: a snapshot's
// line is searched for its "<" and ">" once per value.
std::size_t FindUnit(std::u16string_view line, char16_t unit, std::size_t from) {
  constexpr std::uint64_t kOnes = 0x0001'0001'0001'0001ULL;
  constexpr std::uint64_t kHighs = 0x8000'8000'8000'8000ULL;
  std::size_t i = from;
  if constexpr (std::endian::native == std::endian::little) {
    for (; i + 4 <= line.size(); i += 4) {
      std::uint64_t word;
      std::memcpy(&word, line.data() + i, sizeof word);
      const std::uint64_t x = word ^ (kOnes * unit);
      // A lane that is zero sets its high bit here; the lowest such is exact.
      const std::uint64_t zero = (x - kOnes) & ~x & kHighs;
      if (zero != 0) return i + static_cast<std::size_t>(std::countr_zero(zero)) / 16;
    }
  }
  for (; i < line.size(); ++i) {
    if (line[i] == unit) return i;
  }
  return kNotFound;
}

std::u16string_view Between(std::u16string_view line, std::size_t a, std::size_t b) {
  const std::size_t first = a == kNotFound ? 0 : a + 1;
  if (b == kNotFound || b <= first) return {};
  return line.substr(first, b - first);
}

}  // namespace

std::u16string SnapshotRowLine(const Catalogue& catalogue, RowIndex row) {
  std::u16string line;
  for (const int cell : kRowLineCells) {
    line += u'<';
    line += catalogue.GetCatalogueCell(row, cell);
    line += u'>';
  }
  line += kLineEnd;
  return line;
}

SnapshotTarget ExamineSnapshotTarget(const std::filesystem::path& target,
                                     const std::filesystem::path& bkfPath) {
  namespace fs = std::filesystem;
  std::error_code error;
  SnapshotTarget examined{SnapshotTargetKind::kNew, target};
  // Links are followed one by one, so that a link to a file yet to be made
  // leads to that file; 40 steps, as the system allows.
  for (int step = 0; step < 40 && fs::is_symlink(fs::symlink_status(examined.path, error)); ++step) {
    const fs::path next = fs::read_symlink(examined.path, error);
    if (error) break;
    examined.path = next.is_absolute() ? next : examined.path.parent_path() / next;
  }
  // A link that still leads on is a loop (or a chain too long to follow):
  // it names no file to replace.
  if (fs::is_symlink(fs::symlink_status(examined.path, error))) {
    examined.kind = SnapshotTargetKind::kNotRegular;
    return examined;
  }
  const fs::file_status status = fs::status(examined.path, error);
  if (!fs::exists(status)) return examined;
  if (fs::is_directory(status)) {
    examined.kind = SnapshotTargetKind::kFolder;
  } else if (!fs::is_regular_file(status)) {
    examined.kind = SnapshotTargetKind::kNotRegular;
  } else if (fs::equivalent(examined.path, bkfPath, error)) {
    examined.kind = SnapshotTargetKind::kBkfFile;
  } else if (fs::file_size(examined.path, error) == 0 || IsSnapshotFile(examined.path)) {
    // An empty file holds nothing that could be lost.
    examined.kind = SnapshotTargetKind::kSnapshot;
  } else {
    examined.kind = SnapshotTargetKind::kOtherFile;
  }
  return examined;
}

SnapshotWriteResult WriteSnapshot(const std::filesystem::path& target, std::u16string_view bkfPath,
                                  const Catalogue& catalogue, bool replaceAnyFile) {
  const SnapshotTarget examined = ExamineSnapshotTarget(target, PathFromUtf16(bkfPath));
  const auto result = [&](SnapshotWriteStatus status, std::string_view reason) {
    return SnapshotWriteResult{status, examined.kind,
                               Utf8ForDisplay(Utf16FromPath(target)) + ": " + std::string(reason)};
  };
  const auto failure = [&](int error) {
    return result(SnapshotWriteStatus::kFailed, std::generic_category().message(error));
  };
  switch (examined.kind) {
    case SnapshotTargetKind::kBkfFile: return result(SnapshotWriteStatus::kRefused, texts::kTargetIsBkf);
    case SnapshotTargetKind::kNotRegular: return result(SnapshotWriteStatus::kRefused, texts::kTargetNotRegular);
    case SnapshotTargetKind::kFolder: return failure(EISDIR);
    case SnapshotTargetKind::kOtherFile:
      if (!replaceAnyFile) return result(SnapshotWriteStatus::kRefused, texts::kTargetNotSnapshot);
      break;
    case SnapshotTargetKind::kNew:
    case SnapshotTargetKind::kSnapshot:
      break;
  }
  if (examined.path.empty()) return failure(ENOENT);

  int error = 0;
  ReplacingFile file(examined.path, error);
  if (!file.IsOpen()) return failure(error);
  std::string bytes;
  AppendUtf16Le(bytes, Value(bkfPath));
  const RowIndex count = catalogue.CatalogueRowCount();
  AppendUtf16Le(bytes, Value(FormatInt64(count)));
  for (RowIndex row = 0; row < count; ++row) {
    AppendUtf16Le(bytes, SnapshotRowLine(catalogue, row));
    if (bytes.size() >= kWriteChunk) {
      if (!file.Write(bytes, error)) return failure(error);
      bytes.clear();
    }
  }
  if (!file.Write(bytes, error) || !file.Commit(error)) return failure(error);
  return {SnapshotWriteStatus::kWritten, examined.kind, {}};
}

std::optional<std::u16string> ParseSnapshotPathLine(std::u16string_view line) {
  const auto a = line.find(u'<');
  const auto b = line.find(u'>', 1);
  if (a == kNotFound || b == kNotFound) return std::nullopt;
  return std::u16string(Between(line, a, b));
}

std::int32_t ParseSnapshotCountLine(std::u16string_view line) {
  const auto value = ParseInt64(Between(line, line.find(u'<'), line.find(u'>', 1)));
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

void AddSnapshotRow(Catalogue& catalogue, std::u16string_view line) {
  // Each value runs from a "<" to the next ">" after the previous one.
  std::array<std::u16string_view, kCatalogueCellCount - 2> cells{};
  std::u16string_view path;
  std::size_t lessFrom = 0;
  std::size_t greaterFrom = 1;
  for (std::size_t k = 0;; ++k) {
    const auto a = FindUnit(line, u'<', lessFrom);
    const auto b = FindUnit(line, u'>', greaterFrom);
    const auto value = Between(line, a, b);
    if (k == 0) {
      path = value;
    } else if (k <= cells.size()) {
      cells[k - 1] = value;
    }
    if (b == kNotFound) break;
    lessFrom = b;
    greaterFrom = b + 1;
  }
  catalogue.AppendSnapshotRow(path, cells);
}

bool SnapshotReader::Refill() {
  buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(next_));
  next_ = 0;
  const std::size_t kept = buffer_.size();
  buffer_.resize(kept + kReadChunk);
  in_.read(buffer_.data() + kept, static_cast<std::streamsize>(kReadChunk));
  buffer_.resize(kept + static_cast<std::size_t>(in_.gcount()));
  return buffer_.size() > kept;
}

bool SnapshotReader::ReadLine(std::u16string& line) {
  line.clear();
  for (;;) {
    // Whole code units only; a last odd byte belongs to no unit. A line
    // ends at the unit 0x000A: its low byte found by memchr, at an even
    // place, with a zero high byte.
    const std::size_t units = (buffer_.size() - next_) / 2;
    std::size_t end = units;
    for (std::size_t from = next_; from < next_ + 2 * units;) {
      const void* found = std::memchr(buffer_.data() + from, '\n', next_ + 2 * units - from);
      if (found == nullptr) break;
      const auto at = static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.data());
      if ((at - next_) % 2 == 0 && buffer_[at + 1] == 0) {
        end = (at - next_) / 2;
        break;
      }
      from = at + 1;
    }
    const std::size_t kept = line.size();
    line.resize(kept + end);
    for (std::size_t i = 0; i < end; ++i) {
      line[kept + i] = static_cast<char16_t>(static_cast<unsigned char>(buffer_[next_ + 2 * i]) |
                                             (static_cast<unsigned char>(buffer_[next_ + 2 * i + 1]) << 8));
    }
    if (end < units) {
      next_ += 2 * (end + 1);
      return true;
    }
    next_ += 2 * units;
    if (!Refill()) return !line.empty();
  }
}

SnapshotLoadResult LoadSnapshot(const std::filesystem::path& path, Catalogue& catalogue,
                                SnapshotLoadObserver& observer, std::stop_token stop) {
  // Opening a pipe would wait for a writer, perhaps for ever.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    return {SnapshotLoadStatus::kOpenFailed, {}, texts::kSnapshotOpenFailed};
  }
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) return {SnapshotLoadStatus::kOpenFailed, {}, texts::kSnapshotOpenFailed};
  return LoadSnapshot(file, catalogue, observer, std::move(stop));
}

SnapshotLoadResult LoadSnapshot(std::istream& in, Catalogue& catalogue,
                                SnapshotLoadObserver& observer, std::stop_token stop) {
  SnapshotReader reader(in);
  catalogue.ClearFolderTree();

  std::u16string line;
  reader.ReadLine(line);
  auto bkfPath = ParseSnapshotPathLine(line);
  if (!bkfPath) return {SnapshotLoadStatus::kOpenFailed, {}, texts::kSnapshotOpenFailed};
  std::error_code error;
  if (!std::filesystem::exists(PathFromUtf16(*bkfPath), error)) {
    bkfPath = observer.LocateMissingBkf(*bkfPath);
    if (!bkfPath) return {SnapshotLoadStatus::kCancelled, {}, {}};
  }

  line.clear();
  reader.ReadLine(line);
  const std::int64_t expected = ParseSnapshotCountLine(line);
  observer.OnRowsBegin(*bkfPath);
  catalogue.ClearCatalogue();

  JobProgress progress{.done = 0, .total = expected > 0 ? static_cast<std::uint64_t>(expected) : 0, .files = 0,
                       .filesTotal = 0};
  int shown = -1;
  for (; !stop.stop_requested() && reader.ReadLine(line); ++progress.done) {
    if (progress.Percent() != shown) {
      shown = progress.Percent();
      observer.OnProgress(progress);
    }
    AddSnapshotRow(catalogue, line);
  }

  catalogue.SetAllRowsChecked(true);
  if (catalogue.CatalogueRowCount() == 0) {
    return {SnapshotLoadStatus::kNoData, std::move(*bkfPath), texts::kNoDataFound};
  }
  return {SnapshotLoadStatus::kLoaded, std::move(*bkfPath), {}};
}

namespace {

// The first bytes of a regular file; nothing for anything else.
std::string FileHead(const std::filesystem::path& path, std::size_t count) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return {};
  std::ifstream file(path, std::ios::binary);
  std::string head(count, '\0');
  file.read(head.data(), static_cast<std::streamsize>(count));
  head.resize(static_cast<std::size_t>(file.gcount()));
  return head;
}

}  // namespace

bool LooksLikeSnapshot(const std::filesystem::path& path) {
  const std::string head = FileHead(path, 4);
  if (head.size() >= 2 && head[0] == '<' && head[1] == 0) return true;
  return head.size() >= 4 && head.starts_with("\xFF\xFE") && head[2] == '<' && head[3] == 0;
}

bool IsSnapshotFile(const std::filesystem::path& path) {
  // Room for a path line of the longest path there is, and the count line.
  constexpr std::size_t kLookAt = 2 * (32768 + 64);
  const std::string head = FileHead(path, kLookAt);
  std::u16string text(head.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(head[2 * i]) | static_cast<unsigned char>(head[2 * i + 1]) << 8);
  }
  std::u16string_view rest(text);
  if (rest.starts_with(u'\uFEFF')) rest.remove_prefix(1);
  const auto nextLine = [&]() -> std::optional<std::u16string_view> {
    const auto end = rest.find(u'\n');
    if (end == kNotFound) return std::nullopt;
    std::u16string_view line = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    if (line.ends_with(u'\r')) line.remove_suffix(1);
    if (line.size() < 2 || line.front() != u'<' || line.back() != u'>') return std::nullopt;
    return line.substr(1, line.size() - 2);
  };
  const auto pathLine = nextLine();
  const auto countLine = nextLine();
  return pathLine && !pathLine->empty() && countLine && !countLine->empty() &&
         std::all_of(countLine->begin(), countLine->end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

bool LooksLikeSnapshotInOtherEncoding(const std::filesystem::path& path) {
  constexpr std::size_t kLookAt = 4096;
  std::string head = FileHead(path, kLookAt);
  const std::string_view line1(head.data(), std::min(head.size(), head.find('\n')));
  // UTF-8, optionally with its mark: "<" path ">" before the first line end.
  std::string_view utf8 = line1;
  if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
  if (utf8.size() >= 2 && utf8[0] == '<' && utf8[1] != 0 && utf8.find('>') != std::string_view::npos) {
    return true;
  }
  // UTF-16BE, optionally with its mark: the same as 16-bit units, high byte first.
  std::string_view be(head);
  if (be.starts_with("\xFE\xFF")) be.remove_prefix(2);
  if (be.size() < 2 || be[0] != 0 || be[1] != '<') return false;
  for (std::size_t i = 2; i + 1 < be.size(); i += 2) {
    if (be[i] != 0) continue;
    if (be[i + 1] == '>') return true;
    if (be[i + 1] == '\n') break;
  }
  return false;
}

}  // namespace tallowin
