#include "tools/placement.h"

namespace {

// The start of a span of length n placed at wanted, kept inside [low, high).
int64_t KeepInside(int64_t wanted, int64_t n, int64_t low, int64_t high) {
  if (wanted + n > high) wanted = high - n;
  if (wanted < low) wanted = low;
  return wanted;
}

}  // namespace

POINT Placement_AtCursor(SIZE window, POINT cursor, int32_t nCaptionHeight, RECT work, bool bCenter) {
  const int64_t width = window.cx > 0 ? window.cx : 0;
  const int64_t height = window.cy > 0 ? window.cy : 0;
  const int64_t dy = bCenter ? height / 2 : (nCaptionHeight > 0 ? nCaptionHeight : 0) / 2;
  const int64_t x = KeepInside(int64_t(cursor.x) - width / 2, width, work.left, work.right);
  const int64_t y = KeepInside(int64_t(cursor.y) - dy, height, work.top, work.bottom);
  // Within the work area's own 32-bit coordinates whenever the area is proper.
  POINT pt;
  pt.x = static_cast<LONG>(x < INT32_MIN ? INT32_MIN : (x > INT32_MAX ? INT32_MAX : x));
  pt.y = static_cast<LONG>(y < INT32_MIN ? INT32_MIN : (y > INT32_MAX ? INT32_MAX : y));
  return pt;
}
