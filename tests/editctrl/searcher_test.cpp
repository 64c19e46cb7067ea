#include "editctrl/searcher.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "editctrl/searchtest.h"
#include "tools/memory.h"
#include "tools/regexp/regexp.h"

namespace {

using searchtest::kNone;
using searchtest::Rng;
using searchtest::Span;

// The searcher's answer for one line: the span, or kNone with the status.
struct Answer {
  Span span;
  int32_t status;
};

Answer FindIn(Searcher* s, const std::string& line, int32_t offset) {
  const char* start = Searcher_Find(s, line.c_str(), static_cast<int32_t>(line.size()), offset);
  if (!start) return {kNone, Searcher_GetStatus(s)};
  return {{static_cast<int32_t>(start - line.c_str()), static_cast<int32_t>(s->pEnd - line.c_str())},
          Searcher_GetStatus(s)};
}

Span Find(const std::string& pattern, uint32_t options, bool forward, const std::string& line, int32_t offset) {
  Searcher* s = Searcher_Create(pattern.data(), static_cast<int32_t>(pattern.size()), options, forward);
  EXPECT_TRUE(s != nullptr) << pattern;
  if (!s) return kNone;
  const Answer a = FindIn(s, line, offset);
  Searcher_Free(s);
  return a.span;
}

std::string Text(Span s) { return std::to_string(s.start) + "," + std::to_string(s.end); }

TEST(Searcher, WholeWordsPassOverPartsOfWords) {
  for (uint32_t kind : {0u, static_cast<uint32_t>(SF_REGEXP)}) {
    EXPECT_EQ("6,9", Text(Find("abc", SF_WHOLEWORD | kind, true, "xabcx abc", 0))) << kind;
    EXPECT_EQ("1,4", Text(Find("abc", kind, true, "xabcx abc", 0))) << kind;
    EXPECT_EQ("6,9", Text(Find("abc", SF_WHOLEWORD | kind, false, "xabcx abc", 9))) << kind;
    // Before offset 8 a plain match has to end, a pattern match only to start.
    EXPECT_EQ(kind ? "6,9" : "-1,-1", Text(Find("abc", SF_WHOLEWORD | kind, false, "xabcx abc", 8))) << kind;
    EXPECT_EQ("-1,-1", Text(Find("abc", SF_WHOLEWORD | kind, false, "xabcx abc", 6))) << kind;
    // Classes differ at both ends: kanji against hiragana, digits against kanji.
    EXPECT_EQ("2,6", Text(Find("東京", SF_WHOLEWORD | kind, true, "は東京は", 0))) << kind;
    EXPECT_EQ("-1,-1", Text(Find("東京", SF_WHOLEWORD | kind, true, "東京都", 0))) << kind;
    EXPECT_EQ("1,5", Text(Find("東京", SF_WHOLEWORD | kind, true, "1東京2", 0))) << kind;
  }
}

TEST(Searcher, WidthAndCaseFoldingGoTogether) {
  EXPECT_EQ("0,6", Text(Find("abc", SF_IGNORECASE | SF_IGNOREWIDTH, true, "ＡＢＣ", 0)));
  EXPECT_EQ("-1,-1", Text(Find("abc", SF_IGNORECASE, true, "ＡＢＣ", 0)));
  EXPECT_EQ("0,6", Text(Find("abc", SF_IGNORECASE | SF_IGNOREWIDTH | SF_REGEXP, true, "ＡＢＣ", 0)));
  EXPECT_EQ("-1,-1", Text(Find("abc", SF_IGNORECASE | SF_REGEXP, true, "ＡＢＣ", 0)));
  EXPECT_EQ("0,1", Text(Find("ア", SF_IGNOREWIDTH, true, "ｱア", 0)));
  EXPECT_EQ("1,3", Text(Find("ア", 0, true, "ｱア", 0)));
  EXPECT_EQ("-1,-1", Text(Find("ガ", SF_IGNOREWIDTH, true, "ｶﾞ", 0)));  // voiced kana fold to themselves
}

// The caret inside a match: the plain backward search wants matches that end
// before it, the pattern search attempts starts before it.
TEST(Searcher, BackwardPlainMatchesEndBeforeTheOffsetPatternsStartBeforeIt) {
  const std::string line = "abc abc";
  EXPECT_EQ("0,3", Text(Find("abc", 0, false, line, 5)));
  EXPECT_EQ("4,7", Text(Find("abc", SF_REGEXP, false, line, 5)));
  EXPECT_EQ("4,7", Text(Find("abc", 0, false, line, 7)));
  EXPECT_EQ("-1,-1", Text(Find("abc", 0, false, line, 2)));
  EXPECT_EQ("0,3", Text(Find("abc", SF_REGEXP, false, line, 2)));
  EXPECT_EQ("2,3", Text(Find("a+", SF_REGEXP, false, "aaa", 3)));  // the nearest start first
  EXPECT_EQ("1,3", Text(Find("a+", SF_REGEXP, false, "aaa", 2)));  // reaching past the offset
  EXPECT_EQ("-1,-1", Text(Find("x*", SF_REGEXP, false, "aaa", 3)));  // empty matches do not count
}

TEST(Searcher, AnEmptyMatchIsReturnedForTheDocumentToPassOver) {
  EXPECT_EQ("0,0", Text(Find("x*", SF_REGEXP, true, "abxx", 0)));
  EXPECT_EQ("2,2", Text(Find("", 0, true, "abxx", 2)));
  // With whole words an empty match sends the search on.
  EXPECT_EQ("3,4", Text(Find("a*", SF_REGEXP | SF_WHOLEWORD, true, "bb a", 0)));
}

// The literal reading of the pattern variants, built from the engine's own
// calls: forward with words steps p one character on from p itself after
// every rejected match; backward tries every character start before offset.
Span ReferenceRegexForward(nfa* re, const std::string& line, int32_t offset, bool words) {
  const int32_t n = static_cast<int32_t>(line.size());
  for (int32_t p = offset;;) {
    int32_t r = 0;
    match* m = regexp_search(line.c_str() + p, re, line.c_str(), n, &r);
    if (!m) return kNone;
    const char* s = nullptr;
    const char* e = nullptr;
    match_get_span(m, 0, &s, &e);
    match_free(m);
    const Span span = {static_cast<int32_t>(s - line.c_str()), static_cast<int32_t>(e - line.c_str())};
    if (!words) return span;
    if (span.end > span.start && searchtest::ReferenceWholeWord(line, span)) return span;
    p += searchtest::CharLen(line, static_cast<size_t>(p));
    if (p >= n) return kNone;
  }
}

Span ReferenceRegexBackward(nfa* re, const std::string& line, int32_t offset, bool words) {
  std::vector<int32_t> starts;
  for (int32_t i = 0; i < offset; i += searchtest::CharLen(line, static_cast<size_t>(i))) starts.push_back(i);
  for (size_t k = starts.size(); k-- > 0;) {
    int32_t r = 0;
    match* m = regexp_match_at(line.c_str() + starts[k], re, line.c_str(), static_cast<int32_t>(line.size()), &r);
    if (!m) continue;
    const char* s = nullptr;
    const char* e = nullptr;
    match_get_span(m, 0, &s, &e);
    match_free(m);
    const Span span = {static_cast<int32_t>(s - line.c_str()), static_cast<int32_t>(e - line.c_str())};
    if (span.end > span.start && (!words || searchtest::ReferenceWholeWord(line, span))) return span;
  }
  return kNone;
}

TEST(Searcher, PatternVariantsAgreeWithTheirLiteralReading) {
  const char* patterns[] = {"a",    "a+",  "[aA]b*", ".",  "\\\\", "\\|",    "表",  "ア|A", "^a",   "a$",
                            "(a|b)*", "x*", "ソ.",    "b?", "東京", "[ぁ-ん]", "ａ+", "\\s", "[^a]", "(?=a)a"};
  Rng rng = {99};
  for (int round = 0; round < 120; ++round) {
    const std::string line = searchtest::RandomText(&rng, static_cast<int32_t>(rng.Below(20)));
    const std::vector<bool> starts = searchtest::Starts(line);
    for (const char* pattern : patterns) {
      for (uint32_t options : {0u, 2u, 4u, 6u, 8u, 14u}) {
        nfa* re = regexp_compile(pattern, options);
        ASSERT_TRUE(re);
        Searcher* fwd = Searcher_Create(pattern, static_cast<int32_t>(strlen(pattern)), options | SF_REGEXP, true);
        Searcher* back = Searcher_Create(pattern, static_cast<int32_t>(strlen(pattern)), options | SF_REGEXP, false);
        ASSERT_TRUE(fwd && back);
        const bool words = (options & SF_WHOLEWORD) != 0;
        for (int32_t offset = 0; offset <= static_cast<int32_t>(line.size()); ++offset) {
          if (!starts[offset]) continue;
          ASSERT_EQ(ReferenceRegexForward(re, line, offset, words), FindIn(fwd, line, offset).span)
              << pattern << " options " << options << " offset " << offset << " line " << line;
          ASSERT_EQ(ReferenceRegexBackward(re, line, offset, words), FindIn(back, line, offset).span)
              << pattern << " options " << options << " offset " << offset << " line " << line;
        }
        Searcher_Free(fwd);
        Searcher_Free(back);
        nfa_free(re);
      }
    }
  }
}

// Ten-megabyte lines and patterns that explode: each variant answers "not
// found" or "too complex", never a match and never a crash. Small step limits
// keep the hostile ones quick; the cheap ones need none.
TEST(Searcher, HostileLinesGetBoundedAnswers) {
  const std::string as(10000000, 'a');
  const std::vector<std::string> lines = {as, as + "!b", as + "!c", std::string(5000000, 'a') + std::string(5000000, 'b')};
  for (const char* pattern : {"(a*)*b", "(a|aa)*c", "(a+)+b", "^(a+)+$", "(a|b)*c"}) {
    for (uint32_t words : {0u, static_cast<uint32_t>(SF_WHOLEWORD)}) {
      for (bool forward : {true, false}) {
        Searcher* s = Searcher_Create(pattern, static_cast<int32_t>(strlen(pattern)), SF_REGEXP | words, forward);
        ASSERT_TRUE(s);
        Searcher_SetStepLimits(s, 200000, 1, 400000);
        for (const std::string& line : lines) {
          Searcher_ResetSteps(s);
          const Answer a = FindIn(s, line, forward ? 0 : static_cast<int32_t>(line.size()));
          if (a.status == SEARCH_FOUND) {
            // Only "(a+)+b" and "(a*)*b" can match, and only where a "b" follows the a's.
            EXPECT_EQ('b', line[static_cast<size_t>(a.span.end) - 1]) << pattern;
          } else {
            EXPECT_TRUE(a.status == SEARCH_NOTFOUND || a.status == SEARCH_TOO_COMPLEX) << pattern << " " << a.status;
          }
          // The engine's own count: one line's search never draws more than the ceiling.
          EXPECT_LE(Searcher_GetStepsTaken(s), 400000) << pattern;
        }
        Searcher_Free(s);
      }
    }
  }
}

TEST(Searcher, TheDefaultStepAccountEndsAnExplodingSearch) {
  const std::string line = std::string(40, 'a') + "!b";
  Searcher* s = Searcher_Create("(a|a)*b", 7, SF_REGEXP, true);
  ASSERT_TRUE(s);
  EXPECT_EQ(SEARCH_TOO_COMPLEX, FindIn(s, line, 0).status);
  Searcher_Free(s);
}

// Lines made only of lead-byte values, where every match fails the whole-word
// test: a walk from the line start per match would take hours here.
TEST(Searcher, LongRunsOfLeadByteValuesStayLinear) {
  std::string line;
  for (int i = 0; i < 300000; ++i) line += "東京";
  const int32_t n = static_cast<int32_t>(line.size());
  for (uint32_t kind : {0u, static_cast<uint32_t>(SF_REGEXP)}) {
    for (bool forward : {true, false}) {
      Searcher* s = Searcher_Create("東京", 4, SF_WHOLEWORD | kind, forward);
      ASSERT_TRUE(s);
      const Answer a = FindIn(s, line, forward ? 0 : n);
      EXPECT_EQ(SEARCH_NOTFOUND, a.status) << kind << " " << forward;
      // The engine's count: a pattern search that went back to the line start
      // for each match would take steps in proportion to the line's length
      // times its matches; this one takes at most a couple per byte.
      if (kind == SF_REGEXP) {
        EXPECT_LE(Searcher_GetStepsTaken(s), 2 * int64_t(n)) << forward;
      }
      Searcher_Free(s);
    }
  }
  // The plain search counts the matches in one pass.
  Searcher* s = Searcher_Create("京東", 4, 0, true);
  int32_t count = 0;
  for (int32_t at = 0; Searcher_Find(s, line.c_str(), n, at); at = static_cast<int32_t>(s->pEnd - line.c_str())) ++count;
  EXPECT_EQ(299999, count);
  Searcher_Free(s);
}

TEST(Searcher, MemoryRunningOutGivesNoSearcherAndLeaksNothing) {
  for (uint32_t options : {0u, static_cast<uint32_t>(SF_REGEXP), static_cast<uint32_t>(SF_REGEXP | SF_IGNORECASE)}) {
    bool made = false;
    for (long k = 0; k < 40 && !made; ++k) {
      Mem_FailAfter(k);
      const char* pattern = (options & SF_REGEXP) ? "a(b|c)+" : "aB";
      Searcher* s = Searcher_Create(pattern, static_cast<int32_t>(strlen(pattern)), options | SF_IGNORECASE, true);
      Mem_ClearFault();
      made = s != nullptr;
      if (s) {
        EXPECT_EQ("1,3", Text(FindIn(s, "xab", 0).span));
        Searcher_Free(s);
      }
    }
    EXPECT_TRUE(made);
  }
}

TEST(Searcher, WholeWordTestLooksAtBothEnds) {
  const std::string line = "ab cd東京";
  const int32_t n = static_cast<int32_t>(line.size());
  EXPECT_TRUE(Search_IsWholeWord(line.c_str(), n, 0, 2));
  EXPECT_FALSE(Search_IsWholeWord(line.c_str(), n, 0, 1));
  EXPECT_TRUE(Search_IsWholeWord(line.c_str(), n, 3, 5));
  EXPECT_TRUE(Search_IsWholeWord(line.c_str(), n, 5, 9));
  EXPECT_FALSE(Search_IsWholeWord(line.c_str(), n, 7, 9));
  EXPECT_FALSE(Search_IsWholeWord(line.c_str(), n, 2, 2));  // nothing to test
}

}  // namespace
