// One file's data in the BKF file, read as the save and the verification
// both read it: in the form the backup stores it (told by the stream headers
// around it), as one piece or as the pieces of a sparse file, with the
// checksum the backup stored beside it checked on the way.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "engine/read_ahead.h"
#include "engine/bkf_file.h"
#include "engine/mtf_stream.h"

namespace tallowin {

// What became of one file. Where several apply, the first in this order is
// given: incomplete, damaged, stored encrypted, stored compressed, verified,
// unchecked.
enum class FileVerdict {
  kVerified,          // the data matches the checksum stored with it
  kUnchecked,         // complete, but no usable checksum is stored with it
  kDamaged,           // the data does not match its checksum
  kIncomplete,        // the BKF file ends or cannot be read before the data does
  kStoredEncrypted,   // saved as stored: this program cannot decrypt it
  kStoredCompressed,  // saved as stored: this program cannot decompress it
  kSkipped,           // the row's size or offset make no sense: nothing was read
};
inline constexpr int kFileVerdictCount = 7;

// "verified", "unchecked", "damaged", "incomplete", "stored encrypted",
// "stored compressed", "skipped".
std::string_view VerdictName(FileVerdict verdict);

// One line of a report on a file: "path: verdict, reason", or "path: reason"
// when there is no verdict.
std::u16string FileReportLine(std::u16string_view path, std::optional<FileVerdict> verdict,
                              std::string_view reason);

// What the headers around a row's data say of it.
struct StoredForm {
  bool sparse = false;  // the data lies in "SPAR" pieces after an empty data stream
  bool encrypted = false;
  bool compressed = false;
  // The data's header was hit: its length and attributes cannot be trusted.
  bool headerDamaged = false;
  // The data stream promised a checksum and none follows it.
  bool checksumMissing = false;
  std::optional<std::uint32_t> checksum;  // the checksum stored after the data
};

// Reads the 22 bytes before `offset`: a data stream header ("STAN", or
// "NTED" for an encrypted file) of `size` bytes tells how the data is
// stored and whether a checksum follows it. Without one, a "CSUM" stream
// right after the data still counts.
StoredForm ReadStoredForm(BkfReader& bkf, std::uint64_t offset, std::uint64_t size);

// Where the bytes go.
class FileDataSink {
 public:
  virtual ~FileDataSink() = default;
  // `bytes` at `at` in the file being made; false with an errno value.
  virtual bool Write(std::uint64_t at, std::span<const std::byte> bytes, int& error) = 0;
  // Appends up to `count` bytes of the BKF file from `from` where the system
  // can copy them itself, without a trip through this process; how many.
  virtual std::uint64_t CopyFrom(BkfReader& bkf, std::uint64_t from, std::uint64_t count) {
    (void)bkf, (void)from, (void)count;
    return 0;
  }
  // Before the first byte of a file that is not sparse: how many bytes
  // follow, as far as the BKF file holds them, in order from the start. A
  // sink that must know the size first (an archive entry's header) takes it
  // here; a read that fails later gives fewer.
  virtual bool Announce(std::uint64_t bytes, int& error) {
    (void)bytes, (void)error;
    return true;
  }
  // The file's whole size, past its last piece: a sparse file's last hole.
  virtual bool SetSize(std::uint64_t size, int& error) {
    (void)size, (void)error;
    return true;
  }
};

struct FileDataResult {
  FileVerdict verdict = FileVerdict::kUnchecked;
  std::uint64_t bytes = 0;  // data bytes that the BKF file gave
  int writeError = 0;       // the sink failed with this errno value
  bool cancelled = false;
  std::string reason;  // why the verdict is not "verified"
};

class FileDataReader {
 public:
  // `progress` is told of every step's data bytes.
  // A stop requested on `stop` ends a read between pieces, cancelled.
  FileDataReader(BkfReader& bkf, std::stop_token stop, std::function<void(std::uint64_t)> progress);

  // The data of a row whose offset and size passed RowDataProblem.
  FileDataResult Read(std::uint64_t offset, std::uint64_t size, FileDataSink& sink);

 private:
  FileDataResult ReadPlain(std::uint64_t offset, std::uint64_t size, const StoredForm& form,
                           FileDataSink& sink);
  FileDataResult ReadSparse(std::uint64_t offset, std::uint64_t size, FileDataSink& sink);
  // Copies `count` bytes from `from` in the BKF file to `at` in the sink.
  bool CopyPiece(std::uint64_t from, std::uint64_t count, std::uint64_t at, FileDataSink& sink,
                 FileDataResult& result, std::uint32_t* checksum);

  BkfReader& bkf_;
  std::uint64_t bkfSize_;
  std::stop_token stop_;
  std::function<void(std::uint64_t)> progress_;
  ReadAhead ahead_;
};

// Why a row's size and offset cannot be saved at all, or nothing.
std::optional<std::string> RowDataProblem(std::int64_t size, std::int64_t offset, std::uint64_t bkfSize);

}  // namespace tallowin
