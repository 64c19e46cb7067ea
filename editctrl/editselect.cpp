#include "editctrl/editselect.h"

#include "editctrl/linedata.h"
#include "tools/charrule.h"
#include "tools/platform.h"

namespace {

LineData* LineOf(TextEditorBody* body, int32_t y) { return TextData_Lookup(body->text, y, nullptr); }

uint32_t ClassAt(const LineData* line, int32_t index) { return Char_Class(Line_GetString(line) + index); }

int32_t PrevIndex(const LineData* line, int32_t index) {
  const char* s = Line_GetString(line);
  return static_cast<int32_t>(Char_Prev(s, s + index) - s);
}

}  // namespace

POINT EditBody_ClampPosition(TextEditorBody* body, POINT p) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  int32_t y = 0;
  LineData* line = TextData_Lookup(body->text, p.y, &y);
  int32_t length = Line_GetLength(line);
  int32_t x = p.x < 0 ? 0 : (p.x > length ? length : p.x);
  if (0 < x && x < length) {
    const char* s = Line_GetString(line);
    x = static_cast<int32_t>(Char_Prev(s, s + x + 1) - s);  // the start of the character holding byte x
  }
  return {x, y};
}

TextRange EditBody_GetSelection(const TextEditorBody* body) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  return TextRange_Order(body->ptSelect, body->ptCaret);
}

bool EditBody_IsSelectionEmpty(const TextEditorBody* body) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  return body->ptSelect.x == body->ptCaret.x && body->ptSelect.y == body->ptCaret.y;
}

void EditBody_Collapse(TextEditorBody* body) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  body->ptSelect = body->ptCaret;
}

void EditBody_SetSelection(TextEditorBody* body, POINT anchor, POINT caret) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  body->ptSelect = EditBody_ClampPosition(body, anchor);
  body->ptCaret = EditBody_ClampPosition(body, caret);
}

POINT EditBody_GetCaret(const TextEditorBody* body) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  return body->ptCaret;
}

void EditBody_SetCaret(TextEditorBody* body, POINT caret) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  body->ptCaret = EditBody_ClampPosition(body, caret);
}

int32_t EditBody_GetSelectedSize(TextEditorBody* body) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  return TextData_GetText(body->text, nullptr, EditBody_GetSelection(body), 0);
}

int32_t EditBody_GetSelectedText(TextEditorBody* body, char* buffer, int32_t n) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  if (!buffer || n <= 0) return 0;
  return TextData_GetText(body->text, buffer, EditBody_GetSelection(body), n);
}

int32_t EditBody_GetTextSize(const TextEditorBody* body) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  return TextData_GetTextSize(body->text);
}

EditCaretInfo EditBody_GetCaretInfo(TextEditorBody* body) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  EditCaretInfo info;
  info.ptDisplay = EditBody_PosToDisplay(body, body->ptCaret);
  info.nCode = TextData_GetCharCode(body->text, body->ptCaret);
  return info;
}

POINT EditBody_NextChar(TextEditorBody* body, POINT p) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  return TextData_NextPosition(body->text, p);
}

POINT EditBody_PrevChar(TextEditorBody* body, POINT p) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  return TextData_PrevPosition(body->text, p);
}

POINT EditBody_LineEnd(TextEditorBody* body, POINT p) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  return TextData_EndOfLine(body->text, p.y);
}

POINT EditBody_LineStart(TextEditorBody* body, POINT p) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  return TextData_StartOfLine(body->text, p.y);
}

POINT EditBody_DocumentEnd(TextEditorBody* body) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  return TextData_EndOfDocument(body->text);
}

// A word runs while the AND of its characters' classes stays non-zero, so a
// combined class ("ー", "#", "_") joins the run it follows.
POINT EditBody_WordEnd(TextEditorBody* body, POINT p) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  LineData* line = LineOf(body, p.y);
  int32_t length = Line_GetLength(line);
  if (p.x >= length) return p.y + 1 < TextData_GetCount(body->text) ? POINT{0, p.y + 1} : p;
  uint32_t c = ClassAt(line, p.x);
  int32_t i = p.x;
  while (i < length && (ClassAt(line, i) & c) != 0) {
    c &= ClassAt(line, i);
    i += Line_GetCharLength(line, i);
  }
  return {i, p.y};
}

POINT EditBody_WordStart(TextEditorBody* body, POINT p) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  if (p.x <= 0) return p.y - 1 >= 0 ? TextData_EndOfLine(body->text, p.y - 1) : p;
  LineData* line = LineOf(body, p.y);
  int32_t k = PrevIndex(line, p.x);
  uint32_t c = ClassAt(line, k);
  while (k > 0) {
    int32_t before = PrevIndex(line, k);
    uint32_t cb = ClassAt(line, before);
    if ((cb & c) == 0) break;
    c &= cb;
    k = before;
  }
  return {k, p.y};
}

TextRange EditBody_WordAt(TextEditorBody* body, TextRange range) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  POINT p = range.end;
  POINT q = TextData_NextPosition(body->text, p);
  if (q.y != p.y) return range;  // at the end of a line that has a next line
  // An empty last line has no word before the caret; the word start would cross
  // back over the line end before it.
  if (q.x == 0) return {p, p};
  return {EditBody_WordStart(body, q), EditBody_WordEnd(body, p)};
}

TextRange EditBody_LinesOf(TextEditorBody* body, TextRange range) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  TextRange lines;
  lines.start = {0, range.start.y};
  if (range.end.x != 0 || TextRange_IsEmpty(range)) {
    lines.end = TextData_NextPosition(body->text, TextData_EndOfLine(body->text, range.end.y));
  } else {
    lines.end = range.end;
  }
  return lines;
}

void EditBody_SelectLines(TextEditorBody* body) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  TextRange lines = EditBody_LinesOf(body, EditBody_GetSelection(body));
  body->ptSelect = lines.start;
  body->ptCaret = lines.end;
}

TextRange EditBody_WholeDocument(TextEditorBody* body) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  return {{0, 0}, TextData_EndOfDocument(body->text)};
}
