#include <gtest/gtest.h>

#include <thread>

#include "save/row_verdicts.h"
#include "catalog/program_texts.h"

namespace tallowin {
namespace {

TEST(RowVerdictsTest, ARowWithoutAVerdictSaysSoAndOneRecordedReadsBack) {
  RowVerdicts verdicts;
  EXPECT_EQ(verdicts.Verdict(3), std::nullopt);
  EXPECT_EQ(verdicts.Read(-1).verdict, std::nullopt);
  verdicts.Record(3, FileVerdict::kDamaged, texts::kReasonDamaged);
  verdicts.Record(5, FileVerdict::kIncomplete, "the BKF file ends before this file does: 7 of 9 bytes are there");
  verdicts.Record(6, FileVerdict::kVerified, "");
  EXPECT_EQ(verdicts.Verdict(3), FileVerdict::kDamaged);
  EXPECT_EQ(verdicts.Read(3).reason, texts::kReasonDamaged);
  EXPECT_EQ(verdicts.Read(5).reason, "the BKF file ends before this file does: 7 of 9 bytes are there");
  EXPECT_EQ(verdicts.Read(6).reason, "");
  EXPECT_EQ(verdicts.Verdict(4), std::nullopt);
  EXPECT_EQ(verdicts.Verdict(7), std::nullopt);
}

// A row verified again (after a save of a moved BKF file, say) keeps only
// its new verdict and reason, and the counts follow.
TEST(RowVerdictsTest, ASecondVerdictReplacesTheFirstInTheCounts) {
  RowVerdicts verdicts;
  verdicts.Record(0, FileVerdict::kIncomplete, "its own reason");
  verdicts.Record(1, FileVerdict::kVerified, "");
  verdicts.Record(0, FileVerdict::kUnchecked, texts::kReasonNoChecksum);
  EXPECT_EQ(verdicts.Read(0).reason, texts::kReasonNoChecksum);
  const auto counts = verdicts.Counts();
  EXPECT_EQ(counts[static_cast<int>(FileVerdict::kIncomplete)], 0u);
  EXPECT_EQ(counts[static_cast<int>(FileVerdict::kUnchecked)], 1u);
  EXPECT_EQ(counts[static_cast<int>(FileVerdict::kVerified)], 1u);
  EXPECT_EQ(verdicts.Known(), 2u);
  const std::uint64_t before = verdicts.Generation();
  verdicts.Clear();
  EXPECT_GT(verdicts.Generation(), before);
  EXPECT_EQ(verdicts.Known(), 0u);
  EXPECT_EQ(verdicts.Verdict(0), std::nullopt);
}

// Every verdict and every shared reason fits the row's one byte: none reads
// back as another.
TEST(RowVerdictsTest, EveryVerdictWithEverySharedReasonReadsBackExactly) {
  RowVerdicts verdicts;
  const std::string_view reasons[] = {texts::kReasonDamaged,        texts::kReasonStoredEncrypted,
                                      texts::kReasonStoredCompressed, texts::kReasonChecksumMissing,
                                      texts::kReasonHeaderDamaged,  texts::kReasonNoChecksum,
                                      texts::kReasonSparse,         texts::kReasonSparseSizeFromPieces,
                                      texts::kReasonEmpty,          texts::kSparseEndsEarly,
                                      texts::kSparseUnreadable,     ""};
  RowIndex row = 0;
  for (int verdict = 0; verdict < kFileVerdictCount; ++verdict) {
    for (const std::string_view reason : reasons) verdicts.Record(row++, static_cast<FileVerdict>(verdict), reason);
  }
  row = 0;
  for (int verdict = 0; verdict < kFileVerdictCount; ++verdict) {
    for (const std::string_view reason : reasons) {
      const RowVerdicts::Entry entry = verdicts.Read(row++);
      EXPECT_EQ(entry.verdict, static_cast<FileVerdict>(verdict));
      EXPECT_EQ(entry.reason, reason);
    }
  }
}

TEST(RowVerdictsTest, OnlyDamagedIncompleteAndSkippedFilesAreTrouble) {
  EXPECT_TRUE(IsTrouble(FileVerdict::kDamaged));
  EXPECT_TRUE(IsTrouble(FileVerdict::kIncomplete));
  EXPECT_TRUE(IsTrouble(FileVerdict::kSkipped));
  EXPECT_FALSE(IsTrouble(FileVerdict::kVerified));
  EXPECT_FALSE(IsTrouble(FileVerdict::kUnchecked));
  EXPECT_FALSE(IsTrouble(FileVerdict::kStoredEncrypted));
  EXPECT_FALSE(IsTrouble(FileVerdict::kStoredCompressed));
}

// A verification records on its worker while the window reads.
TEST(RowVerdictsTest, RecordingOnOneThreadWhileAnotherReads) {
  RowVerdicts verdicts;
  std::jthread writer([&] {
    for (RowIndex row = 0; row < 20000; ++row) verdicts.Record(row, FileVerdict::kUnchecked, texts::kReasonNoChecksum);
  });
  std::uint64_t seen = 0;
  while (seen < 20000) {
    seen = 0;
    verdicts.ForEachKnown(0, 20000, [&](RowIndex, FileVerdict verdict) { seen += verdict == FileVerdict::kUnchecked; });
  }
  EXPECT_EQ(verdicts.Known(), 20000u);
}

}  // namespace
}  // namespace tallowin
