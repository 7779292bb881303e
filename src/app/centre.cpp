#include "app/centre.h"

Point CentredTopLeft(const Rect& dialog, const Rect* reference, const Rect& workArea) {
  const Rect& around = reference != nullptr ? *reference : workArea;
  const int width = dialog.right - dialog.left;
  const int height = dialog.bottom - dialog.top;
  int x = (around.left + around.right) / 2 - width / 2;
  int y = (around.top + around.bottom) / 2 - height / 2;
  // Pull back inside the work area: right and bottom edges first, then left and top.
  if (x + width > workArea.right) x = workArea.right - width;
  if (y + height > workArea.bottom) y = workArea.bottom - height;
  if (x < workArea.left) x = workArea.left;
  if (y < workArea.top) y = workArea.top;
  return Point{x, y};
}
