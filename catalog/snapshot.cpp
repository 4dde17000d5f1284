#include "catalog/snapshot.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>
#include <system_error>

#include "catalog/program_texts.h"
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
std::u16string_view Between(std::u16string_view line, std::size_t a, std::size_t b) {
  const std::size_t first = a == kNotFound ? 0 : a + 1;
  if (b == kNotFound || b <= first) return {};
  return line.substr(first, b - first);
}

std::filesystem::path TemporaryBeside(const std::filesystem::path& target) {
  std::random_device entropy;
  auto name = target.filename().native();
  name.insert(0, 1, '.');
  const auto suffix = std::to_string(entropy());
  name.append(".tmp").append(suffix.begin(), suffix.end());
  return target.parent_path() / name;
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

SnapshotWriteResult WriteSnapshot(const std::filesystem::path& target, std::u16string_view bkfPath,
                                  const Catalogue& catalogue) {
  const auto failure = [&](const std::filesystem::path& path, int error) {
    return SnapshotWriteResult{false, Utf8ForDisplay(Utf16FromPath(path)) + ": " +
                                          std::generic_category().message(error)};
  };
  std::filesystem::path temporary;
  std::ofstream file;
  for (int attempt = 0; attempt < 16 && !file.is_open(); ++attempt) {
    temporary = TemporaryBeside(target);
    if (std::filesystem::exists(temporary)) continue;
    file.open(temporary, std::ios::binary | std::ios::trunc);
  }
  if (!file.is_open()) return failure(target, errno != 0 ? errno : EACCES);

  std::string bytes;
  AppendUtf16Le(bytes, Value(bkfPath));
  const RowIndex count = catalogue.CatalogueRowCount();
  AppendUtf16Le(bytes, Value(FormatInt64(count)));
  for (RowIndex row = 0; row < count && file; ++row) {
    AppendUtf16Le(bytes, SnapshotRowLine(catalogue, row));
    if (bytes.size() >= kWriteChunk) {
      file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      bytes.clear();
    }
  }
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  std::error_code error;
  if (!file) {
    const int cause = errno != 0 ? errno : EIO;
    std::filesystem::remove(temporary, error);
    return failure(target, cause);
  }
  std::filesystem::rename(temporary, target, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    return failure(target, error.value());
  }
  return {true, {}};
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
  std::size_t lessFrom = 0;
  std::size_t greaterFrom = 1;
  RowIndex row = -1;
  for (int k = 0;; ++k) {
    const auto a = line.find(u'<', lessFrom);
    const auto b = line.find(u'>', greaterFrom);
    const auto value = Between(line, a, b);
    if (k == 0) {
      row = catalogue.AppendCatalogueRow(value);
      const auto slash = value.rfind(u'\\');
      std::u16string folders(slash == kNotFound ? std::u16string_view{} : value.substr(0, slash));
      folders += u'\\';
      catalogue.EnsureFolderPath(folders);
    } else if (k <= 8) {
      catalogue.SetCatalogueCell(row, kRowLineCells[k], value);
    }
    if (b == kNotFound) break;
    lessFrom = b;
    greaterFrom = b + 1;
  }
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
    // Whole code units only; a last odd byte belongs to no unit.
    while (next_ + 1 < buffer_.size()) {
      const auto unit = static_cast<char16_t>(static_cast<unsigned char>(buffer_[next_]) |
                                              (static_cast<unsigned char>(buffer_[next_ + 1]) << 8));
      next_ += 2;
      if (unit == u'\n') return true;
      line.push_back(unit);
    }
    if (!Refill()) return !line.empty();
  }
}

SnapshotLoadResult LoadSnapshot(const std::filesystem::path& path, Catalogue& catalogue,
                                SnapshotLoadObserver& observer) {
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) return {SnapshotLoadStatus::kOpenFailed, {}, texts::kSnapshotOpenFailed};
  return LoadSnapshot(file, catalogue, observer);
}

SnapshotLoadResult LoadSnapshot(std::istream& in, Catalogue& catalogue,
                                SnapshotLoadObserver& observer) {
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

  for (std::int64_t i = 0; !observer.StopRequested() && reader.ReadLine(line); ++i) {
    observer.OnProgress(expected > 0 ? static_cast<int>(std::min<std::int64_t>(100 * i / expected, 100)) : 0);
    AddSnapshotRow(catalogue, line);
  }

  catalogue.SetAllRowsChecked(true);
  if (catalogue.CatalogueRowCount() == 0) {
    return {SnapshotLoadStatus::kNoData, std::move(*bkfPath), texts::kNoDataFound};
  }
  return {SnapshotLoadStatus::kLoaded, std::move(*bkfPath), {}};
}

bool LooksLikeSnapshot(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  char head[4] = {};
  file.read(head, sizeof head);
  const auto got = file.gcount();
  if (got >= 2 && head[0] == '<' && head[1] == 0) return true;
  return got >= 4 && head[0] == '\xFF' && head[1] == '\xFE' && head[2] == '<' && head[3] == 0;
}

}  // namespace tallowin
