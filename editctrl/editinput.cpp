#include "editctrl/editinput.h"

#include "editctrl/editselect.h"
#include "tools/charrule.h"

namespace {

constexpr uint32_t kCharBackspace = 8;
constexpr uint32_t kCharTab = 9;
constexpr uint32_t kCharReturn = 13;
constexpr int32_t kWheelNotch = 120;
constexpr uint32_t kWheelPageSetting = 0xFFFF;
constexpr int64_t kHorzMinRange = 0x7FFF;
// The largest count a bar is given before its units become several pixels. Well
// below INT32_MAX, so that a page added to a position never overflows the bar.
constexpr int64_t kBarLimit = int64_t(1) << 30;
// The body's view origin is a 32-bit pixel.
constexpr int64_t kViewLimit = INT32_MAX;

bool IsAsciiPrintable(uint32_t ch) { return 32 <= ch && ch <= 126; }

bool CanBeTrailByte(uint32_t ch) { return (0x40 <= ch && ch <= 0x7E) || (0x80 <= ch && ch <= 0xFC); }

int64_t Clamp(int64_t v, int64_t lo, int64_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

int64_t CeilDiv(int64_t a, int64_t b) { return (a + b - 1) / b; }

EditCharResult Result(EditCharAction action) {
  EditCharResult r;
  r.action = action;
  r.bytes[0] = r.bytes[1] = 0;
  r.n = 0;
  return r;
}

EditCharResult Insert(uint32_t first, int32_t n, uint32_t second) {
  EditCharResult r = Result(EDITCHAR_INSERT);
  r.bytes[0] = static_cast<char>(first);
  r.bytes[1] = static_cast<char>(second);
  r.n = n;
  return r;
}

// A byte on its own, no lead byte waiting.
EditCharResult FeedFresh(EditCharInput* input, uint32_t ch) {
  if (!EditInput_IsTypedByte(ch)) return Result(EDITCHAR_IGNORE);
  if (ch == kCharBackspace) return Result(EDITCHAR_BACKSPACE);
  if (ch == kCharTab) {
    EditCharResult r = Insert(ch, 1, 0);
    r.action = EDITCHAR_TAB;
    return r;
  }
  if (Char_IsLeadByte(static_cast<unsigned char>(ch))) {
    input->bWaiting = 1;
    input->cLead = static_cast<BYTE>(ch);
    return Result(EDITCHAR_IGNORE);
  }
  return Insert(ch, 1, 0);
}

// The last axis position from which a page of nPage still shows the document's
// end: the platform's rule for a bar of range 0 .. nRange.
int64_t LastPos(int64_t nRange, int64_t nPage) {
  int64_t last = nRange - (nPage > 0 ? nPage - 1 : 0);
  return Clamp(last, 0, kViewLimit);
}

}  // namespace

bool EditInput_IsTypedByte(uint32_t ch) {
  if (ch > 0xFF) return false;
  if (ch == kCharReturn || ch == kCharBackspace || ch == kCharTab) return true;
  if (IsAsciiPrintable(ch)) return true;
  return !(ch == 127 || ch < 64 || ch > 252);
}

EditCharResult EditInput_FeedChar(EditCharInput* input, uint32_t ch) {
  if (input->bWaiting) {
    uint32_t lead = input->cLead;
    EditInput_DropLead(input);
    if (CanBeTrailByte(ch)) return Insert(lead, 2, ch);
  }
  return FeedFresh(input, ch);
}

void EditInput_DropLead(EditCharInput* input) {
  input->bWaiting = 0;
  input->cLead = 0;
}

EditTabAction EditInput_TabAction(bool bShift, bool bSelection) {
  if (bSelection) return bShift ? EDITTAB_UNINDENT : EDITTAB_INDENT;
  return bShift ? EDITTAB_NOTHING : EDITTAB_INSERT;
}

EditKeyAction EditInput_KeyAction(uint32_t vk, bool bCtrl) {
  switch (vk) {
    case EDITVK_LEFT: return bCtrl ? EDITKEY_WORD_START : EDITKEY_PREV_CHAR;
    case EDITVK_RIGHT: return bCtrl ? EDITKEY_WORD_END : EDITKEY_NEXT_CHAR;
    case EDITVK_UP: return bCtrl ? EDITKEY_SCROLL_UP : EDITKEY_ROW_UP;
    case EDITVK_DOWN: return bCtrl ? EDITKEY_SCROLL_DOWN : EDITKEY_ROW_DOWN;
    case EDITVK_PRIOR: return EDITKEY_PAGE_UP;
    case EDITVK_NEXT: return EDITKEY_PAGE_DOWN;
    case EDITVK_HOME: return bCtrl ? EDITKEY_DOC_START : EDITKEY_LINE_START;
    case EDITVK_END: return bCtrl ? EDITKEY_DOC_END : EDITKEY_LINE_END;
    case EDITVK_ESCAPE: return EDITKEY_COLLAPSE;
    case EDITVK_DELETE: return EDITKEY_DELETE;
    case EDITVK_CAPITAL:
    case EDITVK_KANA:
    case EDITVK_NUMLOCK:
    case EDITVK_SCROLL: return EDITKEY_TO_PARENT;
    default: return EDITKEY_NONE;
  }
}

bool EditInput_IsCaretMove(EditKeyAction action) {
  switch (action) {
    case EDITKEY_PREV_CHAR:
    case EDITKEY_NEXT_CHAR:
    case EDITKEY_WORD_START:
    case EDITKEY_WORD_END:
    case EDITKEY_ROW_UP:
    case EDITKEY_ROW_DOWN:
    case EDITKEY_PAGE_UP:
    case EDITKEY_PAGE_DOWN:
    case EDITKEY_LINE_START:
    case EDITKEY_DOC_START:
    case EDITKEY_LINE_END:
    case EDITKEY_DOC_END: return true;
    default: return false;
  }
}

int32_t EditInput_PageRows(const TextEditorBody* body) {
  RECT text = EditBody_TextRect(body);
  int32_t rows = (text.bottom - text.top) / EditBody_LineHeight(body);
  return rows < 1 ? 1 : rows;
}

POINT EditInput_MoveTarget(TextEditorBody* body, EditKeyAction action) {
  const POINT caret = EditBody_GetCaret(body);
  switch (action) {
    case EDITKEY_PREV_CHAR: return EditBody_PrevChar(body, caret);
    case EDITKEY_NEXT_CHAR: return EditBody_NextChar(body, caret);
    case EDITKEY_WORD_START: return EditBody_WordStart(body, caret);
    case EDITKEY_WORD_END: return EditBody_WordEnd(body, caret);
    case EDITKEY_ROW_UP: return EditBody_RowsUp(body, caret, 1);
    case EDITKEY_ROW_DOWN: return EditBody_RowsDown(body, caret, 1);
    case EDITKEY_PAGE_UP: return EditBody_RowsUp(body, caret, EditInput_PageRows(body));
    case EDITKEY_PAGE_DOWN: return EditBody_RowsDown(body, caret, EditInput_PageRows(body));
    case EDITKEY_LINE_START: return EditBody_LineStart(body, caret);
    case EDITKEY_DOC_START: return {0, 0};
    case EDITKEY_LINE_END: return EditBody_LineEnd(body, caret);
    case EDITKEY_DOC_END: return EditBody_DocumentEnd(body);
    default: return caret;
  }
}

EditWheelScroll EditInput_Wheel(int32_t nDelta, uint32_t nLinesSetting) {
  EditWheelScroll s;
  bool up = nDelta > 0;
  int64_t steps = (nDelta < 0 ? -int64_t(nDelta) : int64_t(nDelta)) / kWheelNotch;
  if (nLinesSetting < kWheelPageSetting) {
    s.nRequest = up ? EDITSCROLL_LINEUP : EDITSCROLL_LINEDOWN;
    s.nCount = steps * nLinesSetting;
  } else {
    s.nRequest = up ? EDITSCROLL_PAGEUP : EDITSCROLL_PAGEDOWN;
    s.nCount = steps;
  }
  return s;
}

EditScrollAxis EditInput_VertAxis(int64_t nDocPixels, int64_t nPage) {
  EditScrollAxis a;
  a.nRange = nDocPixels < 0 ? 0 : nDocPixels;
  a.nPage = nPage < 0 ? 0 : nPage;
  a.nMaxPos = LastPos(a.nRange, a.nPage);
  a.nScale = a.nRange <= kBarLimit ? 1 : CeilDiv(a.nRange, kBarLimit);
  return a;
}

EditScrollAxis EditInput_HorzAxis(bool bWrap, int64_t nCaretX, int64_t nCellWidth, int64_t nViewX, int64_t nPage) {
  EditScrollAxis a;
  a.nScale = 1;
  if (bWrap) {
    a.nRange = 1;
    a.nPage = 1;
    a.nMaxPos = 0;
    return a;
  }
  a.nPage = nPage < 0 ? 0 : nPage;
  // Room for the caret with the margin the into-view rule keeps behind it.
  int64_t range = kHorzMinRange;
  int64_t caretEnd = nCaretX + 4 * nCellWidth + a.nPage;
  int64_t viewEnd = nViewX + a.nPage;
  if (caretEnd > range) range = caretEnd;
  if (viewEnd > range) range = viewEnd;
  a.nRange = Clamp(range, 0, kBarLimit);
  a.nMaxPos = LastPos(a.nRange, a.nPage);
  return a;
}

EditScrollBar EditInput_BarOf(const EditScrollAxis* axis, int64_t nPos) {
  EditScrollBar bar;
  const int64_t s = axis->nScale;
  bar.nMax = static_cast<int32_t>(axis->nRange / s);
  int64_t page = axis->nPage / s;
  if (axis->nPage > 0 && page < 1) page = 1;
  bar.nPage = static_cast<uint32_t>(page);
  bar.nPos = static_cast<int32_t>(EditInput_ClampPos(axis, nPos) / s);
  return bar;
}

int64_t EditInput_PosOfBar(const EditScrollAxis* axis, int64_t nBarPos) {
  EditScrollBar bar = EditInput_BarOf(axis, axis->nMaxPos);
  if (nBarPos >= bar.nPos) return axis->nMaxPos;
  return EditInput_ClampPos(axis, nBarPos * axis->nScale);
}

int64_t EditInput_ClampPos(const EditScrollAxis* axis, int64_t nPos) { return Clamp(nPos, 0, axis->nMaxPos); }

// The bar's own rule: the room left beside the thumb shared out over the
// positions, rounded to the nearest pixel.
int64_t EditInput_ThumbOffset(const EditScrollBar* bar, int64_t nTrack, int64_t nThumb) {
  const int64_t page = bar->nPage > 0 ? int64_t(bar->nPage) - 1 : 0;
  const int64_t span = int64_t(bar->nMax) - page;
  const int64_t room = nTrack - nThumb;
  if (span <= 0 || room <= 0) return 0;
  const int64_t pos = Clamp(bar->nPos, 0, span);
  return (room * pos + span / 2) / span;
}

int64_t EditInput_Scroll(const EditScrollAxis* axis, int64_t nPos, int32_t nRequest, int64_t nStep, int64_t nCount,
                         int64_t nTrackPos) {
  // Counts come from the wheel and are bounded by it; this only keeps the
  // arithmetic far from overflowing.
  nCount = Clamp(nCount, 0, kViewLimit);
  switch (nRequest) {
    case EDITSCROLL_LINEUP: nPos -= nStep * nCount; break;
    case EDITSCROLL_LINEDOWN: nPos += nStep * nCount; break;
    case EDITSCROLL_PAGEUP: nPos -= axis->nPage * nCount; break;
    case EDITSCROLL_PAGEDOWN: nPos += axis->nPage * nCount; break;
    case EDITSCROLL_THUMBTRACK: nPos = EditInput_PosOfBar(axis, nTrackPos); break;
    case EDITSCROLL_TOP: nPos = 0; break;
    case EDITSCROLL_BOTTOM: nPos = axis->nMaxPos; break;
    default: break;
  }
  return EditInput_ClampPos(axis, nPos);
}

int64_t EditInput_IntoView(const EditScrollAxis* axis, int64_t nPos, int64_t nTarget, int64_t nMargin) {
  if (nTarget - nMargin < nPos) return EditInput_ClampPos(axis, nTarget - nMargin);
  if (nPos + axis->nPage < nTarget + 2 * nMargin) return EditInput_ClampPos(axis, nTarget + 2 * nMargin - axis->nPage);
  return EditInput_ClampPos(axis, nPos);
}
