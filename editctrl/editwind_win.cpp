// The TextEditorControl window: one handler per message, and a window procedure
// that is only the table from message to handler. The handlers turn input into
// calls on the editor body; the view work is in editview_win.cpp.
#include "editctrl/editwind_win.h"

#include <shellapi.h>
#include <windowsx.h>

#include "editctrl/dpi_win.h"
#include "editctrl/drawgdi_win.h"
#include "editctrl/editctrl.h"
#include "editctrl/editpaint.h"
#include "editctrl/editstyle_win.h"
#include "editctrl/editundo.h"
#include "tools/memory.h"
#include "tools/toolsys_win.h"
#include "tools/toolwind_win.h"

const char kEditorProp[] = "PROP_EDITOR";

namespace {

bool KeyDown(int vk) { return GetKeyState(vk) < 0; }

// Ctrl and Shift as the key being handled found them, in one read: under Wine
// each GetKeyState is a trip to the window server.
struct Modifiers {
  bool bCtrl, bShift;
};

Modifiers ReadModifiers() {
  BYTE keys[256] = {};  // a read that fails finds them up
  GetKeyboardState(keys);
  return {(keys[VK_CONTROL] & 0x80) != 0, (keys[VK_SHIFT] & 0x80) != 0};
}

POINT MessagePoint(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

void StopDragTimers(EditorWindow* wnd) {
  if (wnd->bDragDelay) KillTimer(wnd->hWnd, kDragDelayTimer);
  if (wnd->bDragFollow) KillTimer(wnd->hWnd, kDragFollowTimer);
  wnd->bDragDelay = 0;
  wnd->bDragFollow = 0;
}

void StartFollowing(EditorWindow* wnd) {
  if (wnd->bDragDelay) KillTimer(wnd->hWnd, kDragDelayTimer);
  wnd->bDragDelay = 0;
  if (SetTimer(wnd->hWnd, kDragFollowTimer, 0, nullptr)) wnd->bDragFollow = 1;
}

// Range 0 to 1, page 1, position 0: what both bars show before there is a document.
void ResetBars(HWND hWnd) {
  SCROLLINFO si = {};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = 1;
  si.nPage = 1;
  si.nPos = 0;
  SetScrollInfo(hWnd, SB_HORZ, &si, FALSE);
  SetScrollInfo(hWnd, SB_VERT, &si, FALSE);
  ShowScrollBar(hWnd, SB_BOTH, TRUE);
}

void FreeWindow(EditorWindow* wnd, bool bStyleHeld) {
  if (wnd->body) EditBody_Destroy(wnd->body);
  if (bStyleHeld) EditStyle_Release();
  Mem_Free(wnd);
}

// The body made from the settings, the font measured on the screen and the
// client rectangle.
TextEditorBody* MakeBody(HWND hWnd, const EditorSettings* settings, EditorWindow* wnd) {
  TextEditorBodyInfo ebi = {};
  EditorSettings_ToBodyInfo(settings, &ebi);
  if (!EditStyle_MeasureFont(EditStyle_Get()->hFont, &ebi.tm)) return nullptr;
  GetClientRect(hWnd, &ebi.rcEditor);
  return EditBody_Create(&ebi, EditWindow_OnTextChange, wnd);
}

LRESULT OnCreate(HWND hWnd, WPARAM, LPARAM lParam) {
  ResetBars(hWnd);
  const CREATESTRUCTA* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
  const EditorSettings* settings = static_cast<const EditorSettings*>(cs->lpCreateParams);
  if (!IsValidEditorSettings(settings)) return -1;
  EditorWindow* wnd = static_cast<EditorWindow*>(Mem_Alloc(sizeof(EditorWindow)));
  if (!wnd) return -1;
  *wnd = EditorWindow();
  wnd->hWnd = hWnd;
  if (!EditStyle_Acquire(&settings->style, Dpi_ForWindow(hWnd))) {
    FreeWindow(wnd, false);
    return -1;
  }
  wnd->body = MakeBody(hWnd, settings, wnd);
  if (!wnd->body || !SetPropA(hWnd, kEditorProp, wnd)) {
    FreeWindow(wnd, true);
    return -1;
  }
  SetWindowLongPtrA(hWnd, 0, reinterpret_cast<LONG_PTR>(wnd));
  SetClassLongPtrA(hWnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(LoadCursor(nullptr, IDC_IBEAM)));
  wnd->nLineNumberWidth = EditBody_LineNumberWidth(wnd->body);
  EditWindow_UpdateScrollBars(wnd);
  QWIL_ASSERT(IsValidEditorWindow(wnd));
  return 0;
}

LRESULT OnDestroy(HWND hWnd, WPARAM, LPARAM) {
  EditorWindow* wnd = static_cast<EditorWindow*>(RemovePropA(hWnd, kEditorProp));
  SetWindowLongPtrA(hWnd, 0, 0);
  if (!wnd) return 0;  // its creation failed
  StopDragTimers(wnd);
  if (wnd->bCaret) DestroyCaret();
  FreeWindow(wnd, true);
  return 0;
}

LRESULT OnSize(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  EditorWindow* wnd = EditWindow_FromHandle(hWnd);
  if (!wnd || wParam == SIZE_MINIMIZED || wParam == SIZE_MAXHIDE) {
    return DefWindowProcA(hWnd, WM_SIZE, wParam, lParam);
  }
  RECT rc;
  GetClientRect(hWnd, &rc);
  EditBody_SetRect(wnd->body, &rc);
  wnd->nLineNumberWidth = EditBody_LineNumberWidth(wnd->body);
  EditWindow_UpdateScrollBars(wnd);
  EditWindow_InvalidateAll(wnd);
  EditWindow_PlaceCaret(wnd);
  EditWindow_Notify(hWnd, TEN_SIZE, static_cast<LPARAM>(wParam), lParam);
  return 0;
}

LRESULT OnSetFocus(HWND hWnd, WPARAM, LPARAM) {
  EditorWindow* wnd = EditWindow_FromHandle(hWnd);
  if (!wnd) return 0;
  EditInput_DropLead(&wnd->charInput);
  if (!CreateCaret(hWnd, nullptr, EditStyle_CaretWidth(), EditBody_LineHeight(wnd->body))) return 0;
  wnd->bCaret = 1;
  wnd->bCaretPlaced = 0;
  EditWindow_PlaceCaret(wnd);
  ShowCaret(hWnd);
  return 0;
}

LRESULT OnKillFocus(HWND hWnd, WPARAM, LPARAM) {
  EditorWindow* wnd = EditWindow_FromHandle(hWnd);
  if (!wnd) return 0;
  EditInput_DropLead(&wnd->charInput);
  if (wnd->bCaret) DestroyCaret();
  wnd->bCaret = 0;
  wnd->bCaretPlaced = 0;
  return 0;
}

LRESULT OnPaint(HWND hWnd, WPARAM, LPARAM) {
  EditorWindow* wnd = EditWindow_FromHandle(hWnd);
  PAINTSTRUCT ps;
  // BeginPaint hides the caret and EndPaint shows it again.
  HDC hdc = BeginPaint(hWnd, &ps);
  if (!hdc) return 0;
  if (wnd) EditWindow_PaintOffscreen(wnd, hdc, &ps.rcPaint);
  EndPaint(hWnd, &ps);
  return 0;
}

LRESULT OnContextMenu(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  EditWindow_Notify(hWnd, TEN_CONTEXTMENU, static_cast<LPARAM>(wParam), lParam);
  return 0;
}

void DeleteForward(EditorWindow* wnd) {
  TextEditorBody* body = wnd->body;
  if (!EditBody_IsSelectionEmpty(body)) {
    EditWindow_ReplaceSelection(wnd, nullptr, 0, true);
    return;
  }
  POINT caret = body->ptCaret;
  EditWindow_ReplaceRange(wnd, {caret, EditBody_NextChar(body, caret)}, nullptr, 0);
}

void DeleteBackward(EditorWindow* wnd) {
  TextEditorBody* body = wnd->body;
  if (!EditBody_IsSelectionEmpty(body)) {
    EditWindow_ReplaceSelection(wnd, nullptr, 0, true);
    return;
  }
  POINT caret = body->ptCaret;
  EditWindow_ReplaceRange(wnd, {EditBody_PrevChar(body, caret), caret}, nullptr, 0);
}

// Page keys scroll the view first and then move the caret as many whole rows,
// so the caret keeps its place on the screen (moving it first would let the
// page scroll carry it out of sight, and a scroll of the page's pixels, which
// are rarely whole rows, would leave it to be scrolled back a second time).
void MoveByKey(EditorWindow* wnd, EditKeyAction action, bool bShift) {
  int64_t rows = EditInput_PageRows(wnd->body);
  // The caret is placed once, where it ends, not first where the scroll put it.
  ++wnd->nCaretHold;
  if (action == EDITKEY_PAGE_UP) EditWindow_Scroll(wnd, SB_VERT, EDITSCROLL_LINEUP, rows);
  if (action == EDITKEY_PAGE_DOWN) EditWindow_Scroll(wnd, SB_VERT, EDITSCROLL_LINEDOWN, rows);
  --wnd->nCaretHold;
  POINT target = EditInput_MoveTarget(wnd->body, action);
  HWND hWnd = wnd->hWnd;
  EditWindow_MoveCaret(wnd, target, !bShift);
  if (!IsWindow(hWnd)) return;  // the parent closed it on the notification
  EditWindow_PlaceCaret(wnd);    // when the caret did not move, the scroll did
  UpdateWindow(hWnd);
}

LRESULT OnKeyDown(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  EditorWindow* wnd = EditWindow_FromHandle(hWnd);
  if (!wnd) return 0;
  EditInput_DropLead(&wnd->charInput);
  EditWindow_Notify(hWnd, TEN_KEYDOWN, static_cast<LPARAM>(wParam), lParam);
  // The parent's key assignment may have closed the control.
  wnd = EditWindow_FromHandle(hWnd);
  if (!wnd) return 0;
  const Modifiers modifiers = ReadModifiers();
  EditKeyAction action = EditInput_KeyAction(static_cast<uint32_t>(wParam), modifiers.bCtrl);
  if (EditInput_IsCaretMove(action)) {
    MoveByKey(wnd, action, modifiers.bShift);
    return 0;
  }
  switch (action) {
    case EDITKEY_TO_PARENT:
      SendMessageA(GetParent(hWnd), WM_KEYDOWN, wParam, lParam);
      break;
    case EDITKEY_SCROLL_UP: EditWindow_Scroll(wnd, SB_VERT, EDITSCROLL_LINEUP, 1); break;
    case EDITKEY_SCROLL_DOWN: EditWindow_Scroll(wnd, SB_VERT, EDITSCROLL_LINEDOWN, 1); break;
    case EDITKEY_COLLAPSE:
      EditWindow_MoveCaret(wnd, wnd->body->ptCaret, true);
      if (IsWindow(hWnd)) UpdateWindow(hWnd);
      break;
    case EDITKEY_DELETE: DeleteForward(wnd); break;
    default: break;
  }
  return 0;
}

void TypeTab(EditorWindow* wnd, const EditCharResult& r) {
  switch (EditInput_TabAction(KeyDown(VK_SHIFT), !EditBody_IsSelectionEmpty(wnd->body))) {
    case EDITTAB_INDENT: TextEditor_Indent(wnd->hWnd); break;
    case EDITTAB_UNINDENT: TextEditor_Unindent(wnd->hWnd); break;
    case EDITTAB_INSERT: EditWindow_ReplaceSelection(wnd, r.bytes, r.n, true); break;
    case EDITTAB_NOTHING: break;
  }
}

LRESULT OnChar(HWND hWnd, WPARAM wParam, LPARAM) {
  EditorWindow* wnd = EditWindow_FromHandle(hWnd);
  if (!wnd) return 0;
  EditCharResult r = EditInput_FeedChar(&wnd->charInput, static_cast<uint32_t>(wParam));
  switch (r.action) {
    case EDITCHAR_INSERT: EditWindow_ReplaceSelection(wnd, r.bytes, r.n, true); break;
    case EDITCHAR_BACKSPACE: DeleteBackward(wnd); break;
    case EDITCHAR_TAB: TypeTab(wnd, r); break;
    case EDITCHAR_IGNORE: break;
  }
  return 0;
}

// The caret's pixel, kept inside the text area: where the input method shows
// what is being composed.
POINT CompositionPoint(EditorWindow* wnd) {
  TextEditorBody* body = wnd->body;
  POINT pt = EditBody_DisplayToPixel(body, EditBody_PosToDisplay(body, body->ptCaret));
  RECT text = EditBody_TextRect(body);
  pt.x = pt.x < text.left ? text.left : (pt.x > text.right ? text.right : pt.x);
  pt.y = pt.y < text.top ? text.top : (pt.y > text.bottom ? text.bottom : pt.y);
  return pt;
}

LRESULT OnImeStartComposition(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  EditorWindow* wnd = EditWindow_FromHandle(hWnd);
  if (wnd) {
    EditInput_DropLead(&wnd->charInput);
    EditWindow_ScrollCaretIntoView(wnd);
    HIMC hImc = ImmGetContext(hWnd);
    if (hImc) {
      LOGFONTA lf = EditStyle_ScreenFont();
      ImmSetCompositionFontA(hImc, &lf);
      Ime_SetCompositionPos(hImc, CompositionPoint(wnd));
      ImmReleaseContext(hWnd, hImc);
    }
  }
  return DefWindowProcA(hWnd, WM_IME_STARTCOMPOSITION, wParam, lParam);
}

LRESULT OnImeComposition(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  EditorWindow* wnd = EditWindow_FromHandle(hWnd);
  if (!wnd || !(lParam & GCS_RESULTSTR)) return DefWindowProcA(hWnd, WM_IME_COMPOSITION, wParam, lParam);
  HIMC hImc = ImmGetContext(hWnd);
  if (!hImc) return 0;
  char* text = nullptr;
  int32_t n = 0;
  // A result that cannot be read (an error size, or no memory for it) is dropped.
  if (Ime_GetResultString(hImc, &text, &n) && n > 0) EditWindow_ReplaceSelection(wnd, text, n, true);
  Mem_Free(text);
  wnd = EditWindow_FromHandle(hWnd);
  if (wnd) Ime_SetCompositionPos(hImc, CompositionPoint(wnd));
  ImmReleaseContext(hWnd, hImc);
  return 0;
}

LRESULT OnScroll(HWND hWnd, int nBar, WPARAM wParam) {
  EditorWindow* wnd = EditWindow_FromHandle(hWnd);
  if (wnd) EditWindow_Scroll(wnd, nBar, LOWORD(wParam), 1);
  return 0;
}

LRESULT OnHScroll(HWND hWnd, WPARAM wParam, LPARAM) { return OnScroll(hWnd, SB_HORZ, wParam); }

LRESULT OnVScroll(HWND hWnd, WPARAM wParam, LPARAM) { return OnScroll(hWnd, SB_VERT, wParam); }

LRESULT OnMouseMove(HWND hWnd, WPARAM wParam, LPARAM) {
  EditorWindow* wnd = EditWindow_FromHandle(hWnd);
  if (wnd && (wParam & MK_LBUTTON) && wnd->bDragDelay) StartFollowing(wnd);
  return 0;
}

LRESULT OnLButtonDown(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  EditorWindow* wnd = EditWindow_FromHandle(hWnd);
  if (!wnd) return 0;
  if (GetFocus() != hWnd) SetFocus(hWnd);
  POINT pt = MessagePoint(lParam);
  POINT pos = EditBody_PixelToPos(wnd->body, pt.x, pt.y);
  EditWindow_MoveCaret(wnd, pos, (wParam & MK_SHIFT) == 0);
  wnd = EditWindow_FromHandle(hWnd);
  if (!wnd) return 0;
  SetCapture(hWnd);
  StopDragTimers(wnd);
  if (SetTimer(hWnd, kDragDelayTimer, kDragDelayMs, nullptr)) wnd->bDragDelay = 1;
  UpdateWindow(hWnd);
  return 0;
}

LRESULT OnLButtonUp(HWND hWnd, WPARAM, LPARAM) {
  if (GetCapture() == hWnd) ReleaseCapture();
  return 0;
}

LRESULT OnLButtonDblClk(HWND hWnd, WPARAM, LPARAM lParam) {
  EditorWindow* wnd = EditWindow_FromHandle(hWnd);
  if (!wnd) return 0;
  POINT pt = MessagePoint(lParam);
  POINT pos = EditBody_PixelToPos(wnd->body, pt.x, pt.y);
  TextRange word = EditBody_WordAt(wnd->body, {pos, pos});
  EditWindow_Select(wnd, word.start, word.end);
  if (IsWindow(hWnd)) UpdateWindow(hWnd);
  return 0;
}

void FollowMouse(EditorWindow* wnd) {
  POINT pt;
  if (!Window_GetCursorClientPos(wnd->hWnd, &pt)) return;
  POINT pos = EditBody_PixelToPos(wnd->body, pt.x, pt.y);
  // A tick that lands where the caret is changes nothing worth telling.
  if (pos.x == wnd->body->ptCaret.x && pos.y == wnd->body->ptCaret.y) return;
  HWND hWnd = wnd->hWnd;
  EditWindow_MoveCaret(wnd, pos, false);
  if (IsWindow(hWnd)) UpdateWindow(hWnd);
}

LRESULT OnTimer(HWND hWnd, WPARAM wParam, LPARAM) {
  EditorWindow* wnd = EditWindow_FromHandle(hWnd);
  if (!wnd) return 0;
  if (wParam == kDragDelayTimer && wnd->bDragDelay) StartFollowing(wnd);
  if (wParam == kDragFollowTimer && wnd->bDragFollow) FollowMouse(wnd);
  return 0;
}

LRESULT OnCaptureChanged(HWND hWnd, WPARAM, LPARAM lParam) {
  EditorWindow* wnd = EditWindow_FromHandle(hWnd);
  if (wnd && reinterpret_cast<HWND>(lParam) != hWnd) StopDragTimers(wnd);
  return 0;
}

LRESULT OnMouseWheel(HWND hWnd, WPARAM wParam, LPARAM) {
  EditorWindow* wnd = EditWindow_FromHandle(hWnd);
  if (!wnd) return 0;
  UINT lines = 3;
  if (!SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) lines = 3;
  EditWheelScroll s = EditInput_Wheel(GET_WHEEL_DELTA_WPARAM(wParam), lines);
  if (s.nCount > 0) EditWindow_Scroll(wnd, SB_VERT, s.nRequest, s.nCount);
  return 0;
}

// Sent on after the top-level window has moved to a display of another density.
LRESULT OnDpiChangedAfterParent(HWND hWnd, WPARAM, LPARAM) {
  TextEditor_SetDpi(hWnd, Dpi_ForWindow(hWnd));
  return 0;
}

// The parent reads the dropped files while it is told; the handle is freed after.
LRESULT OnDropFiles(HWND hWnd, WPARAM wParam, LPARAM) {
  HDROP hDrop = reinterpret_cast<HDROP>(wParam);
  EditWindow_Notify(hWnd, TEN_DROPFILES, reinterpret_cast<LPARAM>(hDrop), 0);
  DragFinish(hDrop);
  return 0;
}

constexpr MessageRow kMessageTable[] = {
    {WM_CREATE, OnCreate},
    {WM_DESTROY, OnDestroy},
    {WM_SIZE, OnSize},
    {WM_SETFOCUS, OnSetFocus},
    {WM_KILLFOCUS, OnKillFocus},
    {WM_PAINT, OnPaint},
    {WM_CONTEXTMENU, OnContextMenu},
    {WM_KEYDOWN, OnKeyDown},
    {WM_CHAR, OnChar},
    {WM_IME_STARTCOMPOSITION, OnImeStartComposition},
    {WM_IME_COMPOSITION, OnImeComposition},
    {WM_HSCROLL, OnHScroll},
    {WM_VSCROLL, OnVScroll},
    {WM_MOUSEMOVE, OnMouseMove},
    {WM_LBUTTONDOWN, OnLButtonDown},
    {WM_LBUTTONUP, OnLButtonUp},
    {WM_LBUTTONDBLCLK, OnLButtonDblClk},
    {WM_TIMER, OnTimer},
    {WM_MOUSEWHEEL, OnMouseWheel},
    {WM_CAPTURECHANGED, OnCaptureChanged},
    {WM_DROPFILES, OnDropFiles},
    {WM_DPICHANGED_AFTERPARENT, OnDpiChangedAfterParent},
};

}  // namespace

bool IsValidEditorWindow(const EditorWindow* wnd) {
  return wnd != nullptr && IsWindow(wnd->hWnd) && GetPropA(wnd->hWnd, kEditorProp) == wnd &&
         GetWindowLongPtrA(wnd->hWnd, 0) == reinterpret_cast<LONG_PTR>(wnd) &&
         IsValidTextEditorBodyHandle(wnd->body) && wnd->body->param == wnd && wnd->nBatch >= 0 && wnd->nCaretHold >= 0 &&
         (wnd->charInput.bWaiting == 0 || wnd->charInput.bWaiting == 1);
}

EditorWindow* EditWindow_FromHandle(HWND hWnd) {
  if (!hWnd || !IsWindow(hWnd)) return nullptr;
  // The class's own procedure (a subclassed control keeps it) says the window is one.
  if (GetClassLongPtrA(hWnd, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(EditWindow_Proc)) return nullptr;
  return reinterpret_cast<EditorWindow*>(GetWindowLongPtrA(hWnd, 0));
}

LRESULT CALLBACK EditWindow_Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return Window_Dispatch(kMessageTable, sizeof(kMessageTable) / sizeof(kMessageTable[0]), hWnd, uMsg, wParam,
                         lParam);
}
