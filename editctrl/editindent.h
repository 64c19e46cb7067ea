// Indenting and unindenting the selected lines: the selection grows to whole
// lines, their text is transformed, and the result replaces them as one undoable
// edit that stays selected.
#pragma once

#include <cstdint>

#include "editctrl/editbody.h"

// A tab at the start of every line of the text: at its beginning and after each
// line feed, but not after a line feed that ends the text. *pOut is a new heap
// block (Mem_Free it; null for an empty result). False when memory runs out or
// the result would not fit a document.
bool EditIndent_IndentText(const char* text, int32_t n, char** pOut, int32_t* pN);
// From the start of every line (the beginning, and after each CR or LF) the
// leading spaces and tabs go: at most nTab bytes, and nothing after the first
// tab taken.
bool EditIndent_UnindentText(const char* text, int32_t n, int32_t nTab, char** pOut, int32_t* pN);

enum EditIndentResult {
  EDITINDENT_CHANGED,    // the lines were replaced
  EDITINDENT_UNCHANGED,  // nothing to take away: the lines are only selected
  EDITINDENT_FAILED,     // read-only or out of memory: the lines are only selected
};

// Selects the whole lines of the selection and indents (or unindents) them; the
// new lines stay selected, anchor at their start and caret at their end.
EditIndentResult EditIndent_Apply(TextEditorBody* body, bool bUnindent);
