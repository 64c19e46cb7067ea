#include "dialogs/gotoline.h"

#include "tools/toolbase.h"

bool GoToLine_Parse(const char* text, int32_t* pLine) {
  QWIL_ASSERT(text && pLine);
  int32_t number = 0;
  if (!String_ToInt(text, &number)) return false;
  // Line 0 and below all clamp to the first line later; INT32_MIN - 1 would wrap.
  *pLine = number == INT32_MIN ? INT32_MIN : number - 1;
  return true;
}

int32_t GoToLine_Clamp(int32_t line, int32_t nLines) {
  QWIL_ASSERT(nLines >= 1);
  if (line < 0) return 0;
  return line >= nLines ? nLines - 1 : line;
}

int32_t GoToLine_FormatRange(int32_t nLines, char* buffer, int32_t size) {
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  TextBuf_AppendString(&tb, "1 ～ ");
  TextBuf_AppendInt(&tb, nLines);
  return tb.nLength;
}
