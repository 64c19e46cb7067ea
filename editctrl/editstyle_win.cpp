#include "editctrl/editstyle_win.h"

#include "editctrl/dpiscale.h"

namespace {

EditorStyle g_style = {};

constexpr int32_t kCaretWidthAt96 = 2;

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

bool MakeResources(const ViewStyle* style, int32_t nDpi, Resources* r) {
  LOGFONTA font = Dpi_ScaleFont(&style->lfFont, nDpi);
  r->hFont = CreateFontIndirectA(&font);
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
  // A new font may get the old one's handle: what was measured goes with it.
  GdiGlyphFit_Reset(&g_style.glyphFit);
  FreeResources(old);
}

void FreeBuffer() {
  if (g_style.hdcBuffer) {
    SelectObject(g_style.hdcBuffer, g_style.hbmOriginal);
    DeleteDC(g_style.hdcBuffer);
  }
  if (g_style.hbmBuffer) DeleteObject(g_style.hbmBuffer);
  g_style.hdcBuffer = nullptr;
  g_style.hbmBuffer = nullptr;
  g_style.hbmOriginal = nullptr;
  g_style.nBufferWidth = g_style.nBufferHeight = 0;
}

}  // namespace

const EditorStyle* EditStyle_Get() { return &g_style; }

GdiGlyphFit* EditStyle_GlyphFit() { return &g_style.glyphFit; }

HDC EditStyle_GetBuffer(HDC hdc, int32_t w, int32_t h) {
  if (g_style.hdcBuffer && w <= g_style.nBufferWidth && h <= g_style.nBufferHeight) return g_style.hdcBuffer;
  // Grown to the larger of each side, so that alternating shapes do not remake it.
  int32_t nw = w > g_style.nBufferWidth ? w : g_style.nBufferWidth;
  int32_t nh = h > g_style.nBufferHeight ? h : g_style.nBufferHeight;
  FreeBuffer();
  HDC mem = CreateCompatibleDC(hdc);
  HBITMAP bitmap = mem ? CreateCompatibleBitmap(hdc, nw, nh) : nullptr;
  if (!bitmap) {
    if (mem) DeleteDC(mem);
    return nullptr;
  }
  g_style.hdcBuffer = mem;
  g_style.hbmBuffer = bitmap;
  g_style.hbmOriginal = SelectObject(mem, bitmap);
  g_style.nBufferWidth = nw;
  g_style.nBufferHeight = nh;
  return mem;
}

bool EditStyle_Acquire(const ViewStyle* style, int32_t nDpi) {
  int32_t old = g_style.nDpi;
  if (g_style.nUsers == 0) g_style.nDpi = Dpi_Sanitize(nDpi);
  if (!EditStyle_Set(style)) {
    g_style.nDpi = old;
    return false;
  }
  ++g_style.nUsers;
  return true;
}

void EditStyle_Release() {
  QWIL_ASSERT(g_style.nUsers > 0);
  if (g_style.nUsers <= 0 || --g_style.nUsers > 0) return;
  Resources none = {};
  Install(&g_style.style, none);
  FreeBuffer();
}

bool EditStyle_Set(const ViewStyle* style) {
  Resources r;
  if (!MakeResources(style, Dpi_Sanitize(g_style.nDpi), &r)) return false;
  Install(style, r);
  return true;
}

bool EditStyle_SetDpi(int32_t nDpi) {
  nDpi = Dpi_Sanitize(nDpi);
  if (nDpi == g_style.nDpi && g_style.hFont) return true;
  int32_t old = g_style.nDpi;
  g_style.nDpi = nDpi;
  if (g_style.nUsers == 0 || EditStyle_Set(&g_style.style)) return true;
  g_style.nDpi = old;
  return false;
}

LOGFONTA EditStyle_ScreenFont() { return Dpi_ScaleFont(&g_style.style.lfFont, Dpi_Sanitize(g_style.nDpi)); }

int32_t EditStyle_CaretWidth() { return Dpi_ScaleLine(kCaretWidthAt96, Dpi_Sanitize(g_style.nDpi)); }

int32_t EditStyle_StrokeWidth() { return Dpi_StrokeWidth(g_style.nDpi); }

bool EditStyle_MeasureFont(HFONT hFont, TEXTMETRICA* pTm) {
  HDC hdc = GetDC(nullptr);
  if (!hdc) return false;
  HGDIOBJ old = SelectObject(hdc, hFont);
  bool ok = old && GetTextMetricsA(hdc, pTm);
  if (old) SelectObject(hdc, old);
  ReleaseDC(nullptr, hdc);
  return ok;
}
