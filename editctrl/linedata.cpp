#include "editctrl/linedata.h"

#include <cstring>

#include "editctrl/linepool.h"
#include "tools/charrule.h"

namespace {

ByteString* CellString(LineData* line) { return reinterpret_cast<ByteString*>(line + 1); }

bool CrlfMatchesLength(const LineData* line) {
  switch (line->crlflength) {
    case 0:
      return line->crlf[0] == '\0';
    case 1:
      return (line->crlf[0] == '\r' || line->crlf[0] == '\n') && line->crlf[1] == '\0';
    case 2:
      return line->crlf[0] == '\r' && line->crlf[1] == '\n' && line->crlf[2] == '\0';
    default:
      return false;
  }
}

void ClearLayout(LineData* line) {
  line->width = 0;
  line->ptTail.x = 0;
  line->ptTail.y = 0;
}

void InitRecord(LineData* line, const LineDataProperty* prop) {
  line->byte = CellString(line);
  line->prop = *prop;
  line->crlflength = 0;
  std::memset(line->crlf, 0, sizeof(line->crlf));
  ClearLayout(line);
  line->pNext = nullptr;
  line->pPrev = nullptr;
}

// Cells of the character at i when it starts at column x, with its byte length.
inline int32_t CharCells(const unsigned char* s, int32_t length, int32_t i, int64_t x, int32_t tabsize,
                         int32_t* pBytes) {
  unsigned char b = s[i];
  if (b == '\t') {
    *pBytes = 1;
    return static_cast<int32_t>(tabsize - x % tabsize);
  }
  if (Char_IsLeadByte(b) && i + 1 < length && s[i + 1] != 0) {
    *pBytes = 2;
    return 2;
  }
  *pBytes = 1;
  return 1;
}

// Copies head and tail into the line's buffer, which has room for both and the terminator.
void FillLine(LineData* line, const char* head, int32_t nHead, const char* tail, int32_t nTail, const char* crlf,
              int32_t crlflength) {
  ByteString* byte = line->byte;
  if (nHead > 0) std::memcpy(byte->string, head, static_cast<size_t>(nHead));
  if (nTail > 0) std::memcpy(byte->string + nHead, tail, static_cast<size_t>(nTail));
  byte->length = nHead + nTail;
  byte->string[byte->length] = '\0';
  Line_SetCrlf(line, crlf, crlflength);
  Line_Relayout(line);
  QWIL_ASSERT(IsValidLineDataHandle(line));
}

int32_t Saturate(int64_t v) { return v > INT32_MAX ? INT32_MAX : static_cast<int32_t>(v); }

const char* Chars(const unsigned char* s) { return reinterpret_cast<const char*>(s); }

int32_t NextTab(const unsigned char* s, int32_t length, int32_t from) { return Char_NextTab(Chars(s), length, from); }

// The unwrapped width: every byte is one column (a two-byte character is two bytes
// and two columns), except that a tab reaches the next stop from the line start.
int64_t UnwrappedWidth(const unsigned char* s, int32_t length, int32_t tabsize) {
  int64_t extra = 0;
  for (int32_t t = NextTab(s, length, 0); t < length; t = NextTab(s, length, t + 1)) {
    int64_t column = t + extra;
    extra += tabsize - column % tabsize - 1;
  }
  return length + extra;
}

// The display point behind the last character under the wrap rule: a character
// moves to the next row when it would end at or beyond the wrap width, the line
// end counting one cell, and the first character of a row always stays. Between
// tabs, columns grow with bytes, so the character that first reaches the wrap
// width is the one holding the byte at the row's last free column: rows are
// crossed without stepping through their characters.
POINT WrappedTail(const unsigned char* s, int32_t length, int32_t width, int32_t tabsize) {
  int32_t y = 0;
  int32_t k = 0;    // the next character start
  int64_t x = 0;    // its column in the current row
  int32_t tab = NextTab(s, length, 0);
  for (;;) {
    if (k >= length) {
      if (x > 0 && x + 1 >= width) return {0, y + 1};
      return {Saturate(x), y};
    }
    if (tab < k) tab = NextTab(s, length, k);
    int32_t breakAt;  // where the current row ends, when it ends before `tab`
    if (k == tab) {
      int64_t cells = tabsize - x % tabsize;
      if (x == 0 || x + cells < width) {
        x += cells;
        k += 1;
        continue;
      }
      breakAt = k;
    } else {
      int64_t last = int64_t(k) + (width - 1 - x);  // a character holding this byte ends too late
      if (last >= tab) {
        x += tab - k;
        k = tab;
        continue;
      }
      int32_t holder = last < k ? k : Char_StartHolding(Chars(s), k, static_cast<int32_t>(last));
      if (holder == k && x == 0) holder = k + Char_Length(reinterpret_cast<const char*>(s), length, k);
      breakAt = holder;
    }
    ++y;
    x = 0;
    k = breakAt;
    if (k >= length) return {0, y};  // a full last row leaves an empty one for the line end
  }
}

}  // namespace

bool IsValidLineDataProperty(const LineDataProperty* prop) {
  return prop != nullptr && 0 < prop->tabsize && 0 < prop->width;
}

bool IsValidLineStringIndex(const LineData* line, int32_t index) {
  return 0 <= index && index <= Line_GetLength(line);
}

bool IsValidLineDataHandle(const LineData* line) {
  if (!line) return false;
  if (!IsValidLineDataProperty(&line->prop)) return false;
  if (!IsValidByteStringHandle(line->byte)) return false;
  if (!(0 <= line->crlflength && line->crlflength <= 2)) return false;
  if (!CrlfMatchesLength(line)) return false;
  if (line->prop.wrap) {
    int64_t length = line->byte->length;
    // The width saturates at INT32_MAX on absurdly long lines of tabs.
    if (!(length <= line->width && line->width <= length * line->prop.tabsize)) return false;
    if (!(0 <= line->ptTail.y && line->ptTail.y <= line->width)) return false;
  } else if (line->ptTail.y != 0) {
    return false;
  }
  if (line->pNext && line != line->pNext->pPrev) return false;
  if (line->pPrev && line != line->pPrev->pNext) return false;
  return true;
}

LineData* Line_Create(LinePool* pool, const LineDataProperty* prop) {
  QWIL_ASSERT(IsValidLineDataProperty(prop));
  LineData* line = static_cast<LineData*>(LinePool_TakeCell(pool));
  if (!line) return nullptr;
  InitRecord(line, prop);
  if (!ByteString_InitInPlace(line->byte)) {
    LinePool_ReturnCell(pool, line);
    return nullptr;
  }
  QWIL_ASSERT(IsValidLineDataHandle(line));
  return line;
}

// A new line with its own heap buffer of exactly the bytes it holds.
LineData* Line_CreateJoined(LinePool* pool, const LineDataProperty* prop, const char* head, int32_t nHead,
                            const char* tail, int32_t nTail, const char* crlf, int32_t crlflength) {
  QWIL_ASSERT(0 <= nHead && 0 <= nTail && 0 <= crlflength && crlflength <= 2);
  int64_t n = int64_t(nHead) + nTail;
  if (n >= INT32_MAX) return nullptr;
  LineData* line = Line_Create(pool, prop);
  if (!line) return nullptr;
  if (!ByteString_Reserve(line->byte, static_cast<int32_t>(n) + 1)) {
    Line_Destroy(pool, line);
    return nullptr;
  }
  FillLine(line, head, nHead, tail, nTail, crlf, crlflength);
  return line;
}

LineData* Line_CreateFilled(LinePool* pool, const LineDataProperty* prop, const char* src, int32_t n,
                            const char* crlf, int32_t crlflength) {
  return Line_CreateJoined(pool, prop, src, n, nullptr, 0, crlf, crlflength);
}

LineData* Line_CreateLoaded(LinePool* pool, const LineDataProperty* prop, const char* head, int32_t nHead,
                            const char* tail, int32_t nTail, const char* crlf, int32_t crlflength) {
  QWIL_ASSERT(IsValidLineDataProperty(prop) && 0 <= nHead && 0 <= nTail && 0 <= crlflength && crlflength <= 2);
  int64_t n = int64_t(nHead) + nTail;
  if (n >= INT32_MAX) return nullptr;
  LineData* line = static_cast<LineData*>(LinePool_TakeCell(pool));
  if (!line) return nullptr;
  char* bytes = LinePool_TakeBytes(pool, static_cast<size_t>(n) + 1);
  if (!bytes) {
    LinePool_ReturnCell(pool, line);
    return nullptr;
  }
  InitRecord(line, prop);
  bytes[n] = '\0';
  ByteString_InitBorrowed(line->byte, bytes, static_cast<int32_t>(n));
  FillLine(line, head, nHead, tail, nTail, crlf, crlflength);
  return line;
}

bool Line_Reserve(LinePool* pool, LineData* line, int32_t n) {
  ByteString* byte = line->byte;
  if (byte->bufsize >= n) return true;
  if (LinePool_OwnsBytes(pool, byte->string)) return ByteString_Adopt(byte, n);
  return ByteString_Reserve(byte, n);
}

void Line_ReleaseBytes(LinePool* pool, LineData* line) {
  if (LinePool_OwnsBytes(pool, line->byte->string)) {
    ByteString_Forget(line->byte);
  } else {
    ByteString_Release(line->byte);
  }
}

void Line_Destroy(LinePool* pool, LineData* line) {
  if (!line) return;
  QWIL_ASSERT(!line->pNext && !line->pPrev);
  Line_ReleaseBytes(pool, line);
  LinePool_ReturnCell(pool, line);
}

void Line_LinkAfter(LineData* line, LineData* existing) {
  line->pPrev = existing;
  line->pNext = existing->pNext;
  existing->pNext = line;
  if (line->pNext) line->pNext->pPrev = line;
}

void Line_Unlink(LineData* line) {
  if (line->pPrev) line->pPrev->pNext = line->pNext;
  if (line->pNext) line->pNext->pPrev = line->pPrev;
  line->pNext = nullptr;
  line->pPrev = nullptr;
}

int32_t Line_CopyRange(const LineData* line, char* dest, int32_t n, int32_t start, int32_t end) {
  return ByteString_CopyRange(line->byte, dest, n, start, end);
}

int32_t Line_GetCharLength(const LineData* line, int32_t index) {
  return Char_Length(Line_GetString(line), Line_GetLength(line), index);
}

int32_t Line_GetCharCode(const LineData* line, int32_t index) {
  if (index < Line_GetLength(line)) return static_cast<int32_t>(Char_Code(Line_GetString(line) + index));
  return static_cast<signed char>(line->crlf[0]);
}

int32_t Line_GetCharWidth(const LineData* line, int32_t index, int32_t x) {
  if (index >= Line_GetLength(line)) return 0;
  if (Line_GetString(line)[index] == '\t') return line->prop.tabsize - x % line->prop.tabsize;
  return Line_GetCharLength(line, index);
}

void Line_SetCrlf(LineData* line, const char* crlf, int32_t crlflength) {
  std::memset(line->crlf, 0, sizeof(line->crlf));
  if (crlflength > 0) std::memcpy(line->crlf, crlf, static_cast<size_t>(crlflength));
  line->crlflength = crlflength;
}

void Line_ComputeLayout(LineData* line) {
  const unsigned char* s = reinterpret_cast<const unsigned char*>(Line_GetString(line));
  const int32_t length = Line_GetLength(line);
  line->width = Saturate(UnwrappedWidth(s, length, line->prop.tabsize));
  if (!line->prop.wrap) {
    line->ptTail.x = 0;
    line->ptTail.y = 0;
    return;
  }
  line->ptTail = WrappedTail(s, length, line->prop.width, line->prop.tabsize);
}

void Line_Relayout(LineData* line) {
  if (line->prop.wrap) Line_ComputeLayout(line);
}

void Line_SetProp(LineData* line, const LineDataProperty* prop) {
  QWIL_ASSERT(IsValidLineDataProperty(prop));
  const LineDataProperty& old = line->prop;
  if (old.wrap == prop->wrap && old.tabsize == prop->tabsize && old.width == prop->width) return;
  bool bothUnwrapped = !old.wrap && !prop->wrap;
  line->prop = *prop;
  if (bothUnwrapped) {
    line->ptTail.y = 0;
  } else {
    Line_ComputeLayout(line);
  }
}

bool Line_InsertBytes(LinePool* pool, LineData* line, int32_t pos, const char* src, int32_t n) {
  QWIL_ASSERT(IsValidLineDataHandle(line) && IsValidLineStringIndex(line, pos));
  if (int64_t(Line_GetLength(line)) + n >= INT32_MAX) return false;
  if (!Line_Reserve(pool, line, Line_GetLength(line) + n + 1)) return false;
  if (!ByteString_Insert(line->byte, pos, src, n)) return false;
  Line_Relayout(line);
  return true;
}

bool Line_SetTail(LinePool* pool, LineData* line, int32_t pos, const char* src, int32_t n) {
  QWIL_ASSERT(IsValidLineDataHandle(line) && IsValidLineStringIndex(line, pos));
  if (int64_t(pos) + n >= INT32_MAX) return false;
  if (!Line_Reserve(pool, line, pos + n + 1)) return false;
  if (!ByteString_Replace(line->byte, pos, Line_GetLength(line), src, n)) return false;
  Line_Relayout(line);
  return true;
}

LineData* Line_Split(LinePool* pool, LineData* line, int32_t column, const char* ending, int32_t n) {
  QWIL_ASSERT(IsValidLineDataHandle(line) && IsValidLineStringIndex(line, column));
  QWIL_ASSERT(n == 1 || n == 2);
  LineData* tail = Line_CreateFilled(pool, &line->prop, Line_GetString(line) + column,
                                     Line_GetLength(line) - column, line->crlf, line->crlflength);
  if (!tail) return nullptr;
  Line_SetCrlf(line, ending, n);
  ByteString_Erase(line->byte, column, Line_GetLength(line));
  Line_Relayout(line);
  return tail;
}
