#include "engine/file_data.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <utility>

#include "catalog/program_texts.h"
#include "catalog/text_convert.h"
#include "engine/mtf_stream.h"

namespace tallowin {
namespace {

// Large enough to copy at full speed, small enough to notice a cancel.
constexpr std::uint64_t kSystemCopyChunk = std::uint64_t{64} << 20;
constexpr std::size_t kPieceOffsetSize = 8;

// `count` bytes at `position`, or nothing when the file does not give them all.
template <std::size_t kCount>
std::optional<std::array<std::byte, kCount>> ReadExactly(BkfReader& bkf, std::uint64_t position) {
  std::array<std::byte, kCount> bytes{};
  if (bkf.ReadAt(position, bytes) < kCount) return std::nullopt;
  return bytes;
}

}  // namespace

std::string_view VerdictName(FileVerdict verdict) {
  switch (verdict) {
    case FileVerdict::kVerified: return "verified";
    case FileVerdict::kUnchecked: return "unchecked";
    case FileVerdict::kDamaged: return "damaged";
    case FileVerdict::kIncomplete: return "incomplete";
    case FileVerdict::kStoredEncrypted: return "stored encrypted";
    case FileVerdict::kStoredCompressed: return "stored compressed";
    case FileVerdict::kSkipped: return "skipped";
  }
  return "unchecked";
}

std::u16string FileReportLine(std::u16string_view path, std::optional<FileVerdict> verdict,
                              std::string_view reason) {
  std::u16string line(path);
  line += u": ";
  if (verdict) line += Utf16FromBytes(std::string(VerdictName(*verdict)) + ", ");
  line += Utf16FromBytes(reason);
  return line;
}

namespace {

// The checksum in a "CSUM" stream right after data of `size` bytes at `offset`.
std::optional<std::uint32_t> ChecksumAfter(BkfReader& bkf, std::uint64_t offset, std::uint64_t size) {
  if (size > std::numeric_limits<std::uint64_t>::max() - offset) return std::nullopt;
  const auto csum = ReadExactly<mtf::kStreamHeaderSize + mtf::kChecksumSize>(bkf, AlignStream(offset + size));
  if (!csum) return std::nullopt;
  const StreamHeader header = *ReadStreamHeader(*csum);
  if (!header.valid || header.id != mtf::kCsum || header.length != mtf::kChecksumSize) return std::nullopt;
  return ReadU32(*csum, mtf::kStreamHeaderSize);
}

}  // namespace

StoredForm ReadStoredForm(BkfReader& bkf, std::uint64_t offset, std::uint64_t size) {
  StoredForm form;
  const auto bytes = offset < mtf::kStreamHeaderSize
                         ? std::nullopt
                         : ReadExactly<mtf::kStreamHeaderSize>(bkf, offset - mtf::kStreamHeaderSize);
  const std::optional<StreamHeader> data = bytes ? ReadStreamHeader(*bytes) : std::nullopt;
  const bool dataId = data && (data->id == mtf::kStan || data->id == mtf::kNted);
  // A checksum word left at zero is a writer that keeps none: as no header.
  if (dataId && !data->valid && ReadU16(*bytes, mtf::kStreamChecksum) != 0) {
    form.headerDamaged = true;
    return form;
  }
  if (data && data->valid && data->id == mtf::kStan && data->length == 0 &&
      (data->fileSystemAttributes & mtf::kSparseStream) != 0) {
    form.sparse = true;
    return form;
  }
  // A header of another size belongs to something else than this row.
  if (!dataId || !data->valid || data->length != size) {
    form.checksum = ChecksumAfter(bkf, offset, size);
    return form;
  }
  form.encrypted = data->id == mtf::kNted || (data->mediaAttributes & mtf::kEncryptedStream) != 0;
  form.compressed = (data->mediaAttributes & mtf::kCompressedStream) != 0;
  if ((data->mediaAttributes & mtf::kChecksummedStream) != 0) {
    form.checksum = ChecksumAfter(bkf, offset, size);
    form.checksumMissing = !form.checksum;
  }
  return form;
}

FileDataReader::FileDataReader(BkfReader& bkf, std::stop_token stop,
                               std::function<void(std::uint64_t)> progress)
    : bkf_(bkf), bkfSize_(bkf.GetSize()), stop_(std::move(stop)), progress_(std::move(progress)), ahead_(bkf) {}

bool FileDataReader::CopyPiece(std::uint64_t from, std::uint64_t count, std::uint64_t at, FileDataSink& sink,
                               FileDataResult& result, std::uint32_t* checksum) {
  ahead_.Begin(from, count);
  for (std::uint64_t done = 0; done < count;) {
    if (stop_.stop_requested()) {
      result.cancelled = true;
      return false;
    }
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(ReadAhead::kChunk, count - done));
    const std::span<const std::byte> chunk = ahead_.Next();
    if (checksum != nullptr) *checksum = ChecksumStep(*checksum, chunk, at + done);
    if (!chunk.empty() && !sink.Write(at + done, chunk, result.writeError)) return false;
    done += chunk.size();
    result.bytes += chunk.size();
    progress_(chunk.size());
    if (chunk.size() < want) return false;
  }
  return true;
}

FileDataResult FileDataReader::Read(std::uint64_t offset, std::uint64_t size, FileDataSink& sink) {
  const StoredForm form = ReadStoredForm(bkf_, offset, size);
  return form.sparse ? ReadSparse(offset, size, sink) : ReadPlain(offset, size, form, sink);
}

FileDataResult FileDataReader::ReadPlain(std::uint64_t offset, std::uint64_t size, const StoredForm& form,
                                         FileDataSink& sink) {
  FileDataResult result;
  const std::uint64_t available = std::min(size, bkfSize_ - offset);
  const bool checking = form.checksum.has_value();
  if (!sink.Announce(available, result.writeError)) return result;
  // The system copies faster than this process can, but then no byte passes
  // through here: only data without a checksum to check goes that way.
  while (!checking && result.bytes < available) {
    if (stop_.stop_requested()) {
      result.cancelled = true;
      return result;
    }
    const std::uint64_t step =
        sink.CopyFrom(bkf_, offset + result.bytes, std::min(kSystemCopyChunk, available - result.bytes));
    result.bytes += step;
    progress_(step);
    if (step == 0) break;
  }
  // Whatever the system could not copy is read and written here, which also
  // tells a read failure from a write failure.
  std::uint32_t sum = 0;
  const std::uint64_t copied = result.bytes;
  CopyPiece(offset + copied, available - copied, copied, sink, result, checking ? &sum : nullptr);
  if (result.cancelled || result.writeError != 0) return result;

  if (result.bytes < size) {
    result.verdict = FileVerdict::kIncomplete;
    result.reason = result.bytes == available ? texts::EndsBeforeFile(result.bytes, size)
                                              : texts::UnreadablePast(result.bytes, size);
  } else if (form.headerDamaged) {
    result.verdict = FileVerdict::kDamaged;
    result.reason = texts::kReasonHeaderDamaged;
  } else if (form.checksumMissing) {
    result.verdict = FileVerdict::kDamaged;
    result.reason = texts::kReasonChecksumMissing;
  } else if (checking && sum != *form.checksum) {
    result.verdict = FileVerdict::kDamaged;
    result.reason = texts::kReasonDamaged;
  } else if (form.encrypted) {
    result.verdict = FileVerdict::kStoredEncrypted;
    result.reason = texts::kReasonStoredEncrypted;
  } else if (form.compressed) {
    result.verdict = FileVerdict::kStoredCompressed;
    result.reason = texts::kReasonStoredCompressed;
  } else if (checking) {
    result.verdict = FileVerdict::kVerified;
  } else {
    result.verdict = FileVerdict::kUnchecked;
    result.reason = size == 0 ? texts::kReasonEmpty : texts::kReasonNoChecksum;
  }
  return result;
}

namespace {

// Whether the size of the sparse file whose empty data stream header lies at
// `header` can be trusted: the FILE block nearest before it has a sound
// header and gives that size. A size from a block that damage hit (one bit
// can make terabytes of holes) is not.
bool SparseSizeTrusted(BkfReader& bkf, std::uint64_t header, std::uint64_t size) {
  const std::uint64_t lowest = header > mtf::kStreamChainBound ? header - mtf::kStreamChainBound : 0;
  for (std::uint64_t block = header / kBlockSize * kBlockSize;; block -= kBlockSize) {
    const auto bytes = ReadExactly<mtf::kCommonHeaderSize>(bkf, block);
    if (bytes && ClassifyBlock(*bytes) == BlockClass::kFile) {
      return HasValidHeaderChecksum(*bytes) && ReadU64(*bytes, mtf::kDisplayableSize) == size;
    }
    if (block < lowest + kBlockSize) return false;
  }
}

}  // namespace

// The pieces follow the empty data stream, each a "SPAR" stream of an 8-byte
// offset in the file and the bytes that lie there; what lies between them
// is zeros, left as holes. A size that cannot be trusted gives way to the
// end of the farthest piece.
FileDataResult FileDataReader::ReadSparse(std::uint64_t offset, std::uint64_t size, FileDataSink& sink) {
  FileDataResult result;
  const bool trusted = SparseSizeTrusted(bkf_, offset - mtf::kStreamHeaderSize, size);
  const std::uint64_t limit = trusted ? size : std::numeric_limits<std::uint64_t>::max();
  std::uint64_t end = 0;  // of the farthest piece
  const auto incomplete = [&](std::string reason) {
    result.verdict = FileVerdict::kIncomplete;
    result.reason = std::move(reason);
    return result;
  };
  const auto remaining = [&](std::uint64_t position) { return position < bkfSize_ ? bkfSize_ - position : 0; };
  for (std::uint64_t position = AlignStream(offset);;) {
    if (stop_.stop_requested()) {
      result.cancelled = true;
      return result;
    }
    // A backup cut here may have held more pieces.
    if (remaining(position) < mtf::kStreamHeaderSize) return incomplete(std::string(texts::kSparseEndsEarly));
    const auto bytes = ReadExactly<mtf::kStreamHeaderSize>(bkf_, position);
    if (!bytes) return incomplete(std::string(texts::kSparseUnreadable));
    const StreamHeader header = *ReadStreamHeader(*bytes);
    if (!header.valid || header.id != mtf::kSpar || header.length < kPieceOffsetSize) break;
    if (remaining(position + mtf::kStreamHeaderSize) < kPieceOffsetSize) return incomplete(std::string(texts::kSparseEndsEarly));
    const auto pieceOffset = ReadExactly<kPieceOffsetSize>(bkf_, position + mtf::kStreamHeaderSize);
    if (!pieceOffset) return incomplete(std::string(texts::kSparseUnreadable));
    const std::uint64_t at = ReadU64(*pieceOffset, 0);
    const std::uint64_t from = position + mtf::kStreamHeaderSize + kPieceOffsetSize;
    // Bytes of a piece beyond the file's size are not written.
    const std::uint64_t wanted = at < limit ? std::min(header.length - kPieceOffsetSize, limit - at) : 0;
    if (wanted > 0) end = std::max(end, at + wanted);
    const std::uint64_t there = std::min(wanted, remaining(from));
    if (!CopyPiece(from, there, at, sink, result, nullptr)) {
      if (result.cancelled || result.writeError != 0) return result;
      return incomplete(std::string(texts::kSparseUnreadable));
    }
    if (there < wanted) return incomplete(std::string(texts::kSparseEndsEarly));
    position = NextStream(position, header);
  }
  if (!sink.SetSize(trusted ? size : end, result.writeError)) return result;
  result.verdict = FileVerdict::kUnchecked;
  result.reason = trusted ? texts::kReasonSparse : texts::kReasonSparseSizeFromPieces;
  return result;
}

std::optional<std::string> RowDataProblem(std::int64_t size, std::int64_t offset, std::uint64_t bkfSize) {
  if (size < 0) return texts::SizeNotValid(size);
  if (offset < 0) return texts::OffsetNotValid(offset);
  if (size > std::numeric_limits<std::int64_t>::max() - offset) return texts::SizeNotValid(size);
  if (static_cast<std::uint64_t>(offset) > bkfSize) return texts::OffsetPastEnd(offset);
  return std::nullopt;
}

}  // namespace tallowin
