#include "cli/archive_target.h"

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <ctime>
#include <optional>
#include <system_error>
#include <unordered_set>
#include <utility>
#include <vector>

namespace tallowin::cli {
namespace {

namespace fs = std::filesystem;

// 100-nanosecond intervals between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kUnixEpochTicks = 116'444'736'000'000'000;
constexpr std::int64_t kTicksPerSecond = 10'000'000;

struct UnixTime {
  std::int64_t seconds;
  long nanoseconds;
};

UnixTime ToUnix(FileTime time) {
  const auto ticks = static_cast<std::int64_t>(std::min<FileTime>(time, INT64_MAX)) - kUnixEpochTicks;
  std::int64_t seconds = ticks / kTicksPerSecond, rest = ticks % kTicksPerSecond;
  if (rest < 0) --seconds, rest += kTicksPerSecond;
  return {seconds, static_cast<long>(rest * 100)};
}

enum class Kind { kTar, kTarGzip, kTarZstd, kTarXz, kTarBzip2, kZip };

std::optional<Kind> KindOf(const std::string& out) {
  std::string name = fs::path(out).filename().string();
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
  static const std::array<std::pair<const char*, Kind>, 10> kEndings = {{
      {".tar", Kind::kTar}, {".tar.gz", Kind::kTarGzip}, {".tgz", Kind::kTarGzip},
      {".tar.zst", Kind::kTarZstd}, {".tzst", Kind::kTarZstd}, {".tar.xz", Kind::kTarXz},
      {".txz", Kind::kTarXz}, {".tar.bz2", Kind::kTarBzip2}, {".tbz2", Kind::kTarBzip2},
      {".zip", Kind::kZip},
  }};
  for (const auto& [ending, kind] : kEndings) {
    if (name.size() > std::string_view(ending).size() && name.ends_with(ending)) return kind;
  }
  return std::nullopt;
}

struct ArchiveDeleter {
  void operator()(archive* a) const { archive_write_free(a); }
};
struct EntryDeleter {
  void operator()(archive_entry* e) const { archive_entry_free(e); }
};
using ArchivePtr = std::unique_ptr<archive, ArchiveDeleter>;
using EntryPtr = std::unique_ptr<archive_entry, EntryDeleter>;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

std::string Joined(TargetFolder folder, const std::string& name) {
  std::string path;
  for (const std::string& part : folder) path += part + '/';
  return path + name;
}

class ArchiveWriter;

using Runs = std::vector<std::pair<std::uint64_t, std::uint64_t>>;  // [from, to)

// The data runs of a sparse entry on tar's 512-byte blocks: GNU tar reads
// each run from a block of its own, so a run that began or ended inside a
// block would be read from the wrong place. The zeros this adds are the
// file's own.
Runs TarBlockRuns(const Runs& pieces, std::uint64_t size) {
  constexpr std::uint64_t kBlock = 512;
  Runs runs;
  for (const auto& [from, to] : pieces) {
    const std::uint64_t start = from / kBlock * kBlock;
    const std::uint64_t end = std::min(size, (to + kBlock - 1) / kBlock * kBlock);
    if (!runs.empty() && runs.back().second >= start) {
      runs.back().second = std::max(runs.back().second, end);
    } else {
      runs.emplace_back(start, end);
    }
  }
  return runs;
}

// A file of the archive. An entry's header comes before its data and holds
// its size: a file whose size is told first (every file but a sparse one)
// goes straight into the archive; a sparse file is gathered in a temporary
// file first, since only its whole tells where its holes are.
class ArchiveFile final : public TargetFile {
 public:
  ArchiveFile(ArchiveWriter& writer, std::string path, const FileTimes& times)
      : writer_(writer), path_(std::move(path)), times_(times) {}

  bool Announce(std::uint64_t bytes, int& error) override;
  bool Write(std::uint64_t at, std::span<const std::byte> bytes, int& error) override;
  bool SetSize(std::uint64_t size, int&) override {
    size_ = std::max(size_, size);
    return true;
  }
  bool Keep(int& error) override;
  void Discard() override { spool_.reset(); }

 private:
  ArchiveWriter& writer_;
  std::string path_;
  FileTimes times_;
  bool streaming_ = false;  // the header is written; the bytes follow in order
  std::unique_ptr<std::FILE, FileCloser> spool_;
  Runs pieces_;  // written to the spool
  std::uint64_t size_ = 0;
};

class ArchiveWriter final : public ArchiveTarget {
 public:
  ArchiveWriter(ArchivePtr archive, Kind kind, std::string out, fs::path temporary, int fd)
      : archive_(std::move(archive)), kind_(kind), out_(std::move(out)), temporary_(std::move(temporary)),
        output_{fd, false} {}

  // Starts the archive on the output; false with the reason.
  bool Start(std::string& reason) {
    // A file ends where the archive does; a stream is padded to whole
    // records, as tar readers on pipes expect. (Zeros after a compressed
    // stream would read as a broken frame.)
    archive_write_set_bytes_in_last_block(archive_.get(), temporary_.empty() ? 0 : 1);
    if (archive_write_open2(archive_.get(), &output_, nullptr, WriteOut, nullptr, nullptr) == ARCHIVE_OK) return true;
    reason = archive_error_string(archive_.get());
    Abandon();
    return false;
  }
  ~ArchiveWriter() override {
    if (!finished_) Abandon();
  }

  bool MakeFolder(TargetFolder parent, const std::string& name, bool fresh, int& error) override {
    const std::string path = Joined(parent, name);
    if (files_.contains(path) || (fresh && folders_.contains(path))) {
      error = EEXIST;
      return false;
    }
    if (!folders_.insert(path).second) return true;
    EntryPtr entry(archive_entry_new());
    archive_entry_set_pathname_utf8(entry.get(), (path + '/').c_str());
    archive_entry_set_filetype(entry.get(), AE_IFDIR);
    archive_entry_set_perm(entry.get(), 0755);
    // A folder is made now, as a save into a folder makes it.
    archive_entry_set_mtime(entry.get(), std::time(nullptr), 0);
    return WriteHeader(entry.get(), error);
  }

  std::unique_ptr<TargetFile> CreateFile(TargetFolder folder, const std::string& name, const FileTimes& times,
                                         int& error) override {
    std::string path = Joined(folder, name);
    if (files_.contains(path) || folders_.contains(path)) {
      error = EEXIST;
      return nullptr;
    }
    files_.insert(path);
    return std::make_unique<ArchiveFile>(*this, std::move(path), times);
  }

  fs::path Where(TargetFolder folder, const std::string& name) const override {
    return fs::path(Joined(folder, name));
  }

  // An entry's header; with `runs`, a sparse entry whose data lies there.
  bool BeginFile(const std::string& path, std::uint64_t size, const FileTimes& times, const Runs* runs, int& error) {
    EntryPtr entry(archive_entry_new());
    archive_entry_set_pathname_utf8(entry.get(), path.c_str());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), 0644);
    archive_entry_set_size(entry.get(), static_cast<la_int64_t>(size));
    const UnixTime modified = ToUnix(times.modified), accessed = ToUnix(times.accessed),
                   created = ToUnix(times.created);
    archive_entry_set_mtime(entry.get(), modified.seconds, modified.nanoseconds);
    archive_entry_set_atime(entry.get(), accessed.seconds, accessed.nanoseconds);
    archive_entry_set_birthtime(entry.get(), created.seconds, created.nanoseconds);
    if (runs != nullptr) {
      for (const auto& [from, to] : *runs) {
        archive_entry_sparse_add_entry(entry.get(), static_cast<la_int64_t>(from), static_cast<la_int64_t>(to - from));
      }
    }
    return WriteHeader(entry.get(), error);
  }
  bool Put(const void* bytes, std::size_t count, int& error) {
    if (archive_write_data(archive_.get(), bytes, count) == static_cast<la_ssize_t>(count)) return true;
    error = ArchiveErrno();
    return false;
  }
  // Pads an entry whose data came short, as tar does, and closes it.
  bool EndFile(int& error) {
    if (archive_write_finish_entry(archive_.get()) == ARCHIVE_OK) return true;
    error = ArchiveErrno();
    return false;
  }

  // The entry of a gathered file: the whole content goes in, holes as
  // zeros, which a sparse tar entry leaves out (a zip entry holds them).
  bool AddGathered(const std::string& path, std::FILE* spool, std::uint64_t size, const Runs& pieces,
                   const FileTimes& times, int& error) {
    std::uint64_t covered = 0;
    for (const auto& [from, to] : pieces) covered += to - from;
    const Runs runs = TarBlockRuns(pieces, size);
    const bool sparse = kind_ != Kind::kZip && covered < size && !runs.empty();
    if (!BeginFile(path, size, times, sparse ? &runs : nullptr, error)) return false;
    std::vector<std::byte> buffer(std::size_t{1} << 20);
    const auto zeros = [&](std::uint64_t count) {
      std::fill(buffer.begin(), buffer.end(), std::byte{0});
      for (; count > 0;) {
        const auto step = static_cast<std::size_t>(std::min<std::uint64_t>(count, buffer.size()));
        if (!Put(buffer.data(), step, error)) return false;
        count -= step;
      }
      return true;
    };
    std::uint64_t at = 0;
    for (const auto& [from, to] : pieces) {
      if (from > at && !zeros(from - at)) return false;
      if (::fseeko(spool, static_cast<off_t>(from), SEEK_SET) != 0) return Failed(error);
      for (std::uint64_t left = to - from; left > 0;) {
        const auto step = static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size()));
        if (std::fread(buffer.data(), 1, step, spool) != step) return Failed(error);
        if (!Put(buffer.data(), step, error)) return false;
        left -= step;
      }
      at = to;
    }
    if (size > at && !zeros(size - at)) return false;
    return EndFile(error);
  }

  bool Finish(std::string& reason) override {
    finished_ = true;
    if (archive_write_close(archive_.get()) != ARCHIVE_OK) {
      reason = archive_error_string(archive_.get());
      Remove();
      return false;
    }
    if (temporary_.empty()) return true;
    const int fd = std::exchange(output_.fd, -1);
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
      reason = std::generic_category().message(errno);
      Remove();
      return false;
    }
    std::error_code error;
    fs::rename(temporary_, out_, error);
    if (error) {
      reason = error.message();
      Remove();
      return false;
    }
    return true;
  }

  void Abandon() override {
    finished_ = true;
    // Closing fills the entry cut short with zeros up to its size, perhaps
    // gigabytes of them: the output refuses them, and the close only frees.
    output_.abandoned = true;
    archive_write_close(archive_.get());
    Remove();
  }

 private:
  bool WriteHeader(archive_entry* entry, int& error) {
    const int result = archive_write_header(archive_.get(), entry);
    if (result == ARCHIVE_OK || result == ARCHIVE_WARN) return true;
    error = ArchiveErrno();
    return false;
  }
  int ArchiveErrno() const {
    const int error = archive_errno(archive_.get());
    return error > 0 ? error : EIO;
  }
  static bool Failed(int& error) {
    error = errno != 0 ? errno : EIO;
    return false;
  }
  // The output of the archive, as libarchive writes to it.
  struct Output {
    int fd;
    bool abandoned;
  };
  static la_ssize_t WriteOut(archive* a, void* data, const void* buffer, std::size_t length) {
    auto& output = *static_cast<Output*>(data);
    if (output.abandoned) {
      archive_set_error(a, ECANCELED, "%s", std::generic_category().message(ECANCELED).c_str());
      return -1;
    }
    for (std::size_t done = 0; done < length;) {
      const ssize_t written = ::write(output.fd, static_cast<const char*>(buffer) + done, length - done);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) {
        const int error = written < 0 ? errno : EIO;
        archive_set_error(a, error, "%s", std::generic_category().message(error).c_str());
        return -1;
      }
      done += static_cast<std::size_t>(written);
    }
    return static_cast<la_ssize_t>(length);
  }

  void Remove() {
    if (!temporary_.empty() && output_.fd >= 0) ::close(std::exchange(output_.fd, -1));
    if (!temporary_.empty()) {
      std::error_code ignored;
      fs::remove(temporary_, ignored);
    }
  }

  ArchivePtr archive_;
  Kind kind_;
  std::string out_;
  fs::path temporary_;  // empty for standard output
  Output output_;
  bool finished_ = false;
  std::unordered_set<std::string> folders_, files_;
};

bool ArchiveFile::Announce(std::uint64_t bytes, int& error) {
  if (!writer_.BeginFile(path_, bytes, times_, nullptr, error)) return false;
  streaming_ = true;
  return true;
}

bool ArchiveFile::Write(std::uint64_t at, std::span<const std::byte> bytes, int& error) {
  if (streaming_) {
    // Told bytes come in order from the start.
    if (at != size_) {
      error = ESPIPE;
      return false;
    }
    if (!writer_.Put(bytes.data(), bytes.size(), error)) return false;
    size_ += bytes.size();
    return true;
  }
  if (!spool_) spool_.reset(std::tmpfile());
  if (!spool_ || ::fseeko(spool_.get(), static_cast<off_t>(at), SEEK_SET) != 0 ||
      std::fwrite(bytes.data(), 1, bytes.size(), spool_.get()) != bytes.size()) {
    error = errno != 0 ? errno : EIO;
    return false;
  }
  // Pieces come in order; one that adjoins the last one extends it.
  if (!pieces_.empty() && pieces_.back().second == at) {
    pieces_.back().second += bytes.size();
  } else {
    pieces_.emplace_back(at, at + bytes.size());
  }
  size_ = std::max(size_, at + bytes.size());
  return true;
}

bool ArchiveFile::Keep(int& error) {
  if (streaming_) return writer_.EndFile(error);
  const bool kept = (!spool_ || std::fflush(spool_.get()) == 0) &&
                    writer_.AddGathered(path_, spool_.get(), size_, pieces_, times_, error);
  if (!kept && error == 0) error = errno != 0 ? errno : EIO;
  spool_.reset();
  return kept;
}

bool SetUp(archive* a, Kind kind) {
  const bool format = kind == Kind::kZip ? archive_write_set_format_zip(a) == ARCHIVE_OK
                                         : archive_write_set_format_pax(a) == ARCHIVE_OK;
  if (!format) return false;
  switch (kind) {
    case Kind::kTar: return true;
    case Kind::kZip:
      // The fastest deflate: backups hold much that is compressed already,
      // where a stronger one costs time and gains nothing.
      return archive_write_set_options(a, "zip:hdrcharset=UTF-8,zip:compression-level=1") == ARCHIVE_OK;
    case Kind::kTarGzip: return archive_write_add_filter_gzip(a) == ARCHIVE_OK;
    case Kind::kTarZstd: return archive_write_add_filter_zstd(a) == ARCHIVE_OK;
    case Kind::kTarXz: return archive_write_add_filter_xz(a) == ARCHIVE_OK;
    case Kind::kTarBzip2: return archive_write_add_filter_bzip2(a) == ARCHIVE_OK;
  }
  return false;
}

mode_t CurrentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

}  // namespace

bool KnownArchiveName(const std::string& out) { return out == "-" || KindOf(out).has_value(); }

std::unique_ptr<ArchiveTarget> ArchiveTarget::Open(const std::string& out, std::string& reason) {
  const std::optional<Kind> kind = out == "-" ? std::optional(Kind::kTar) : KindOf(out);
  if (!kind) return nullptr;
  // libarchive turns the UTF-8 names into the locale's characters on the
  // way: in the C locale, whose characters are ASCII, every other name
  // would be lost.
  if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr) std::setlocale(LC_CTYPE, "");
  ArchivePtr archive(archive_write_new());
  if (!archive || !SetUp(archive.get(), *kind)) {
    reason = archive ? archive_error_string(archive.get()) : std::generic_category().message(ENOMEM);
    return nullptr;
  }
  int fd = STDOUT_FILENO;
  fs::path temporary;
  if (out != "-") {
    // Beside the archive, so that the finished one takes its name in one step.
    const fs::path target = fs::absolute(out);
    std::string pattern = (target.parent_path() / ("." + target.filename().string() + ".twbkf-XXXXXX")).string();
    fd = ::mkstemp(pattern.data());
    if (fd < 0) {
      reason = std::generic_category().message(errno);
      return nullptr;
    }
    // A temporary file is private; the archive is made as any new file is.
    ::fchmod(fd, 0666 & ~CurrentUmask());
    temporary = pattern;
  }
  auto writer = std::make_unique<ArchiveWriter>(std::move(archive), *kind, out, temporary, fd);
  if (!writer->Start(reason)) return nullptr;
  return writer;
}

}  // namespace tallowin::cli
