#include "tools/charrule.h"

#include <cstring>

namespace {

// Two-byte rows, tested in this order after the first-level kanji range; a
// character belongs to a row when it occurs in the row's string as one character.
struct ClassRow {
  uint32_t bits;
  const char* chars;
};

constexpr ClassRow kTwoByteRows[] = {
    {0x0C00, "ー"},
    {0x0080, "仝々"},
    {0x0040, "　"},
    {0x0100, "０１２３４５６７８９"},
    {0x0200, "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ"},
    {0x0400, "ぁあぃいぅうぇえぉおかがきぎくぐけげこごさざしじすずせぜそぞただちぢっつづてでとどなにぬねのはばぱひびぴふぶぷへべぺほぼぽまみむめもゃやゅゆょよらりるれろゎわゐゑをん"},
    {0x0800, "ァアィイゥウェエォオカガキギクグケゲコゴサザシジスズセゼソゾタダチヂッツヅテデトドナニヌネノハバパヒビピフブプヘベペホボポマミムメモャヤュユョヨラリルレロヮワヰヱヲンヴヵヶ"},
    {0x0200, "ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩαβγδεζηθικλμνξοπρστυφχψω"},
    {0x0200, "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдеёжзийклмнопрстуфхцчшщъыьэюя"},
};

constexpr uint32_t kFirstLevelKanjiFirst = 0x889F;
constexpr uint32_t kFirstLevelKanjiLast = 0x9872;

uint32_t OneByteClass(unsigned char b) {
  if (b == 0) return CHARCLASS_NUL;
  if (b == ' ' || b == '\t') return CHARCLASS_SPACE;
  if (b == '#' || b == '_') return 0x0018;
  if (b == '\'') return 0x1010;
  if (b == '"') return 0x2010;
  if (('0' <= b && b <= '9') || ('A' <= b && b <= 'Z') || ('a' <= b && b <= 'z')) return CHARCLASS_ALNUM;
  if (0xA6 <= b && b <= 0xDF) return CHARCLASS_HANKANA;
  if ((0x21 <= b && b <= 0x2F) || (0x3A <= b && b <= 0x40) || (0x5B <= b && b <= 0x60) ||
      (0x7B <= b && b <= 0x7E) || (0xA1 <= b && b <= 0xA5)) {
    return CHARCLASS_PUNCT;
  }
  return CHARCLASS_OTHER;
}

bool RowHolds(const char* row, uint32_t code) {
  for (const char* p = row; *p != 0; p = Char_Next(p)) {
    if (Char_Code(p) == code) return true;
  }
  return false;
}

uint32_t TwoByteClassByRows(uint32_t code) {
  if (kFirstLevelKanjiFirst <= code && code <= kFirstLevelKanjiLast) return CHARCLASS_KANJI;
  for (const ClassRow& row : kTwoByteRows) {
    if (RowHolds(row.chars, code)) return row.bits;
  }
  return CHARCLASS_SYMBOL2;
}

// Word runs ask for classes character by character, so the row search is done
// once, at first use, for every two-byte code.
struct TwoByteClassTable {
  uint16_t bits[0x10000];
};

const TwoByteClassTable& TwoByteClasses() {
  static const TwoByteClassTable* table = [] {
    static TwoByteClassTable t;
    for (uint32_t code = 0; code < 0x10000; ++code) {
      t.bits[code] = Char_IsLeadByte(static_cast<unsigned char>(code >> 8)) && (code & 0xFF) != 0
                         ? static_cast<uint16_t>(TwoByteClassByRows(code))
                         : 0;
    }
    return &t;
  }();
  return *table;
}

}  // namespace

const char* Char_Prev(const char* start, const char* p) {
  if (p <= start) return start;
  const unsigned char* u = reinterpret_cast<const unsigned char*>(start);
  // Back over the lead bytes before p to a known character start.
  intptr_t k = (p - start) - 1;
  while (k > 0 && Char_IsLeadByte(u[k - 1])) --k;
  const char* q = start + k;
  for (;;) {
    const char* n = Char_Next(q);
    if (n == q) n = q + 1;  // a NUL inside the line is one character
    if (n >= p) return q;
    q = n;
  }
}

bool Char_IsSecondByte(const char* s, int32_t from, int32_t t) {
  const unsigned char* u = reinterpret_cast<const unsigned char*>(s);
  int32_t k = t;
  while (k > from && Char_IsLeadByte(u[k - 1])) --k;
  return ((t - k) & 1) != 0 && u[t] != 0;
}

int32_t Char_StartHolding(const char* s, int32_t from, int32_t p) {
  return Char_IsSecondByte(s, from, p) ? p - 1 : p;
}

int32_t Char_NextTab(const char* s, int32_t length, int32_t from) {
  for (int32_t k = from; k < length;) {
    const void* hit = std::memchr(s + k, '\t', static_cast<size_t>(length - k));
    if (!hit) break;
    int32_t t = static_cast<int32_t>(static_cast<const char*>(hit) - s);
    if (!Char_IsSecondByte(s, from, t)) return t;
    k = t + 1;
  }
  return length;
}

uint32_t Char_ClassOfCode(uint32_t code) {
  if (code < 0x100) return OneByteClass(static_cast<unsigned char>(code));
  return TwoByteClasses().bits[code & 0xFFFF];
}

uint32_t Char_Class(const char* p) { return Char_ClassOfCode(Char_Code(p)); }
