// The TextEditorControl window: its record and what the control interface
// (editctrl_win.cpp) and the message handlers share. The handlers live in
// editwind_win.cpp; the view (scrolling, the caret, repainting what changed and
// telling the parent) in editview_win.cpp.
#pragma once

#include <cstdint>

#include "editctrl/editbody.h"
#include "editctrl/editinput.h"
#include "editctrl/editsettings.h"
#include "tools/platform.h"

extern const char kEditorProp[];  // "PROP_EDITOR"

// The window's extra bytes hold the record too: the property is what the
// record's home is, the bytes a lookup that costs no trip to the window server.
constexpr int kEditorWindowBytes = sizeof(LONG_PTR);

// Timers of a mouse drag.
constexpr UINT_PTR kDragDelayTimer = 101;   // 500 ms from the press until the mouse is followed
constexpr UINT_PTR kDragFollowTimer = 100;  // follows the mouse while the button is held
constexpr UINT kDragDelayMs = 500;

// One record per control, in its property PROP_EDITOR from WM_CREATE to WM_DESTROY.
struct EditorWindow {
  HWND hWnd;
  TextEditorBody* body;     // owned
  EditCharInput charInput;  // a lead byte waiting for its trail byte
  BYTE bDragDelay;          // timer 101 runs
  BYTE bDragFollow;         // timer 100 runs
  BYTE bCaret;              // the caret exists (the window has the focus)
  int32_t nBatch;           // > 0 inside a batch: the change handler only takes note
  BYTE bBatchChanged;       // a change happened inside the batch
  int32_t nLineNumberWidth; // the line-number column the layout was made for
  EditScrollAxis axisH;     // the view's extent, as the bars were last given it
  EditScrollAxis axisV;
  EditScrollBar barH;       // what the bars were last given, so that nothing is
  EditScrollBar barV;       // set (and redrawn) again when nothing changed
  BYTE bBarsSet;            // barH and barV hold what the bars show
  int32_t nDrawnPosH;       // the bars' positions when they were last drawn: a
  int32_t nDrawnPosV;       // thumb shows where these put it until it is redrawn
  POINT ptCaretShown;       // where the caret was last placed
  BYTE bCaretPlaced;        // ptCaretShown is current
  int32_t nCaretHold;       // > 0: a scroll leaves the caret to be placed by the caller
};

bool IsValidEditorWindow(const EditorWindow* wnd);
// The record of a control, or null for any other window.
EditorWindow* EditWindow_FromHandle(HWND hWnd);

LRESULT CALLBACK EditWindow_Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

// ---- The view (editview_win.cpp) ----

// WM_COMMAND 0x300 and then TEN_UPDATE to the parent. The parent may destroy the
// control in answer, so callers touch nothing of it afterwards.
void EditWindow_NotifyChange(EditorWindow* wnd);
void EditWindow_Notify(HWND hWnd, int32_t code, LPARAM lValue1, LPARAM lValue2);

// Draws the rectangle of the client area at once, through the shared off-screen
// buffer, without waiting for WM_PAINT.
void EditWindow_PaintNow(EditorWindow* wnd, const RECT* rc);
// Draws the rectangle into the DC through the shared off-screen buffer.
void EditWindow_PaintOffscreen(EditorWindow* wnd, HDC hdc, const RECT* rc);

// The body's change handler: scrolls what stays, invalidates what changed,
// updates the bars and the caret and paints (inside a batch it only takes note).
// It never tells the parent: the body is still inside the edit then (undo has
// not got its step yet), so the operation that edited tells it on return.
void EditWindow_OnTextChange(void* param, const DisplayRange* after, const DisplayRange* before);
// Between these the change handler only takes note; the end repaints everything
// once, if anything changed, and notifies. Batches nest.
void EditWindow_BeginBatch(EditorWindow* wnd);
void EditWindow_EndBatch(EditorWindow* wnd);

// The selection becomes (anchor, caret): what changed is invalidated and the caret
// scrolled into view when it changed; the parent is told in any case.
void EditWindow_Select(EditorWindow* wnd, POINT anchor, POINT caret);
void EditWindow_MoveCaret(EditorWindow* wnd, POINT pos, bool bCollapse);
// The same without telling the parent (for calls that go on to edit).
void EditWindow_SelectQuiet(EditorWindow* wnd, POINT anchor, POINT caret);
// Invalidates the part of the view between two selections.
void EditWindow_InvalidateSelectionChange(EditorWindow* wnd, TextRange before, TextRange after);

// The selection, or the range given, replaced as one edit; then the parent is
// told, also of a refused edit or one that would change nothing. True when the
// text changed.
bool EditWindow_ReplaceSelection(EditorWindow* wnd, const char* text, int32_t n, bool bCollapse);
bool EditWindow_ReplaceRange(EditorWindow* wnd, TextRange range, const char* text, int32_t n);

// Ranges and positions of both bars from the body (after text, size, font and
// settings changes), with the view clamped into them.
void EditWindow_UpdateScrollBars(EditorWindow* wnd);
// Both bars back to 0 (a new document).
void EditWindow_ResetScroll(EditorWindow* wnd);
// A scroll request on one bar (SB_VERT or SB_HORZ), count times.
void EditWindow_Scroll(EditorWindow* wnd, int nBar, int32_t nRequest, int64_t nCount);
void EditWindow_ScrollCaretIntoView(EditorWindow* wnd);
void EditWindow_PlaceCaret(EditorWindow* wnd);
// The caret made anew one line high (after a font change), when it exists.
void EditWindow_RecreateCaret(EditorWindow* wnd);
void EditWindow_InvalidateAll(EditorWindow* wnd);
// Everything after a change of settings, font or document: bars, view, repaint.
void EditWindow_Relayout(EditorWindow* wnd);
