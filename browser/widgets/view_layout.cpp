#include "browser/widgets/view_layout.h"

#include <algorithm>

#include <QWidget>

namespace tallowin {

ViewLayout ComputeViewLayout(int cx, int cy, const ViewSplit& split) {
  constexpr int kLeast = 60;     // what a pane keeps however its border is dragged
  constexpr int kHandle = 6;
  const int m = cy / 2;
  // The layout's own places stand as they are, however small the view; only
  // where the user put a border is it kept inside the view.
  const int h = split.captionTop ? std::clamp(*split.captionTop, 20 + kLeast, std::max(20 + kLeast, cy - 70 - kLeast))
                                 : (cy + 100) / 2;
  const int tree = split.treeWidth ? std::clamp(*split.treeWidth, kLeast, std::max(kLeast, cx - 30 - kLeast)) : 290;
  ViewLayout layout;
  layout.folderTree = {10, 20, tree, h - 20};
  layout.fileList = {10 + tree, 20, cx - 30 - tree, h - 20};
  layout.captionImage = {10, h, cx - 30, 20};
  layout.catalogueList = {10, h + 20, cx - 30, cy - h - 70};
  layout.treeHandle = {10 + tree - kHandle / 2, 20, kHandle, h - 20};
  layout.listHandle = {10, h - kHandle / 2, cx - 30, kHandle};
  layout.progressBar = {20, cy - 24, cx - 430, 15};
  layout.searchingLabel = {20, cy - 44, 280, 20};
  layout.progressLabel = {cx - 280, cy - 44, 280, 20};
  layout.foundFilesLabel = {cx - 280, cy - 19, 280, 15};
  layout.stopButton = {cx - 390, cy - 41, 80, 39};
  layout.backButton = {cx - 194, cy - 41, 77, 39};
  layout.saveButton = {cx - 102, cy - 41, 77, 39};
  layout.verifyButton = {cx - 286, cy - 41, 77, 39};
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

void PlaceWidget(QWidget& widget, const ViewRect& rect) {
  widget.setGeometry(rect.left, rect.top, std::max(rect.width, 0), std::max(rect.height, 0));
}

}  // namespace tallowin
