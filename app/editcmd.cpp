#include "app/editcmd.h"

#include <cstring>

#include "app/appdata.h"

namespace {

constexpr LONG kPopupOffset = 16;

LONG Clamp(LONG v, LONG lo, LONG hi) { return v < lo ? lo : (v > hi ? hi : v); }

}  // namespace

POINT ClipboardHistory_PopupPoint(POINT caret, RECT client) {
  POINT pt;
  pt.x = Clamp(caret.x, client.left, client.right) + kPopupOffset;
  pt.y = Clamp(caret.y, client.top, client.bottom);
  return pt;
}

bool EditCommand_FolderPath(const char* text, int32_t n, char* out, int32_t size) {
  if (size < 1) return false;
  out[0] = '\0';
  if (n <= 0 || n > kPathMax || n >= size) return false;
  if (std::memchr(text, '\0', static_cast<size_t>(n))) return false;
  std::memcpy(out, text, static_cast<size_t>(n));
  out[n] = '\0';
  return true;
}
