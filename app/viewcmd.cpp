#include "app/viewcmd.h"

#include "res/resource.h"

namespace {

// The style bits full-screen mode takes away (title bar, system menu, minimize
// and maximize boxes) and the one it sets.
constexpr uint32_t kFrameBits = 0x00CB0000u;
constexpr uint32_t kPopupBit = 0x80000000u;

BYTE* StyleFlag(int32_t id, ViewStyle* style) {
  switch (id) {
    case IDM_SHOWTAB: return &style->bShowTab;
    case IDM_SHOWSPACE: return &style->bShowSpace;
    case IDM_SHOWZENSPACE: return &style->bShowZenSpace;
    case IDM_SHOWLINEEND: return &style->bShowLineEnd;
    case IDM_SHOWEOF: return &style->bShowEof;
    default: return nullptr;
  }
}

}  // namespace

ViewToggleKind ViewCommand_Kind(int32_t id) {
  if (id == IDM_LINENUMBER || id == IDM_WRAP) return VIEWTOGGLE_SETTINGS;
  ViewStyle style = {};
  return StyleFlag(id, &style) ? VIEWTOGGLE_STYLE : VIEWTOGGLE_NONE;
}

bool ViewCommand_Toggle(int32_t id, EditorSettings* settings) {
  if (id == IDM_LINENUMBER) {
    settings->bLineNumber = settings->bLineNumber ? 0 : 1;
    return true;
  }
  if (id == IDM_WRAP) {
    settings->bWrap = settings->bWrap ? 0 : 1;
    return true;
  }
  BYTE* flag = StyleFlag(id, &settings->style);
  if (!flag) return false;
  *flag = *flag ? 0 : 1;
  return true;
}

bool WindowMode_IsFullScreen(uint32_t style) { return (style & kPopupBit) != 0; }

uint32_t WindowMode_FullScreenStyle(uint32_t style, bool* pbEntering) {
  *pbEntering = !WindowMode_IsFullScreen(style);
  if (*pbEntering) return (style & ~kFrameBits) | kPopupBit;
  return (style & ~kPopupBit) | kFrameBits;
}

uint32_t WindowMode_ToggleOnTop(WindowModes* m) {
  if (m->bTopmost) {
    m->bAlwaysOnTop = m->bTopmost = false;
    return WMACT_MAKE_NOT_TOPMOST;
  }
  m->bAlwaysAtBack = false;
  m->bAlwaysOnTop = m->bTopmost = true;
  return WMACT_MAKE_TOPMOST | WMACT_REDRAW;
}

uint32_t WindowMode_ToggleAtBack(WindowModes* m) {
  if (m->bAlwaysAtBack) {
    m->bAlwaysAtBack = false;
    return WMACT_BRING_TO_FRONT;
  }
  uint32_t actions = m->bTopmost ? static_cast<uint32_t>(WMACT_MAKE_NOT_TOPMOST) : 0u;
  m->bAlwaysOnTop = m->bTopmost = false;
  m->bAlwaysAtBack = true;
  return actions;
}

bool WindowMode_KeepsAtBack(const WindowModes* m) { return m->bAlwaysAtBack && !m->bAlwaysOnTop; }
