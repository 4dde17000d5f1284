#include "engine/snapshot_bkf_check.h"

#include <array>

#include "engine/mtf_stream.h"

namespace tallowin {
namespace {

constexpr RowIndex kSample = 64;

bool RowPasses(const RowNumbers& row, BkfReader& bkf) {
  if (row.offset < 0 || row.size < 0) return false;
  const auto offset = static_cast<std::uint64_t>(row.offset);
  if (row.size == 0) {
    std::array<std::byte, 6> block{};
    if (bkf.ReadAt(offset, block) == block.size() && ClassifyBlock(block) == BlockClass::kFile) return true;
  }
  if (offset < mtf::kStreamHeaderSize) return false;
  std::array<std::byte, mtf::kStreamHeaderSize> bytes{};
  if (bkf.ReadAt(offset - mtf::kStreamHeaderSize, bytes) != bytes.size()) return false;
  const StreamHeader header = *ReadStreamHeader(bytes);
  if (header.id != mtf::kStan) return false;
  const bool sparse = header.length == 0 && (header.fileSystemAttributes & mtf::kSparseStream) != 0;
  return sparse || header.length == static_cast<std::uint64_t>(row.size);
}

}  // namespace

bool HoldsCatalogueData(const Catalogue& catalogue, BkfReader& bkf) {
  const RowIndex rows = catalogue.CatalogueRowCount();
  if (rows == 0) return true;
  const RowIndex sampled = std::min(rows, kSample);
  RowIndex passed = 0;
  for (RowIndex i = 0; i < sampled; ++i) {
    // Spread from the first row to the last.
    const RowIndex row = sampled == 1 ? 0 : static_cast<RowIndex>(std::int64_t{i} * (rows - 1) / (sampled - 1));
    if (RowPasses(catalogue.ReadRowNumbers(row), bkf)) ++passed;
  }
  return 2 * passed >= sampled;
}

}  // namespace tallowin
