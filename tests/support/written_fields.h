// The fields that the test writers fill and the program never reads, by
// their offset from the block start (or from the stream header, the OS data
// or the catalogue entry). The fields the program reads are the engine's
// own (engine/mtf_fields.h), so that writer and reader share one table.
#pragma once

#include <cstddef>

namespace tallowin::test::field {
// Common block header.
constexpr std::size_t kId = 0;
constexpr std::size_t kAttributes = 4;
constexpr std::size_t kOsId = 10;
constexpr std::size_t kOsVersion = 11;
constexpr std::size_t kControlBlockId = 36;
constexpr std::size_t kOsDataSize = 44;
constexpr std::size_t kOsDataOffset = 46;
constexpr std::size_t kStringType = 48;
// Tape block.
constexpr std::size_t kMediaFamilyId = 52;
constexpr std::size_t kTapeAttributes = 56;
constexpr std::size_t kMediaSequence = 60;
constexpr std::size_t kSoftFilemarkBlocks = 64;
constexpr std::size_t kCatalogueType = 66;
constexpr std::size_t kMediaName = 68;
constexpr std::size_t kSoftwareName = 80;
constexpr std::size_t kMediaDate = 88;
constexpr std::size_t kFormatVersion = 93;
constexpr std::size_t kTapeEnd = 94;
// Data set block.
constexpr std::size_t kSetNumber = 62;
constexpr std::size_t kUserName = 76;
constexpr std::size_t kSetPhysicalAddress = 80;
constexpr std::size_t kSoftwareVersion = 93;
constexpr std::size_t kCatalogueVersion = 97;
constexpr std::size_t kSetEnd = 98;
// Volume block.
constexpr std::size_t kDeviceName = 56;
constexpr std::size_t kVolumeName = 60;
constexpr std::size_t kMachineName = 64;
constexpr std::size_t kVolumeWriteDate = 68;
constexpr std::size_t kVolumeEnd = 73;
// Directory and file blocks.
constexpr std::size_t kBackupDate = 66;
constexpr std::size_t kDirectoryEnd = 84;
constexpr std::size_t kFileEnd = 88;
// End of set block.
constexpr std::size_t kCatalogueMedium = 76;
constexpr std::size_t kEndSetNumber = 78;
constexpr std::size_t kEndSetWriteDate = 80;
constexpr std::size_t kEndSetEnd = 85;
// Soft filemark block.
constexpr std::size_t kFilemarkCapacity = 52;
constexpr std::size_t kFilemarksUsed = 56;
constexpr std::size_t kFilemarkList = 60;
// Stream header.
constexpr std::size_t kStreamId = 0;
// The Windows utility's OS data.
constexpr std::size_t kOsAttributes = 0;
constexpr std::size_t kOsShortNameSize = 4;
constexpr std::size_t kOsShortNameOffset = 6;
constexpr std::size_t kDirectoryOsDataSize = 4;
constexpr std::size_t kFileOsDataSize = 24;
// An entry of the set's catalogue (TFDD).
constexpr std::size_t kEntryLength = 0;
constexpr std::size_t kEntryTag = 2;
constexpr std::size_t kEntryMedium = 6;
constexpr std::size_t kEntryAddress = 12;
constexpr std::size_t kEntrySize = 20;
constexpr std::size_t kEntryFolder = 28;
constexpr std::size_t kEntryOsId = 32;
constexpr std::size_t kEntryOsVersion = 33;
constexpr std::size_t kEntryStringType = 34;
constexpr std::size_t kEntryHeaderEnd = 36;
constexpr std::size_t kEntryModifiedDate = 36;
constexpr std::size_t kEntryCreatedDate = 41;
constexpr std::size_t kEntryAccessedDate = 51;
constexpr std::size_t kEntryVolumeName = 44;
constexpr std::size_t kEntryVolumeNameText = 60;
constexpr std::size_t kEntryAttributes = 56;
constexpr std::size_t kEntryName = 60;
constexpr std::size_t kEntryNameText = 64;
// An entry of the map of the sets (TSMP): its fields, then the name.
constexpr std::size_t kSetMapEntryName = 20;
}  // namespace tallowin::test::field
