// The editor body's caret and selection: one selection given by the caret (the
// end that moves) and the anchor, caret steps by character, row, word, line and
// document, word and line selection, the selected text and the caret information
// of the status bar. Every change of the text goes through EditBody_ReplaceSelection
// (editundo.h); selection and caret operations are allowed while read-only.
//
// Caret steps return a position; the caller stores it as the caret (and as the
// anchor too when it does not extend the selection). At the document's ends they
// return their input.
#pragma once

#include <cstdint>

#include "editctrl/editbody.h"
#include "editctrl/textdata.h"

struct EditCaretInfo {
  POINT ptDisplay;  // the caret's display point: column within its row, absolute row
  int32_t nCode;    // code of the character at the caret; at a line's end 13 or 10, 0 at the document's end
};

// The nearest valid position: line and column clamped into the document, a column
// inside a two-byte character moved to its start.
POINT EditBody_ClampPosition(TextEditorBody* body, POINT p);

TextRange EditBody_GetSelection(const TextEditorBody* body);  // ordered
bool EditBody_IsSelectionEmpty(const TextEditorBody* body);
void EditBody_Collapse(TextEditorBody* body);
// Both are clamped to valid positions.
void EditBody_SetSelection(TextEditorBody* body, POINT anchor, POINT caret);
POINT EditBody_GetCaret(const TextEditorBody* body);
void EditBody_SetCaret(TextEditorBody* body, POINT caret);  // the anchor stays

// Bytes of the selected text with lines joined by CR LF; the copy writes at most
// n bytes and no terminator, and returns the count.
int32_t EditBody_GetSelectedSize(TextEditorBody* body);
int32_t EditBody_GetSelectedText(TextEditorBody* body, char* buffer, int32_t n);
int32_t EditBody_GetTextSize(const TextEditorBody* body);
EditCaretInfo EditBody_GetCaretInfo(TextEditorBody* body);

// Caret steps.
POINT EditBody_NextChar(TextEditorBody* body, POINT p);  // crosses line ends
POINT EditBody_PrevChar(TextEditorBody* body, POINT p);
POINT EditBody_LineEnd(TextEditorBody* body, POINT p);
POINT EditBody_LineStart(TextEditorBody* body, POINT p);
POINT EditBody_DocumentEnd(TextEditorBody* body);
// Forward over the word run at p; at a line's end, to the next line's start.
POINT EditBody_WordEnd(TextEditorBody* body, POINT p);
// Back over the word run before p; at a line's start, to the previous line's end.
POINT EditBody_WordStart(TextEditorBody* body, POINT p);

// The word run holding the character at the range's end, both ways; at the end of
// a line that has a next line the range itself.
TextRange EditBody_WordAt(TextEditorBody* body, TextRange range);
// Whole lines of a range: from its first line's start to the start of the line
// after its last (or the document's end); a non-empty range ending at a line's
// start leaves that line out.
TextRange EditBody_LinesOf(TextEditorBody* body, TextRange range);
void EditBody_SelectLines(TextEditorBody* body);  // anchor at the start, caret at the end
TextRange EditBody_WholeDocument(TextEditorBody* body);
