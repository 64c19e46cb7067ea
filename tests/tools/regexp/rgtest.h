// Helpers shared by the regular-expression tests: compiling, searching and
// describing results and trees as short strings that read well in a failure.
#pragma once

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/charfold.h"
#include "tools/charrule.h"
#include "tools/regexp/regexp.h"
#include "tools/regexp/rgclass.h"
#include "tools/regexp/rgparse.h"

namespace rgtest {

inline std::string SpanText(const match* m, int32_t i, const char* subject) {
  const char* s = nullptr;
  const char* e = nullptr;
  if (!match_get_span(m, i, &s, &e)) return "-";
  return std::to_string(s - subject) + "," + std::to_string(e - subject);
}

// "START,END" of the whole match and of every group ("-" when unset), or
// "no match", "too complex", "no memory"; "refused" when it does not compile.
inline std::string Describe(int32_t result, const match* m, const char* subject) {
  if (result == REGEXP_NOMATCH) return "no match";
  if (result == REGEXP_TOO_COMPLEX) return "too complex";
  if (result == REGEXP_NOMEMORY) return "no memory";
  std::string out = SpanText(m, 0, subject);
  for (int32_t g = 1; g < m->count; ++g) out += " " + SpanText(m, g, subject);
  return out;
}

inline std::string SearchIn(nfa* re, const std::string& subject, size_t from = 0, bool anchored = false) {
  match* m = match_new(re);
  const char* s = subject.data();
  const int32_t n = static_cast<int32_t>(subject.size());
  const int32_t r = anchored ? regexp_match_at_into(m, s + from, re, s, n) : regexp_search_into(m, s + from, re, s, n);
  std::string out = Describe(r, m, s);
  match_free(m);
  return out;
}

inline std::string Find(const char* pattern, const std::string& subject, uint32_t flags = 0, size_t from = 0) {
  nfa* re = regexp_compile(pattern, flags);
  if (!re) return "refused";
  std::string out = SearchIn(re, subject, from);
  nfa_free(re);
  return out;
}

inline std::string MatchAt(const char* pattern, const std::string& subject, size_t at, uint32_t flags = 0) {
  nfa* re = regexp_compile(pattern, flags);
  if (!re) return "refused";
  std::string out = SearchIn(re, subject, at, true);
  nfa_free(re);
  return out;
}

inline std::string CharText(const uint8_t ch[2]) {
  char buf[16];
  if (ch[1]) {
    std::snprintf(buf, sizeof(buf), "%02X%02X", ch[0], ch[1]);
  } else if (ch[0] >= 0x21 && ch[0] < 0x7F) {
    buf[0] = static_cast<char>(ch[0]);
    buf[1] = 0;
  } else {
    std::snprintf(buf, sizeof(buf), "#%02X", ch[0]);
  }
  return buf;
}

// The tree in a compact notation: CAT(l,r), ALT(l,r), STAR(x), LAZY(x),
// literal characters as themselves (double-byte ones in hex), E for the
// empty node, (n and )n for group marks, [text] for classes.
inline std::string Dump(const tree* t) {
  if (!t) return "null";
  switch (t->type) {
    case NODE_EMPTY: return "E";
    case NODE_GROUP_BEGIN: return "(" + std::to_string(t->ref);
    case NODE_GROUP_END: return ")" + std::to_string(t->ref);
    case NODE_CHAR: return CharText(t->ch);
    case NODE_LINE_BEGIN: return "^";
    case NODE_LINE_END: return "$";
    case NODE_CHARCLASS: return "[" + std::string(t->classtext ? t->classtext : "?") + "]";
    case NODE_ALT: return "ALT(" + Dump(t->left) + "," + Dump(t->right) + ")";
    case NODE_CONCAT: return "CAT(" + Dump(t->left) + "," + Dump(t->right) + ")";
    case NODE_STAR: return "STAR(" + Dump(t->left) + ")";
    case NODE_LAZY_STAR: return "LAZY(" + Dump(t->left) + ")";
    case NODE_LOOKAHEAD_BEGIN: return "(?=";
    case NODE_LOOKAHEAD_END: return "=)";
    case NODE_NEG_LOOKAHEAD_BEGIN: return "(?!";
    case NODE_NEG_LOOKAHEAD_END: return "!)";
    case NODE_ANYCHAR: return ".";
    default: return "?";
  }
}

inline std::string ParseDump(const char* pattern, int32_t* groups = nullptr) {
  int32_t n = 0;
  tree* t = regexp_parse(pattern, &n);
  std::string out = t ? Dump(t) : "refused";
  if (groups) *groups = n;
  tree_free(t);
  return out;
}

// Class membership read from the text at every call, step by step as the
// matcher defines it. It is the reference for the compiled sets.
inline bool ReferenceEscape(const char* p, uint32_t* code, const char** nested, int32_t* len) {
  RgEscape esc;
  RgEscape_Read(p, &esc);
  *len = esc.nLength;
  if (esc.bClass) {
    *nested = esc.pClass;
    return false;
  }
  *code = RgEscape_Code(esc.ch);
  return true;
}

inline bool ReferenceHas(const char* text, uint32_t c) {
  bool invert = false;
  if (*text == '^') {
    invert = true;
    ++text;
  }
  const char* p = text;
  while (*p) {
    uint32_t a = 0;
    if (p[0] == '\\' && p[1]) {
      const char* nested = nullptr;
      int32_t len = 0;
      if (!ReferenceEscape(p + 1, &a, &nested, &len)) {
        if (ReferenceHas(nested, c)) return !invert;
        p += 1 + len;
        continue;
      }
      p += 1 + len;
    } else {
      a = Char_Code(p);
      p += (Char_IsLeadByte(static_cast<unsigned char>(*p)) && p[1]) ? 2 : 1;
    }
    uint32_t b = a;
    if (p[0] == '-' && p[1]) {
      if (p[1] == '\\' && p[2]) {
        uint32_t code = 0;
        const char* nested = nullptr;
        int32_t len = 0;
        if (ReferenceEscape(p + 2, &code, &nested, &len)) {
          b = code;
          p += 2 + len;
        }
      } else {
        b = Char_Code(p + 1);
        p += 1 + ((Char_IsLeadByte(static_cast<unsigned char>(p[1])) && p[2]) ? 2 : 1);
      }
    }
    if (a <= c && c <= b) return !invert;
  }
  return invert;
}


// Character equality written out step by step as the search defines it.
inline bool ReferenceEqual(uint32_t s, uint32_t c, uint32_t options) {
  const bool ic = options & SF_IGNORECASE;
  const bool iw = options & SF_IGNOREWIDTH;
  if (!iw && ((s < 256) != (c < 256))) return false;
  if (iw || (ic && s >= 256 && c >= 256)) {
    s = CharFold_Width(s);
    c = CharFold_Width(c);
  }
  if ((s < 256) != (c < 256)) return false;
  if (ic) {
    if (1 <= s && s <= 255) s = static_cast<uint32_t>(std::tolower(static_cast<int>(s)));
    if (1 <= c && c <= 255) c = static_cast<uint32_t>(std::tolower(static_cast<int>(c)));
  }
  return s == c;
}

// A small deterministic generator, the same on every platform.
struct Rng {
  uint64_t state;
  uint32_t Next() {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(state >> 33);
  }
  uint32_t Below(uint32_t n) { return Next() % n; }
};

}  // namespace rgtest
