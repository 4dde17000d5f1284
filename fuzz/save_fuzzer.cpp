// How the save reads a file's data, over any bytes and any rows: plain copies
// with their stored checksums, sparse files rebuilt from their pieces, and
// the verification of a whole catalogue. The input is a count of rows (its
// first byte, at most 16), that many rows of a little-endian 64-bit data
// offset and size, and then the BKF file; the rows its scan finds are added.
// Nothing is written to disk: the bytes go to a sink that checks them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/file_data.h"
#include "save/save_rows.h"
#include "catalog/activity_log.h"
#include "catalog/catalogue.h"
#include "engine/bkf_scanner.h"
#include "fuzz/fuzz_check.h"
#include "tests/support/memory_reader.h"

namespace {

using namespace tallowin;

constexpr std::size_t kRowBytes = 16;
constexpr std::size_t kMaxRows = 16;
// Files up to this size are kept in memory and compared with the BKF bytes.
constexpr std::uint64_t kKeptSize = 1 << 20;

std::uint64_t Le64(const std::uint8_t* bytes) {
  std::uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

// Where the data of one file goes: every byte must land inside the file.
// A sparse file whose size cannot be trusted ends where its farthest piece
// ends instead, whatever the row says.
class CheckingSink final : public FileDataSink {
 public:
  CheckingSink(std::uint64_t size, bool sparse) : size_(size), sparse_(sparse) {
    if (size <= kKeptSize && !sparse) bytes_.resize(static_cast<std::size_t>(size));
  }
  bool Write(std::uint64_t at, std::span<const std::byte> bytes, int&) override {
    FUZZ_CHECK(sparse_ || (at <= size_ && bytes.size() <= size_ - at));
    FUZZ_CHECK(bytes.size() <= UINT64_MAX - at);
    end_ = std::max(end_, at + bytes.size());
    if (Kept()) std::copy(bytes.begin(), bytes.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(at));
    return true;
  }
  bool SetSize(std::uint64_t size, int&) override {
    FUZZ_CHECK(size >= end_ && (size == size_ || (sparse_ && size == end_)));
    return true;
  }
  const std::vector<std::byte>& Bytes() const { return bytes_; }
  bool Kept() const { return !sparse_ && size_ <= kKeptSize; }

 private:
  std::uint64_t size_;
  bool sparse_;
  std::uint64_t end_ = 0;  // of the farthest byte written
  std::vector<std::byte> bytes_;
};

void CheckRow(BkfReader& bkf, const std::vector<std::byte>& file, std::int64_t offset, std::int64_t size) {
  if (RowDataProblem(size, offset, file.size())) return;
  const auto from = static_cast<std::uint64_t>(offset);
  const auto length = static_cast<std::uint64_t>(size);
  std::uint64_t told = 0;
  FileDataReader reader(bkf, {}, [&](std::uint64_t bytes) { told += bytes; });
  const StoredForm form = ReadStoredForm(bkf, from, length);
  CheckingSink sink(length, form.sparse);
  const FileDataResult result = reader.Read(from, length, sink);
  FUZZ_CHECK(!result.cancelled && result.writeError == 0);
  FUZZ_CHECK(result.verdict != FileVerdict::kSkipped);
  FUZZ_CHECK(told == result.bytes);
  FUZZ_CHECK(result.verdict == FileVerdict::kVerified || !result.reason.empty());

  if (form.sparse) {
    FUZZ_CHECK(result.verdict == FileVerdict::kUnchecked || result.verdict == FileVerdict::kIncomplete);
    return;
  }
  // One piece, copied unchanged as far as the BKF file holds it.
  const std::uint64_t there = std::min(length, file.size() - from);
  FUZZ_CHECK(result.bytes == there);
  FUZZ_CHECK((result.verdict == FileVerdict::kIncomplete) == (there < length));
  if (sink.Kept()) {
    FUZZ_CHECK(std::equal(sink.Bytes().begin(), sink.Bytes().begin() + static_cast<std::ptrdiff_t>(there),
                          file.begin() + static_cast<std::ptrdiff_t>(from)));
  }
  if (result.verdict == FileVerdict::kVerified) FUZZ_CHECK(form.checksum.has_value());
  if (form.checksum && !form.headerDamaged &&
      (result.verdict == FileVerdict::kVerified || result.verdict == FileVerdict::kDamaged)) {
    const std::uint32_t sum = ChecksumStep(0, std::span(file).subspan(static_cast<std::size_t>(from), static_cast<std::size_t>(length)), 0);
    FUZZ_CHECK((sum == *form.checksum) == (result.verdict == FileVerdict::kVerified));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t rows = std::min<std::size_t>(data[0], kMaxRows);
  const std::size_t head = std::min(size, 1 + rows * kRowBytes);
  std::vector<std::byte> file(size - head);
  if (!file.empty()) std::memcpy(file.data(), data + head, file.size());
  test::MemoryReader bkf(file);

  for (std::size_t row = 0; 1 + (row + 1) * kRowBytes <= head; ++row) {
    const std::uint8_t* at = data + 1 + row * kRowBytes;
    CheckRow(bkf, file, static_cast<std::int64_t>(Le64(at)), static_cast<std::int64_t>(Le64(at + 8)));
  }

  static const ActivityLog silent("/nonexistent-folder/never.log");
  Catalogue catalogue;
  ScanObserver quiet;
  {
    CBkfScanner scanner(catalogue, silent, quiet);
    scanner.Scan(bkf);
  }
  catalogue.SetAllRowsChecked(true);
  for (RowIndex row = 0; row < catalogue.CatalogueRowCount(); ++row) {
    CheckRow(bkf, file, ParseInt64(catalogue.GetCatalogueCell(row, kCellOffset)),
             ParseInt64(catalogue.GetCatalogueCell(row, kCellSize)));
  }

  // The verification of the whole catalogue gives every row one verdict.
  class Count : public SaveObserver {
   public:
    void OnFileDone(const FileReport&) override { ++checked; }
    std::uint64_t checked = 0;
  } count;
  const SaveSummary summary = SaveCheckedFiles(
      catalogue,
      VerifyOnlyRequest("in memory",
                        [&](const std::filesystem::path&) { return std::make_unique<test::MemoryReader>(file); }),
      count);
  FUZZ_CHECK(summary.fatalError.empty());
  FUZZ_CHECK(count.checked == summary.Attempted());
  FUZZ_CHECK(summary.Attempted() == static_cast<std::uint64_t>(catalogue.CatalogueRowCount()));
  return 0;
}
