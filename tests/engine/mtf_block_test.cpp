// Recognising blocks and decoding the fields of one block.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "engine/mtf_block.h"
#include "engine/packed_dates.h"
#include "tests/support/mtf_writer.h"

namespace tallowin {
namespace {

std::vector<std::byte> Block(std::string_view head, std::size_t size = kBlockSize) {
  std::vector<std::byte> bytes(size);
  std::memcpy(bytes.data(), head.data(), std::min(head.size(), size));
  return bytes;
}

void PutU16(std::vector<std::byte>& bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = std::byte(value & 0xFF);
  bytes[at + 1] = std::byte(value >> 8);
}

void PutUnits(std::vector<std::byte>& bytes, std::size_t at, std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) PutU16(bytes, at + 2 * i, text[i]);
}

constexpr std::array<const char*, 19> kIds = {
    "TAPE", "SFMB", "SSET", "VOLB", "DIRB", "FILE", "ESET", "EOTM", "CFIL", "ESPB",
    "TSMP", "TFDD", "NACL", "NTQU", "CSUM", "STAN", "SPAD", "FEND", "NTOI"};

TEST(ClassifyBlock, EveryKnownIdGivesItsTableIndex) {
  for (std::size_t i = 0; i < kIds.size(); ++i) {
    EXPECT_EQ(ClassifyBlock(Block(kIds[i])), static_cast<BlockClass>(i)) << kIds[i];
  }
}

TEST(ClassifyBlock, KnownIdWithLowAttributesSetIsUnrecognised) {
  for (const std::size_t attributeByte : {4u, 5u}) {
    auto block = Block("FILE");
    block[attributeByte] = std::byte{1};  // bit 0: a continuation block, for example
    EXPECT_EQ(ClassifyBlock(block), BlockClass::kUnrecognised) << "byte " << attributeByte;
  }
  // The upper half of the attributes is not looked at.
  auto block = Block("FILE");
  block[6] = std::byte{0xFF};
  block[7] = std::byte{0xFF};
  EXPECT_EQ(ClassifyBlock(block), BlockClass::kFile);
}

TEST(ClassifyBlock, ZeroIdIsEmptyPositionEvenWithDataBehindIt) {
  auto block = Block(std::string("\0\0\0\0\x07\x07STAN", 10));
  EXPECT_EQ(ClassifyBlock(block), BlockClass::kEmpty);
  EXPECT_EQ(ClassifyBlock(Bytes{}), BlockClass::kEmpty);
}

TEST(ClassifyBlock, UnknownOrMisspelledIdIsUnrecognised) {
  for (const char* id : {"file", "FIL\0", "XFILE", " FIL", "SSEt", "\x01\0\0\0"}) {
    EXPECT_EQ(ClassifyBlock(Block(std::string_view(id, 4))), BlockClass::kUnrecognised) << id;
  }
}

TEST(ClassifyBlock, IdCutShortByTheFilledEndIsNotRecognised) {
  const auto block = Block("FILE");
  EXPECT_EQ(ClassifyBlock(Bytes(block).first(3)), BlockClass::kUnrecognised);
}

FileTime DateAt0(std::array<std::uint8_t, 5> packed) {
  std::vector<std::byte> bytes;
  for (const auto b : packed) bytes.push_back(std::byte(b));
  return DecodeMtfDate(bytes, 0);
}

TEST(DecodeMtfDate, PackedBytesGiveTheStoredTimeWithoutZoneShift) {
  // 2007-05-12 14:30:45: the hour is 14 as stored, no zone applied.
  EXPECT_EQ(DateAt0({0x1F, 0x5D, 0x58, 0xE7, 0xAD}), FileTime{128234538450000000});
}

struct DateCase {
  test::PackedDate date;
  FileTime expected;
};

void PrintTo(const DateCase& c, std::ostream* os) {
  *os << c.date.year << '-' << c.date.month << '-' << c.date.day << ' ' << c.date.hour << ':'
      << c.date.minute << ':' << c.date.second;
}

class DecodeMtfDateCase : public ::testing::TestWithParam<DateCase> {};

TEST_P(DecodeMtfDateCase, GivesTheFileTimeOrZeroForAnImpossibleDate) {
  const auto packed = test::PackDate(GetParam().date);
  EXPECT_EQ(DecodeMtfDate(packed, 0), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, DecodeMtfDateCase,
    ::testing::Values(DateCase{{1601, 1, 1, 0, 0, 0}, 0},
                      DateCase{{1601, 1, 1, 0, 0, 1}, 10'000'000},
                      DateCase{{2000, 2, 29, 0, 0, 0}, 125962560000000000},
                      DateCase{{2008, 12, 31, 23, 59, 59}, 128752415990000000},
                      DateCase{{2009, 1, 1, 0, 0, 0}, 128752416000000000},
                      // Not calendar times: file time 0.
                      DateCase{{1600, 12, 31, 23, 59, 59}, 0}, DateCase{{2007, 0, 1, 0, 0, 0}, 0},
                      DateCase{{2007, 13, 1, 0, 0, 0}, 0}, DateCase{{2007, 5, 0, 0, 0, 0}, 0},
                      DateCase{{2007, 4, 31, 0, 0, 0}, 0}, DateCase{{1900, 2, 29, 0, 0, 0}, 0},
                      DateCase{{2007, 5, 12, 24, 0, 0}, 0}, DateCase{{2007, 5, 12, 0, 60, 0}, 0},
                      DateCase{{2007, 5, 12, 0, 0, 60}, 0}));

TEST(DecodeMtfDate, BytesPastTheFilledEndReadAsZero) {
  const auto packed = test::PackDate({2007, 5, 12, 14, 30, 45});
  // Without its last byte the date reads as 14:28:00 of the same day.
  EXPECT_EQ(DecodeMtfDate(Bytes(packed).first(4), 0),
            DecodeMtfDate(test::PackDate({2007, 5, 12, 14, 28, 0}), 0));
}

TEST(ReadMtfString, NulSeparatorsBecomeBackslashesAndSizeZeroIsEmpty) {
  auto block = Block("DIRB");
  PutUnits(block, 100, std::u16string(u"a\0b\0", 4));
  EXPECT_EQ(ReadMtfString(block, 8, 100), u"a\\b\\");
  EXPECT_EQ(ReadMtfString(block, 0, 100), u"");
  EXPECT_EQ(ReadMtfString(block, 3, 100), u"a");  // whole units only
}

TEST(ReadMtfString, CutAfterLimitUnits) {
  auto block = Block("FILE", 1024);
  const std::u16string name(300, u'n');
  PutUnits(block, 96, name);
  EXPECT_EQ(ReadMtfString(block, 600, 96, 255), std::u16string(255, u'n'));
  EXPECT_EQ(ReadMtfString(block, 600, 96), name);
}

TEST(ReadMtfString, FieldReachingPastTheFilledBytesIsEmpty) {
  auto block = Block("FILE");
  PutUnits(block, 96, u"abcd");
  const Bytes filled = Bytes(block).first(103);  // the field needs bytes 96 to 103
  EXPECT_EQ(ReadMtfString(filled, 8, 96), u"");
  EXPECT_EQ(ReadMtfString(Bytes(block).first(104), 8, 96), u"abcd");
  EXPECT_EQ(ReadMtfString(block, 8, 0xFFFF), u"");
}

TEST(ReadMtfString, LoneSurrogatesAreKeptAsCodeUnits) {
  auto block = Block("FILE");
  PutUnits(block, 96, u"a\xD800z");
  EXPECT_EQ(ReadMtfString(block, 6, 96), u"a\xD800z");
}

std::vector<std::byte> FileBlockWithStanAt(std::size_t at, std::size_t size) {
  auto block = Block("FILE", size);
  std::memcpy(block.data() + at, "STAN", 4);
  return block;
}

TEST(FindDataStream, LastByteOfTheLimitMayStartTheHeader) {
  const auto block = FileBlockWithStanAt(1023, 2048);
  EXPECT_EQ(FindDataStream(block, 1024), std::optional<std::size_t>(1023));
  EXPECT_EQ(FindDataStream(block, 512), std::nullopt);
  EXPECT_EQ(FindDataStream(block, 1023), std::nullopt);
}

TEST(FindDataStream, FirstMatchWinsWhateverItsAlignment) {
  auto block = FileBlockWithStanAt(301, 1024);
  std::memcpy(block.data() + 200, "STAN", 4);
  EXPECT_EQ(FindDataStream(block, 1024), std::optional<std::size_t>(200));
}

TEST(FindDataStream, HeaderPassingTheFilledEndIsNoStream) {
  const auto block = FileBlockWithStanAt(400, 1024);
  EXPECT_EQ(FindDataStream(Bytes(block).first(421), 1024), std::nullopt);  // 21 of 22 bytes
  EXPECT_EQ(FindDataStream(Bytes(block).first(422), 1024), std::optional<std::size_t>(400));
  EXPECT_EQ(FindDataStream(Bytes(block).first(403), 1024), std::nullopt);  // id cut short
}


// The scan keeps decoded dates and days; what it gives must be what a
// decoding of each date alone gives, valid or not.
TEST(PackedDates, GiveWhatEachDateDecodedAloneGives) {
  PackedDates dates;
  std::uint64_t state = 12345;
  std::vector<std::byte> block(5);
  for (int i = 0; i < 200000; ++i) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    // Mostly near real dates, sometimes anything at all.
    const std::uint64_t bits = state >> 24;
    const test::PackedDate near{static_cast<int>(1999 + bits % 12), static_cast<int>(bits >> 4 & 15),
                                static_cast<int>(bits >> 8 & 31), static_cast<int>(bits >> 13 & 31),
                                static_cast<int>(bits >> 18 & 63), static_cast<int>(bits >> 24 & 63)};
    const auto packed = test::PackDate(near);
    for (std::size_t b = 0; b < 5; ++b) block[b] = i % 7 == 0 ? std::byte(state >> (8 * b + 3)) : packed[b];
    ASSERT_EQ(dates.Decode(block, 0), DecodeMtfDate(block, 0)) << i;
  }
  EXPECT_EQ(dates.Decode(std::span(block).first(4), 0), DecodeMtfDate(std::span(block).first(4), 0));
}

}  // namespace
}  // namespace tallowin
