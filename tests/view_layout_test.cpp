#include "browser/view_layout.h"

#include <gtest/gtest.h>

namespace tallowin {
namespace {

TEST(ViewLayout, BrowserPageFollowsTheClientSize) {
  // h = (700 + 100) / 2 = 400.
  const ViewLayout layout = ComputeViewLayout(1000, 700);
  EXPECT_EQ(layout.folderTree, (ViewRect{10, 20, 290, 380}));
  EXPECT_EQ(layout.fileList, (ViewRect{300, 20, 680, 380}));
  EXPECT_EQ(layout.captionImage, (ViewRect{10, 400, 970, 20}));
  EXPECT_EQ(layout.catalogueList, (ViewRect{10, 420, 970, 230}));
  EXPECT_EQ(layout.progressBar, (ViewRect{20, 676, 570, 15}));
  EXPECT_EQ(layout.searchingLabel, (ViewRect{20, 656, 280, 20}));
  EXPECT_EQ(layout.progressLabel, (ViewRect{720, 656, 280, 20}));
  EXPECT_EQ(layout.foundFilesLabel, (ViewRect{720, 681, 280, 15}));
  EXPECT_EQ(layout.stopButton, (ViewRect{610, 659, 80, 39}));
  EXPECT_EQ(layout.backButton, (ViewRect{806, 659, 77, 39}));
  EXPECT_EQ(layout.saveButton, (ViewRect{898, 659, 77, 39}));
  EXPECT_EQ(layout.nextButton, (ViewRect{898, 651, 92, 39}));
}

TEST(ViewLayout, OddHeightsRoundDown) {
  // h = (601 + 100) / 2 = 350, m = 601 / 2 = 300.
  const ViewLayout layout = ComputeViewLayout(1001, 601);
  EXPECT_EQ(layout.captionImage.top, 350);
  EXPECT_EQ(layout.catalogueList.height, 601 - 350 - 70);
  EXPECT_EQ(layout.promptLabel.top, 258);
  EXPECT_EQ(layout.pathBox.top, 288);
}

TEST(ViewLayout, WideStartPageCentresABoxOfFixedWidth) {
  const ViewLayout layout = ComputeViewLayout(1000, 700);
  EXPECT_EQ(layout.promptLabel, (ViewRect{200, 308, 550, 24}));
  EXPECT_EQ(layout.pathBox, (ViewRect{200, 338, 550, 24}));
  EXPECT_EQ(layout.browseButton, (ViewRect{755, 338, 60, 24}));
}

TEST(ViewLayout, NarrowStartPageGivesTheBoxAllTheWidth) {
  // cx / 2 = 300 is still narrow.
  const ViewLayout layout = ComputeViewLayout(601, 400);
  EXPECT_EQ(layout.promptLabel, (ViewRect{20, 158, 511, 24}));
  EXPECT_EQ(layout.pathBox, (ViewRect{20, 188, 511, 24}));
  EXPECT_EQ(layout.browseButton, (ViewRect{536, 188, 45, 24}));
  EXPECT_EQ(ComputeViewLayout(602, 400).pathBox, (ViewRect{1, 188, 550, 24}));
}

}  // namespace
}  // namespace tallowin
