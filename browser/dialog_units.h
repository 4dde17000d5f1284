// The program's small dialogs are laid out in dialog units of an 8-point
// sans-serif font: a horizontal unit is a quarter of the average character
// width (6 pixels), a vertical one an eighth of the character height (13).
#pragma once

#include <QRect>
#include <QSize>

namespace tallowin {

constexpr int DialogX(int units) { return units * 6 / 4; }
constexpr int DialogY(int units) { return units * 13 / 8; }

inline QRect DialogRect(int x, int y, int width, int height) {
  return QRect(DialogX(x), DialogY(y), DialogX(width), DialogY(height));
}
inline QSize DialogSize(int width, int height) { return QSize(DialogX(width), DialogY(height)); }

}  // namespace tallowin
