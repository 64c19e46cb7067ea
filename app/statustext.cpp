#include "app/statustext.h"

#include "tools/toolbase.h"

namespace {

bool IsBefore(POINT a, POINT b) { return a.y < b.y || (a.y == b.y && a.x < b.x); }

// "(line, column)" counted from 1.
void AppendPosition(TextBuf* tb, POINT pt) {
  TextBuf_AppendString(tb, "(");
  TextBuf_AppendInt(tb, int64_t(pt.y) + 1);
  TextBuf_AppendString(tb, ", ");
  TextBuf_AppendInt(tb, int64_t(pt.x) + 1);
  TextBuf_AppendString(tb, ")");
}

// " %d 行, %d 列" of a display point counted from 1.
void AppendRowColumn(TextBuf* tb, POINT pt) {
  TextBuf_AppendString(tb, " ");
  TextBuf_AppendInt(tb, int64_t(pt.y) + 1);
  TextBuf_AppendString(tb, " 行, ");
  TextBuf_AppendInt(tb, int64_t(pt.x) + 1);
  TextBuf_AppendString(tb, " 列");
}

bool ShowsCharacter(bool bHasSelection, uint32_t code) {
  return !bHasSelection && 1 <= code && code <= 0xFFFF && code != 13 && code != 10;
}

// The character itself: both bytes of a double-byte code, a tab as "\t".
void AppendCharacter(TextBuf* tb, uint32_t code) {
  if (code > 0xFF) {
    char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    TextBuf_AppendChar(tb, bytes, 2);
  } else if (code == '\t') {
    TextBuf_AppendChar(tb, "\\t", 2);
  } else {
    char byte = static_cast<char>(code);
    TextBuf_AppendChar(tb, &byte, 1);
  }
}

int32_t Finish(TextBuf* tb) {
  TextBuf_DropTrailingLead(tb);
  return tb->nLength;
}

}  // namespace

int32_t StatusText_Selection(char* buffer, int32_t size, bool bHasSelection, int32_t nLength, POINT ptFrom,
                             POINT ptTo) {
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  if (!bHasSelection) return 0;
  if (IsBefore(ptTo, ptFrom)) {
    POINT t = ptFrom;
    ptFrom = ptTo;
    ptTo = t;
  }
  TextBuf_AppendString(&tb, "選択中 ");
  TextBuf_AppendInt(&tb, nLength);
  TextBuf_AppendString(&tb, " ﾊﾞｲﾄ  ");
  AppendPosition(&tb, ptFrom);
  TextBuf_AppendString(&tb, " - ");
  AppendPosition(&tb, ptTo);
  return Finish(&tb);
}

int32_t StatusText_Document(char* buffer, int32_t size, int32_t nLines, int32_t nBytes) {
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  TextBuf_AppendString(&tb, " ");
  TextBuf_AppendInt(&tb, nLines);
  TextBuf_AppendString(&tb, " 行, ");
  TextBuf_AppendInt(&tb, nBytes);
  TextBuf_AppendString(&tb, " バイト");
  return Finish(&tb);
}

int32_t StatusText_Caret(char* buffer, int32_t size, bool bHasSelection, POINT ptDisplay, uint32_t code) {
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  AppendRowColumn(&tb, ptDisplay);
  if (ShowsCharacter(bHasSelection, code)) {
    TextBuf_AppendString(&tb, "  '");
    AppendCharacter(&tb, code);
    TextBuf_AppendString(&tb, "' 【");
    TextBuf_AppendHex(&tb, code, 4);
    TextBuf_AppendString(&tb, "】");
  }
  return Finish(&tb);
}

int32_t StatusText_CapsLock(char* buffer, int32_t size, bool bOn) {
  return String_CopyCut(buffer, size, bOn ? "CAPS" : "");
}

int32_t StatusText_NumLock(char* buffer, int32_t size, bool bOn) {
  return String_CopyCut(buffer, size, bOn ? "NUM" : "");
}

int32_t Title_Format(char* buffer, int32_t size, const char* path, const char* defaultName, bool bModified,
                     const char* note) {
  TextBuf tb;
  TextBuf_Init(&tb, buffer, size);
  bool untitled = path == nullptr || path[0] == '\0';
  TextBuf_AppendString(&tb, "[");
  TextBuf_AppendString(&tb, untitled ? defaultName : Path_GetFileName(path));
  TextBuf_AppendString(&tb, bModified ? " *" : "");
  TextBuf_AppendString(&tb, "] - ");
  if (!untitled) TextBuf_AppendString(&tb, path);
  if (note) TextBuf_AppendString(&tb, note);
  return Finish(&tb);
}
