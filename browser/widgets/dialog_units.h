// The program's small dialogs are laid out in dialog units of an 8-point
// sans-serif font: a horizontal unit is a quarter of the average character
// width (6 pixels), a vertical one an eighth of the character height (13).
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QWidget>

namespace tallowin {

constexpr int DialogX(int units) { return units * 6 / 4; }
constexpr int DialogY(int units) { return units * 13 / 8; }

inline QRect DialogRect(int x, int y, int width, int height) {
  return QRect(DialogX(x), DialogY(y), DialogX(width), DialogY(height));
}
inline QSize DialogSize(int width, int height) { return QSize(DialogX(width), DialogY(height)); }

// The desktop's usual font is larger than the one the units were made for;
// a dialog laid out in them takes a font of the units' size.
inline void UseDialogUnitFont(QWidget& dialog) {
  QFont font = dialog.font();
  font.setPixelSize(11);
  dialog.setFont(font);
}

}  // namespace tallowin
