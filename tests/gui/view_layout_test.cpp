// Where the main view puts its controls for a given client size.
#include <QTest>

#include "browser/widgets/view_layout.h"
#include "tests/gui/gui_test_support.h"

namespace tallowin {

char* toString(const ViewRect& rect) {
  return QTest::toString(QString("(%1, %2, %3, %4)").arg(rect.left).arg(rect.top).arg(rect.width).arg(rect.height));
}

namespace test {

class ViewLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void browserPageFollowsTheClientSize() {
    // h = (700 + 100) / 2 = 400.
    const ViewLayout layout = ComputeViewLayout(1000, 700);
    QCOMPARE(layout.folderTree, (ViewRect{10, 20, 290, 380}));
    QCOMPARE(layout.fileList, (ViewRect{300, 20, 680, 380}));
    QCOMPARE(layout.captionImage, (ViewRect{10, 400, 970, 20}));
    QCOMPARE(layout.catalogueList, (ViewRect{10, 420, 970, 230}));
    QCOMPARE(layout.progressBar, (ViewRect{20, 676, 570, 15}));
    QCOMPARE(layout.searchingLabel, (ViewRect{20, 656, 280, 20}));
    QCOMPARE(layout.progressLabel, (ViewRect{720, 656, 280, 20}));
    QCOMPARE(layout.foundFilesLabel, (ViewRect{720, 681, 280, 15}));
    QCOMPARE(layout.stopButton, (ViewRect{610, 659, 80, 39}));
    QCOMPARE(layout.backButton, (ViewRect{806, 659, 77, 39}));
    QCOMPARE(layout.saveButton, (ViewRect{898, 659, 77, 39}));
    QCOMPARE(layout.nextButton, (ViewRect{898, 651, 92, 39}));
  }

  void draggedBordersMoveThePanesAndStayInsideTheView() {
    const ViewLayout moved = ComputeViewLayout(1000, 700, {.treeWidth = 500, .captionTop = 300});
    QCOMPARE(moved.folderTree, (ViewRect{10, 20, 500, 280}));
    QCOMPARE(moved.fileList, (ViewRect{510, 20, 470, 280}));
    QCOMPARE(moved.captionImage, (ViewRect{10, 300, 970, 20}));
    QCOMPARE(moved.catalogueList, (ViewRect{10, 320, 970, 330}));
    QCOMPARE(moved.treeHandle, (ViewRect{507, 20, 6, 280}));
    QCOMPARE(moved.listHandle, (ViewRect{10, 297, 970, 6}));
    // Dragged to the edge: every pane keeps 60 pixels.
    const ViewLayout far = ComputeViewLayout(1000, 700, {.treeWidth = 5000, .captionTop = -5});
    QCOMPARE(far.fileList.width, 60);
    QCOMPARE(far.folderTree.height, 60);
    QCOMPARE(ComputeViewLayout(1000, 700, {.treeWidth = 0, .captionTop = {}}).folderTree.width, 60);
    QCOMPARE(ComputeViewLayout(1000, 700, {.treeWidth = {}, .captionTop = 9999}).catalogueList.height, 60);
  }

  void oddHeightsRoundDown() {
    // h = (601 + 100) / 2 = 350, m = 601 / 2 = 300.
    const ViewLayout layout = ComputeViewLayout(1001, 601);
    QCOMPARE(layout.captionImage.top, 350);
    QCOMPARE(layout.catalogueList.height, 601 - 350 - 70);
    QCOMPARE(layout.promptLabel.top, 258);
    QCOMPARE(layout.pathBox.top, 288);
  }

  void wideStartPageCentresABoxOfFixedWidth() {
    const ViewLayout layout = ComputeViewLayout(1000, 700);
    QCOMPARE(layout.promptLabel, (ViewRect{200, 308, 550, 24}));
    QCOMPARE(layout.pathBox, (ViewRect{200, 338, 550, 24}));
    QCOMPARE(layout.browseButton, (ViewRect{755, 338, 60, 24}));
  }

  void narrowStartPageGivesTheBoxAllTheWidth() {
    // cx / 2 = 300 is still narrow.
    const ViewLayout layout = ComputeViewLayout(601, 400);
    QCOMPARE(layout.promptLabel, (ViewRect{20, 158, 511, 24}));
    QCOMPARE(layout.pathBox, (ViewRect{20, 188, 511, 24}));
    QCOMPARE(layout.browseButton, (ViewRect{536, 188, 45, 24}));
    QCOMPARE(ComputeViewLayout(602, 400).pathBox, (ViewRect{1, 188, 550, 24}));
  }
};

}  // namespace test
}  // namespace tallowin

TALLOWIN_GUI_TEST_MAIN(tallowin::test::ViewLayoutTest)
#include "view_layout_test.moc"
