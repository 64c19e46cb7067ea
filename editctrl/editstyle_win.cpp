#include "editctrl/editstyle_win.h"

namespace {

EditorStyle g_style = {};

struct Resources {
  HFONT hFont;
  HBRUSH hbrBack;
  HBRUSH hbrSelBack;
};

void FreeResources(const Resources& r) {
  if (r.hFont) DeleteObject(r.hFont);
  if (r.hbrBack) DeleteObject(r.hbrBack);
  if (r.hbrSelBack) DeleteObject(r.hbrSelBack);
}

bool MakeResources(const ViewStyle* style, Resources* r) {
  r->hFont = CreateFontIndirectA(&style->lfFont);
  r->hbrBack = CreateSolidBrush(style->crBack);
  r->hbrSelBack = CreateSolidBrush(style->crSelBack);
  if (r->hFont && r->hbrBack && r->hbrSelBack) return true;
  FreeResources(*r);
  return false;
}

void Install(const ViewStyle* style, const Resources& r) {
  Resources old = {g_style.hFont, g_style.hbrBack, g_style.hbrSelBack};
  g_style.style = *style;
  g_style.hFont = r.hFont;
  g_style.hbrBack = r.hbrBack;
  g_style.hbrSelBack = r.hbrSelBack;
  FreeResources(old);
}

}  // namespace

const EditorStyle* EditStyle_Get() { return &g_style; }

bool EditStyle_Acquire(const ViewStyle* style) {
  if (!EditStyle_Set(style)) return false;
  ++g_style.nUsers;
  return true;
}

void EditStyle_Release() {
  QWIL_ASSERT(g_style.nUsers > 0);
  if (g_style.nUsers <= 0 || --g_style.nUsers > 0) return;
  Resources none = {};
  Install(&g_style.style, none);
}

bool EditStyle_Set(const ViewStyle* style) {
  Resources r;
  if (!MakeResources(style, &r)) return false;
  Install(style, r);
  return true;
}

bool EditStyle_MeasureFont(HFONT hFont, TEXTMETRICA* pTm) {
  HDC hdc = GetDC(nullptr);
  if (!hdc) return false;
  HGDIOBJ old = SelectObject(hdc, hFont);
  bool ok = old && GetTextMetricsA(hdc, pTm);
  if (old) SelectObject(hdc, old);
  ReleaseDC(nullptr, hdc);
  return ok;
}
