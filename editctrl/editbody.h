// The editor body: the window-independent half of the editor control. It owns the
// document and its undo and redo records, holds the caret, the selection anchor
// and the scroll offset, and knows the font metrics and the rectangle it is drawn
// in. This header gives the record, its metrics and the mappings between the
// three coordinate systems:
//   position       (x byte index in the line, y line index) in the document;
//   display point  (x column within its display row, y absolute display row);
//   pixel point    client coordinates of the editor window.
// Editing is in editundo.h, caret and selection in editselect.h, painting in
// editpaint.h.
//
// Row arithmetic goes through the document's row-aware lookup cache
// (TextData_GetLineFirstRow, TextData_RowToLine), so mapping near the last place
// looked at costs no walk over the lines above it.
#pragma once

#include <cstdint>

#include "editctrl/textdata.h"
#include "editctrl/textfile.h"
#include "tools/platform.h"

struct EditAllocator;

// The metrics and options the window gives the body.
struct TextEditorBodyInfo {
  BYTE bReadOnly;      // every change of the text is refused
  BYTE bWrap;          // lines wrap at the right edge of the text area
  int32_t nTab;        // tab size in columns, > 0
  RECT rcEditor;       // the area of the window the editor draws in, pixels
  TEXTMETRICA tm;      // the editor font's metrics as GetTextMetricsA fills them
  int32_t nLeftMargin; // blank pixels left of the text, >= 0
  BOOL bLineNumber;    // line numbers left of the margin (tested on its low byte)
};

// A pair of display points: the first row of a change and the end of its last
// affected line, as the change callback receives them.
struct DisplayRange {
  POINT ptStart;
  POINT ptEnd;
};

// Told after every applied edit which display rows changed: `after` on the changed
// document, `before` as they were.
typedef void (*EditBodyChangeProc)(void* param, const DisplayRange* after, const DisplayRange* before);

// A change of the document as its watchers are told it.
enum EditChangeKind : int32_t {
  EDITCHANGE_REPLACE,       // range replaced by the text
  EDITCHANGE_NEW_DOCUMENT,  // a new document took the old one's place (loading, a new file)
};
struct EditChange {
  EditChangeKind kind;
  TextRange range;       // REPLACE: the range replaced, ordered, in the document as it was
  const char* pText;     // REPLACE: the new text, its line ends as given; null when nText is 0
  int32_t nText;
  POINT ptEnd;           // REPLACE: the end of the new text in the changed document
  const TextData* text;  // the document after the change
};
// A watcher of the document: told of every change after it is made (each
// edit, undo and redo step and replacement, and the arrival of a new
// document), with its context. It must not change the body, nor add or remove
// watchers. Several may watch at once; each is told in the order it came.
struct EditWatcher {
  void (*pfnChange)(void* pContext, const EditChange* change);
  void* pContext;
};
constexpr int32_t kEditWatcherMax = 4;

struct TextEditorBody {
  TextData* text;            // the document (owned)
  EditAllocator* allocator;  // undo and redo stacks and the record pool (owned)
  int32_t nModifyId;         // id of the edit that first modified the clean document
  BYTE bModified;            // the document differs from its clean state
  POINT ptCaret;             // the moving end of the selection
  POINT ptSelect;            // the anchor; equal to ptCaret when nothing is selected
  POINT ptView;              // pixel of the document at the text area's origin; x is 0 while wrapping
  TextEditorBodyInfo ebi;
  void* param;               // handed back to callback (the window)
  EditBodyChangeProc callback;
  EditWatcher watchers[kEditWatcherMax];  // the first nWatchers, in the order they came
  int32_t nWatchers;
};

bool IsValidTextEditorBodyInfoStruct(const TextEditorBodyInfo* ebi);
bool IsValidTextEditorBodyHandle(const TextEditorBody* body);

// A new body over an empty document; null when the metrics fail their validity
// check, the callback is missing, or any part cannot be allocated (nothing is
// left behind).
TextEditorBody* EditBody_Create(const TextEditorBodyInfo* ebi, EditBodyChangeProc callback, void* param);
void EditBody_Destroy(TextEditorBody* body);

// The watcher joins the list (a copy of the record is kept). False when it is
// there already or the list is full.
bool EditBody_AddWatcher(TextEditorBody* body, const EditWatcher* watcher);
// The watcher with the same function and context leaves; false when it was not there.
bool EditBody_RemoveWatcher(TextEditorBody* body, const EditWatcher* watcher);
// Tells every watcher of a change (for the body's own edits).
void EditBody_TellWatchers(const TextEditorBody* body, const EditChange* change);

// For a new or loaded document: clean, caret and anchor at (0, 0), no steps.
void EditBody_Reset(TextEditorBody* body);

// Store new metrics and lay the document out again when the wrap width, the wrap
// flag or the tab size changed. Metrics that fail their validity check (a zero
// tab size or character width, say) are refused: false, and nothing changes.
bool EditBody_SetMetrics(TextEditorBody* body, const TextEditorBodyInfo* ebi);
bool EditBody_SetFontMetrics(TextEditorBody* body, const TEXTMETRICA* tm);
bool EditBody_SetRect(TextEditorBody* body, const RECT* rcEditor);
TextEditorBodyInfo EditBody_GetMetrics(const TextEditorBody* body);
bool EditBody_SetReadOnly(TextEditorBody* body, bool bReadOnly);  // returns the previous value
bool EditBody_GetReadOnly(const TextEditorBody* body);

POINT EditBody_GetView(const TextEditorBody* body);
void EditBody_SetView(TextEditorBody* body, POINT ptView);

// Derived metrics.
int32_t EditBody_CellWidth(const TextEditorBody* body);
int32_t EditBody_LineHeight(const TextEditorBody* body);
int32_t EditBody_LineNumberWidth(const TextEditorBody* body);
RECT EditBody_TextRect(const TextEditorBody* body);
int32_t EditBody_WrapWidth(const TextEditorBody* body);
// The document layout the metrics call for.
TextDataProperty EditBody_LayoutProp(const TextEditorBody* body);
// Pixel height of the whole document (line height times display rows).
int64_t EditBody_DocumentPixelHeight(const TextEditorBody* body);

// Mappings. None fails: lines and rows out of range are clamped.
POINT EditBody_PosToDisplay(TextEditorBody* body, POINT pos);
POINT EditBody_DisplayToPos(TextEditorBody* body, POINT pt);
// The display points of start and of the end of line endLine: the rows a change
// from start to that line touches, as the change callback is told them.
DisplayRange EditBody_ChangeRows(TextEditorBody* body, POINT start, int32_t endLine);
// The line holding display row `row`; *pIndex gets its index, *pRow the row within
// it (beyond its rows when `row` is past the end of the document).
LineData* EditBody_RowToLine(TextEditorBody* body, int32_t row, int32_t* pIndex, int32_t* pRow);
int32_t EditBody_LineFirstRow(TextEditorBody* body, int32_t y);
// n display rows down or up from pos, keeping the display column.
POINT EditBody_RowsDown(TextEditorBody* body, POINT pos, int32_t n);
POINT EditBody_RowsUp(TextEditorBody* body, POINT pos, int32_t n);
// Top-left pixel of a display cell; coordinates saturate at the 32-bit limits.
POINT EditBody_DisplayToPixel(const TextEditorBody* body, POINT pt);
// The position a mouse hit at pixel (px, py) lands on.
POINT EditBody_PixelToPos(TextEditorBody* body, int32_t px, int32_t py);
// The pixels to repaint when what lies between two display points changed,
// intersected with clip (empty when they do not meet).
RECT EditBody_ChangeRect(const TextEditorBody* body, const DisplayRange* range, const RECT* clip);

// Replaces the document with the file's text (or an empty document when path is
// null), then resets caret, anchor, view, undo and the modified flag. Refused
// while read-only. On failure (or when progress, optional, said stop) the old
// document stays with its steps; *pStatus (optional) tells why (TextFile_Load;
// TEXTFILE_OK with a false result means read-only). A window that loads in
// slices uses TextLoad_* with EditBody_LayoutProp and then EditBody_AdoptText.
bool EditBody_Load(TextEditorBody* body, const char* path, TextFileStatus* pStatus,
                   const TextProgress* progress = nullptr);
// Replaces the document with text, which the body then owns, laid out for the
// body's metrics, and resets as loading does. Refused while read-only (false,
// text still the caller's).
bool EditBody_AdoptText(TextEditorBody* body, TextData* text);
// Writes the document safely (TextFile_Save): the file holds all of it, or what
// it held before. The document and the modified flag are left alone; clearing
// the flag after TEXTFILE_OK is the caller's. The results are listed in
// tools/safesave.h (read-only, locked, a folder that cannot be written ...).
TextFileStatus EditBody_Save(TextEditorBody* body, const char* path, const TextProgress* progress = nullptr);
