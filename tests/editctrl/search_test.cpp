#include "editctrl/replaceall.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editctrl/bodyfixture.h"
#include "editctrl/searchtest.h"
#include "tools/memory.h"

namespace {

// A body holding text as its clean, freshly loaded document.
struct Doc : Body {
  explicit Doc(const std::string& text) {
    Type(text);
    EditBody_Reset(body);
  }
};

std::string Range(TextRange r) {
  return "(" + std::to_string(r.start.x) + "," + std::to_string(r.start.y) + ")-(" + std::to_string(r.end.x) + "," +
         std::to_string(r.end.y) + ")";
}

// Find next or previous with the options; the found range, or "none:STATUS".
std::string Next(Doc& d, const std::string& pattern, uint32_t options = 0, bool forward = true) {
  TextRange found = {};
  int32_t status = -1;
  const bool ok = forward ? Search_FindNext(d.body, pattern.data(), static_cast<int32_t>(pattern.size()), options,
                                            &found, &status)
                          : Search_FindPrev(d.body, pattern.data(), static_cast<int32_t>(pattern.size()), options,
                                            &found, &status);
  EXPECT_EQ(ok, status == SEARCH_FOUND);
  if (!ok) return "none:" + std::to_string(status);
  return Range(found);
}

// What the window does with a match: the anchor at its start, the caret at its end.
std::string NextAndSelect(Doc& d, const std::string& pattern, uint32_t options = 0, bool forward = true) {
  TextRange found = {};
  int32_t status = 0;
  const bool ok = forward ? Search_FindNext(d.body, pattern.data(), static_cast<int32_t>(pattern.size()), options,
                                            &found, &status)
                          : Search_FindPrev(d.body, pattern.data(), static_cast<int32_t>(pattern.size()), options,
                                            &found, &status);
  if (!ok) return "none";
  EditBody_SetSelection(d.body, found.start, found.end);
  return Range(found);
}

TEST(Search, FindNextGoesOnFromTheSelectionAndWrapsAround) {
  Doc d("one abc\r\ntwo\r\nabc three abc");
  EXPECT_EQ("(4,0)-(7,0)", NextAndSelect(d, "abc"));
  EXPECT_EQ("(0,2)-(3,2)", NextAndSelect(d, "abc"));
  EXPECT_EQ("(10,2)-(13,2)", NextAndSelect(d, "abc"));
  EXPECT_EQ("(4,0)-(7,0)", NextAndSelect(d, "abc"));  // wrapped to the first match
  EXPECT_EQ("(10,2)-(13,2)", NextAndSelect(d, "abc", 0, false));  // nothing before it: wrapped to the last match
  EXPECT_EQ("(0,2)-(3,2)", NextAndSelect(d, "abc", 0, false));  // back from the selection's start
}

TEST(Search, NothingFoundLeavesTheSelectionAsItWas) {
  Doc d("abc\r\ndef");
  d.Select(Pt(1, 0), Pt(2, 1));
  EXPECT_EQ("none:0", Next(d, "xyz"));
  EXPECT_EQ("none:0", Next(d, "xyz", 0, false));
  EXPECT_EQ(Pt(1, 0), d.body->ptSelect);
  EXPECT_EQ(Pt(2, 1), d.body->ptCaret);
  EXPECT_EQ("none:0", Next(d, ""));  // the empty string matches nothing worth a selection
  TextRange found = {};
  EXPECT_FALSE(Search_FindNext(d.body, "xyz", 3, 0, &found, nullptr));
  EXPECT_EQ("(1,0)-(2,1)", Range(found));  // the range given back is the selection
}

TEST(Search, EmptyMatchesSendTheSearchToTheNextLine) {
  Doc d("abxx\r\nxx");
  EXPECT_EQ("(0,1)-(2,1)", Next(d, "x*", SF_REGEXP));  // line 0 gives an empty match at 0
  d.Select(Pt(2, 0), Pt(2, 0));
  EXPECT_EQ("(2,0)-(4,0)", Next(d, "x*", SF_REGEXP));
}

TEST(Search, ABackwardPlainSearchDoesNotFindTheMatchTheCaretIsIn) {
  Doc d("abc abc");
  d.Select(Pt(5, 0), Pt(5, 0));
  EXPECT_EQ("(0,0)-(3,0)", Next(d, "abc", 0, false));
  EXPECT_EQ("(4,0)-(7,0)", Next(d, "abc", SF_REGEXP, false));
}

// ア is 83 41, 表 95 5C, ソ 83 5C, ポ 83 7C: their trail bytes are never a
// letter, a backslash or a bar of their own, in the text or in the pattern.
TEST(Search, TrailBytesThroughTheDocumentSearch) {
  Doc d("ア表\r\nソポ\r\n表ソ");
  for (bool forward : {true, false}) {
    for (uint32_t options : {0u, 2u, 4u, 6u, 8u, 14u}) {
      for (const char* p : {"A", "a", "\\", "|"}) EXPECT_EQ("none:0", Next(d, p, options, forward)) << p;
      for (const char* p : {"A", "\\\\", "\\|", "[A\\\\|]+"}) {
        EXPECT_EQ("none:0", Next(d, p, options | SF_REGEXP, forward)) << p;
      }
    }
  }
  EXPECT_EQ("(2,0)-(4,0)", Next(d, "表"));
  EXPECT_EQ("(0,1)-(2,1)", Next(d, "ソ"));
  d.Select(Pt(0, 1), Pt(0, 1));
  EXPECT_EQ("(2,2)-(4,2)", Next(d, "ソ", SF_WHOLEWORD));  // ソポ is one word, 表ソ two
  d.Select(Pt(0, 0), Pt(0, 0));
  EXPECT_EQ("(2,0)-(4,0)", Next(d, "表|ソ", SF_REGEXP));
  EXPECT_EQ("(2,1)-(4,1)", Next(d, "ポ", SF_REGEXP));
  EXPECT_EQ("(0,0)-(2,0)", Next(d, ".", SF_REGEXP));  // one character is both bytes
  EXPECT_EQ("(2,2)-(4,2)", Next(d, ".$", SF_REGEXP, false));
  EXPECT_EQ("(0,0)-(4,0)", Next(d, "^..$", SF_REGEXP));
  // The search starts at a character start: a column on a trail byte counts
  // as the character's end forward and its start backward.
  for (bool forward : {true, false}) {
    Searcher* s = Searcher_Create("表", 2, 0, forward);
    ASSERT_TRUE(s);
    TextRange found;
    if (forward) {
      ASSERT_TRUE(Search_FindForward(d.body->text, s, Pt(3, 0), &found));
      EXPECT_EQ("(0,2)-(2,2)", Range(found));
    } else {
      EXPECT_FALSE(Search_FindBackward(d.body->text, s, Pt(3, 0), &found));
      EXPECT_EQ("(3,0)-(3,0)", Range(found));
      ASSERT_TRUE(Search_FindBackward(d.body->text, s, Pt(4, 0), &found));
      EXPECT_EQ("(2,0)-(4,0)", Range(found));
    }
    Searcher_Free(s);
  }
}

TEST(Search, ALineWithoutAnAnswerEndsTheSearchWithoutWrapping) {
  // "b" is found before the selection only by wrapping, which must not
  // happen: the line in between might hold the next match.
  Doc d("b\r\n" + std::string(30, 'a') + "!\r\nb");
  d.Select(Pt(1, 0), Pt(1, 0));
  EXPECT_EQ("none:2", Next(d, "b|^(a|a)*$", SF_REGEXP));
  EXPECT_EQ("(0,2)-(1,2)", Next(d, "b|c", SF_REGEXP));
  d.Select(Pt(0, 2), Pt(0, 2));
  EXPECT_EQ("none:2", Next(d, "b|^(a|a)*$", SF_REGEXP, false));
}

TEST(Search, OneAccountBoundsASearchOverManyLines) {
  // Every line alone stays below its own bound, all of them together do not.
  std::string text;
  for (int i = 0; i < 2000; ++i) text += std::string(18, 'a') + "!\r\n";
  Doc d(text + "b");
  Searcher* s = Searcher_Create("^(a|a)*$|b", 10, SF_REGEXP, true);
  ASSERT_TRUE(s);
  Searcher_SetStepLimits(s, 3000000, 0, 0);
  TextRange found;
  EXPECT_FALSE(Search_FindForward(d.body->text, s, Pt(0, 0), &found));
  EXPECT_EQ(SEARCH_TOO_COMPLEX, Searcher_GetStatus(s));
  EXPECT_EQ("(0,0)-(0,0)", Range(found));
  Searcher_Free(s);
}

int32_t UndoDepth(const Doc& d) { return EditAllocator_Depth(d.body->allocator->pUndo); }
int32_t RedoDepth(const Doc& d) { return EditAllocator_Depth(d.body->allocator->pRedo); }

struct Replaced {
  bool ok;
  int32_t count;
  int32_t status;
};

Replaced ReplaceAll(Doc& d, const std::string& pattern, const std::string& replacement, uint32_t options = 0) {
  Replaced r = {false, -1, -1};
  r.ok = Search_ReplaceAll(d.body, replacement.data(), static_cast<int32_t>(replacement.size()), pattern.data(),
                           static_cast<int32_t>(pattern.size()), options, &r.count, &r.status);
  return r;
}

TEST(ReplaceAll, EachReplacementIsItsOwnUndoStep) {
  Doc d("aaa");
  const Replaced r = ReplaceAll(d, "a", "aa");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(3, r.count);
  EXPECT_EQ(SEARCH_FOUND, r.status);
  EXPECT_EQ("aaaaaa", d.Text());
  EXPECT_EQ(3, UndoDepth(d));
  EXPECT_EQ(Pt(6, 0), d.body->ptCaret);  // behind the last replacement
  EXPECT_TRUE(EditBody_GetModified(d.body));
  ASSERT_TRUE(EditBody_Undo(d.body));
  EXPECT_EQ("aaaaa", d.Text());
  ASSERT_TRUE(EditBody_Undo(d.body));
  ASSERT_TRUE(EditBody_Undo(d.body));
  EXPECT_EQ("aaa", d.Text());
  EXPECT_FALSE(EditBody_GetModified(d.body));
}

TEST(ReplaceAll, RevertRestoresTheOriginalExactly) {
  searchtest::Rng rng = {5};
  for (int round = 0; round < 60; ++round) {
    std::string text;
    for (int line = 0; line < 5; ++line) text += searchtest::RandomText(&rng, 12) + (line < 4 ? "\r\n" : "");
    Doc d(text);
    const std::string original = d.Text();
    const char* patterns[] = {"a", "東京", "ア", "\\", "[aA]+", "^.", ".$"};
    const char* replacement[] = {"", "x", "表\r\n", "\r\n\r\n", "ソソ"};
    const std::string pattern = patterns[rng.Below(7)];
    const bool bRegexp = pattern.size() > 1 && pattern != "東京";
    const uint32_t options = (bRegexp ? uint32_t(SF_REGEXP) : 0u) | (rng.Below(2) ? 6u : 0u);
    const Replaced r = ReplaceAll(d, pattern, replacement[rng.Below(5)], options);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.count, UndoDepth(d));
    const std::string replaced = d.Text();
    ASSERT_TRUE(EditBody_RevertAll(d.body));
    EXPECT_EQ(original, d.Text()) << pattern;
    EXPECT_FALSE(EditBody_GetModified(d.body));
    int32_t redone = 0;
    while (EditBody_Redo(d.body)) ++redone;
    EXPECT_EQ(r.count, redone);
    EXPECT_EQ(replaced, d.Text()) << pattern;
  }
}

TEST(ReplaceAll, ReadOnlyRefusesAndChangesNothing) {
  Doc d("abc abc");
  EditBody_SetReadOnly(d.body, true);
  const Replaced r = ReplaceAll(d, "abc", "x");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(SEARCH_REFUSED, r.status);
  EXPECT_EQ(0, r.count);
  EXPECT_EQ("abc abc", d.Text());
  EXPECT_EQ(0, UndoDepth(d));
}

TEST(ReplaceAll, NothingFoundChangesNothingAndKeepsRedo) {
  Doc d("abc");
  d.Type("d");
  ASSERT_TRUE(EditBody_Undo(d.body));
  const Replaced r = ReplaceAll(d, "xyz", "x");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(SEARCH_NOTFOUND, r.status);
  EXPECT_EQ(1, RedoDepth(d));
  const Replaced empty = ReplaceAll(d, "", "x");  // the empty string is never replaced
  EXPECT_TRUE(empty.ok);
  EXPECT_EQ(0, empty.count);
  EXPECT_EQ("abc", d.Text());
}

TEST(ReplaceAll, ReplacementsMayHoldLineEnds) {
  Doc d("a,b,c");
  const Replaced r = ReplaceAll(d, ",", "\r\n");
  EXPECT_EQ(2, r.count);
  EXPECT_EQ("a\r\nb\r\nc", d.Text());
  EXPECT_EQ(3, TextData_GetCount(d.body->text));
  EXPECT_EQ(Pt(0, 2), d.body->ptCaret);
  ASSERT_TRUE(EditBody_Undo(d.body));
  EXPECT_EQ("a\r\nb,c", d.Text());
}

// Text inserted with a line end puts what follows at a line start, where "^"
// holds again; each search goes on from the end of the inserted text.
TEST(ReplaceAll, WhereLinesStartFollowsTheReplacements) {
  Doc d("xxx");
  Replaced r = ReplaceAll(d, "^x", "y\r\n", SF_REGEXP);
  EXPECT_EQ(3, r.count);
  EXPECT_EQ("y\r\ny\r\ny\r\n", d.Text());
  Doc e("xxx");
  r = ReplaceAll(e, "^x", "", SF_REGEXP);  // the empty replacement leaves the rest at the line start
  EXPECT_EQ(3, r.count);
  EXPECT_EQ("", e.Text());
  Doc f("xxx");
  r = ReplaceAll(f, "^x", "z", SF_REGEXP);
  EXPECT_EQ(1, r.count);
  EXPECT_EQ("zxx", f.Text());
}

// A replacement ending in a lead byte of its own makes a two-byte character
// with the next byte; the search goes on behind that character, never inside
// what was inserted.
TEST(ReplaceAll, AReplacementEndingInALeadByteDoesNotLoop) {
  Doc d("AAA");
  const std::string lead(1, '\x83');
  const Replaced r = ReplaceAll(d, "A", lead);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(2, r.count);
  EXPECT_EQ("ア" + lead, d.Text());  // 83 41 83

  // The caret ends behind the character the last replacement formed.
  Doc e("xAb");
  const Replaced s = ReplaceAll(e, "A", lead);
  EXPECT_EQ(1, s.count);
  EXPECT_EQ("x" + lead + "b", e.Text());
  EXPECT_EQ(Pt(3, 0), e.body->ptCaret);
  EXPECT_EQ(Pt(3, 0), e.body->ptSelect);
}

// Remembers everything replace all promises to leave as it was.
struct Snapshot {
  std::string text;
  std::vector<std::string> undo;
  std::vector<std::string> redo;
  POINT caret;
  POINT anchor;
  bool modified;
  int32_t lastId;

  static std::vector<std::string> Stack(const EditRecord* r) {
    std::vector<std::string> out;
    for (; r; r = r->pNext) {
      out.push_back(std::to_string(r->id) + ":" + Range({r->ptStart, r->ptEnd}) + ":" +
                    std::string(r->string ? r->string : "", r->length > 0 ? static_cast<size_t>(r->length) : 0));
    }
    return out;
  }
  explicit Snapshot(Doc& d)
      : text(d.Text()),
        undo(Stack(d.body->allocator->pUndo)),
        redo(Stack(d.body->allocator->pRedo)),
        caret(d.body->ptCaret),
        anchor(d.body->ptSelect),
        modified(EditBody_GetModified(d.body)),
        lastId(d.body->allocator->nLastId) {}
  bool operator==(const Snapshot& o) const {
    return text == o.text && undo == o.undo && redo == o.redo && caret == o.caret && anchor == o.anchor &&
           modified == o.modified && lastId == o.lastId;
  }
};

// A document with undo steps, a redo step, a selection and the modified flag set.
void MakeHistory(Doc& d) {
  d.Select(Pt(0, 0), Pt(0, 0));
  d.Type("q");
  d.Type("r");
  ASSERT_TRUE(EditBody_Undo(d.body));
  d.Select(Pt(1, 0), Pt(0, 1));
}

TEST(ReplaceAll, TooComplexAnywhereChangesNothing) {
  Doc d("abc\r\nabc\r\n" + std::string(30, 'a') + "!\r\nabc");
  MakeHistory(d);
  const Snapshot before(d);
  const Replaced r = ReplaceAll(d, "abc|^(a|a)*$", "X", SF_REGEXP);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(SEARCH_TOO_COMPLEX, r.status);
  EXPECT_EQ(0, r.count);
  EXPECT_TRUE(before == Snapshot(d));
}

// Only the replacements make the hard line: the search over the original text
// sees "^" fail after the "x", the run itself meets it at a line start, and
// takes back what it did.
TEST(ReplaceAll, ALineMadeHardByTheReplacementsTakesThemBack) {
  Doc d("x\r\nx" + std::string(40, 'a') + "\r\nx");
  MakeHistory(d);
  const Snapshot before(d);
  const std::string pattern = "x|^(a|a)*b";
  Searcher* s = Searcher_Create(pattern.data(), static_cast<int32_t>(pattern.size()), SF_REGEXP, true);
  ASSERT_TRUE(s);
  Searcher_SetStepLimits(s, 200000, 0, 0);
  int32_t count = -1;
  int32_t status = -1;
  int calls = d.log.calls;
  EXPECT_FALSE(Search_ReplaceAllWith(d.body, s, "\r\n", 2, &count, &status));
  EXPECT_EQ(SEARCH_TOO_COMPLEX, status);
  EXPECT_EQ(0, count);
  // The first line's replacement was made and taken back, the window told of
  // each; the hard line's search came before its own replacement.
  EXPECT_EQ(2, d.log.calls - calls);
  EXPECT_TRUE(before == Snapshot(d));
  // Without the line end in the replacement the same run has nothing to take back.
  EXPECT_TRUE(Search_ReplaceAllWith(d.body, s, "y", 1, &count, &status));
  EXPECT_EQ(3, count);
  Searcher_Free(s);
}

TEST(ReplaceAll, MemoryRunningOutTakesEverythingBack) {
  bool sawFailure = false;
  bool sawSuccess = false;
  bool sawPartial = false;
  for (long k = 0; k < 200 && !sawSuccess; ++k) {
    Doc d("ab ab\r\nab\r\nxab");
    MakeHistory(d);
    const Snapshot before(d);
    Mem_FailAfter(k);
    const Replaced r = ReplaceAll(d, "ab", "表\r\n");
    Mem_ClearFault();
    if (r.ok) {
      sawSuccess = true;
      EXPECT_EQ(4, r.count);
      EXPECT_EQ("q表\r\n 表\r\n\r\n表\r\n\r\nx表\r\n", d.Text());
      continue;
    }
    sawFailure = true;
    EXPECT_EQ(SEARCH_NOMEMORY, r.status);
    if (r.count == 0) {
      EXPECT_TRUE(before == Snapshot(d)) << "after " << k << " allocations";
    } else {
      // Memory stayed short while taking back: what stays is one undo step
      // per replacement left, and undoing them gives the text back.
      EXPECT_EQ(static_cast<int32_t>(before.undo.size()) + r.count, UndoDepth(d));
      EXPECT_EQ(0, RedoDepth(d));
      for (int32_t i = 0; i < r.count; ++i) ASSERT_TRUE(EditBody_Undo(d.body));
      EXPECT_EQ(before.text, d.Text());
      sawPartial = true;
    }
  }
  EXPECT_TRUE(sawFailure);
  EXPECT_TRUE(sawPartial);
  EXPECT_TRUE(sawSuccess);
}

TEST(ReplaceAll, WholeWordsAndFoldingApply) {
  Doc d("cat Cat ｃａｔ concat cats\r\nCAT");
  const Replaced r = ReplaceAll(d, "cat", "dog", SF_WHOLEWORD | SF_IGNORECASE | SF_IGNOREWIDTH);
  EXPECT_EQ(4, r.count);
  EXPECT_EQ("dog dog dog concat cats\r\ndog", d.Text());
}

// The loop as the text describes it: each match replaced as an edit of its
// own, the next search going on from the end of the inserted text.
void ReferenceReplaceAll(Doc& d, const std::string& pattern, uint32_t options, const std::string& replacement) {
  Searcher* s = Searcher_Create(pattern.data(), static_cast<int32_t>(pattern.size()), options, true);
  ASSERT_TRUE(s);
  POINT from = {0, 0};
  TextRange found;
  while (Search_FindForward(d.body->text, s, from, &found)) {
    POINT end;
    ASSERT_TRUE(EditBody_ReplaceRange(d.body, found, replacement.data(), static_cast<int32_t>(replacement.size()),
                                      true, &end));
    from = end;
  }
  EXPECT_EQ(SEARCH_NOTFOUND, Searcher_GetStatus(s));
  Searcher_Free(s);
}

// Replacing a line's matches together leaves the same text, the same undo
// steps (ids, ranges, bytes), caret and flags as replacing them one by one,
// also where replacements bring line starts ("^") and word ends along.
TEST(ReplaceAll, ALinesMatchesReplacedTogetherAreTheSameAsOneByOne) {
  searchtest::Rng rng = {31};
  const char* patterns[] = {"a", "A", "東京", "\\", "^.", "a+", ".$", "^", "[aA]|ア", "b*", "ア.", "\\s"};
  const char* replacements[] = {"", "x", "表", "ア\r\n", "\r\n", "\r", "\n", "a\rb", "aa", "ａ", " ", "東", "\n\r"};
  int64_t replaced = 0;
  for (int round = 0; round < 800; ++round) {
    std::string text;
    const int lines = 1 + static_cast<int>(rng.Below(4));
    for (int line = 0; line < lines; ++line) {
      text += searchtest::RandomText(&rng, static_cast<int32_t>(rng.Below(30))) + (line + 1 < lines ? "\r\n" : "");
    }
    const size_t pi = rng.Below(sizeof(patterns) / sizeof(patterns[0]));
    const std::string pattern = patterns[pi];
    uint32_t options = (pi >= 3 ? uint32_t(SF_REGEXP) : 0u) | (rng.Below(2) ? 6u : 0u) | (rng.Below(3) == 0 ? 8u : 0u);
    const std::string replacement = replacements[rng.Below(sizeof(replacements) / sizeof(replacements[0]))];
    Doc together(text);
    Doc oneByOne(text);
    MakeHistory(together);
    MakeHistory(oneByOne);
    const Replaced r = ReplaceAll(together, pattern, replacement, options);
    ASSERT_TRUE(r.ok);
    ReferenceReplaceAll(oneByOne, pattern, options, replacement);
    ASSERT_TRUE(Snapshot(oneByOne) == Snapshot(together))
        << "pattern " << pattern << " options " << options << " replacement " << replacement << " text " << text
        << "\n got " << together.Text() << "\n want " << oneByOne.Text();
    replaced += r.count;
  }
  EXPECT_GT(replaced, 1000);
}

// Deleting whole words: what the deletions leave before the next match
// decides whether it is a word of its own. After 東 and 東 are gone from
// 東イ東ア, ア follows イ, so it is not.
TEST(ReplaceAll, WordsAfterDeletedWordsSeeWhatWasLeftBeforeThem) {
  for (uint32_t kind : {0u, static_cast<uint32_t>(SF_REGEXP)}) {
    const std::string pattern = kind ? "東|ア" : "東";
    Doc together("東イ東ア東");
    Doc oneByOne("東イ東ア東");
    const Replaced r = ReplaceAll(together, pattern, "", SF_WHOLEWORD | kind);
    ReferenceReplaceAll(oneByOne, pattern, SF_WHOLEWORD | kind, "");
    EXPECT_EQ(3, r.count);
    EXPECT_EQ("イア", together.Text());
    EXPECT_TRUE(Snapshot(oneByOne) == Snapshot(together)) << oneByOne.Text();
  }
}

TEST(ReplaceAll, ALongLineWithManyMatchesTakesTimeInProportion) {
  std::string line;
  for (int i = 0; i < 250000; ++i) line += "ab";
  Doc d(line + "\r\nab");
  const int calls = d.log.calls;
  const Replaced r = ReplaceAll(d, "a", "東京");
  EXPECT_EQ(250001, r.count);
  EXPECT_EQ(250001, UndoDepth(d));
  EXPECT_EQ(2, d.log.calls - calls);  // one change per line for the window
  std::string want;
  for (int i = 0; i < 250000; ++i) want += "東京b";
  EXPECT_EQ(want + "\r\n東京b", d.Text());
  EXPECT_EQ(Pt(4, 1), d.body->ptCaret);
  ASSERT_TRUE(EditBody_Undo(d.body));
  ASSERT_TRUE(EditBody_Undo(d.body));
  EXPECT_EQ("ab", d.Line(1));
  EXPECT_EQ("東京bab", d.Line(0).substr(d.Line(0).size() - 7));
  // Splitting the line at every "b" makes a line of each.
  Doc e(line);
  const Replaced split = ReplaceAll(e, "b", "\r\n");
  EXPECT_EQ(250000, split.count);
  EXPECT_EQ(250001, TextData_GetCount(e.body->text));
}

}  // namespace

namespace {

// A report that says stop at its `stopAt`-th call, counting the calls and what they told.
struct StopAt {
  int calls = 0;
  int stopAt = 1;
  int64_t lastDone = -1;
  int64_t lastTotal = -1;
  bool ordered = true;
  static bool Report(void* context, int64_t done, int64_t total) {
    StopAt* s = static_cast<StopAt*>(context);
    s->ordered = s->ordered && done > s->lastDone && done <= total;
    s->lastDone = done;
    s->lastTotal = total;
    return ++s->calls < s->stopAt;
  }
};

TEST(SearchProgress, StoppingASearchOrAReplaceAllChangesNothing) {
  // A document long enough for reports, hits in its first lines, the only
  // needle in its last line.
  std::string text;
  for (int i = 0; i < 5 * kSearchProgressLines / 2; ++i) text += i < 10 ? "hit\r\n" : "line\r\n";
  text += "needle";
  Doc d(text);
  d.Select({1, 0}, {2, 0});
  StopAt go = {0, 1 << 30};
  const TextProgress onward = {StopAt::Report, &go};
  TextRange found = {};
  int32_t status = -1;
  EXPECT_TRUE(Search_FindNext(d.body, "needle", 6, SF_IGNORECASE, &found, &status, &onward));
  EXPECT_GE(go.calls, 2);
  EXPECT_TRUE(go.ordered);
  EXPECT_EQ(5 * kSearchProgressLines / 2, found.start.y);
  // Stopped forward and backward: nothing found, the selection as it was.
  for (bool forward : {true, false}) {
    const POINT at = forward ? POINT{1, 0} : TextData_EndOfDocument(d.body->text);
    d.Select(at, at);
    StopAt stop;
    const TextProgress halt = {StopAt::Report, &stop};
    const bool ok = forward ? Search_FindNext(d.body, "needle", 6, 0, &found, &status, &halt)
                            : Search_FindPrev(d.body, "zzz", 3, 0, &found, &status, &halt);
    EXPECT_FALSE(ok);
    EXPECT_EQ(SEARCH_STOPPED, status);
    EXPECT_EQ(at, EditBody_GetCaret(d.body));
    EXPECT_TRUE(EditBody_IsSelectionEmpty(d.body));
  }
  // Replace all stopped halfway takes back the replacements it made: a pattern
  // search is stopped in its replacing, after its dry run's two reports.
  for (uint32_t options : {0u, uint32_t(SF_REGEXP)}) {
    StopAt late = {0, options ? 4 : 2};
    const TextProgress halfway = {StopAt::Report, &late};
    int32_t count = -1;
    EXPECT_FALSE(Search_ReplaceAll(d.body, "HIT", 3, "hit", 3, options, &count, &status, &halfway));
    EXPECT_EQ(SEARCH_STOPPED, status);
    EXPECT_EQ(late.stopAt, late.calls);
    EXPECT_EQ(0, count);
    EXPECT_EQ(text, d.Text());
    EXPECT_FALSE(EditBody_CanUndo(d.body));
    EXPECT_FALSE(EditBody_GetModified(d.body));
  }
}

}  // namespace
