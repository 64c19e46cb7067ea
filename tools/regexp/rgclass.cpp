#include "tools/regexp/rgclass.h"

#include <cstring>

#include "tools/charrule.h"
#include "tools/memory.h"

namespace {

struct EscapeClass {
  char letter;
  const char* text;
};

constexpr EscapeClass kEscapeClasses[] = {
    {'d', "0-9"},        {'D', "^0-9"},        {'h', "0-9a-fA-F"}, {'H', "^0-9a-fA-F"},
    {'w', "_0-9a-zA-Z"}, {'W', "^_0-9a-zA-Z"}, {'s', " \t\n\r\f"}, {'S', "^ \t\n\r\f"},
};

struct EscapeChar {
  char letter;
  char value;
};

constexpr EscapeChar kEscapeChars[] = {{'t', '\t'}, {'n', '\n'}, {'r', '\r'}, {'f', '\f'}};

constexpr uint32_t kWideFirst = 0x100;
constexpr uint32_t kWideLast = 0xFFFF;

// One step of the class scan: a range of codes, or a nested class that an
// escape such as "\d" stands for.
struct ClassItem {
  const char* pNested;  // non-null: the nested class text
  uint32_t lo;
  uint32_t hi;
};

uint32_t CodeAt(const char* p) { return Char_Code(p); }

const char* StepChar(const char* p) {
  const char* n = Char_Next(p);
  return n == p ? p + 1 : n;
}

// A backslash with something after it is an escape; a backslash that ends the
// text stands for itself.
bool IsEscape(const char* p) { return p[0] == '\\' && p[1] != '\0'; }

// Reads the character or escape at *pp for the start of an item; false when it
// is a nested class (then *nested is set).
bool ReadRangeEnd(const char** pp, uint32_t* code, const char** nested) {
  const char* p = *pp;
  if (IsEscape(p)) {
    RgEscape esc;
    RgEscape_Read(p + 1, &esc);
    *pp = p + 1 + esc.nLength;
    if (esc.bClass) {
      *nested = esc.pClass;
      return false;
    }
    *code = RgEscape_Code(esc.ch);
    return true;
  }
  *code = CodeAt(p);
  *pp = StepChar(p);
  return true;
}

// The next item of the scan at *pp; false at the end of the text. A "-" ends a
// range unless it is the last character or a class escape follows it; in those
// cases it is left to be read as an ordinary character next.
bool NextItem(const char** pp, ClassItem* item) {
  if (**pp == '\0') return false;
  item->pNested = nullptr;
  uint32_t a = 0;
  if (!ReadRangeEnd(pp, &a, &item->pNested)) return true;
  uint32_t b = a;
  const char* p = *pp;
  if (p[0] == '-' && p[1] != '\0') {
    const char* after = p + 1;
    const char* nested = nullptr;
    uint32_t code = 0;
    if (ReadRangeEnd(&after, &code, &nested)) {
      b = code;
      *pp = after;
    }
  }
  item->lo = a;
  item->hi = b;
  return true;
}

struct RangeList {
  RgRange* pItems;
  int32_t nItems;
  int32_t nCapacity;
};

bool RangeList_Add(RangeList* list, uint32_t lo, uint32_t hi) {
  if (list->nItems == list->nCapacity) {
    int32_t grown = list->nCapacity ? list->nCapacity * 2 : 4;
    RgRange* items = static_cast<RgRange*>(Mem_Realloc(list->pItems, sizeof(RgRange) * static_cast<size_t>(grown)));
    if (!items) return false;
    list->pItems = items;
    list->nCapacity = grown;
  }
  list->pItems[list->nItems++] = {static_cast<uint16_t>(lo), static_cast<uint16_t>(hi)};
  return true;
}

// Sorts by start and joins overlapping or touching ranges; classes have few.
void RangeList_Normalize(RangeList* list) {
  RgRange* r = list->pItems;
  for (int32_t i = 1; i < list->nItems; ++i) {
    RgRange x = r[i];
    int32_t j = i;
    while (j > 0 && r[j - 1].lo > x.lo) {
      r[j] = r[j - 1];
      --j;
    }
    r[j] = x;
  }
  int32_t out = 0;
  for (int32_t i = 0; i < list->nItems; ++i) {
    if (out > 0 && uint32_t(r[i].lo) <= uint32_t(r[out - 1].hi) + 1) {
      if (r[i].hi > r[out - 1].hi) r[out - 1].hi = r[i].hi;
    } else {
      r[out++] = r[i];
    }
  }
  list->nItems = out;
}

void SetBits(uint32_t bits[8], uint32_t lo, uint32_t hi) {
  for (uint32_t c = lo; c <= hi && c < kWideFirst; ++c) bits[c >> 5] |= 1u << (c & 31);
}

// Adds what the class contributes to codes 0x100 and above: its ranges, or,
// for a negated class, everything outside them.
bool AddWideOf(RangeList* list, const RgClass* sub) {
  if (!sub->bInvertWide) {
    for (int32_t i = 0; i < sub->nRanges; ++i) {
      if (!RangeList_Add(list, sub->pRanges[i].lo, sub->pRanges[i].hi)) return false;
    }
    return true;
  }
  uint32_t next = kWideFirst;
  for (int32_t i = 0; i < sub->nRanges; ++i) {
    if (sub->pRanges[i].lo > next && !RangeList_Add(list, next, sub->pRanges[i].lo - 1u)) return false;
    next = uint32_t(sub->pRanges[i].hi) + 1;
  }
  return next > kWideLast || RangeList_Add(list, next, kWideLast);
}

bool AddItem(RangeList* list, uint32_t bits[8], const ClassItem* item) {
  if (item->pNested) {
    RgClass sub;
    if (!RgClass_Compile(&sub, item->pNested)) return false;
    for (int i = 0; i < 8; ++i) bits[i] |= sub.bits[i];
    bool ok = AddWideOf(list, &sub);
    RgClass_Release(&sub);
    return ok;
  }
  SetBits(bits, item->lo, item->hi);
  if (item->hi < kWideFirst || item->lo > item->hi) return true;
  return RangeList_Add(list, item->lo < kWideFirst ? kWideFirst : item->lo, item->hi);
}

void ClearClass(RgClass* cls) {
  std::memset(cls->bits, 0, sizeof(cls->bits));
  cls->pRanges = nullptr;
  cls->nRanges = 0;
  cls->bInvertWide = false;
}

}  // namespace

void RgEscape_Read(const char* p, RgEscape* esc) {
  esc->bClass = false;
  esc->pClass = nullptr;
  esc->ch[0] = static_cast<uint8_t>(p[0]);
  esc->ch[1] = 0;
  esc->nLength = 1;
  if (Char_IsLeadByte(static_cast<unsigned char>(p[0])) && p[1] != '\0') {
    esc->ch[1] = static_cast<uint8_t>(p[1]);
    esc->nLength = 2;
    return;
  }
  for (const EscapeClass& e : kEscapeClasses) {
    if (p[0] == e.letter) {
      esc->bClass = true;
      esc->pClass = e.text;
      return;
    }
  }
  for (const EscapeChar& e : kEscapeChars) {
    if (p[0] == e.letter) esc->ch[0] = static_cast<uint8_t>(e.value);
  }
}

bool RgClass_Compile(RgClass* cls, const char* text) {
  ClearClass(cls);
  const bool bNegated = text[0] == '^';
  const char* p = text + (bNegated ? 1 : 0);
  RangeList list = {nullptr, 0, 0};
  ClassItem item;
  while (NextItem(&p, &item)) {
    if (!AddItem(&list, cls->bits, &item)) {
      Mem_Free(list.pItems);
      ClearClass(cls);
      return false;
    }
  }
  RangeList_Normalize(&list);
  if (bNegated) {
    for (int i = 0; i < 8; ++i) cls->bits[i] = ~cls->bits[i];
  }
  cls->pRanges = list.pItems;
  cls->nRanges = list.nItems;
  cls->bInvertWide = bNegated;
  return true;
}

void RgClass_Release(RgClass* cls) {
  Mem_Free(cls->pRanges);
  ClearClass(cls);
}

bool RgClass_Has(const RgClass* cls, uint32_t code) {
  if (code < kWideFirst) return RgClass_HasByteCode(cls, code);
  int32_t lo = 0;
  int32_t hi = cls->nRanges - 1;
  bool inside = false;
  while (lo <= hi) {
    int32_t mid = (lo + hi) / 2;
    if (code < cls->pRanges[mid].lo) {
      hi = mid - 1;
    } else if (code > cls->pRanges[mid].hi) {
      lo = mid + 1;
    } else {
      inside = true;
      break;
    }
  }
  return inside != cls->bInvertWide;
}

bool RgClass_MayStartWith(const RgClass* cls, uint8_t byte) {
  if (RgClass_HasByteCode(cls, byte)) return true;
  if (!Char_IsLeadByte(byte)) return false;
  const uint32_t first = (uint32_t(byte) << 8) | 0x01;
  const uint32_t last = (uint32_t(byte) << 8) | 0xFF;
  bool covered = false;  // the ranges hold every code of the lead byte
  bool touched = false;  // the ranges hold some code of it
  for (int32_t i = 0; i < cls->nRanges; ++i) {
    if (cls->pRanges[i].hi < first || cls->pRanges[i].lo > last) continue;
    touched = true;
    if (cls->pRanges[i].lo <= first && cls->pRanges[i].hi >= last) covered = true;
  }
  return cls->bInvertWide ? !covered : touched;
}
