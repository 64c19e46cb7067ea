#include "editctrl/editselect.h"

#include <gtest/gtest.h>

#include <string>

#include "editctrl/bodyfixture.h"

namespace {

TextRange Range(POINT a, POINT b) { return {a, b}; }

::testing::AssertionResult IsRange(TextRange r, POINT start, POINT end) {
  if (r.start == start && r.end == end) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << r.start << "-" << r.end;
}

TEST(EditSelectWords, WordAtTakesTheRunAroundTheRangeEnd) {
  Body b;
  b.Type("abc def");
  EXPECT_TRUE(IsRange(EditBody_WordAt(b.body, Range(Pt(1, 0), Pt(1, 0))), Pt(0, 0), Pt(3, 0)));
  EXPECT_TRUE(IsRange(EditBody_WordAt(b.body, Range(Pt(3, 0), Pt(3, 0))), Pt(3, 0), Pt(4, 0)));  // the space
  EXPECT_TRUE(IsRange(EditBody_WordAt(b.body, Range(Pt(0, 0), Pt(5, 0))), Pt(4, 0), Pt(7, 0)));  // by its end
  // At the end of the last line: the word before it.
  EXPECT_TRUE(IsRange(EditBody_WordAt(b.body, Range(Pt(7, 0), Pt(7, 0))), Pt(4, 0), Pt(7, 0)));
}

TEST(EditSelectWords, KanaKanjiAndTheLongVowelMark) {
  Body b;
  b.Type("あいアイ漢字\r\nアーあーア");
  // Bytes: あ 0, い 2, ア 4, イ 6, 漢 8, 字 10.
  EXPECT_TRUE(IsRange(EditBody_WordAt(b.body, Range(Pt(4, 0), Pt(4, 0))), Pt(4, 0), Pt(8, 0)));
  EXPECT_TRUE(IsRange(EditBody_WordAt(b.body, Range(Pt(10, 0), Pt(10, 0))), Pt(8, 0), Pt(12, 0)));
  EXPECT_TRUE(IsRange(EditBody_WordAt(b.body, Range(Pt(0, 0), Pt(0, 0))), Pt(0, 0), Pt(4, 0)));
  // "ー" joins a katakana run and a hiragana run, but once it has joined one, the
  // other kind ends the run, since the run's classes are ANDed.
  EXPECT_EQ(Pt(4, 1), EditBody_WordEnd(b.body, Pt(0, 1)));     // アー
  EXPECT_EQ(Pt(8, 1), EditBody_WordEnd(b.body, Pt(4, 1)));     // あー
  EXPECT_EQ(Pt(2, 1), EditBody_WordStart(b.body, Pt(8, 1)));   // back over ーあー
  EXPECT_EQ(Pt(6, 1), EditBody_WordStart(b.body, Pt(10, 1)));  // back over ーア; あ ends it
  b.Type("\r\nーアあ");
  EXPECT_EQ(Pt(4, 2), EditBody_WordEnd(b.body, Pt(0, 2)));  // ー took the katakana side: あ ends it
}

TEST(EditSelectWords, CombinedClassesJoinLettersAndPunctuation) {
  Body b;
  b.Type("ab_c9 !!#_x \t y");
  EXPECT_EQ(Pt(5, 0), EditBody_WordEnd(b.body, Pt(0, 0)));   // "_" joins letters and digits
  EXPECT_EQ(Pt(10, 0), EditBody_WordEnd(b.body, Pt(6, 0)));  // "!!#_" is punctuation, then x is not
  EXPECT_EQ(Pt(14, 0), EditBody_WordEnd(b.body, Pt(11, 0))); // space and tab form one run
  EXPECT_EQ(Pt(0, 0), EditBody_WordStart(b.body, Pt(5, 0)));
  EXPECT_EQ(Pt(6, 0), EditBody_WordStart(b.body, Pt(10, 0)));
  b.Type(" #a!");
  EXPECT_EQ(Pt(18, 0), EditBody_WordEnd(b.body, Pt(16, 0)));  // "#a" is letters now, so "!" ends it
}

TEST(EditSelectWords, WordStepsCrossLineEndsAndStopAtTheDocumentEnds) {
  Body b;
  b.Type("one\r\ntwo\r\n");
  EXPECT_EQ(Pt(0, 1), EditBody_WordEnd(b.body, Pt(3, 0)));
  EXPECT_EQ(Pt(3, 0), EditBody_WordStart(b.body, Pt(0, 1)));
  EXPECT_EQ(Pt(0, 0), EditBody_WordStart(b.body, Pt(0, 0)));
  EXPECT_EQ(Pt(0, 2), EditBody_WordEnd(b.body, Pt(0, 2)));
  // At the end of a line that has a next line the range stays as it was.
  EXPECT_TRUE(IsRange(EditBody_WordAt(b.body, Range(Pt(1, 0), Pt(3, 0))), Pt(1, 0), Pt(3, 0)));
  // An empty last line has no word: the line end before it is not selected.
  EXPECT_TRUE(IsRange(EditBody_WordAt(b.body, Range(Pt(0, 2), Pt(0, 2))), Pt(0, 2), Pt(0, 2)));
}

TEST(EditSelectWords, BrokenBytesAndNulAreCharactersOfTheirOwn) {
  Body b;
  std::string line = std::string("ab") + '\0' + '\0' + "cd" + "\x81";  // a lone lead byte at the end
  b.Type(line);
  EXPECT_EQ(Pt(2, 0), EditBody_WordEnd(b.body, Pt(0, 0)));
  EXPECT_EQ(Pt(4, 0), EditBody_WordEnd(b.body, Pt(2, 0)));  // the NUL run
  EXPECT_EQ(Pt(6, 0), EditBody_WordEnd(b.body, Pt(4, 0)));
  EXPECT_EQ(Pt(7, 0), EditBody_WordEnd(b.body, Pt(6, 0)));
  EXPECT_EQ(Pt(6, 0), EditBody_WordStart(b.body, Pt(7, 0)));
  EXPECT_EQ(Pt(2, 0), EditBody_WordStart(b.body, Pt(4, 0)));
}

TEST(EditSelectLines, LinesOfARange) {
  Body b;
  for (int i = 0; i < 6; ++i) b.Type("line\r\n");
  b.Type("last");  // lines 0..6
  EXPECT_TRUE(IsRange(EditBody_LinesOf(b.body, Range(Pt(2, 3), Pt(0, 5))), Pt(0, 3), Pt(0, 5)));
  EXPECT_TRUE(IsRange(EditBody_LinesOf(b.body, Range(Pt(2, 3), Pt(1, 5))), Pt(0, 3), Pt(0, 6)));
  EXPECT_TRUE(IsRange(EditBody_LinesOf(b.body, Range(Pt(2, 3), Pt(1, 6))), Pt(0, 3), Pt(4, 6)));  // the end
  EXPECT_TRUE(IsRange(EditBody_LinesOf(b.body, Range(Pt(4, 2), Pt(4, 2))), Pt(0, 2), Pt(0, 3)));
  b.Select(Pt(3, 1), Pt(1, 0));  // made backwards
  EditBody_SelectLines(b.body);
  EXPECT_EQ(Pt(0, 0), b.body->ptSelect);
  EXPECT_EQ(Pt(0, 2), b.body->ptCaret);
  EXPECT_TRUE(IsRange(EditBody_WholeDocument(b.body), Pt(0, 0), Pt(4, 6)));
}

TEST(EditSelectText, SelectedTextJoinsLinesWithCrLf) {
  Body b;
  b.Type("ab\ncd");
  b.Select(Pt(1, 1), Pt(1, 0));
  EXPECT_EQ(4, EditBody_GetSelectedSize(b.body));
  char buf[8] = {};
  EXPECT_EQ(4, EditBody_GetSelectedText(b.body, buf, sizeof(buf)));
  EXPECT_EQ(std::string("b\r\nc"), std::string(buf, 4));
  EXPECT_EQ(2, EditBody_GetSelectedText(b.body, buf, 2));
  EXPECT_EQ(0, EditBody_GetSelectedText(b.body, nullptr, 8));
  EXPECT_EQ(6, EditBody_GetTextSize(b.body));
  EXPECT_FALSE(EditBody_IsSelectionEmpty(b.body));
  EditBody_Collapse(b.body);
  EXPECT_TRUE(EditBody_IsSelectionEmpty(b.body));
  EXPECT_EQ(Pt(1, 0), b.body->ptSelect);
  EXPECT_EQ(0, EditBody_GetSelectedSize(b.body));
}

TEST(EditSelectCaret, CaretInformationGivesTheCodeAndTheDisplayPoint) {
  Body b(TestInfo(true, 10));
  b.Type("abcdefghijあ\r\nx\ny");
  b.Select(Pt(10, 0), Pt(10, 0));
  EditCaretInfo info = EditBody_GetCaretInfo(b.body);
  EXPECT_EQ(0x82A0, info.nCode);
  EXPECT_EQ(Pt(1, 1), info.ptDisplay);  // the second row of the wrapped line
  EditBody_SetCaret(b.body, Pt(12, 0));
  EXPECT_EQ(13, EditBody_GetCaretInfo(b.body).nCode);  // a CR LF line end
  EditBody_SetCaret(b.body, Pt(1, 1));
  EXPECT_EQ(10, EditBody_GetCaretInfo(b.body).nCode);
  EditBody_SetCaret(b.body, EditBody_DocumentEnd(b.body));
  EXPECT_EQ(0, EditBody_GetCaretInfo(b.body).nCode);
  EXPECT_EQ(Pt(1, 3), EditBody_GetCaretInfo(b.body).ptDisplay);
}

TEST(EditSelectCaret, PositionsFromOutsideAreClampedOntoCharacterStarts) {
  Body b;
  b.Type("aあb\r\nxy");
  EditBody_SetCaret(b.body, Pt(2, 0));  // inside あ
  EXPECT_EQ(Pt(1, 0), b.body->ptCaret);
  EditBody_SetCaret(b.body, Pt(99, 99));
  EXPECT_EQ(Pt(2, 1), b.body->ptCaret);
  EditBody_SetSelection(b.body, Pt(-4, -4), Pt(7, 0));
  EXPECT_EQ(Pt(0, 0), b.body->ptSelect);
  EXPECT_EQ(Pt(4, 0), b.body->ptCaret);
  b.Type("!");  // a clamped selection is safe to replace
  EXPECT_EQ("!\r\nxy", b.Text());
}

TEST(EditSelectCaret, CharacterLineAndDocumentSteps) {
  Body b;
  b.Type("aあ\r\n\r\nz");
  EXPECT_EQ(Pt(1, 0), EditBody_NextChar(b.body, Pt(0, 0)));
  EXPECT_EQ(Pt(3, 0), EditBody_NextChar(b.body, Pt(1, 0)));
  EXPECT_EQ(Pt(0, 1), EditBody_NextChar(b.body, Pt(3, 0)));
  EXPECT_EQ(Pt(1, 2), EditBody_NextChar(b.body, Pt(1, 2)));  // the end stays
  EXPECT_EQ(Pt(1, 0), EditBody_PrevChar(b.body, Pt(3, 0)));
  EXPECT_EQ(Pt(3, 0), EditBody_PrevChar(b.body, Pt(0, 1)));
  EXPECT_EQ(Pt(0, 0), EditBody_PrevChar(b.body, Pt(0, 0)));
  EXPECT_EQ(Pt(3, 0), EditBody_LineEnd(b.body, Pt(1, 0)));
  EXPECT_EQ(Pt(0, 2), EditBody_LineStart(b.body, Pt(1, 2)));
  EXPECT_EQ(Pt(1, 2), EditBody_DocumentEnd(b.body));
}

}  // namespace
