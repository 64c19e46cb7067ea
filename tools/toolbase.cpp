#include "tools/toolbase.h"

#include <cstring>

#include "tools/charrule.h"

// ---------------------------------------------------------------------------
// TextBuf and string helpers

bool IsValidTextBuf(const TextBuf* tb) {
  return tb != nullptr && tb->pText != nullptr && tb->nSize >= 1 && 0 <= tb->nLength && tb->nLength < tb->nSize &&
         tb->pText[tb->nLength] == '\0';
}

void TextBuf_Init(TextBuf* tb, char* buffer, int32_t size) {
  QWIL_ASSERT(buffer != nullptr && size >= 1);
  tb->pText = buffer;
  tb->nSize = size;
  tb->nLength = 0;
  tb->bFull = false;
  buffer[0] = '\0';
  QWIL_ASSERT(IsValidTextBuf(tb));
}

bool TextBuf_AppendChar(TextBuf* tb, const char* p, int32_t n) {
  QWIL_ASSERT(IsValidTextBuf(tb));
  if (tb->bFull) return false;
  if (n > tb->nSize - 1 - tb->nLength) {
    tb->bFull = true;
    return false;
  }
  std::memcpy(tb->pText + tb->nLength, p, static_cast<size_t>(n));
  tb->nLength += n;
  tb->pText[tb->nLength] = '\0';
  return true;
}

bool TextBuf_AppendString(TextBuf* tb, const char* s) {
  for (const char* p = s; *p != '\0';) {
    const char* next = Char_Next(p);
    if (!TextBuf_AppendChar(tb, p, static_cast<int32_t>(next - p))) return false;
    p = next;
  }
  return !tb->bFull;
}

bool TextBuf_AppendBytes(TextBuf* tb, const char* s, int32_t n) {
  for (int32_t i = 0; i < n;) {
    int32_t step = Char_Length(s, n, i);
    if (!TextBuf_AppendChar(tb, s + i, step)) return false;
    i += step;
  }
  return !tb->bFull;
}

bool TextBuf_AppendInt(TextBuf* tb, int64_t value) {
  char digits[24];
  int32_t n = 0;
  // Work on the negative side so that the smallest value has a magnitude too.
  int64_t v = value < 0 ? value : -value;
  do {
    digits[n++] = static_cast<char>('0' - v % 10);
    v /= 10;
  } while (v != 0);
  if (value < 0) digits[n++] = '-';
  while (n > 0) {
    if (!TextBuf_AppendChar(tb, &digits[--n], 1)) return false;
  }
  return true;
}

bool TextBuf_AppendHex(TextBuf* tb, uint32_t value, int32_t minDigits) {
  static const char kHex[] = "0123456789ABCDEF";
  char digits[8];
  int32_t n = 0;
  do {
    digits[n++] = kHex[value & 0xF];
    value >>= 4;
  } while (value != 0);
  for (int32_t pad = minDigits - n; pad > 0; --pad) {
    if (!TextBuf_AppendChar(tb, "0", 1)) return false;
  }
  while (n > 0) {
    if (!TextBuf_AppendChar(tb, &digits[--n], 1)) return false;
  }
  return true;
}

void TextBuf_DropTrailingLead(TextBuf* tb) {
  QWIL_ASSERT(IsValidTextBuf(tb));
  int32_t keep = String_CutLength(tb->pText, tb->nLength, tb->nLength);
  tb->nLength = keep;
  tb->pText[keep] = '\0';
}

bool TextBuf_AppendName(TextBuf* tb, const char* name) {
  const bool whole = TextBuf_AppendString(tb, name);
  TextBuf_DropTrailingLead(tb);
  return whole;
}

int32_t String_CutLength(const char* s, int32_t length, int32_t limit) {
  if (limit > length) limit = length;
  int32_t end = 0;
  int32_t lastStart = 0;
  for (int32_t i = 0; i < limit;) {
    int32_t step = Char_Length(s, length, i);
    if (i + step > limit) break;
    lastStart = i;
    i += step;
    end = i;
  }
  // A lone lead byte is a character of its own, but a cut must not end on one.
  if (end == lastStart + 1 && Char_IsLeadByte(static_cast<unsigned char>(s[lastStart]))) end = lastStart;
  return end;
}

int32_t String_CopyCut(char* dest, int32_t size, const char* src) {
  size_t srcLength = std::strlen(src);
  int32_t length = srcLength > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int32_t>(srcLength);
  int32_t n = String_CutLength(src, length, size - 1);
  std::memcpy(dest, src, static_cast<size_t>(n));
  dest[n] = '\0';
  return n;
}

namespace {

bool IsCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

int32_t DigitValue(char c) {
  if ('0' <= c && c <= '9') return c - '0';
  if ('a' <= c && c <= 'z') return c - 'a' + 10;
  if ('A' <= c && c <= 'Z') return c - 'A' + 10;
  return 99;
}

}  // namespace

uint32_t String_ToUnsigned(const char* s, int32_t base, const char** ppEnd) {
  const char* p = s;
  while (IsCSpace(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  if (base == 16 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && DigitValue(p[2]) < 16) p += 2;
  const char* digits = p;
  uint64_t value = 0;
  bool overflow = false;
  while (DigitValue(*p) < base) {
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(DigitValue(*p));
    if (value > 0xFFFFFFFFu) {
      overflow = true;
      value = 0xFFFFFFFFu;
    }
    ++p;
  }
  if (ppEnd) *ppEnd = (p == digits) ? s : p;
  if (p == digits) return 0;
  if (overflow) return 0xFFFFFFFFu;
  uint32_t result = static_cast<uint32_t>(value);
  return negative ? 0u - result : result;
}

bool String_ToInt(const char* s, int32_t* pValue) {
  const char* p = s;
  while (IsCSpace(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  if (DigitValue(*p) >= 10) return false;
  // The magnitude saturates one past INT32_MAX, which is INT32_MIN's.
  const int64_t limit = int64_t(INT32_MAX) + 1;
  int64_t value = 0;
  for (; DigitValue(*p) < 10; ++p) {
    value = value * 10 + DigitValue(*p);
    if (value > limit) value = limit;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) value = INT32_MAX;
  *pValue = static_cast<int32_t>(value);
  return true;
}

const char* Path_FindLastSeparator(const char* path) {
  const char* last = nullptr;
  for (const char* p = path; *p != '\0'; p = Char_Next(p)) {
    if (*p == '\\') last = p;
  }
  return last;
}

const char* Path_GetFileName(const char* path) {
  const char* sep = Path_FindLastSeparator(path);
  return sep ? sep + 1 : path;
}

bool Path_MakeSibling(const char* path, const char* ext, char* buffer, int32_t size) {
  QWIL_ASSERT(size >= 1);
  buffer[0] = '\0';
  const char* name = Path_GetFileName(path);
  const char* dot = nullptr;
  for (const char* p = name; *p != '\0'; p = Char_Next(p)) {
    if (*p == '.') dot = p;
  }
  size_t stem = static_cast<size_t>((dot ? dot : name + std::strlen(name)) - path);
  size_t extLength = std::strlen(ext);
  if (stem + extLength + 1 > static_cast<size_t>(size)) return false;
  std::memcpy(buffer, path, stem);
  std::memcpy(buffer + stem, ext, extLength + 1);
  for (char* p = buffer; *p != '\0'; p = const_cast<char*>(Char_Next(p))) {
    if ('A' <= *p && *p <= 'Z') *p = static_cast<char>(*p - 'A' + 'a');
  }
  return true;
}

bool Path_GetFolder(const char* path, char* buffer, int32_t size) {
  QWIL_ASSERT(size >= 1);
  buffer[0] = '\0';
  const char* sep = Path_FindLastSeparator(path);
  if (!sep) return true;
  size_t n = static_cast<size_t>(sep - path);
  if (n + 1 > static_cast<size_t>(size)) return false;
  std::memcpy(buffer, path, n);
  buffer[n] = '\0';
  return true;
}

// ---------------------------------------------------------------------------
// The date and time format language

namespace {

enum DateFlag : uint32_t {
  DATEFLAG_LEFT = 0x02,   // "-": pad on the right
  DATEFLAG_ZERO = 0x08,   // "0": pad numbers with the zero of the digit set
  DATEFLAG_WIDE = 0x10,   // "*": full-width digits, names and padding
  DATEFLAG_KANJI = 0x20,  // "!": kanji numerals, full-width padding
};

constexpr int32_t kDefaultDigitLimit = 32767;

struct DateSpec {
  uint32_t flags;
  int32_t nWidth;
  int32_t nDigitLimit;
  int32_t nOffset;
  char chConversion;
};

const char* const kAsciiDigits[10] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
const char* const kWideDigits[10] = {"０", "１", "２", "３", "４", "５", "６", "７", "８", "９"};
const char* const kKanjiDigits[10] = {"〇", "一", "二", "三", "四", "五", "六", "七", "八", "九"};

const char* const kMonthShort[12] = {"Jan.", "Feb.", "Mar.", "Apr.", "May",  "Jun.",
                                     "Jul.", "Aug.", "Sep.", "Oct.", "Nov.", "Dec."};
const char* const kMonthShortWide[12] = {"Ｊａｎ．", "Ｆｅｂ．", "Ｍａｒ．", "Ａｐｒ．", "Ｍａｙ",   "Ｊｕｎ．",
                                         "Ｊｕｌ．", "Ａｕｇ．", "Ｓｅｐ．", "Ｏｃｔ．", "Ｎｏｖ．", "Ｄｅｃ．"};
const char* const kMonthLong[12] = {"January", "February", "March",     "April",   "May",      "June",
                                    "July",    "August",   "September", "October", "November", "December"};
const char* const kMonthLongWide[12] = {"Ｊａｎｕａｒｙ", "Ｆｅｂｒｕａｒｙ", "Ｍａｒｃｈ",         "Ａｐｒｉｌ",
                                        "Ｍａｙ",         "Ｊｕｎｅ",         "Ｊｕｌｙ",           "Ａｕｇｕｓｔ",
                                        "Ｓｅｐｔｅｍｂｅｒ", "Ｏｃｔｏｂｅｒ", "Ｎｏｖｅｍｂｅｒ", "Ｄｅｃｅｍｂｅｒ"};
const char* const kMonthTraditional[12] = {"睦月", "如月", "弥生", "卯月",   "皐月", "水無月",
                                           "文月", "葉月", "長月", "神無月", "霜月", "師走"};
const char* const kWeekdayShort[7] = {"Sun.", "Mon.", "Tue.", "Wed.", "Thu.", "Fri.", "Sat."};
const char* const kWeekdayShortWide[7] = {"Ｓｕｎ．", "Ｍｏｎ．", "Ｔｕｅ．", "Ｗｅｄ．",
                                          "Ｔｈｕ．", "Ｆｒｉ．", "Ｓａｔ．"};
const char* const kWeekdayLong[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kWeekdayLongWide[7] = {"Ｓｕｎｄａｙ",   "Ｍｏｎｄａｙ", "Ｔｕｅｓｄａｙ", "Ｗｅｄｎｅｓｄａｙ",
                                         "Ｔｈｕｒｓｄａｙ", "Ｆｒｉｄａｙ", "Ｓａｔｕｒｄａｙ"};
const char* const kWeekdayKanji[7] = {"日", "月", "火", "水", "木", "金", "土"};
const char* const kAmPmKanji[2] = {"午前", "午後"};
const char* const kAmPmDotted[2] = {"a.m.", "p.m."};
const char* const kAmPmDottedWide[2] = {"ａ．ｍ．", "ｐ．ｍ．"};
const char* const kAmPmDottedUpper[2] = {"A.M.", "P.M."};
const char* const kAmPmDottedUpperWide[2] = {"Ａ．Ｍ．", "Ｐ．Ｍ．"};
const char* const kAmPm[2] = {"am", "pm"};
const char* const kAmPmWide[2] = {"ａｍ", "ｐｍ"};
const char* const kAmPmUpper[2] = {"AM", "PM"};
const char* const kAmPmUpperWide[2] = {"ＡＭ", "ＰＭ"};
const char* const kTwoHourPeriods[12] = {"子", "丑", "寅", "卯", "辰", "巳", "午", "未", "申", "酉", "戌", "亥"};

enum NameIndexKind { NAMEINDEX_MONTH, NAMEINDEX_WEEKDAY, NAMEINDEX_HALFDAY, NAMEINDEX_PERIOD };

struct DateNameRow {
  char chConversion;
  NameIndexKind kind;
  int32_t nCount;
  const char* const* plain;
  const char* const* wide;  // the "*" form
};

const DateNameRow kDateNames[] = {
    {'b', NAMEINDEX_MONTH, 12, kMonthShort, kMonthShortWide},
    {'B', NAMEINDEX_MONTH, 12, kMonthLong, kMonthLongWide},
    {'T', NAMEINDEX_MONTH, 12, kMonthTraditional, kMonthTraditional},
    {'a', NAMEINDEX_WEEKDAY, 7, kWeekdayShort, kWeekdayShortWide},
    {'A', NAMEINDEX_WEEKDAY, 7, kWeekdayLong, kWeekdayLongWide},
    {'x', NAMEINDEX_WEEKDAY, 7, kWeekdayKanji, kWeekdayKanji},
    {'O', NAMEINDEX_HALFDAY, 2, kAmPmKanji, kAmPmKanji},
    {'p', NAMEINDEX_HALFDAY, 2, kAmPmDotted, kAmPmDottedWide},
    {'P', NAMEINDEX_HALFDAY, 2, kAmPmDottedUpper, kAmPmDottedUpperWide},
    {'q', NAMEINDEX_HALFDAY, 2, kAmPm, kAmPmWide},
    {'Q', NAMEINDEX_HALFDAY, 2, kAmPmUpper, kAmPmUpperWide},
    {'k', NAMEINDEX_PERIOD, 12, kTwoHourPeriods, kTwoHourPeriods},
};

const int32_t kDaysBeforeMonth[2][12] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335},
};

bool IsLeapYear(int32_t year) { return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0); }

bool IsAsciiLetter(char c) { return ('a' <= c && c <= 'z') || ('A' <= c && c <= 'Z'); }

int32_t NameIndex(NameIndexKind kind, const SYSTEMTIME* t) {
  switch (kind) {
    case NAMEINDEX_MONTH: return static_cast<int32_t>(t->wMonth) - 1;
    case NAMEINDEX_WEEKDAY: return t->wDayOfWeek;
    case NAMEINDEX_HALFDAY: return t->wHour < 12 ? 0 : 1;
    case NAMEINDEX_PERIOD: return ((t->wHour + 1) % 24) / 2;
  }
  return -1;
}

// The numeric value of a conversion; false for letters that are not numbers, and
// for a day of the year of a month outside 1 to 12 (no table row to read).
bool NumberValue(char conversion, const SYSTEMTIME* t, int64_t* pValue) {
  switch (conversion) {
    case 'Y': *pValue = t->wYear; return true;
    case 'm': *pValue = t->wMonth; return true;
    case 'd': *pValue = t->wDay; return true;
    case 'H': *pValue = t->wHour; return true;
    case 'I': *pValue = t->wHour % 12; return true;
    case 'M': *pValue = t->wMinute; return true;
    case 'S': *pValue = t->wSecond; return true;
    case 'N': *pValue = int64_t(t->wHour) * 60 + t->wMinute; return true;
    case 'n': *pValue = int64_t(t->wHour) * 3600 + int64_t(t->wMinute) * 60 + t->wSecond; return true;
    case 'w': *pValue = t->wDayOfWeek; return true;
    case 'W': *pValue = (t->wDayOfWeek + 6) % 7; return true;
    case 'U':
    case 'u': *pValue = 0; return true;
    case 'j':
      if (t->wMonth < 1 || t->wMonth > 12) return false;
      *pValue = kDaysBeforeMonth[IsLeapYear(t->wYear) ? 1 : 0][t->wMonth - 1] + t->wDay;
      return true;
    default: return false;
  }
}

// An optional sign and decimal digits; no digits leave *pValue alone and report
// false. A value past the 32-bit range saturates, so a huge width is just huge.
const char* ParseNumber(const char* p, int32_t* pValue, bool* pHadDigits) {
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  int64_t value = 0;
  *pHadDigits = false;
  while ('0' <= *p && *p <= '9') {
    value = value * 10 + (*p - '0');
    if (value > 0x7FFFFFFF) value = 0x7FFFFFFF;
    *pHadDigits = true;
    ++p;
  }
  if (*pHadDigits) *pValue = static_cast<int32_t>(negative ? -value : value);
  return p;
}

// Parses what follows "%" up to and including the conversion letter. Returns the
// position after the letter, or null for a broken specifier.
const char* ParseSpec(const char* p, DateSpec* directive) {
  directive->flags = 0;
  directive->nWidth = 0;
  directive->nDigitLimit = kDefaultDigitLimit;
  directive->nOffset = 0;
  for (;; ++p) {
    if (*p == '-') directive->flags |= DATEFLAG_LEFT;
    else if (*p == '0') directive->flags |= DATEFLAG_ZERO;
    else if (*p == '*') directive->flags |= DATEFLAG_WIDE;
    else if (*p == '!') directive->flags |= DATEFLAG_KANJI;
    else break;
  }
  bool hadDigits = false;
  p = ParseNumber(p, &directive->nWidth, &hadDigits);
  if (*p == '.') p = ParseNumber(p + 1, &directive->nDigitLimit, &hadDigits);
  if (*p == '{') {
    p = ParseNumber(p + 1, &directive->nOffset, &hadDigits);
    if (*p != '}') return nullptr;
    ++p;
  }
  if (!IsAsciiLetter(*p)) return nullptr;
  directive->chConversion = *p;
  return p + 1;
}

const char* PadText(uint32_t flags) { return (flags & (DATEFLAG_WIDE | DATEFLAG_KANJI)) ? "　" : " "; }

const char* const* DigitSet(uint32_t flags) {
  if (flags & DATEFLAG_KANJI) return kKanjiDigits;
  if (flags & DATEFLAG_WIDE) return kWideDigits;
  return kAsciiDigits;
}

// Appends count copies of one character; stops as soon as the buffer is full, so
// a width of two thousand million costs nothing once the capacity is reached.
void AppendRepeated(TextBuf* tb, const char* ch, int64_t count) {
  int32_t n = static_cast<int32_t>(std::strlen(ch));
  for (int64_t i = 0; i < count; ++i) {
    if (!TextBuf_AppendChar(tb, ch, n)) return;
  }
}

void AppendNumber(TextBuf* tb, const DateSpec* directive, int64_t value) {
  int64_t v = value + directive->nOffset;
  if (v < 0) v = -v;
  int32_t digits[20];
  int32_t n = 0;
  do {
    digits[n++] = static_cast<int32_t>(v % 10);
    v /= 10;
  } while (v != 0 && n < directive->nDigitLimit);
  const char* const* set = DigitSet(directive->flags);
  bool left = (directive->flags & DATEFLAG_LEFT) != 0;
  int64_t pad = int64_t(directive->nWidth) - n;
  if (!left) AppendRepeated(tb, (directive->flags & DATEFLAG_ZERO) ? set[0] : PadText(directive->flags), pad);
  while (n > 0) TextBuf_AppendString(tb, set[digits[--n]]);
  if (left) AppendRepeated(tb, PadText(directive->flags), pad);
}

int32_t CharCount(const char* s) {
  int32_t n = 0;
  for (const char* p = s; *p != '\0'; p = Char_Next(p)) ++n;
  return n;
}

void AppendName(TextBuf* tb, const DateSpec* directive, const char* name) {
  bool left = (directive->flags & DATEFLAG_LEFT) != 0;
  int64_t pad = int64_t(directive->nWidth) - CharCount(name);
  if (!left) AppendRepeated(tb, PadText(directive->flags), pad);
  TextBuf_AppendString(tb, name);
  if (left) AppendRepeated(tb, PadText(directive->flags), pad);
}

const DateNameRow* FindNameRow(char conversion) {
  for (const DateNameRow& row : kDateNames) {
    if (row.chConversion == conversion) return &row;
  }
  return nullptr;
}

// Unknown letters, and names whose index the time puts outside its table (a month
// of 0 or 13, a weekday of 7), produce nothing.
void AppendConversion(TextBuf* tb, const DateSpec* directive, const SYSTEMTIME* t) {
  int64_t value = 0;
  if (NumberValue(directive->chConversion, t, &value)) {
    AppendNumber(tb, directive, value);
    return;
  }
  const DateNameRow* row = FindNameRow(directive->chConversion);
  if (!row) return;
  int32_t index = NameIndex(row->kind, t);
  if (index < 0 || index >= row->nCount) return;
  AppendName(tb, directive, (directive->flags & DATEFLAG_WIDE) ? row->wide[index] : row->plain[index]);
}

// A backslash escape at p (p at the backslash); returns where scanning goes on.
const char* AppendEscape(TextBuf* tb, const char* p) {
  const char* c = p + 1;
  switch (*c) {
    case '\0': return c;
    case 'f': TextBuf_AppendChar(tb, "\f", 1); return c + 1;
    case 'n': TextBuf_AppendChar(tb, "\n", 1); return c + 1;
    case 'r': TextBuf_AppendChar(tb, "\r", 1); return c + 1;
    case 't': TextBuf_AppendChar(tb, "\t", 1); return c + 1;
    default: {
      const char* next = Char_Next(c);
      TextBuf_AppendChar(tb, c, static_cast<int32_t>(next - c));
      return next;
    }
  }
}

// A specifier at p (p at the "%"); returns where scanning goes on. A broken
// specifier produces nothing and scanning resumes right after the "%".
const char* AppendSpecifier(TextBuf* tb, const char* p, const SYSTEMTIME* t) {
  if (p[1] == '%') {
    TextBuf_AppendChar(tb, "%", 1);
    return p + 2;
  }
  DateSpec directive;
  const char* end = ParseSpec(p + 1, &directive);
  if (!end) return p + 1;
  AppendConversion(tb, &directive, t);
  return end;
}

}  // namespace

int32_t DateFormat_Expand(const char* format, char* out, int32_t capacity, const SYSTEMTIME* time) {
  if (capacity < 1) return 0;
  TextBuf tb;
  TextBuf_Init(&tb, out, capacity);
  const char* p = format;
  while (*p != '\0' && !tb.bFull) {
    if (*p == '\\') {
      p = AppendEscape(&tb, p);
    } else if (*p == '%') {
      p = AppendSpecifier(&tb, p, time);
    } else {
      const char* next = Char_Next(p);
      TextBuf_AppendChar(&tb, p, static_cast<int32_t>(next - p));
      p = next;
    }
  }
  return tb.nLength;
}
