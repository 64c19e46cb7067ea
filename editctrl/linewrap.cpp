#include "editctrl/linewrap.h"

#include "tools/charrule.h"

namespace {

int32_t Saturate(int64_t v) { return v > INT32_MAX ? INT32_MAX : static_cast<int32_t>(v); }

}  // namespace

// Between tabs, columns grow with bytes, so the character that first reaches the
// wrap width is the one holding the byte at the row's last free column: a row is
// crossed without stepping through its characters.
int32_t Wrap_NextRow(const char* s, int32_t length, int32_t k, int32_t width, int32_t tabsize, int32_t* pTailX,
                     int32_t* pTab) {
  int64_t x = 0;  // the column of the character starting at k
  int32_t& tab = *pTab;
  for (;;) {
    if (k >= length) {
      if (x > 0 && x + 1 >= width) return length;  // the line end does not fit: an empty last row
      *pTailX = Saturate(x);
      return -1;
    }
    if (tab < k) tab = Char_NextTab(s, length, k);
    if (k == tab) {
      const int64_t cells = tabsize - x % tabsize;
      if (x == 0 || x + cells < width) {
        x += cells;
        k += 1;
        continue;
      }
      return k;
    }
    const int64_t last = int64_t(k) + (width - 1 - x);  // a character holding this byte ends too late
    if (last >= tab) {
      x += tab - k;
      k = tab;
      continue;
    }
    int32_t holder = last < k ? k : Char_StartHolding(s, k, static_cast<int32_t>(last));
    if (holder == k && x == 0) holder = k + Char_Length(s, length, k);  // a row keeps its first character
    return holder;
  }
}

int32_t Wrap_RowWidth(const char* s, int32_t length, int32_t k, int32_t tabsize) {
  int64_t x = 0;
  int32_t at = k;
  for (int32_t t = Char_NextTab(s, length, k); t < length; t = Char_NextTab(s, length, t + 1)) {
    x += t - at;
    x += tabsize - x % tabsize;
    at = t + 1;
  }
  return Saturate(x + (length - at));
}
