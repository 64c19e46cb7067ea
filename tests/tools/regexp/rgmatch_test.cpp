#include "tools/regexp/rgmatch.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "rgtest.h"
#include "tools/memory.h"

namespace {

using rgtest::Find;
using rgtest::MatchAt;
using rgtest::SearchIn;

struct FindCase {
  const char* pattern;
  std::string subject;
  uint32_t flags;
  const char* expected;  // whole match, then each group
};

void ExpectFinds(const FindCase* cases, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    EXPECT_EQ(cases[i].expected, Find(cases[i].pattern, cases[i].subject, cases[i].flags))
        << "pattern 「" << cases[i].pattern << "」 subject 「" << cases[i].subject << "」 flags " << cases[i].flags;
  }
}

TEST(RegexpMatch, FirstPathInPreferenceOrderWins) {
  const FindCase cases[] = {
      {"a*", "bba", 0, "0,0"},  // the empty match at the first position
      {"(a|ab)c", "abc", 0, "0,3 0,2"},
      {"(ab|a)", "abc", 0, "0,2 0,2"},
      {"(a|ab)", "abc", 0, "0,1 0,1"},  // not the longest
      {"a+?", "aaa", 0, "0,1"},
      {"a+", "aaa", 0, "0,3"},
      {"a{2,3}?", "aaa", 0, "0,2"},
      {"a{2,3}", "aaaa", 0, "0,3"},
      {"a{2}", "a", 0, "no match"},
      {"a{2,}", "aaaa", 0, "0,4"},
      {"a{3,1}", "aaaa", 0, "0,3"},
      {"a{0}", "aaa", 0, "0,3"},
      {"a??b", "ab", 0, "0,2"},
      {"a??", "a", 0, "0,0"},
      {"x|", "ab", 0, "0,0"},
      {"|x", "x", 0, "0,0"},
      {"()", "a", 0, "0,0 0,0"},
      {"", "abc", 0, "0,0"},
      {"b*?c", "bbc", 0, "0,3"},
  };
  ExpectFinds(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(RegexpMatch, GroupsReportTheirLastIteration) {
  const FindCase cases[] = {
      {"(a)*", "aaa", 0, "0,3 2,3"},
      {"(a|b)*c", "abbac", 0, "0,5 3,4"},
      {"(a(b)?)+", "aba", 0, "0,3 2,3 1,2"},  // an inner group keeps the iteration that set it
      {"(a)|b", "b", 0, "0,1 -"},
      {"(a*)*", "aaa", 0, "0,3 0,3"},  // terminates: an empty iteration is never repeated
      {"(a*)+$", "aa", 0, "0,2 2,2"},  // the empty last iteration is the one reported
      {"((a)|(b))+", "ab", 0, "0,2 1,2 0,1 1,2"},
  };
  ExpectFinds(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(RegexpMatch, LookAheadEndsTheMatchWhereItStands) {
  const FindCase cases[] = {
      {"a(?=b)c", "abc", 0, "0,1"},  // what follows the look-ahead still has to match
      {"a(?=b)c", "ab", 0, "no match"},
      {"foo(?=bar)", "foobaz foobar", 0, "7,10"},
      {"x(?!y)", "xz", 0, "0,1"},
      {"x(?!y)", "ax", 0, "1,2"},
      {"x(?!y)", "xy", 0, "no match"},
      {"x(?!y)", "xyx", 0, "2,3"},
      {"a(?=b)(?=c)", "abc", 0, "0,1"},  // the first look-ahead on the path sets the end
      {"a(?=b)b", "abb", 0, "0,1"},     // «b» follows the look-ahead's content
      {"a(?=b)b", "ab", 0, "no match"},
      {"(?=a)", "ba", 0, "1,1"},
      {"(?!a)", "ba", 0, "0,0"},
      {"(?!a)", "a", 0, "no match"},  // the end is not tried after advancing
      {"a(?!b)c", "ac", 0, "0,1"},  // content and rest «bc» cannot match: succeeds at once
      {"a(?!b)c", "abc", 0, "no match"},
  };
  ExpectFinds(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(RegexpMatch, LineAnchorsAndWhereTheSearchStarts) {
  EXPECT_EQ("no match", Find("^b", "ab"));
  EXPECT_EQ("no match", Find("^b", "ab", 0, 1));  // "^" is the line start, not the search start
  EXPECT_EQ("0,1", Find("^a", "ab"));
  EXPECT_EQ("2,3", Find("a", "aba", 0, 1));
  EXPECT_EQ("2,3", Find("x$", "abx"));
  EXPECT_EQ("1,1", Find("$", "a\rb"));
  EXPECT_EQ("1,2", Find("b$", "ab\n"));
  EXPECT_EQ("no match", Find("$", "ab"));  // after advancing, the end is not tried
  EXPECT_EQ("2,2", Find("$", "ab", 0, 2));
  EXPECT_EQ("2,2", Find("x*", "ab", 0, 2));  // the first attempt happens at the end too
  EXPECT_EQ("no match", Find("a", "ab", 0, 2));
  EXPECT_EQ("0,0", Find("^$", ""));
  EXPECT_EQ("1,2", MatchAt("b", "ab", 1));
  EXPECT_EQ("no match", MatchAt("b", "abb", 0));  // anchored at the position asked for
  EXPECT_EQ("no match", MatchAt("^b", "ab", 1));
}

TEST(RegexpMatch, ClassesAndEscapes) {
  const FindCase cases[] = {
      {"[a-c]+", "xxabcd", 0, "2,5"},
      {"[^a-c]", "abcd", 0, "3,4"},
      {"[^a]", "a", 0, "no match"},  // nothing to consume at the end
      {"[a-c]", "B", SF_IGNORECASE, "no match"},  // classes never fold
      {"[a-c]", "b", SF_IGNORECASE, "0,1"},
      {"\\d+", "ab123c", 0, "2,5"},
      {"\\D\\w\\s\\S", "1#_ x", 0, "1,5"},
      {"\\h+", "xy0fFg", 0, "2,5"},
      {"[\\d\\s]+", "a1 2b", 0, "1,4"},
      {"[]", "abc", 0, "no match"},
      {"[^]", "ア", 0, "0,2"},
      {"[ぁ-ん]+", "カあいう漢", 0, "2,8"},
      {"[^ぁ-ん]", "あア", 0, "2,4"},
      {"\\.", "a.b", 0, "1,2"},
      {"\\\\", "a\\b", 0, "1,2"},
      {"\\", "a\\", 0, "1,2"},  // a lone backslash is itself
      {"\\q", "pq", 0, "1,2"},
      {"\\t", "a\tb", 0, "1,2"},
      {"ｶ", "xカ", SF_IGNOREWIDTH, "1,3"},
      {"[ｶ]", "xカ", SF_IGNOREWIDTH, "no match"},
      {"ＡＢＣ", "xabc", SF_IGNOREWIDTH | SF_IGNORECASE, "1,4"},
      {"abc", "xＡＢＣ", SF_IGNOREWIDTH | SF_IGNORECASE, "1,7"},
      {"abc", "ＡＢＣ", SF_IGNORECASE, "no match"},
      {"Ａ", "ａ", SF_IGNORECASE, "0,2"},
      {"a", "A", SF_IGNORECASE, "0,1"},
      {"(ab|AB)c", "ABC", SF_IGNORECASE, "0,3 0,2"},
      {"ガ", "カガ", SF_IGNOREWIDTH | SF_IGNORECASE, "2,4"},
  };
  ExpectFinds(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(RegexpMatch, MalformedPatternsMatchTheirText) {
  const FindCase cases[] = {
      {"(ab", "x(ab", 0, "1,4"},
      {"ab)", "ab)", 0, "0,3"},
      {"(a(b)", "(ab", 0, "0,3 2,3"},
      {"[abc", "[abc", 0, "0,4"},
      {"x{2", "x{2", 0, "0,3"},
      {"{2}", "a{2}", 0, "1,4"},
      {"*a", "b*a", 0, "1,3"},
      {"a**", "aa*", 0, "0,3"},
      {"(?=ab", "(=ab", 0, "0,4"},
  };
  ExpectFinds(cases, sizeof(cases) / sizeof(cases[0]));
}

// ア is 83 41, 表 95 5C, ソ 83 5C, ポ 83 7C: their trail bytes are «A», «\» and «|».
TEST(RegexpMatch, TrailBytesAreNeverMatchedOnTheirOwn) {
  const FindCase cases[] = {
      {"A", "ア", 0, "no match"},
      {"A", "アA", 0, "2,3"},
      {"a", "ア", SF_IGNORECASE | SF_IGNOREWIDTH, "no match"},
      {"[@-~]", "ア", 0, "no match"},
      {"\\\\", "表", 0, "no match"},
      {"\\\\", "ソ", 0, "no match"},
      {"\\\\", "表\\", 0, "2,3"},
      {"[\\\\]", "ソ表", 0, "no match"},
      {"\\|", "ポ", 0, "no match"},
      {"[|]", "ポ", 0, "no match"},
      {".", "表", 0, "0,2"},
      {"..", "表a", 0, "0,3"},
      {"表", "ソ表", 0, "2,4"},
      {"ソ", "表ソ", 0, "2,4"},
      {"表|a", "a", 0, "0,1"},
      {"ポ|b", "ポ", 0, "0,2"},
      {"ソ+", "ソソ", 0, "0,4"},
      {"[ソ]", "表ソ", 0, "2,4"},
      {"\\w+", "アbc", 0, "2,4"},
      {"\\W", "ア", 0, "0,2"},
      {"A$", "ア", 0, "no match"},
      {"[^A]", "ア", 0, "0,2"},
  };
  ExpectFinds(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(RegexpMatch, CountedSubjectsWithNulBytes) {
  const std::string nul("a\0b", 3);
  EXPECT_EQ("2,3", Find("b", nul));  // text after a NUL is searched
  EXPECT_EQ("0,3", Find("a.b", nul));
  EXPECT_EQ("no match", Find("a$", std::string("a\0", 2)));
  EXPECT_EQ("1,2", Find("[^a]", nul));
  EXPECT_EQ("2,3", Find("A", std::string("\x83\0A", 3)));  // a lead byte before NUL stands alone
  EXPECT_EQ("0,1", Find(".", std::string("\x83\0", 2)));
  EXPECT_EQ("0,1", Find(".", std::string("\x83", 1)));

  // The walk stops at the length it was given: nothing behind the bytes is read.
  for (const char* pattern : {"b$", "ab.", "ab\\w*", "[^x]*", "アA", "\x83"}) {
    std::unique_ptr<char[]> exact(new char[3]);
    std::memcpy(exact.get(), "ab\x83", 3);
    nfa* re = regexp_compile(pattern, 0);
    ASSERT_NE(nullptr, re);
    match* m = match_new(re);
    for (int32_t from = 0; from <= 3; ++from) {
      regexp_search_into(m, exact.get() + from, re, exact.get(), 3);
      regexp_match_at_into(m, exact.get() + from, re, exact.get(), 3);
    }
    match_free(m);
    nfa_free(re);
  }
  EXPECT_EQ("2,3", Find("\x83", std::string("ab\x83", 3)));
  EXPECT_EQ("no match", Find("\x83$", std::string("ab\x83", 3)));  // lead byte and "$" are one character
}

TEST(RegexpMatch, SpansOutsideTheMatch) {
  nfa* re = regexp_compile("(a)|(b)", 0);
  ASSERT_NE(nullptr, re);
  const std::string subject = "b";
  int32_t result = -1;
  match* m = regexp_search(subject.data(), re, subject.data(), 1, &result);
  ASSERT_NE(nullptr, m);
  EXPECT_EQ(REGEXP_MATCH, result);
  const char* s = reinterpret_cast<const char*>(1);
  const char* e = reinterpret_cast<const char*>(1);
  EXPECT_TRUE(match_get_span(m, 0, &s, &e));
  EXPECT_EQ(subject.data(), s);
  EXPECT_FALSE(match_get_span(m, 1, &s, &e));  // unset group
  EXPECT_EQ(nullptr, s);
  EXPECT_EQ(nullptr, e);
  EXPECT_TRUE(match_get_span(m, 2, &s, &e));
  EXPECT_FALSE(match_get_span(m, 3, &s, &e));
  EXPECT_FALSE(match_get_span(m, -1, &s, &e));
  match_free(m);
  m = regexp_search(subject.data(), re, subject.data(), 1, nullptr);  // the result word is optional
  EXPECT_NE(nullptr, m);
  match_free(m);
  m = regexp_match_at(subject.data(), re, subject.data(), 0, &result);  // an empty subject
  EXPECT_EQ(nullptr, m);
  EXPECT_EQ(REGEXP_NOMATCH, result);
  nfa_free(re);
}

int32_t SearchResult(nfa* re, const std::string& subject) {
  match* m = match_new(re);
  const int32_t r = regexp_search_into(m, subject.data(), re, subject.data(), static_cast<int32_t>(subject.size()));
  match_free(m);
  return r;
}

TEST(RegexpMatch, TooComplexIsAnAnswerOfItsOwn) {
  nfa* re = regexp_compile("^(a+)+$", 0);
  ASSERT_NE(nullptr, re);
  EXPECT_EQ(REGEXP_TOO_COMPLEX, SearchResult(re, std::string(22, 'a') + "!"));  // default budget
  EXPECT_EQ(REGEXP_MATCH, SearchResult(re, std::string(22, 'a')));
  EXPECT_EQ(REGEXP_NOMATCH, SearchResult(re, "b"));
  nfa_set_limits(re, 1000, 0);
  EXPECT_EQ(REGEXP_TOO_COMPLEX, SearchResult(re, std::string(14, 'a') + "!"));
  EXPECT_LE(re->nStepsUsed, 1000);
  nfa_free(re);

  // A position that runs out of steps is not passed over for a later match.
  re = regexp_compile("(a+)+b|c", 0);
  ASSERT_NE(nullptr, re);
  nfa_set_limits(re, 100000, 0);
  EXPECT_EQ(REGEXP_TOO_COMPLEX, SearchResult(re, std::string(30, 'a') + "!c"));
  EXPECT_EQ(REGEXP_MATCH, SearchResult(re, "!c"));
  nfa_free(re);

  // A path longer than the stack allowed is too complex as well.
  re = regexp_compile(".*", 0);
  ASSERT_NE(nullptr, re);
  nfa_set_limits(re, 0, 100);
  EXPECT_EQ(REGEXP_TOO_COMPLEX, SearchResult(re, std::string(1000, 'a')));
  nfa_set_limits(re, 0, 0);
  EXPECT_EQ(REGEXP_MATCH, SearchResult(re, std::string(1000, 'a')));
  nfa_free(re);
}

TEST(RegexpMatch, SearchesCanShareOneBudget) {
  nfa* re = regexp_compile("(a+)+b", 0);
  ASSERT_NE(nullptr, re);
  const std::string line = std::string(12, 'a') + "!b";
  EXPECT_EQ(REGEXP_NOMATCH, SearchResult(re, line));
  const int64_t one = re->nStepsUsed;
  ASSERT_GT(one, 0);
  nfa_share_budget(re, one * 2 + one / 2);
  EXPECT_EQ(REGEXP_NOMATCH, SearchResult(re, line));
  EXPECT_EQ(REGEXP_NOMATCH, SearchResult(re, line));
  EXPECT_EQ(REGEXP_TOO_COMPLEX, SearchResult(re, line));  // the third finds the budget spent
  EXPECT_EQ(REGEXP_TOO_COMPLEX, SearchResult(re, line));
  nfa_share_budget(re, 0);
  EXPECT_EQ(REGEXP_NOMATCH, SearchResult(re, line));
  EXPECT_EQ(nfa_default_budget(0), kRegexpBaseSteps);
  EXPECT_EQ(nfa_default_budget(INT32_MAX), kRegexpMaxSteps);
  nfa_free(re);
}

TEST(RegexpMatch, LongMatchesNeedNoNativeStack) {
  nfa* re = regexp_compile(".*", 0);
  ASSERT_NE(nullptr, re);
  EXPECT_EQ("0,300000", SearchIn(re, std::string(300000, 'a')));
  nfa_free(re);
  std::string ab;
  for (int i = 0; i < 50000; ++i) ab += "ab";
  re = regexp_compile("(a|b)*c", 0);
  ASSERT_NE(nullptr, re);
  EXPECT_EQ("0,100001 99999,100000", SearchIn(re, ab + "c"));
  nfa_free(re);
  re = regexp_compile("a*?b", 0);
  ASSERT_NE(nullptr, re);
  EXPECT_EQ("0,300001", SearchIn(re, std::string(300000, 'a') + "b"));
  nfa_free(re);
}

// Hostile patterns over 10 MB lines: a bounded answer, never a match that is
// not there, never a crash.
TEST(RegexpMatch, HostileTenMegabyteLines) {
  const size_t kTen = 10 * 1000 * 1000;
  std::string ab;
  ab.reserve(kTen + 1);
  while (ab.size() < kTen) ab += "ab";
  const std::string as(kTen, 'a');
  struct Hostile {
    const char* pattern;
    const std::string* line;
    const char* tail;
    bool matchable;
  };
  const Hostile cases[] = {
      {"(a|b)*c", &ab, "", false},   {"(a|b)*c", &ab, "c", true},  {"(a*)*b", &as, "", false},
      {"(a*)*b", &as, "!b", true},   {"(a|aa)*c", &as, "!c", true}, {"(a+)+b", &as, "!b", true},
      {"^(a+)+$", &as, "!", false},
  };
  for (const Hostile& h : cases) {
    nfa* re = regexp_compile(h.pattern, 0);
    ASSERT_NE(nullptr, re);
    const std::string line = *h.line + h.tail;
    const int32_t r = SearchResult(re, line);
    if (h.matchable) {
      EXPECT_TRUE(r == REGEXP_TOO_COMPLEX || r == REGEXP_MATCH) << h.pattern << " " << r;
    } else {
      EXPECT_TRUE(r == REGEXP_TOO_COMPLEX || r == REGEXP_NOMATCH) << h.pattern << " " << r;
    }
    nfa_free(re);
  }
  // A wide search that is slow at every position runs out of steps instead.
  nfa* re = regexp_compile("[a-z]{2,9}!", 0);
  ASSERT_NE(nullptr, re);
  nfa_set_limits(re, 2000000, 0);
  EXPECT_EQ(REGEXP_TOO_COMPLEX, SearchResult(re, as + "!"));
  nfa_free(re);
}

TEST(RegexpMatch, RunningOutOfMemoryWhileMatching) {
  nfa* re = regexp_compile("(a|b)*c", 0);
  ASSERT_NE(nullptr, re);
  const std::string subject = "ababc";
  int32_t result = -1;
  Mem_FailAfter(0);
  match* m = regexp_search(subject.data(), re, subject.data(), 5, &result);
  Mem_ClearFault();
  EXPECT_EQ(nullptr, m);
  EXPECT_EQ(REGEXP_NOMEMORY, result);  // the match record
  m = match_new(re);
  Mem_FailAfter(0);
  result = regexp_search_into(m, subject.data(), re, subject.data(), 5);
  Mem_ClearFault();
  EXPECT_EQ(REGEXP_NOMEMORY, result);  // the walk's stack
  EXPECT_EQ(REGEXP_MATCH, regexp_search_into(m, subject.data(), re, subject.data(), 5));
  match_free(m);
  nfa_free(re);
}

// ---- the walk read literally: recursive, one native call per transition ----

struct Reference {
  const nfa* re;
  const std::string* s;
  std::vector<int64_t> visited;
  std::vector<std::pair<int64_t, int64_t>> spans;
  long steps;
  bool aborted;
};

constexpr long kReferenceSteps = 200000;

bool ReferenceTest(const Reference& r, const trans* t, int64_t pos, int64_t* next) {
  const std::string& s = *r.s;
  const int64_t n = static_cast<int64_t>(s.size());
  *next = pos;
  if (t->epsilon) {
    if (t->type == NODE_LINE_END) return pos == n || s[pos] == '\r' || s[pos] == '\n';
    if (t->type == NODE_LINE_BEGIN) return pos == 0;
    return true;
  }
  if (pos >= n) return false;
  const unsigned char b = static_cast<unsigned char>(s[pos]);
  const bool two = Char_IsLeadByte(b) && pos + 1 < n && s[pos + 1] != 0;
  const uint32_t code = two ? (uint32_t(b) << 8) | static_cast<unsigned char>(s[pos + 1]) : b;
  *next = pos + (two ? 2 : 1);
  if (t->type == NODE_ANYCHAR) return true;
  if (t->type == NODE_CHARCLASS) return rgtest::ReferenceHas(t->list, code);
  return rgtest::ReferenceEqual(code, RgEscape_Code(t->ch), t->flags);
}

int64_t ReferenceWalk(Reference& r, int64_t pos, int32_t st) {
  const state* S = &r.re->table->states[st];
  if (S->final) return pos;
  for (const trans* t = S->head; t; t = t->next) {
    const size_t i = static_cast<size_t>(t - r.re->table->pTrans);
    if (r.visited[i] == pos) continue;
    if (++r.steps > kReferenceSteps) r.aborted = true;
    if (r.aborted) return -1;
    const int64_t old = r.visited[i];
    r.visited[i] = pos;
    int64_t next = pos;
    const int64_t e = ReferenceTest(r, t, pos, &next) ? ReferenceWalk(r, next, t->nTo) : -1;
    if (r.aborted) return -1;
    if (e >= 0) {
      if (t->type == NODE_GROUP_BEGIN) {
        if (r.spans[t->group].first < 0) r.spans[t->group].first = pos;
        return e;
      }
      if (t->type == NODE_GROUP_END) {
        if (r.spans[t->group].second < 0) r.spans[t->group].second = pos;
        return e;
      }
      if (t->type == NODE_LOOKAHEAD_BEGIN) return pos;
      if (t->type != NODE_NEG_LOOKAHEAD_BEGIN) return e;
      r.visited[i] = old;
      continue;
    }
    if (t->type == NODE_NEG_LOOKAHEAD_BEGIN) return pos;
    r.visited[i] = old;
  }
  return -1;
}

std::string ReferenceSpans(const Reference& r, int64_t p, int64_t e) {
  std::string out = std::to_string(p) + "," + std::to_string(e);
  for (int32_t g = 1; g < r.re->count; ++g) {
    const auto sp = r.spans[static_cast<size_t>(g)];
    out += " ";
    out += (sp.first < 0 || sp.second < 0 || sp.second < sp.first)
               ? "-"
               : std::to_string(sp.first) + "," + std::to_string(sp.second);
  }
  return out;
}

// One attempt at p with every mark and span reset: the spans, "no match", or
// "" when the reference gave up.
std::string ReferenceAttempt(Reference& r, int64_t p) {
  r.visited.assign(static_cast<size_t>(r.re->table->nTrans), -1);
  r.spans.assign(static_cast<size_t>(r.re->count), {-1, -1});
  const int64_t e = ReferenceWalk(r, p, 0);
  if (r.aborted) return "";
  return e >= 0 ? ReferenceSpans(r, p, e) : "no match";
}

// The search: attempts at each start position in turn.
std::string ReferenceSearch(const nfa* re, const std::string& s, int64_t from) {
  const int64_t n = static_cast<int64_t>(s.size());
  Reference r{re, &s, {}, {}, 0, false};
  for (int64_t p = from;;) {
    const std::string attempt = ReferenceAttempt(r, p);
    if (attempt != "no match") return attempt;
    if (p >= n) break;
    const bool two = Char_IsLeadByte(static_cast<unsigned char>(s[p])) && p + 1 < n && s[p + 1] != 0;
    p += two ? 2 : 1;
    if (p >= n) break;
  }
  return "no match";
}

// A character start of the subject chosen at random, its end included.
size_t RandomStart(rgtest::Rng* rng, const std::string& s) {
  std::vector<size_t> starts;
  for (size_t p = 0;; ++p) {
    starts.push_back(p);
    if (p >= s.size()) break;
    if (Char_IsLeadByte(static_cast<unsigned char>(s[p])) && p + 1 < s.size() && s[p + 1] != 0) ++p;
  }
  return starts[rng->Below(static_cast<uint32_t>(starts.size()))];
}

TEST(RegexpMatch, HeapWalkAgreesWithTheRecursiveWalkOnRandomPatterns) {
  static const char* const kPieces[] = {"a", "b", "A", "ア", "表", "(", "(", ")", ")", "|", "|", "*", "+", "?", "*?",
                                        "+?", "??", "{1,2}", "{2}", "{,1}", "[ab]", "[^a]", "[ア-表]", "^", "$",
                                        ".", "\\d", "\\w", "(?=", "(?!", "\\", "1"};
  static const char* const kChars[] = {"a", "b", "A", "ア", "表", "1", "\r", "-", "a", "b"};
  static const uint32_t kFlags[] = {0, SF_IGNORECASE, SF_IGNOREWIDTH, SF_IGNORECASE | SF_IGNOREWIDTH};
  rgtest::Rng rng{4242};
  int compared = 0;
  int matched = 0;
  const int kRounds = 6000;
  for (int round = 0; round < kRounds; ++round) {
    std::string pattern;
    const uint32_t n = 1 + rng.Below(8);
    for (uint32_t i = 0; i < n; ++i) pattern += kPieces[rng.Below(sizeof(kPieces) / sizeof(kPieces[0]))];
    const uint32_t flags = kFlags[rng.Below(4)];
    nfa* re = regexp_compile(pattern.c_str(), flags);
    ASSERT_NE(nullptr, re) << pattern;
    for (int k = 0; k < 4; ++k) {
      std::string subject;
      const uint32_t len = rng.Below(9);
      for (uint32_t i = 0; i < len; ++i) subject += kChars[rng.Below(sizeof(kChars) / sizeof(kChars[0]))];
      const size_t from = rng.Below(3) == 0 ? RandomStart(&rng, subject) : 0;
      const std::string expected = ReferenceSearch(re, subject, static_cast<int64_t>(from));
      if (expected.empty()) continue;
      ++compared;
      if (expected != "no match") ++matched;
      ASSERT_EQ(expected, SearchIn(re, subject, from))
          << "pattern 「" << pattern << "」 subject 「" << subject << "」 from " << from << " flags " << flags;
      Reference r{re, &subject, {}, {}, 0, false};
      const size_t at = RandomStart(&rng, subject);
      const std::string attempt = ReferenceAttempt(r, static_cast<int64_t>(at));
      if (!attempt.empty()) {
        ASSERT_EQ(attempt, SearchIn(re, subject, at, true))
            << "pattern 「" << pattern << "」 subject 「" << subject << "」 at " << at << " flags " << flags;
      }
    }
    nfa_free(re);
  }
  EXPECT_GT(compared, kRounds * 4 * 9 / 10);  // the reference finished nearly everywhere
  EXPECT_GT(matched, compared / 4);           // and the cases are not all misses
}

}  // namespace
