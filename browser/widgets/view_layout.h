// Where the main view's controls go for a given client size. Every control
// is placed again on every size change, so the layout is a pure function.
#pragma once

#include <optional>

class QWidget;

namespace tallowin {

struct ViewRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const ViewRect&) const = default;
};

struct ViewLayout {
  // Browser page.
  ViewRect folderTree;
  ViewRect fileList;
  ViewRect captionImage;
  ViewRect catalogueList;
  ViewRect progressBar;
  ViewRect searchingLabel;
  ViewRect progressLabel;
  ViewRect foundFilesLabel;
  ViewRect stopButton;
  ViewRect backButton;
  ViewRect saveButton;
  ViewRect verifyButton;  // left of Back, where Stop was
  // Start page.
  ViewRect promptLabel;
  ViewRect pathBox;
  ViewRect browseButton;
  ViewRect nextButton;
  // The handles between the tree and the file list, and above the caption.
  ViewRect treeHandle;
  ViewRect listHandle;
};

// Where the user has dragged the panes' borders to: the folder tree's width
// and the caption's top. Unset, the layout's own places; a place the user
// set is kept where it leaves every pane some room.
struct ViewSplit {
  std::optional<int> treeWidth;
  std::optional<int> captionTop;
};

// `cx` and `cy` are the view's client width and height. Widths and heights
// may come out negative in a tiny window; the caller shows such a control
// with no size.
ViewLayout ComputeViewLayout(int cx, int cy, const ViewSplit& split = {});

// Puts `widget` at `rect`; a negative width or height gives no size.
void PlaceWidget(QWidget& widget, const ViewRect& rect);

}  // namespace tallowin
