// The pattern language: the lexer and the recursive-descent parser that turn a
// pattern (NUL-terminated code page 932 bytes) into a parse tree.
//
// There are no syntax errors: whatever is malformed or unbalanced matches its
// characters literally. Parsing fails only when memory runs out or when the
// pattern passes the size bounds below; it then returns null and the search
// finds nothing.
#pragma once

#include <cstdint>

#include "tools/regexp/rgtree.h"

// Bounds on what one pattern may become. Counted repetitions are expanded by
// copying, so a few bytes of pattern can ask for any number of nodes; nesting
// is followed by recursion, one group level at a time.
constexpr int64_t kRegexpMaxNodes = 1 << 18;
constexpr int32_t kRegexpMaxDepth = 1000;

enum TokenKind : int32_t {
  TOKEN_LOOKAHEAD,      // "(?="
  TOKEN_NEG_LOOKAHEAD,  // "(?!"
  TOKEN_OPEN,           // "("
  TOKEN_CLOSE,          // ")"
  TOKEN_LAZY_STAR,      // "*?"
  TOKEN_LAZY_PLUS,      // "+?"
  TOKEN_LAZY_QUEST,     // "??"
  TOKEN_STAR,           // "*"
  TOKEN_PLUS,           // "+"
  TOKEN_QUEST,          // "?"
  TOKEN_COUNTED,        // "{n,m}"
  TOKEN_LAZY_COUNTED,   // "{n,m}?"
  TOKEN_ANYCHAR,        // "."
  TOKEN_CLASS,          // "[...]" or a class escape
  TOKEN_LINE_BEGIN,     // "^"
  TOKEN_LINE_END,       // "$"
  TOKEN_ALT,            // "|"
  TOKEN_CHAR,           // a literal character (also a lone backslash, a "{" or "[" that opens nothing)
  TOKEN_END,            // the terminating NUL
};

struct token {
  int32_t kind;
  int32_t length;         // bytes of pattern the token takes
  uint8_t ch[2];          // TOKEN_CHAR: the character, lead then trail (0 for one byte)
  int32_t min;            // counted repetitions
  int32_t max;            // 0: no upper bound
  const char* classtext;  // TOKEN_CLASS: the class text (not terminated for "[...]")
  int32_t classlength;    // its length in bytes
};

// The token at p, a character start inside a NUL-terminated pattern.
void regexp_lex(const char* p, token* tok);

// Parses the pattern into a tree and counts its capturing groups. Null when
// memory runs out or the pattern passes the bounds above.
tree* regexp_parse(const char* pattern, int32_t* group_count);
