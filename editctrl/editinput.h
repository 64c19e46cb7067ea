// What the editor window decides about its input without a window: which typed
// bytes are taken (a lead byte waits for its trail byte, so a two-byte character
// is one edit), what each key does, how far the wheel scrolls, where a scroll
// request or the caret-into-view rule puts the view, and the scroll bars' ranges.
// The window gathers the state, calls these and applies the result.
//
// Scroll positions here are pixels of the document in 64 bits: the view's origin
// (the body's ptView). A scroll bar holds 32-bit positions, so a document taller
// than a bar can count is shown on a bar whose units are `nScale` pixels each;
// for every document of normal size the scale is 1 and bar units are pixels.
#pragma once

#include <cstdint>

#include "editctrl/editbody.h"
#include "tools/platform.h"

// Virtual-key codes of the key table (the platform's values).
enum EditVirtualKey : uint32_t {
  EDITVK_TAB = 0x09,
  EDITVK_CAPITAL = 0x14,
  EDITVK_KANA = 0x15,
  EDITVK_ESCAPE = 0x1B,
  EDITVK_PRIOR = 0x21,  // Page Up
  EDITVK_NEXT = 0x22,   // Page Down
  EDITVK_END = 0x23,
  EDITVK_HOME = 0x24,
  EDITVK_LEFT = 0x25,
  EDITVK_UP = 0x26,
  EDITVK_RIGHT = 0x27,
  EDITVK_DOWN = 0x28,
  EDITVK_DELETE = 0x2E,
  EDITVK_NUMLOCK = 0x90,
  EDITVK_SCROLL = 0x91,
};

// Scroll requests (the platform's SB_ values).
enum EditScrollRequest : int32_t {
  EDITSCROLL_LINEUP = 0,
  EDITSCROLL_LINEDOWN = 1,
  EDITSCROLL_PAGEUP = 2,
  EDITSCROLL_PAGEDOWN = 3,
  EDITSCROLL_THUMBPOSITION = 4,
  EDITSCROLL_THUMBTRACK = 5,
  EDITSCROLL_TOP = 6,
  EDITSCROLL_BOTTOM = 7,
  EDITSCROLL_ENDSCROLL = 8,
};

// ---- Typed characters ----

// A lead byte typed as its own WM_CHAR, waiting for the trail byte.
struct EditCharInput {
  BYTE bWaiting;  // 0 or 1
  BYTE cLead;     // the lead byte while waiting
};

enum EditCharAction {
  EDITCHAR_IGNORE,     // nothing to do (a control byte, or a lead byte now waiting)
  EDITCHAR_INSERT,     // replace the selection with bytes[0..n)
  EDITCHAR_TAB,        // indent, unindent or insert a tab (EditInput_TabAction)
  EDITCHAR_BACKSPACE,  // delete the selection, or the character before the caret
};

struct EditCharResult {
  EditCharAction action;
  char bytes[2];
  int32_t n;  // 1 or 2 for EDITCHAR_INSERT (or the tab itself), else 0
};

// Bytes taken as typed: printable ASCII and 64..252 (lead and trail bytes and
// half-width katakana among them), 127 excepted; and CR, backspace and tab.
bool EditInput_IsTypedByte(uint32_t ch);
// One WM_CHAR. A lead byte waits; the byte after it makes a two-byte character
// when it can be a trail byte, and otherwise the waiting lead byte is dropped and
// the byte is taken on its own.
EditCharResult EditInput_FeedChar(EditCharInput* input, uint32_t ch);
// Any other input (a key, a click, a focus change, an edit from outside) drops a
// waiting lead byte, so it can never pair with a later byte.
void EditInput_DropLead(EditCharInput* input);

enum EditTabAction { EDITTAB_NOTHING, EDITTAB_INSERT, EDITTAB_INDENT, EDITTAB_UNINDENT };
// Tab indents and Shift+Tab unindents a selection; without one Tab inserts a tab
// and Shift+Tab does nothing.
EditTabAction EditInput_TabAction(bool bShift, bool bSelection);

// ---- Keys ----

enum EditKeyAction {
  EDITKEY_NONE,          // not the control's key
  EDITKEY_TO_PARENT,     // a lock key: its key-down goes on to the parent unchanged
  EDITKEY_PREV_CHAR,
  EDITKEY_NEXT_CHAR,
  EDITKEY_WORD_START,
  EDITKEY_WORD_END,
  EDITKEY_ROW_UP,
  EDITKEY_ROW_DOWN,
  EDITKEY_SCROLL_UP,     // one line, caret unchanged
  EDITKEY_SCROLL_DOWN,
  EDITKEY_PAGE_UP,       // the view a page, the caret as many rows
  EDITKEY_PAGE_DOWN,
  EDITKEY_LINE_START,
  EDITKEY_DOC_START,
  EDITKEY_LINE_END,
  EDITKEY_DOC_END,
  EDITKEY_COLLAPSE,
  EDITKEY_DELETE,
};

EditKeyAction EditInput_KeyAction(uint32_t vk, bool bCtrl);
// The actions that move the caret (extending the selection with Shift).
bool EditInput_IsCaretMove(EditKeyAction action);
// Rows a page moves: the text area's height in whole lines, at least 1.
int32_t EditInput_PageRows(const TextEditorBody* body);
// Where a caret move puts the caret; the caret itself for other actions.
POINT EditInput_MoveTarget(TextEditorBody* body, EditKeyAction action);

// ---- Wheel ----

struct EditWheelScroll {
  int32_t nRequest;  // EDITSCROLL_LINEUP/LINEDOWN, or PAGEUP/PAGEDOWN
  int64_t nCount;    // how many of them; 0 scrolls nothing
};

// Whole notches of the signed delta (120 each; partial notches are dropped),
// times the user's lines per notch; a setting of 0xFFFF or more scrolls pages.
EditWheelScroll EditInput_Wheel(int32_t nDelta, uint32_t nLinesSetting);

// ---- Scrolling ----

// One axis of the view, in pixels.
struct EditScrollAxis {
  int64_t nRange;   // the bar's maximum: the document's extent
  int64_t nPage;    // the visible extent
  int64_t nMaxPos;  // the largest view position, 0 .. INT32_MAX
  int64_t nScale;   // pixels per bar unit, >= 1
};

// Vertical: the document's pixel height over the text area's height.
EditScrollAxis EditInput_VertAxis(int64_t nDocPixels, int64_t nPage);
// Horizontal: wrapped, a range of 1 that never scrolls; unwrapped, 32767 pixels,
// grown to hold the caret's column with its margin plus a page and the current view.
EditScrollAxis EditInput_HorzAxis(bool bWrap, int64_t nCaretX, int64_t nCellWidth, int64_t nViewX, int64_t nPage);

// What the bar is given: range 0 .. nMax, the page and the position in bar units.
struct EditScrollBar {
  int32_t nMax;
  uint32_t nPage;
  int32_t nPos;
};
EditScrollBar EditInput_BarOf(const EditScrollAxis* axis, int64_t nPos);
// A tracked bar position back to pixels; the bar's last position is the last view.
int64_t EditInput_PosOfBar(const EditScrollAxis* axis, int64_t nBarPos);
int64_t EditInput_ClampPos(const EditScrollAxis* axis, int64_t nPos);
// Where the system's bar draws its thumb, in pixels from the start of a track
// of nTrack pixels (the bar between its arrows), for a thumb of nThumb pixels:
// a position that gives the same offset as the drawn one needs no redraw.
int64_t EditInput_ThumbOffset(const EditScrollBar* bar, int64_t nTrack, int64_t nThumb);

// The new view position for a request: count steps or pages up or down, the
// tracked position, top or bottom; any other request keeps it. Clamped.
int64_t EditInput_Scroll(const EditScrollAxis* axis, int64_t nPos, int32_t nRequest, int64_t nStep, int64_t nCount,
                         int64_t nTrackPos);
// The caret-into-view rule for one axis: with t the caret's pixel, m the margin and
// P the page, a caret before p + m brings the view to t - m, one past p + P - 2m
// brings it to t + 2m - P; otherwise the view stays. Clamped.
int64_t EditInput_IntoView(const EditScrollAxis* axis, int64_t nPos, int64_t nTarget, int64_t nMargin);
