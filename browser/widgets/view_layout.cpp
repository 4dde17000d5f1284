#include "browser/widgets/view_layout.h"

namespace tallowin {

ViewLayout ComputeViewLayout(int cx, int cy) {
  const int h = (cy + 100) / 2;
  const int m = cy / 2;
  ViewLayout layout;
  layout.folderTree = {10, 20, 290, h - 20};
  layout.fileList = {300, 20, cx - 320, h - 20};
  layout.captionImage = {10, h, cx - 30, 20};
  layout.catalogueList = {10, h + 20, cx - 30, cy - h - 70};
  layout.progressBar = {20, cy - 24, cx - 430, 15};
  layout.searchingLabel = {20, cy - 44, 280, 20};
  layout.progressLabel = {cx - 280, cy - 44, 280, 20};
  layout.foundFilesLabel = {cx - 280, cy - 19, 280, 15};
  layout.stopButton = {cx - 390, cy - 41, 80, 39};
  layout.backButton = {cx - 194, cy - 41, 77, 39};
  layout.saveButton = {cx - 102, cy - 41, 77, 39};
  layout.nextButton = {cx - 102, cy - 49, 92, 39};

  // A narrow view gives the path box all the width there is; a wide one
  // centres a box of fixed width.
  if (cx / 2 <= 300) {
    layout.promptLabel = {20, m - 42, cx - 90, 24};
    layout.pathBox = {20, m - 12, cx - 90, 24};
    layout.browseButton = {cx - 65, m - 12, 45, 24};
  } else {
    layout.promptLabel = {cx / 2 - 300, m - 42, 550, 24};
    layout.pathBox = {cx / 2 - 300, m - 12, 550, 24};
    layout.browseButton = {cx / 2 + 255, m - 12, 60, 24};
  }
  return layout;
}

}  // namespace tallowin
