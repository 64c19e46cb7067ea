#include "tools/regexp/rgparse.h"

#include <gtest/gtest.h>

#include <string>

#include "rgtest.h"
#include "tools/charfold.h"
#include "tools/memory.h"

namespace {

using rgtest::ParseDump;

struct ShapeCase {
  const char* pattern;
  const char* tree;
};

TEST(RegexpParse, TreesOfTheGrammar) {
  const ShapeCase cases[] = {
      {"", "E"},
      {"abc", "CAT(CAT(a,b),c)"},
      {"a|b|c", "ALT(c,ALT(b,a))"},  // the textually first alternative is tried first
      {"a|", "ALT(E,a)"},
      {"|a", "ALT(a,E)"},
      {"()", "CAT((1,CAT(E,)1))"},
      {"a*", "STAR(a)"},
      {"a*?", "LAZY(a)"},
      {"a+", "CAT(a,STAR(a))"},
      {"a+?", "CAT(a,LAZY(a))"},
      {"a?", "ALT(E,a)"},
      {"a??", "ALT(a,E)"},
      {"a**", "CAT(STAR(a),*)"},  // a second quantifier is a literal
      {".^$", "CAT(CAT(.,^),$)"},
      {"(?=a)", "CAT((?=,CAT(a,=)))"},
      {"(?!a)", "CAT((?!,CAT(a,!)))"},
      {"\\d", "[0-9]"},
      {"\\S", "[^ \t\n\r\f]"},
      {"[a-c]", "[a-c]"},
      {"[\\]x]", "[\\]x]"},
      {"[]", "[]"},
      {"[^]", "[^]"},
      {"\\", "\\"},
      {"\\q\\.\\\\\\0", "CAT(CAT(CAT(q,.),\\),0)"},
      {"\\t\\n\\r\\f", "CAT(CAT(CAT(#09,#0A),#0D),#0C)"},
  };
  for (const ShapeCase& c : cases) EXPECT_EQ(c.tree, ParseDump(c.pattern)) << c.pattern;
}

TEST(RegexpParse, CountedRepetitionsExpandByCopying) {
  const ShapeCase cases[] = {
      {"a{2}", "CAT(a,CAT(a,E))"},
      {"a{2,3}", "CAT(a,CAT(a,CAT(E,ALT(E,a))))"},
      {"a{,2}", "ALT(E,CAT(CAT(E,ALT(E,a)),ALT(E,a)))"},
      {"a{2,}", "CAT(a,CAT(a,STAR(a)))"},
      {"a{0}", "ALT(E,STAR(a))"},  // no upper bound: behaves as a*
      {"a{}", "ALT(E,STAR(a))"},
      {"a{3,1}", "CAT(a,CAT(a,CAT(a,E)))"},  // exactly three
      {"a{2}?", "CAT(a,CAT(a,E))"},
      {"a{1,2}?", "CAT(a,CAT(E,ALT(a,E)))"},
      {"a{0,1}?", "ALT(CAT(E,ALT(a,E)),E)"},
      {"a{2,}?", "CAT(a,CAT(a,LAZY(a)))"},
  };
  for (const ShapeCase& c : cases) EXPECT_EQ(c.tree, ParseDump(c.pattern)) << c.pattern;
}

TEST(RegexpParse, MalformedConstructsAreLiteral) {
  const ShapeCase cases[] = {
      {"(ab", "CAT(CAT((,a),b)"},
      {"ab)", "CAT(CAT(a,b),))"},
      {"[abc", "CAT(CAT(CAT([,a),b),c)"},
      {"x{2", "CAT(CAT(x,{),2)"},
      {"{2}", "CAT(CAT({,2),})"},
      {"*a", "CAT(*,a)"},
      {"+", "+"},
      {"?", "?"},
      {"??", "ALT(E,?)"},   // "?" literal, then the second "?" quantifies it
      {"*?", "ALT(E,*)"},
      {"{", "{"},
      {"a{", "CAT(a,{)"},
      {"a{x}", "CAT(CAT(CAT(a,{),x),})"},
      {"a{1,x}", "CAT(CAT(CAT(CAT(CAT(a,{),1),,),x),})"},
      {"(?=ab", "CAT(CAT(CAT(ALT(E,(),=),a),b)"},  // "(" literal, "?" applied to it
      {"[a\\", "CAT(CAT([,a),\\)"},
  };
  for (const ShapeCase& c : cases) EXPECT_EQ(c.tree, ParseDump(c.pattern)) << c.pattern;
}

TEST(RegexpParse, GroupsAreNumberedByTheirOpeningParenthesis) {
  int32_t groups = -1;
  EXPECT_EQ("CAT(CAT((,a),CAT((1,CAT(b,)1)))", ParseDump("(a(b)", &groups));
  EXPECT_EQ(1, groups);  // nothing numbered for the failed outer group
  EXPECT_EQ("CAT((1,CAT(CAT(a,CAT((2,CAT(b,)2))),)1))", ParseDump("(a(b))", &groups));
  EXPECT_EQ(2, groups);
  EXPECT_EQ("CAT(CAT((1,CAT(a,)1)),CAT((?=,CAT(CAT((2,CAT(b,)2)),=))))", ParseDump("(a)(?=(b))", &groups));
  EXPECT_EQ(2, groups);
  EXPECT_EQ("CAT(CAT((1,CAT(E,)1)),))", ParseDump("())", &groups));
  EXPECT_EQ(1, groups);
  // A quantified group keeps its number in every copy.
  EXPECT_EQ("CAT(CAT((1,CAT(a,)1)),STAR(CAT((1,CAT(a,)1))))", ParseDump("(a)+", &groups));
  EXPECT_EQ(1, groups);
}

TEST(RegexpParse, DoubleByteCharactersAreNeverSplit) {
  // 表 is 95 5C and ソ is 83 5C: the trail byte is a backslash; ポ is 83 7C, a vertical bar.
  EXPECT_EQ("955C", ParseDump("表"));
  EXPECT_EQ("CAT(835C,a)", ParseDump("ソa"));
  EXPECT_EQ("CAT(837C,b)", ParseDump("ポb"));
  EXPECT_EQ("STAR(835C)", ParseDump("ソ*"));
  EXPECT_EQ("[表ソ]", ParseDump("[表ソ]"));  // the trail bytes do not escape the "]"
  EXPECT_EQ("955C", ParseDump("\\表"));
  EXPECT_EQ("CAT([,835C)", ParseDump("[ソ"));
  // A lead byte at the very end is a one-byte character of its own.
  EXPECT_EQ("CAT(a,#83)", ParseDump("a\x83"));
  EXPECT_EQ("#83", ParseDump("\\\x83"));
}

TEST(RegexpParse, LexerTakesTheFirstEntryOfItsTable) {
  token tok;
  regexp_lex("(?=x", &tok);
  EXPECT_EQ(TOKEN_LOOKAHEAD, tok.kind);
  regexp_lex("(?x", &tok);
  EXPECT_EQ(TOKEN_OPEN, tok.kind);
  regexp_lex("*?", &tok);
  EXPECT_EQ(TOKEN_LAZY_STAR, tok.kind);
  regexp_lex("{12,345}?x", &tok);
  EXPECT_EQ(TOKEN_LAZY_COUNTED, tok.kind);
  EXPECT_EQ(12, tok.min);
  EXPECT_EQ(345, tok.max);
  EXPECT_EQ(9, tok.length);
  regexp_lex("{99999999999999}", &tok);
  EXPECT_EQ(TOKEN_COUNTED, tok.kind);
  EXPECT_EQ(INT32_MAX, tok.min);  // held at the top of the 32-bit range
  regexp_lex("[a\\]b]c", &tok);
  EXPECT_EQ(TOKEN_CLASS, tok.kind);
  EXPECT_EQ("a\\]b", std::string(tok.classtext, static_cast<size_t>(tok.classlength)));
  EXPECT_EQ(6, tok.length);
  regexp_lex("\\w", &tok);
  EXPECT_EQ(TOKEN_CLASS, tok.kind);
  EXPECT_STREQ("_0-9a-zA-Z", tok.classtext);
  regexp_lex("", &tok);
  EXPECT_EQ(TOKEN_END, tok.kind);
}

TEST(RegexpParse, HugeCountsAndDeepNestingAreRefusedQuickly) {
  EXPECT_EQ("refused", ParseDump("a{2000000000}"));
  EXPECT_EQ("refused", ParseDump("a{1,2000000000}"));
  EXPECT_EQ("refused", ParseDump("(a{1000}){1000}"));
  EXPECT_EQ("refused", ParseDump("((((((((((((((((((((a+)+)+)+)+)+)+)+)+)+)+)+)+)+)+)+)+)+)+)+)+"));
  EXPECT_NE("refused", ParseDump("[0-9]{1,1000}"));
  EXPECT_NE("refused", ParseDump("(a{100}){100}"));

  std::string deep(kRegexpMaxDepth, '(');
  deep += std::string(kRegexpMaxDepth, ')');
  int32_t groups = 0;
  tree* t = regexp_parse(deep.c_str(), &groups);
  EXPECT_NE(nullptr, t);
  EXPECT_EQ(kRegexpMaxDepth, groups);
  tree_free(t);
  deep = "(" + deep + ")";
  EXPECT_EQ(nullptr, regexp_parse(deep.c_str(), &groups));
}

TEST(RegexpParse, ManyUnclosedParenthesesStayLiteralInLinearTime) {
  std::string opens(100000, '(');
  int32_t groups = -1;
  tree* t = regexp_parse(opens.c_str(), &groups);
  ASSERT_NE(nullptr, t);
  EXPECT_EQ(0, groups);
  EXPECT_EQ(2 * 100000 - 1, tree_count(t));  // 100,000 literals joined by 99,999 concatenations
  EXPECT_TRUE(is_valid_tree(t));
  tree* copy = tree_copy(t);  // copying and freeing a tree this deep needs no recursion
  EXPECT_EQ(tree_count(t), tree_count(copy));
  tree_free(copy);
  tree_free(t);

  // Unclosed groups around closed ones: only the closed ones count.
  std::string mixed;
  for (int i = 0; i < 20000; ++i) mixed += "(?=(a)";
  t = regexp_parse(mixed.c_str(), &groups);
  ASSERT_NE(nullptr, t);
  EXPECT_EQ(20000, groups);
  tree_free(t);
}

TEST(RegexpParse, LongPatternsCompile) {
  std::string literal(100000, 'x');
  nfa* re = regexp_compile(literal.c_str(), 0);
  ASSERT_NE(nullptr, re);
  EXPECT_EQ(std::string("0,100000"), rgtest::SearchIn(re, std::string(100000, 'x')));
  nfa_free(re);
  std::string alternatives = "a";
  for (int i = 0; i < 10000; ++i) alternatives += "|b" + std::to_string(i) + "c";
  re = regexp_compile(alternatives.c_str(), 0);
  ASSERT_NE(nullptr, re);
  EXPECT_EQ("1,7", rgtest::SearchIn(re, "xb9999c"));
  nfa_free(re);
}

TEST(RegexpParse, RunningOutOfMemoryAnywhereGivesNullAndLeaksNothing) {
  const char* patterns[] = {"(a|b)*c{2,3}[x-z]\\d+(?=q)(?!r).", "((a)+?){3}", "[^\\s]{2,}|x??"};
  for (const char* p : patterns) {
    int failures = 0;
    for (long k = 0; k < 400; ++k) {
      Mem_FailAfter(k);
      nfa* re = regexp_compile(p, SF_IGNORECASE);
      Mem_ClearFault();
      if (!re) {
        ++failures;
        continue;
      }
      EXPECT_TRUE(is_valid_nfa(re));
      nfa_free(re);
      break;
    }
    EXPECT_GT(failures, 5) << p;  // the injection did reach the compiler
  }
}

// ---- the grammar read literally, without the bracket matching ----

struct Naive {
  const char* pattern;
  int32_t pos;
  int32_t depth;
  int32_t groups;
};

tree* NaiveAlternation(Naive* P);

tree* Leaf(int32_t type) { return tree_new(type, nullptr, nullptr); }

tree* Lit(uint8_t a, uint8_t b) {
  tree* t = Leaf(NODE_CHAR);
  t->ch[0] = a;
  t->ch[1] = b;
  return t;
}

tree* Mark(int32_t type, int32_t ref) {
  tree* t = Leaf(type);
  t->ref = ref;
  return t;
}

tree* Cat(tree* a, tree* b) { return tree_new(NODE_CONCAT, a, b); }
tree* Alt(tree* a, tree* b) { return tree_new(NODE_ALT, a, b); }

tree* NaiveCounted(tree* a, int32_t n, int32_t m, bool lazy) {
  tree* r = m != 0 ? Leaf(NODE_EMPTY) : tree_new(lazy ? NODE_LAZY_STAR : NODE_STAR, tree_copy(a), nullptr);
  for (int64_t i = 0; i < int64_t(m) - n; ++i) {
    r = Cat(r, lazy ? Alt(tree_copy(a), Leaf(NODE_EMPTY)) : Alt(Leaf(NODE_EMPTY), tree_copy(a)));
  }
  for (int32_t i = 0; i < n; ++i) r = Cat(tree_copy(a), r);
  if (n == 0) r = lazy ? Alt(r, Leaf(NODE_EMPTY)) : Alt(Leaf(NODE_EMPTY), r);
  tree_free(a);
  return r;
}

tree* NaiveAtom(Naive* P) {
  token tok;
  regexp_lex(P->pattern + P->pos, &tok);
  const int32_t start = P->pos;
  if (tok.kind == TOKEN_OPEN || tok.kind == TOKEN_LOOKAHEAD || tok.kind == TOKEN_NEG_LOOKAHEAD) {
    const int32_t saved = P->groups;
    const int32_t n = tok.kind == TOKEN_OPEN ? ++P->groups : 0;
    P->depth++;
    P->pos += tok.length;
    tree* inner = NaiveAlternation(P);
    P->depth--;
    token close;
    regexp_lex(P->pattern + P->pos, &close);
    if (close.kind == TOKEN_CLOSE) {
      P->pos += 1;
      if (tok.kind == TOKEN_OPEN) return Cat(Mark(NODE_GROUP_BEGIN, n), Cat(inner, Mark(NODE_GROUP_END, n)));
      if (tok.kind == TOKEN_LOOKAHEAD) return Cat(Leaf(NODE_LOOKAHEAD_BEGIN), Cat(inner, Leaf(NODE_LOOKAHEAD_END)));
      return Cat(Leaf(NODE_NEG_LOOKAHEAD_BEGIN), Cat(inner, Leaf(NODE_NEG_LOOKAHEAD_END)));
    }
    tree_free(inner);
    P->groups = saved;
    P->pos = start + 1;
    return Lit('(', 0);
  }
  P->pos += tok.length;
  switch (tok.kind) {
    case TOKEN_ANYCHAR: return Leaf(NODE_ANYCHAR);
    case TOKEN_LINE_BEGIN: return Leaf(NODE_LINE_BEGIN);
    case TOKEN_LINE_END: return Leaf(NODE_LINE_END);
    case TOKEN_CHAR: return Lit(tok.ch[0], tok.ch[1]);
    case TOKEN_CLASS: {
      tree* t = Leaf(NODE_CHARCLASS);
      t->classtext = static_cast<char*>(Mem_Alloc(static_cast<size_t>(tok.classlength) + 1));
      std::memcpy(t->classtext, tok.classtext, static_cast<size_t>(tok.classlength));
      t->classtext[tok.classlength] = 0;
      return t;
    }
    default:
      P->pos = start + 1;
      return Lit(static_cast<uint8_t>(P->pattern[start]), 0);
  }
}

tree* NaiveItem(Naive* P) {
  tree* a = NaiveAtom(P);
  token q;
  regexp_lex(P->pattern + P->pos, &q);
  P->pos += q.length;
  switch (q.kind) {
    case TOKEN_STAR: return tree_new(NODE_STAR, a, nullptr);
    case TOKEN_LAZY_STAR: return tree_new(NODE_LAZY_STAR, a, nullptr);
    case TOKEN_PLUS: return Cat(tree_copy(a), tree_new(NODE_STAR, a, nullptr));
    case TOKEN_LAZY_PLUS: return Cat(tree_copy(a), tree_new(NODE_LAZY_STAR, a, nullptr));
    case TOKEN_QUEST: return Alt(Leaf(NODE_EMPTY), a);
    case TOKEN_LAZY_QUEST: return Alt(a, Leaf(NODE_EMPTY));
    case TOKEN_COUNTED: return NaiveCounted(a, q.min, q.max, false);
    case TOKEN_LAZY_COUNTED: return NaiveCounted(a, q.min, q.max, true);
    default: P->pos -= q.length; return a;
  }
}

tree* NaiveSequence(Naive* P) {
  tree* seq = nullptr;
  for (;;) {
    token tok;
    regexp_lex(P->pattern + P->pos, &tok);
    if (tok.kind == TOKEN_END || tok.kind == TOKEN_ALT || (tok.kind == TOKEN_CLOSE && P->depth > 0)) break;
    tree* item = NaiveItem(P);
    seq = seq ? Cat(seq, item) : item;
  }
  return seq ? seq : Leaf(NODE_EMPTY);
}

tree* NaiveAlternation(Naive* P) {
  tree* t = NaiveSequence(P);
  for (;;) {
    token tok;
    regexp_lex(P->pattern + P->pos, &tok);
    if (tok.kind != TOKEN_ALT) return t;
    P->pos += 1;
    t = Alt(NaiveSequence(P), t);
  }
}

TEST(RegexpParse, AgreesWithTheGrammarReadLiterallyOnRandomPatterns) {
  static const char* const kPieces[] = {"a", "b", "ア", "表", "(", "(", ")", ")", "|", "*", "+", "?", "{", "}",
                                        ",", "1", "2", "[", "]", "^", "$", ".", "\\", "-", "(?=", "(?!", "\\d"};
  rgtest::Rng rng{2024};
  for (int round = 0; round < 5000; ++round) {
    std::string pattern;
    const uint32_t n = 1 + rng.Below(12);
    for (uint32_t i = 0; i < n; ++i) pattern += kPieces[rng.Below(sizeof(kPieces) / sizeof(kPieces[0]))];
    Naive P = {pattern.c_str(), 0, 0, 0};
    tree* expected = NaiveAlternation(&P);
    int32_t groups = -1;
    tree* actual = regexp_parse(pattern.c_str(), &groups);
    ASSERT_NE(nullptr, actual) << pattern;
    ASSERT_EQ(rgtest::Dump(expected), rgtest::Dump(actual)) << pattern;
    ASSERT_EQ(P.groups, groups) << pattern;
    tree_free(expected);
    tree_free(actual);
  }
}

}  // namespace
