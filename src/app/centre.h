// Where the main dialog goes when it is centred: over its owner when that is
// visible and not minimised, else over the work area of the nearest monitor,
// and always kept inside that work area.
#pragma once

struct Rect {
  int left, top, right, bottom;
};

struct Point {
  int x, y;
};

// `reference` is the owner's rectangle, or null to centre on the work area.
Point CentredTopLeft(const Rect& dialog, const Rect* reference, const Rect& workArea);
