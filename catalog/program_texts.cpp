#include "catalog/program_texts.h"

#include "catalog/number_text.h"

namespace tallowin::texts {

std::u16string ProgressLabel(std::uint64_t position, std::uint64_t fileSize) {
  return u"Progress : " + FormatUInt64(position) + u" \\ " + FormatUInt64(fileSize);
}

std::u16string FilesFoundLabel(std::uint64_t count) { return u"File(s) Found : " + FormatUInt64(count); }

std::u16string SetCatalogueNote(std::uint64_t rows, std::uint64_t notFound) {
  const std::u16string missing = u"whose data was not found.";
  if (rows == 0 && notFound == 0) return {};
  if (rows == 0) return u"The backup's own catalogue lists " + FormatUInt64(notFound) + u" file(s) " + missing;
  std::u16string note = FormatUInt64(rows) + u" file(s) came back from the backup's own catalogue";
  if (notFound == 0) return note + u".";
  return note + u"; it lists " + FormatUInt64(notFound) + u" more file(s) " + missing;
}

namespace {

std::string Bytes(std::uint64_t done, std::uint64_t size) {
  return std::to_string(done) + " of " + std::to_string(size) + " bytes";
}

}  // namespace

std::string FolderNotMade(std::string_view name, std::string_view reason) {
  return "the folder " + std::string(name) + " could not be made: " + std::string(reason);
}
std::string FolderNotOpened(std::string_view reason) {
  return "a folder of this file could not be opened: " + std::string(reason);
}
std::string FileNotCreated(std::string_view name, std::string_view reason) {
  return "the file " + std::string(name) + " could not be created: " + std::string(reason);
}
std::string WriteFailed(std::string_view name, std::string_view reason) {
  return "writing " + std::string(name) + " failed: " + std::string(reason);
}
std::string Skipped(std::string_view problem) { return std::string(problem) + "; the file was skipped"; }
std::string DestinationNotOpened(std::string_view reason) {
  return "The destination folder cannot be opened: " + std::string(reason);
}
std::string DestinationRefuses(std::string_view reason) {
  return "the destination refuses every file: " + std::string(reason);
}
std::string NotTried(std::uint64_t files, std::string_view destinationRefuses) {
  return std::to_string(files) + " more file(s) were not tried: " + std::string(destinationRefuses);
}
std::string BkfNotOpened(std::string_view path, std::string_view cause) {
  std::string text = "The BKF file " + std::string(path) + " cannot be opened. Make sure that it exists and is not in use.";
  if (!cause.empty()) text += "\n" + std::string(cause);
  return text;
}
std::string EndsBeforeFile(std::uint64_t done, std::uint64_t size) {
  return "the BKF file ends before this file does: " + Bytes(done, size) + " are there";
}
std::string UnreadablePast(std::uint64_t done, std::uint64_t size) {
  return "the BKF file could not be read past " + Bytes(done, size);
}
std::string SizeNotValid(std::int64_t size) { return "the file size " + std::to_string(size) + " is not valid"; }
std::string SizeNotANumber(std::string_view text) {
  return "the file size \"" + std::string(text) + "\" is not a number";
}
std::string OffsetNotANumber(std::string_view text) {
  return "the data offset \"" + std::string(text) + "\" is not a number";
}
std::string OffsetNotValid(std::int64_t offset) {
  return "the data offset " + std::to_string(offset) + " is not valid";
}
std::string OffsetPastEnd(std::int64_t offset) {
  return "the data offset " + std::to_string(offset) + " lies past the end of the BKF file";
}

int ProgressPercent(std::uint64_t position, std::uint64_t fileSize) {
  if (fileSize == 0) return 0;
  // Split so that position x 100 cannot overflow for any 64-bit size.
  const std::uint64_t whole = position / fileSize;
  const std::uint64_t rest = position % fileSize;
  const std::uint64_t fraction =
      rest <= UINT64_MAX / 100 ? rest * 100 / fileSize : rest / (fileSize / 100 + 1);
  return static_cast<int>(whole * 100 + fraction);
}

}  // namespace tallowin::texts
