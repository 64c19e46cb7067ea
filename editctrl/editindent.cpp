#include "editctrl/editindent.h"

#include "editctrl/editselect.h"
#include "editctrl/editundo.h"
#include "editctrl/textdata.h"
#include "tools/memory.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Line starts of an indent: the beginning and after each LF that is not the last byte.
int64_t IndentLineStarts(const char* text, int32_t n) {
  int64_t starts = 1;
  for (int32_t i = 0; i + 1 < n; ++i) {
    if (text[i] == '\n') ++starts;
  }
  return starts;
}

bool AllocResult(int64_t size, char** pOut) {
  *pOut = nullptr;
  if (size > kTextMaxSize) return false;
  if (size == 0) return true;
  *pOut = static_cast<char*>(Mem_Alloc(static_cast<size_t>(size)));
  return *pOut != nullptr;
}

// Leading blanks an unindent takes from the line starting at i.
int32_t BlanksToTake(const char* text, int32_t n, int32_t i, int32_t nTab) {
  int32_t taken = 0;
  while (i + taken < n && taken < nTab && IsBlank(text[i + taken])) {
    if (text[i + taken++] == '\t') break;
  }
  return taken;
}

// The unindented text into out (which may be null, to count only).
int32_t Unindent(const char* text, int32_t n, int32_t nTab, char* out) {
  int32_t written = 0;
  bool lineStart = true;
  for (int32_t i = 0; i < n;) {
    if (lineStart) {
      i += BlanksToTake(text, n, i, nTab);
      lineStart = false;
      continue;
    }
    char c = text[i++];
    if (out) out[written] = c;
    ++written;
    lineStart = c == '\r' || c == '\n';
  }
  return written;
}

void ReleaseText(char* text) { Mem_Free(text); }

}  // namespace

bool EditIndent_IndentText(const char* text, int32_t n, char** pOut, int32_t* pN) {
  int64_t size = int64_t(n) + IndentLineStarts(text, n);
  if (!AllocResult(size, pOut)) return false;
  char* out = *pOut;
  int32_t w = 0;
  out[w++] = '\t';
  for (int32_t i = 0; i < n; ++i) {
    out[w++] = text[i];
    if (text[i] == '\n' && i + 1 < n) out[w++] = '\t';
  }
  *pN = w;
  return true;
}

bool EditIndent_UnindentText(const char* text, int32_t n, int32_t nTab, char** pOut, int32_t* pN) {
  int32_t size = Unindent(text, n, nTab, nullptr);
  if (!AllocResult(size, pOut)) return false;
  *pN = *pOut ? Unindent(text, n, nTab, *pOut) : 0;
  return true;
}

EditIndentResult EditIndent_Apply(TextEditorBody* body, bool bUnindent) {
  QWIL_ASSERT(IsValidTextEditorBodyHandle(body));
  EditBody_SelectLines(body);
  if (EditBody_GetReadOnly(body)) return EDITINDENT_FAILED;
  int32_t n = EditBody_GetSelectedSize(body);
  char* text = n > 0 ? static_cast<char*>(Mem_Alloc(static_cast<size_t>(n))) : nullptr;
  if (n > 0 && !text) return EDITINDENT_FAILED;
  EditBody_GetSelectedText(body, text, n);
  char* out = nullptr;
  int32_t nOut = 0;
  bool made = bUnindent ? EditIndent_UnindentText(text, n, body->ebi.nTab, &out, &nOut)
                        : EditIndent_IndentText(text, n, &out, &nOut);
  ReleaseText(text);
  if (!made) return EDITINDENT_FAILED;
  // An unindent that takes nothing leaves the document alone: no undo step, and
  // the document does not become modified.
  if (bUnindent && nOut == n) {
    ReleaseText(out);
    return EDITINDENT_UNCHANGED;
  }
  bool done = EditBody_ReplaceSelection(body, out, nOut, false);
  ReleaseText(out);
  return done ? EDITINDENT_CHANGED : EDITINDENT_FAILED;
}
