// The sizes and times that the progress line of a scan and the windows of a
// save or a verification show: bytes in KiB, MiB or GiB as the size asks,
// and the time left once the work has gone on long enough to tell it; and
// what the searching label says when a scan begins.
#include <QObject>
#include <QSignalSpy>
#include <QTest>

#include "browser/widgets/desktop_texts.h"
#include "browser/widgets/scan_events.h"
#include "browser/widgets/text_qt.h"
#include "browser/widgets/time_left_estimate.h"

namespace tallowin::test {

class ProgressTextsTest : public QObject {
  Q_OBJECT

 private slots:
  void theSearchingLabelSaysTheScanHasBegun() {
    ScanEvents events;
    QSignalSpy searching(&events, &ScanEvents::searching);
    events.OnSearching();
    QCOMPARE(searching.count(), 1);
    QCOMPARE(searching.first().first().toString(), QString("Searching file, please wait..."));
  }

  void sizesTakeTheUnitThatSuitsThem() {
    const std::pair<std::uint64_t, const char*> sizes[] = {
        {0, "0 bytes"},          {1, "1 byte"},
        {1023, "1023 bytes"},    {1024, "1.0 KiB"}, {1048524, "1023.9 KiB"},
        {1536, "1.5 KiB"},       {1048525, "1.0 MiB"},
        {1503238554, "1.4 GiB"}, {3ULL << 30, "3.0 GiB"},
        {5ULL << 40, "5.0 TiB"}};
    for (const auto& [bytes, text] : sizes) QCOMPARE(ToQString(desktop::DataSize(bytes)), QString(text));
  }

  void theTimeLeftIsRoundedToWhatAUserCanUse() {
    QCOMPARE(ToQString(desktop::TimeLeft(0.2)), QString("about 1 s left"));
    QCOMPARE(ToQString(desktop::TimeLeft(41.5)), QString("about 42 s left"));
    QCOMPARE(ToQString(desktop::TimeLeft(150)), QString("about 3 min left"));
    QCOMPARE(ToQString(desktop::TimeLeft(3900)), QString("about 1 h 5 min left"));
  }

  void theLinesSayTheSizesAndTheTimeLeftOnceKnown() {
    QCOMPARE(ToQString(desktop::ProgressLine(1503238554, 3ULL << 30, std::nullopt)),
             QString("Progress : 1.4 GiB \\ 3.0 GiB"));
    QCOMPARE(ToQString(desktop::ProgressLine(1503238554, 3ULL << 30, 130.0)),
             QString("Progress : 1.4 GiB \\ 3.0 GiB, about 2 min left"));
    QCOMPARE(ToQString(desktop::FileWorkLine(3, 10, 2048, 1 << 20, 20.0)),
             QString("3 of 10 file(s), 2.0 KiB of 1.0 MiB, about 20 s left"));
    QCOMPARE(ToQString(desktop::StoppedNote(42, 1503238554, 3ULL << 30)),
             QString("Stopped at 42% (1.4 GiB of 3.0 GiB): the catalogue is partial"));
  }

  // Nothing in the first seconds or the first hundredth, nor at the end;
  // then the rest at the pace so far.
  void theTimeLeftWaitsUntilThePaceIsKnown() {
    QVERIFY(!TimeLeftEstimate::SecondsLeft(50, 100, 1.0));
    QVERIFY(!TimeLeftEstimate::SecondsLeft(0, 100, 10.0));
    QVERIFY(!TimeLeftEstimate::SecondsLeft(5, 1000, 10.0));
    QVERIFY(!TimeLeftEstimate::SecondsLeft(100, 100, 10.0));
    QCOMPARE(TimeLeftEstimate::SecondsLeft(25, 100, 10.0).value_or(0), 30.0);
  }
};

}  // namespace tallowin::test

QTEST_APPLESS_MAIN(tallowin::test::ProgressTextsTest)
#include "progress_texts_test.moc"
