// The editor window's view: the scroll bars and the view origin, the caret,
// repainting what an edit or a selection change touched, and telling the parent.
#include "editctrl/drawgdi_win.h"
#include "editctrl/editctrl.h"
#include "editctrl/editpaint.h"
#include "editctrl/editselect.h"
#include "editctrl/editstyle_win.h"
#include "editctrl/editundo.h"
#include "editctrl/editwind_win.h"

namespace {

int32_t Saturate(int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

bool SamePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

bool SameRange(TextRange a, TextRange b) { return SamePoint(a.start, b.start) && SamePoint(a.end, b.end); }

bool LineNumbersShown(const EditorWindow* wnd) { return (wnd->body->ebi.bLineNumber & 0xFF) != 0; }

int64_t TextHeight(const EditorWindow* wnd) {
  RECT text = EditBody_TextRect(wnd->body);
  return int64_t(text.bottom) - text.top;
}

int64_t TextWidth(const EditorWindow* wnd) {
  RECT text = EditBody_TextRect(wnd->body);
  return int64_t(text.right) - text.left;
}

void HideCaretIfAny(const EditorWindow* wnd) {
  if (wnd->bCaret) HideCaret(wnd->hWnd);
}

void ShowCaretIfAny(const EditorWindow* wnd) {
  if (wnd->bCaret) ShowCaret(wnd->hWnd);
}

EditScrollAxis HorzAxisFor(EditorWindow* wnd) {
  TextEditorBody* body = wnd->body;
  int64_t cw = EditBody_CellWidth(body);
  POINT d = EditBody_PosToDisplay(body, body->ptCaret);
  return EditInput_HorzAxis(body->ebi.bWrap != 0, cw * d.x, cw, EditBody_GetView(body).x, TextWidth(wnd));
}

bool SameBar(const EditScrollBar& a, const EditScrollBar& b) {
  return a.nMax == b.nMax && a.nPage == b.nPage && a.nPos == b.nPos;
}

// Whether the thumb of a bar given the same range and page would move a pixel
// from where it was drawn; true when the bar cannot say (so it is drawn).
bool ThumbWouldMove(const EditorWindow* wnd, int nBar, const EditScrollBar& bar, int32_t nDrawnPos) {
  SCROLLBARINFO sbi = {};
  sbi.cbSize = sizeof(sbi);
  if (!GetScrollBarInfo(wnd->hWnd, nBar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL, &sbi)) return true;
  if (sbi.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE)) return true;
  const RECT& rc = sbi.rcScrollBar;
  int64_t length = nBar == SB_VERT ? int64_t(rc.bottom) - rc.top : int64_t(rc.right) - rc.left;
  int64_t track = length - 2 * int64_t(sbi.dxyLineButton);
  int64_t thumb = int64_t(sbi.xyThumbBottom) - sbi.xyThumbTop;
  EditScrollBar drawn = bar;
  drawn.nPos = nDrawnPos;
  return EditInput_ThumbOffset(&drawn, track, thumb) != EditInput_ThumbOffset(&bar, track, thumb);
}

// Gives the bar what the axis says; a bar that shows it already is left alone,
// as setting it redraws it. A new position whose thumb would not move a pixel
// (a page of a long document) is taken without a redraw: Page Down would
// otherwise spend as long on the bar as on the text.
void SetBar(EditorWindow* wnd, int nBar, const EditScrollAxis* axis, int64_t pos) {
  EditScrollBar bar = EditInput_BarOf(axis, pos);
  EditScrollBar* last = nBar == SB_VERT ? &wnd->barV : &wnd->barH;
  int32_t* drawnPos = nBar == SB_VERT ? &wnd->nDrawnPosV : &wnd->nDrawnPosH;
  if (wnd->bBarsSet && SameBar(*last, bar)) return;
  bool range = !wnd->bBarsSet || last->nMax != bar.nMax || last->nPage != bar.nPage;
  bool redraw = range || ThumbWouldMove(wnd, nBar, bar, *drawnPos);
  SCROLLINFO si = {};
  si.cbSize = sizeof(si);
  si.fMask = SIF_POS | SIF_DISABLENOSCROLL | (range ? SIF_RANGE | SIF_PAGE : 0);
  si.nMin = 0;
  si.nMax = bar.nMax;
  si.nPage = bar.nPage;
  si.nPos = bar.nPos;
  SetScrollInfo(wnd->hWnd, nBar, &si, redraw ? TRUE : FALSE);
  *last = bar;
  if (redraw) *drawnPos = bar.nPos;
}

// The view origin becomes (x, y): the pixels that stay are scrolled with the
// window's contents, the rest is invalidated.
void SyncView(EditorWindow* wnd, int64_t x, int64_t y) {
  TextEditorBody* body = wnd->body;
  POINT old = EditBody_GetView(body);
  EditBody_SetView(body, {Saturate(x), Saturate(y)});
  POINT now = EditBody_GetView(body);
  if (SamePoint(old, now)) return;
  RECT rc;
  GetClientRect(wnd->hWnd, &rc);
  // The margin left of the text stays blank, and the line numbers move only
  // with a vertical scroll.
  bool onlyVertical = old.x == now.x;
  if (!(onlyVertical && LineNumbersShown(wnd))) rc.left = EditBody_TextRect(body).left;
  // ScrollWindowEx hides the caret while it scrolls and shows it again. When
  // less than half the view would stay (a page), drawing it all costs less
  // than the scroll's own work (a dozen trips to the window server under Wine).
  int64_t dx = int64_t(old.x) - now.x;
  int64_t dy = int64_t(old.y) - now.y;
  if (2 * dx <= -rc.right || 2 * dx >= rc.right || 2 * dy <= -rc.bottom || 2 * dy >= rc.bottom) {
    InvalidateRect(wnd->hWnd, &rc, FALSE);
  } else {
    ScrollWindowEx(wnd->hWnd, static_cast<int>(dx), static_cast<int>(dy), &rc, &rc, nullptr, nullptr, SW_INVALIDATE);
  }
  wnd->bCaretPlaced = 0;  // the scroll may have moved it with the pixels
  if (wnd->nCaretHold == 0) EditWindow_PlaceCaret(wnd);
}

void SetViewX(EditorWindow* wnd, int64_t x) {
  SetBar(wnd, SB_HORZ, &wnd->axisH, x);
  SyncView(wnd, EditInput_ClampPos(&wnd->axisH, x), EditBody_GetView(wnd->body).y);
}

void SetViewY(EditorWindow* wnd, int64_t y) {
  SetBar(wnd, SB_VERT, &wnd->axisV, y);
  SyncView(wnd, EditBody_GetView(wnd->body).x, EditInput_ClampPos(&wnd->axisV, y));
}

int64_t PixelY(const EditorWindow* wnd, int32_t row) {
  return int64_t(EditBody_LineHeight(wnd->body)) * row - EditBody_GetView(wnd->body).y;
}

// Rows below the change keep their pixels: they move by the change in height.
// Their line numbers do not move with them (a number belongs to a row of the
// screen, and every line below got a new index), so that column is drawn anew
// from the first changed row down. True when rows moved.
bool ScrollBelowChange(EditorWindow* wnd, const DisplayRange* after, const DisplayRange* before) {
  int64_t a = PixelY(wnd, after->ptEnd.y);
  int64_t b = PixelY(wnd, before->ptEnd.y);
  if (a == b) return false;
  RECT text = EditBody_TextRect(wnd->body);
  int64_t top = (a < b ? a : b) + EditBody_LineHeight(wnd->body);
  if (top > text.bottom) return true;  // nothing of the text area lies below
  if (top < text.top) top = text.top;
  RECT rc = {text.left, static_cast<LONG>(top), text.right, text.bottom};
  int64_t dy = a - b;
  if (dy >= rc.bottom - rc.top || -dy >= rc.bottom - rc.top) {
    InvalidateRect(wnd->hWnd, &rc, FALSE);
  } else {
    ScrollWindowEx(wnd->hWnd, 0, static_cast<int>(dy), &rc, &rc, nullptr, nullptr, SW_INVALIDATE);
  }
  return true;
}

// The rows from the first changed one to the new end of the change, with their
// line numbers (a change on one row keeps its number and starts at its column).
RECT ChangedRows(EditorWindow* wnd, const DisplayRange* after) {
  RECT clip = EditBody_TextRect(wnd->body);
  if (LineNumbersShown(wnd)) clip.left = 0;
  return EditBody_ChangeRect(wnd->body, after, &clip);
}

// The line-number column from the first changed row down.
void PaintNumbersBelow(EditorWindow* wnd, const DisplayRange* after) {
  RECT text = EditBody_TextRect(wnd->body);
  int64_t top = PixelY(wnd, after->ptStart.y);
  if (top >= text.bottom) return;
  RECT numbers = {0, static_cast<LONG>(top < text.top ? text.top : top), text.left, text.bottom};
  EditWindow_PaintNow(wnd, &numbers);
}

// A line count that reaches another number of digits widens the line-number
// column: the whole text moves, and wrapped lines break anew.
bool RelayoutForLineNumbers(EditorWindow* wnd) {
  int32_t width = EditBody_LineNumberWidth(wnd->body);
  if (width == wnd->nLineNumberWidth) return false;
  TextEditorBodyInfo ebi = EditBody_GetMetrics(wnd->body);
  EditBody_SetMetrics(wnd->body, &ebi);
  wnd->nLineNumberWidth = width;
  return true;
}

}  // namespace

void EditWindow_Notify(HWND hWnd, int32_t code, LPARAM lValue1, LPARAM lValue2) {
  HWND hParent = GetParent(hWnd);
  if (!hParent) return;
  TextEditorNotify nm = {};
  nm.hdr.hwndFrom = hWnd;
  nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hWnd));
  nm.hdr.code = static_cast<UINT>(code);
  nm.lValue1 = lValue1;
  nm.lValue2 = lValue2;
  SendMessageA(hParent, WM_NOTIFY, static_cast<WPARAM>(nm.hdr.idFrom), reinterpret_cast<LPARAM>(&nm));
}

void EditWindow_NotifyChange(EditorWindow* wnd) {
  if (wnd->nBatch > 0) {
    wnd->bBatchChanged = 1;
    return;
  }
  HWND hWnd = wnd->hWnd;
  HWND hParent = GetParent(hWnd);
  if (!hParent) return;
  int id = GetDlgCtrlID(hWnd);
  SendMessageA(hParent, WM_COMMAND, MAKEWPARAM(id, kTextEditorChangeCode), reinterpret_cast<LPARAM>(hWnd));
  if (!IsWindow(hWnd)) return;  // the parent closed it
  EditWindow_Notify(hWnd, TEN_UPDATE, 0, 0);
}

// The caret stays hidden from the edit until everything is drawn, so that it is
// drawn once, where it ends.
void EditWindow_OnTextChange(void* param, const DisplayRange* after, const DisplayRange* before) {
  EditorWindow* wnd = static_cast<EditorWindow*>(param);
  if (wnd->nBatch > 0) {
    wnd->bBatchChanged = 1;
    return;
  }
  HideCaretIfAny(wnd);
  if (RelayoutForLineNumbers(wnd)) {
    EditWindow_InvalidateAll(wnd);
  } else {
    bool moved = ScrollBelowChange(wnd, after, before);
    RECT rows = ChangedRows(wnd, after);
    EditWindow_PaintNow(wnd, &rows);
    if (moved && LineNumbersShown(wnd)) PaintNumbersBelow(wnd, after);
  }
  EditWindow_UpdateScrollBars(wnd);
  EditWindow_ScrollCaretIntoView(wnd);
  UpdateWindow(wnd->hWnd);  // what scrolling uncovered
  ShowCaretIfAny(wnd);
}

void EditWindow_BeginBatch(EditorWindow* wnd) { ++wnd->nBatch; }

void EditWindow_EndBatch(EditorWindow* wnd) {
  QWIL_ASSERT(wnd->nBatch > 0);
  if (--wnd->nBatch > 0 || !wnd->bBatchChanged) return;
  wnd->bBatchChanged = 0;
  RelayoutForLineNumbers(wnd);
  EditWindow_UpdateScrollBars(wnd);
  EditWindow_InvalidateAll(wnd);
  EditWindow_ScrollCaretIntoView(wnd);
  UpdateWindow(wnd->hWnd);
  EditWindow_NotifyChange(wnd);
}

void EditWindow_InvalidateSelectionChange(EditorWindow* wnd, TextRange before, TextRange after) {
  // An empty selection paints nothing: a caret moving alone changes no pixel.
  if (SameRange(before, after) || (TextRange_IsEmpty(before) && TextRange_IsEmpty(after))) return;
  TextRange cover = TextRange_Cover(before, after);
  TextEditorBody* body = wnd->body;
  DisplayRange rows = {EditBody_PosToDisplay(body, cover.start), EditBody_PosToDisplay(body, cover.end)};
  RECT clip = EditBody_TextRect(body);
  if (LineNumbersShown(wnd)) clip.left = 0;
  RECT r = EditBody_ChangeRect(body, &rows, &clip);
  if (r.left < r.right && r.top < r.bottom) InvalidateRect(wnd->hWnd, &r, FALSE);
}

void EditWindow_SelectQuiet(EditorWindow* wnd, POINT anchor, POINT caret) {
  TextEditorBody* body = wnd->body;
  EditInput_DropLead(&wnd->charInput);
  TextRange before = EditBody_GetSelection(body);
  POINT oldCaret = body->ptCaret;
  EditBody_SetSelection(body, anchor, caret);
  TextRange after = EditBody_GetSelection(body);
  if (SameRange(before, after) && SamePoint(oldCaret, body->ptCaret)) return;
  EditWindow_InvalidateSelectionChange(wnd, before, after);
  EditWindow_ScrollCaretIntoView(wnd);
}

void EditWindow_Select(EditorWindow* wnd, POINT anchor, POINT caret) {
  EditWindow_SelectQuiet(wnd, anchor, caret);
  EditWindow_NotifyChange(wnd);
}

void EditWindow_MoveCaret(EditorWindow* wnd, POINT pos, bool bCollapse) {
  EditWindow_Select(wnd, bCollapse ? pos : wnd->body->ptSelect, pos);
}

bool EditWindow_ReplaceRange(EditorWindow* wnd, TextRange range, const char* text, int32_t n) {
  EditInput_DropLead(&wnd->charInput);
  bool done = false;
  // Replacing nothing by nothing would still make an undo step and mark the
  // document modified.
  if (n > 0 || !TextRange_IsEmpty(range)) done = EditBody_ReplaceRange(wnd->body, range, text, n, true, nullptr);
  EditWindow_NotifyChange(wnd);
  return done;
}

bool EditWindow_ReplaceSelection(EditorWindow* wnd, const char* text, int32_t n, bool bCollapse) {
  EditInput_DropLead(&wnd->charInput);
  bool done = false;
  if (n > 0 || !EditBody_IsSelectionEmpty(wnd->body)) done = EditBody_ReplaceSelection(wnd->body, text, n, bCollapse);
  EditWindow_NotifyChange(wnd);
  return done;
}

void EditWindow_UpdateScrollBars(EditorWindow* wnd) {
  TextEditorBody* body = wnd->body;
  wnd->axisV = EditInput_VertAxis(EditBody_DocumentPixelHeight(body), TextHeight(wnd));
  wnd->axisH = HorzAxisFor(wnd);
  POINT view = EditBody_GetView(body);
  int64_t x = EditInput_ClampPos(&wnd->axisH, view.x);
  int64_t y = EditInput_ClampPos(&wnd->axisV, view.y);
  SetBar(wnd, SB_HORZ, &wnd->axisH, x);
  SetBar(wnd, SB_VERT, &wnd->axisV, y);
  wnd->bBarsSet = 1;
  SyncView(wnd, x, y);
}

void EditWindow_ResetScroll(EditorWindow* wnd) {
  EditBody_SetView(wnd->body, {0, 0});
  EditWindow_UpdateScrollBars(wnd);
}

void EditWindow_Scroll(EditorWindow* wnd, int nBar, int32_t nRequest, int64_t nCount) {
  TextEditorBody* body = wnd->body;
  bool vertical = nBar == SB_VERT;
  const EditScrollAxis* axis = vertical ? &wnd->axisV : &wnd->axisH;
  POINT view = EditBody_GetView(body);
  int64_t pos = vertical ? view.y : view.x;
  int64_t step = vertical ? EditBody_LineHeight(body) : 2 * int64_t(EditBody_CellWidth(body));
  int64_t track = 0;
  if (nRequest == EDITSCROLL_THUMBTRACK) {
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_TRACKPOS;
    if (GetScrollInfo(wnd->hWnd, nBar, &si)) track = si.nTrackPos;
  }
  int64_t next = EditInput_Scroll(axis, pos, nRequest, step, nCount, track);
  if (vertical) {
    SetViewY(wnd, next);
  } else {
    SetViewX(wnd, next);
  }
}

void EditWindow_ScrollCaretIntoView(EditorWindow* wnd) {
  TextEditorBody* body = wnd->body;
  int64_t cw = EditBody_CellWidth(body);
  int64_t lh = EditBody_LineHeight(body);
  POINT d = EditBody_PosToDisplay(body, body->ptCaret);
  // The horizontal range follows the caret, so that a caret far out on a long
  // line can always be brought into view.
  wnd->axisH = HorzAxisFor(wnd);
  SetViewX(wnd, EditInput_IntoView(&wnd->axisH, EditBody_GetView(body).x, cw * d.x, 2 * cw));
  SetViewY(wnd, EditInput_IntoView(&wnd->axisV, EditBody_GetView(body).y, lh * d.y, lh));
  EditWindow_PlaceCaret(wnd);
}

void EditWindow_PlaceCaret(EditorWindow* wnd) {
  if (!wnd->bCaret) return;
  TextEditorBody* body = wnd->body;
  POINT px = EditBody_DisplayToPixel(body, EditBody_PosToDisplay(body, body->ptCaret));
  // Scrolled into the line-number column: out of sight.
  if (px.x < EditBody_TextRect(body).left) px.x = -3;
  // Moving the caret redraws it: only when it moves.
  if (wnd->bCaretPlaced && SamePoint(px, wnd->ptCaretShown)) return;
  SetCaretPos(px.x, px.y);
  wnd->ptCaretShown = px;
  wnd->bCaretPlaced = 1;
}

void EditWindow_RecreateCaret(EditorWindow* wnd) {
  if (!wnd->bCaret) return;
  wnd->bCaretPlaced = 0;
  DestroyCaret();
  CreateCaret(wnd->hWnd, nullptr, EditStyle_CaretWidth(), EditBody_LineHeight(wnd->body));
  EditWindow_PlaceCaret(wnd);
  ShowCaret(wnd->hWnd);
}

void EditWindow_InvalidateAll(EditorWindow* wnd) { InvalidateRect(wnd->hWnd, nullptr, FALSE); }

void EditWindow_Relayout(EditorWindow* wnd) {
  RelayoutForLineNumbers(wnd);
  wnd->nLineNumberWidth = EditBody_LineNumberWidth(wnd->body);
  EditWindow_UpdateScrollBars(wnd);
  EditWindow_InvalidateAll(wnd);
  EditWindow_ScrollCaretIntoView(wnd);
}

void EditWindow_PaintOffscreen(EditorWindow* wnd, HDC hdc, const RECT* prc) {
  RECT rc = *prc;
  int w = rc.right - rc.left, h = rc.bottom - rc.top;
  if (w <= 0 || h <= 0) return;
  HDC mem = EditStyle_GetBuffer(hdc, w, h);
  if (!mem) return;  // nothing drawn; the area is validated all the same
  int saved = SaveDC(mem);
  // The buffer's corner stands for the rectangle's: the body draws in client
  // coordinates.
  SetViewportOrgEx(mem, -rc.left, -rc.top, nullptr);
  const EditorStyle* style = EditStyle_Get();
  SelectObject(mem, style->hFont);
  SetBkMode(mem, TRANSPARENT);
  SetTextAlign(mem, TA_TOP | TA_LEFT | TA_NOUPDATECP);
  GdiDraw draw;
  GdiDraw_Begin(&draw, mem, EditBody_CellWidth(wnd->body), EditStyle_GlyphFit(), style->hbrBack, style->style.crBack,
                style->hbrSelBack, style->style.crSelBack);
  draw.nPenWidth = EditStyle_StrokeWidth();
  DrawSeam seam = GdiDraw_Seam(&draw);
  EditBody_Paint(wnd->body, &style->style, &seam, &rc);
  GdiDraw_End(&draw);
  BitBlt(hdc, rc.left, rc.top, w, h, mem, rc.left, rc.top, SRCCOPY);
  RestoreDC(mem, saved);
}

// The caller has hidden the caret: drawing over it would leave it inverted.
void EditWindow_PaintNow(EditorWindow* wnd, const RECT* rc) {
  if (rc->left >= rc->right || rc->top >= rc->bottom) return;
  HDC hdc = GetDC(wnd->hWnd);
  if (!hdc) {
    InvalidateRect(wnd->hWnd, rc, FALSE);
    return;
  }
  EditWindow_PaintOffscreen(wnd, hdc, rc);
  ReleaseDC(wnd->hWnd, hdc);
}
