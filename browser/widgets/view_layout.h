// Where the main view's controls go for a given client size. Every control
// is placed again on every size change, so the layout is a pure function.
#pragma once

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
  // Start page.
  ViewRect promptLabel;
  ViewRect pathBox;
  ViewRect browseButton;
  ViewRect nextButton;
};

// `cx` and `cy` are the view's client width and height. Widths and heights
// may come out negative in a tiny window; the caller shows such a control
// with no size.
ViewLayout ComputeViewLayout(int cx, int cy);

}  // namespace tallowin
