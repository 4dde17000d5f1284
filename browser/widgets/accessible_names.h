// Gives every control below `root` that has a description in the program's
// texts its accessible name and description, so that a screen reader says
// what a picture button, a list or a box is for. Run once the controls exist.
#pragma once

class QWidget;

namespace tallowin {

void DescribeControls(QWidget& root);

}  // namespace tallowin
