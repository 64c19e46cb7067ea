#include "tools/regexp/rgparse.h"

#include <cstring>

#include "tools/charrule.h"
#include "tools/memory.h"
#include "tools/platform.h"
#include "tools/regexp/rgclass.h"

namespace {

struct TokenText {
  const char* text;
  int32_t kind;
};

// Compared in this order, the first prefix wins: "(?=" before "(", "*?" before "*".
constexpr TokenText kTokenTable[] = {
    {"(?=", TOKEN_LOOKAHEAD}, {"(?!", TOKEN_NEG_LOOKAHEAD}, {"(", TOKEN_OPEN},
    {")", TOKEN_CLOSE},       {"*?", TOKEN_LAZY_STAR},      {"+?", TOKEN_LAZY_PLUS},
    {"??", TOKEN_LAZY_QUEST}, {"*", TOKEN_STAR},            {"+", TOKEN_PLUS},
    {"?", TOKEN_QUEST},       {"{", TOKEN_COUNTED},         {".", TOKEN_ANYCHAR},
    {"[", TOKEN_CLASS},       {"^", TOKEN_LINE_BEGIN},      {"$", TOKEN_LINE_END},
    {"|", TOKEN_ALT},         {"\\", TOKEN_CHAR},
};

// A longer pattern is refused before anything is allocated for it: it could
// not stay within the node bound anyway.
constexpr size_t kMaxPatternBytes = 8 * static_cast<size_t>(kRegexpMaxNodes);

void LexLiteral(const char* p, token* tok) {
  tok->kind = TOKEN_CHAR;
  tok->ch[0] = static_cast<uint8_t>(p[0]);
  tok->ch[1] = 0;
  tok->length = 1;
  if (Char_IsLeadByte(static_cast<unsigned char>(p[0])) && p[1] != '\0') {
    tok->ch[1] = static_cast<uint8_t>(p[1]);
    tok->length = 2;
  }
}

// Decimal digits as a count; a count past the 32-bit range stays at its top,
// which the node bound then refuses.
int32_t ReadCount(const char** pp) {
  int64_t n = 0;
  const char* p = *pp;
  while ('0' <= *p && *p <= '9') {
    n = n * 10 + (*p - '0');
    if (n > INT32_MAX) n = INT32_MAX;
    ++p;
  }
  *pp = p;
  return static_cast<int32_t>(n);
}

// "{n}", "{n,}", "{,m}", "{n,m}", each optionally followed by "?"; anything
// else leaves the "{" a literal.
void LexCounted(const char* p, token* tok) {
  const char* q = p + 1;
  if (*q == '\0') return LexLiteral(p, tok);
  tok->min = ReadCount(&q);
  if (*q == '}') {
    tok->max = tok->min;
  } else if (*q == ',') {
    ++q;
    tok->max = ReadCount(&q);
    if (*q != '}') return LexLiteral(p, tok);
  } else {
    return LexLiteral(p, tok);
  }
  ++q;
  tok->kind = TOKEN_COUNTED;
  if (*q == '?') {
    tok->kind = TOKEN_LAZY_COUNTED;
    ++q;
  }
  tok->length = static_cast<int32_t>(q - p);
}

// The bytes up to an unescaped "]"; an escape and a double-byte character are
// taken whole, so an escaped "]" or a trail byte never ends the class.
void LexBracket(const char* p, token* tok) {
  const char* q = p + 1;
  for (;;) {
    unsigned char b = static_cast<unsigned char>(*q);
    if (b == 0) return LexLiteral(p, tok);
    if (b == ']') break;
    if (b == '\\') {
      ++q;
      b = static_cast<unsigned char>(*q);
      if (b == 0) return LexLiteral(p, tok);
    }
    if (Char_IsLeadByte(b)) {
      if (q[1] == '\0') return LexLiteral(p, tok);
      ++q;
    }
    ++q;
  }
  tok->kind = TOKEN_CLASS;
  tok->classtext = p + 1;
  tok->classlength = static_cast<int32_t>(q - (p + 1));
  tok->length = static_cast<int32_t>(q + 1 - p);
}

void LexEscape(const char* p, token* tok) {
  if (p[1] == '\0') return LexLiteral(p, tok);
  RgEscape esc;
  RgEscape_Read(p + 1, &esc);
  tok->length = 1 + esc.nLength;
  if (esc.bClass) {
    tok->kind = TOKEN_CLASS;
    tok->classtext = esc.pClass;
    tok->classlength = static_cast<int32_t>(std::strlen(esc.pClass));
    return;
  }
  tok->kind = TOKEN_CHAR;
  tok->ch[0] = esc.ch[0];
  tok->ch[1] = esc.ch[1];
}

// ---- parser ----

struct Parser {
  const char* pattern;
  uint8_t* pOpenFails;  // per pattern byte: 1 where a "(" opens a group no ")" ever closes
  int32_t pos;          // byte index of the next token
  int32_t depth;        // open groups and look-aheads around pos
  int32_t groups;       // capturing groups numbered so far
  int64_t nodes;        // nodes the tree holds (an upper estimate)
  bool bRefused;        // out of memory or past a bound: the whole parse gives null
};

void Lex(const Parser* P, token* tok) { regexp_lex(P->pattern + P->pos, tok); }

// A group whose inner alternation reaches the end of the pattern without its
// ")" is read as a literal "(", and parsing resumes right after it. Read that
// way literally, every enclosing group then tries the same text again, which
// is exponential in the number of unclosed parentheses. Whether a group closes
// depends only on the tokens after it (inside any group a ")" always ends the
// sequence), and the answer is ordinary bracket matching over the token
// stream: a ")" closes the nearest "(" still open, a ")" with none open is a
// literal, and the "(" left open at the end are the ones that fall back.
// Tokens start at the same places whichever way a "(" is read, because its
// fallback resumes where its contents start.
bool MarkUnclosedGroups(Parser* P, int32_t length) {
  int32_t* open = static_cast<int32_t*>(Mem_Alloc(sizeof(int32_t) * (static_cast<size_t>(length) + 1)));
  P->pOpenFails = static_cast<uint8_t*>(Mem_Alloc(static_cast<size_t>(length) + 1));
  if (!open || !P->pOpenFails) {
    Mem_Free(open);
    return false;
  }
  std::memset(P->pOpenFails, 0, static_cast<size_t>(length) + 1);
  int32_t nOpen = 0;
  token tok;
  for (int32_t pos = 0;; pos += tok.length) {
    regexp_lex(P->pattern + pos, &tok);
    if (tok.kind == TOKEN_END) break;
    if (tok.kind == TOKEN_OPEN || tok.kind == TOKEN_LOOKAHEAD || tok.kind == TOKEN_NEG_LOOKAHEAD) {
      open[nOpen++] = pos;
    } else if (tok.kind == TOKEN_CLOSE && nOpen > 0) {
      --nOpen;
    }
  }
  for (int32_t i = 0; i < nOpen; ++i) P->pOpenFails[open[i]] = 1;
  Mem_Free(open);
  return true;
}

tree* Refuse(Parser* P, tree* a, tree* b) {
  P->bRefused = true;
  tree_free(a);
  tree_free(b);
  return nullptr;
}

// Every node is made here, so the bound holds and a failure anywhere below
// frees what it was given and makes the whole parse fail.
tree* Node(Parser* P, int32_t type, tree* left, tree* right) {
  if (P->bRefused || ++P->nodes > kRegexpMaxNodes) return Refuse(P, left, right);
  tree* t = tree_new(type, left, right);
  if (!t) P->bRefused = true;
  return t;
}

// Joins two operands; a missing one means a failure happened.
tree* Join(Parser* P, int32_t type, tree* left, tree* right) {
  if (P->bRefused || !left || (!right && type != NODE_STAR && type != NODE_LAZY_STAR)) {
    return Refuse(P, left, right);
  }
  return Node(P, type, left, right);
}

tree* Copy(Parser* P, const tree* t, int64_t size) {
  if (P->bRefused) return nullptr;
  P->nodes += size;
  if (P->nodes > kRegexpMaxNodes) return Refuse(P, nullptr, nullptr);
  tree* c = tree_copy(t);
  if (!c) P->bRefused = true;
  return c;
}

tree* CharNode(Parser* P, uint8_t lead, uint8_t trail) {
  tree* t = Node(P, NODE_CHAR, nullptr, nullptr);
  if (t) {
    t->ch[0] = lead;
    t->ch[1] = trail;
  }
  return t;
}

tree* ClassNode(Parser* P, const char* text, int32_t length) {
  tree* t = Node(P, NODE_CHARCLASS, nullptr, nullptr);
  if (!t) return nullptr;
  t->classtext = static_cast<char*>(Mem_Alloc(static_cast<size_t>(length) + 1));
  if (!t->classtext) return Refuse(P, t, nullptr);
  std::memcpy(t->classtext, text, static_cast<size_t>(length));
  t->classtext[length] = '\0';
  return t;
}

tree* GroupMark(Parser* P, int32_t type, int32_t ref) {
  tree* t = Node(P, type, nullptr, nullptr);
  if (t) t->ref = ref;
  return t;
}

tree* ParseAlternation(Parser* P);

// The first character of the token stands for itself; parsing resumes one
// character after the token's start.
tree* LiteralFallback(Parser* P) {
  tree* t = CharNode(P, static_cast<uint8_t>(P->pattern[P->pos]), 0);
  P->pos += 1;
  return t;
}

// CONCAT(begin, CONCAT(inner, end)).
tree* Bracketed(Parser* P, int32_t beginType, int32_t endType, int32_t ref, tree* inner) {
  tree* begin = GroupMark(P, beginType, ref);
  tree* end = GroupMark(P, endType, ref);
  return Join(P, NODE_CONCAT, begin, Join(P, NODE_CONCAT, inner, end));
}

tree* ParseGroup(Parser* P, const token* open) {
  if (P->depth >= kRegexpMaxDepth) return Refuse(P, nullptr, nullptr);
  const int32_t start = P->pos;
  const int32_t savedGroups = P->groups;
  const int32_t ref = open->kind == TOKEN_OPEN ? ++P->groups : 0;
  P->depth += 1;
  P->pos += open->length;
  tree* inner = ParseAlternation(P);
  P->depth -= 1;
  if (!inner) return nullptr;
  token close;
  Lex(P, &close);
  if (close.kind != TOKEN_CLOSE) {
    // Not reached while the bracket matching holds; kept as the fallback so
    // that an unclosed group can never be taken for a closed one.
    tree_free(inner);
    P->groups = savedGroups;
    P->pos = start;
    return LiteralFallback(P);
  }
  P->pos += close.length;
  if (open->kind == TOKEN_OPEN) return Bracketed(P, NODE_GROUP_BEGIN, NODE_GROUP_END, ref, inner);
  if (open->kind == TOKEN_LOOKAHEAD) return Bracketed(P, NODE_LOOKAHEAD_BEGIN, NODE_LOOKAHEAD_END, 0, inner);
  return Bracketed(P, NODE_NEG_LOOKAHEAD_BEGIN, NODE_NEG_LOOKAHEAD_END, 0, inner);
}

tree* ParseAtom(Parser* P) {
  token tok;
  Lex(P, &tok);
  switch (tok.kind) {
    case TOKEN_OPEN:
    case TOKEN_LOOKAHEAD:
    case TOKEN_NEG_LOOKAHEAD:
      return P->pOpenFails[P->pos] ? LiteralFallback(P) : ParseGroup(P, &tok);
    case TOKEN_ANYCHAR:
    case TOKEN_LINE_BEGIN:
    case TOKEN_LINE_END: {
      const int32_t type = tok.kind == TOKEN_ANYCHAR    ? NODE_ANYCHAR
                           : tok.kind == TOKEN_LINE_BEGIN ? NODE_LINE_BEGIN
                                                          : NODE_LINE_END;
      P->pos += tok.length;
      return Node(P, type, nullptr, nullptr);
    }
    case TOKEN_CLASS:
      P->pos += tok.length;
      return ClassNode(P, tok.classtext, tok.classlength);
    case TOKEN_CHAR:
      P->pos += tok.length;
      return CharNode(P, tok.ch[0], tok.ch[1]);
    default:  // ")" outside any group, a quantifier, a counted repetition
      return LiteralFallback(P);
  }
}

tree* Empty(Parser* P) { return Node(P, NODE_EMPTY, nullptr, nullptr); }

// ALT(EMPTY, x) prefers x; ALT(x, EMPTY) prefers the empty way.
tree* Optional(Parser* P, tree* x, bool bLazy) {
  tree* e = Empty(P);
  return bLazy ? Join(P, NODE_ALT, x, e) : Join(P, NODE_ALT, e, x);
}

// Counted repetitions are expanded by copying the atom; the size is checked
// before the first copy is made, so «a{2000000000}» costs nothing.
tree* Counted(Parser* P, tree* atom, int32_t n, int32_t m, bool bLazy) {
  const int64_t size = tree_count(atom);
  if (size < 0) return Refuse(P, atom, nullptr);
  const int64_t optional = int64_t(m) - int64_t(n) > 0 ? int64_t(m) - int64_t(n) : 0;
  const int64_t copies = int64_t(n) + optional + (m == 0 ? 1 : 0);
  if (P->nodes + copies * size + 3 * optional + int64_t(n) + 3 > kRegexpMaxNodes) return Refuse(P, atom, nullptr);
  const int32_t star = bLazy ? NODE_LAZY_STAR : NODE_STAR;
  tree* r = m != 0 ? Empty(P) : Join(P, star, Copy(P, atom, size), nullptr);
  for (int64_t i = 0; i < optional && r; ++i) r = Join(P, NODE_CONCAT, r, Optional(P, Copy(P, atom, size), bLazy));
  for (int64_t i = 0; i < n && r; ++i) {
    tree* c = Copy(P, atom, size);
    r = Join(P, NODE_CONCAT, c, r);
  }
  if (n == 0) r = Optional(P, r, bLazy);
  tree_free(atom);
  P->nodes -= size;
  return r;
}

// "+" is a copy of the atom followed by the atom starred.
tree* OneOrMore(Parser* P, tree* atom, bool bLazy) {
  const int64_t size = tree_count(atom);
  if (size < 0) return Refuse(P, atom, nullptr);
  tree* first = Copy(P, atom, size);
  if (!first) return Refuse(P, atom, nullptr);
  tree* loop = Join(P, bLazy ? NODE_LAZY_STAR : NODE_STAR, atom, nullptr);
  return Join(P, NODE_CONCAT, first, loop);
}

tree* ApplyQuantifier(Parser* P, tree* atom, const token* q) {
  switch (q->kind) {
    case TOKEN_STAR: return Join(P, NODE_STAR, atom, nullptr);
    case TOKEN_LAZY_STAR: return Join(P, NODE_LAZY_STAR, atom, nullptr);
    case TOKEN_PLUS: return OneOrMore(P, atom, false);
    case TOKEN_LAZY_PLUS: return OneOrMore(P, atom, true);
    case TOKEN_QUEST: return Optional(P, atom, false);
    case TOKEN_LAZY_QUEST: return Optional(P, atom, true);
    case TOKEN_COUNTED: return Counted(P, atom, q->min, q->max, false);
    case TOKEN_LAZY_COUNTED: return Counted(P, atom, q->min, q->max, true);
    default: return atom;
  }
}

bool IsQuantifier(int32_t kind) {
  return kind == TOKEN_STAR || kind == TOKEN_LAZY_STAR || kind == TOKEN_PLUS || kind == TOKEN_LAZY_PLUS ||
         kind == TOKEN_QUEST || kind == TOKEN_LAZY_QUEST || kind == TOKEN_COUNTED || kind == TOKEN_LAZY_COUNTED;
}

// One atom and at most one quantifier; a second quantifier is the next atom.
tree* ParseItem(Parser* P) {
  tree* atom = ParseAtom(P);
  if (!atom) return nullptr;
  token q;
  Lex(P, &q);
  if (!IsQuantifier(q.kind)) return atom;
  P->pos += q.length;
  return ApplyQuantifier(P, atom, &q);
}

bool EndsSequence(const Parser* P, const token* tok) {
  return tok->kind == TOKEN_END || tok->kind == TOKEN_ALT || (tok->kind == TOKEN_CLOSE && P->depth > 0);
}

// Items chained left-deep: ((a b) c).
tree* ParseSequence(Parser* P) {
  tree* seq = nullptr;
  for (;;) {
    token tok;
    Lex(P, &tok);
    if (EndsSequence(P, &tok)) break;
    tree* item = ParseItem(P);
    if (!item) return Refuse(P, seq, nullptr);
    seq = seq ? Join(P, NODE_CONCAT, seq, item) : item;
    if (!seq) return nullptr;
  }
  return seq ? seq : Empty(P);
}

// «A|B|C» gives ALT(C, ALT(B, A)): the textually first alternative ends up
// rightmost, which is the side tried first.
tree* ParseAlternation(Parser* P) {
  tree* t = ParseSequence(P);
  while (t) {
    token tok;
    Lex(P, &tok);
    if (tok.kind != TOKEN_ALT) break;
    P->pos += tok.length;
    tree* next = ParseSequence(P);
    t = Join(P, NODE_ALT, next, t);
  }
  return t;
}

}  // namespace

void regexp_lex(const char* p, token* tok) {
  tok->min = 0;
  tok->max = 0;
  tok->classtext = nullptr;
  tok->classlength = 0;
  tok->ch[0] = 0;
  tok->ch[1] = 0;
  if (*p == '\0') {
    tok->kind = TOKEN_END;
    tok->length = 0;
    return;
  }
  for (const TokenText& entry : kTokenTable) {
    const size_t n = std::strlen(entry.text);
    if (std::strncmp(p, entry.text, n) != 0) continue;
    tok->kind = entry.kind;
    tok->length = static_cast<int32_t>(n);
    if (entry.text[0] == '{') return LexCounted(p, tok);
    if (entry.text[0] == '[') return LexBracket(p, tok);
    if (entry.text[0] == '\\') return LexEscape(p, tok);
    return;
  }
  LexLiteral(p, tok);
}

tree* regexp_parse(const char* pattern, int32_t* group_count) {
  *group_count = 0;
  const size_t length = std::strlen(pattern);
  if (length > kMaxPatternBytes) return nullptr;
  Parser P = {pattern, nullptr, 0, 0, 0, 0, false};
  if (!MarkUnclosedGroups(&P, static_cast<int32_t>(length))) return nullptr;
  tree* t = ParseAlternation(&P);
  Mem_Free(P.pOpenFails);
  if (!t || P.bRefused) {
    tree_free(t);
    return nullptr;
  }
  QWIL_ASSERT(is_valid_tree(t));
  *group_count = P.groups;
  return t;
}
