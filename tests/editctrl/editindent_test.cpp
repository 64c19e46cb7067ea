#include "editctrl/editindent.h"

#include <gtest/gtest.h>

#include <string>

#include "editctrl/bodyfixture.h"
#include "tools/memory.h"

namespace {

std::string Indent(const std::string& s) {
  char* out = nullptr;
  int32_t n = -1;
  if (!EditIndent_IndentText(s.data(), static_cast<int32_t>(s.size()), &out, &n)) return "<failed>";
  std::string r(out ? out : "", static_cast<size_t>(n));
  Mem_Free(out);
  return r;
}

std::string Unindent(const std::string& s, int32_t tab) {
  char* out = nullptr;
  int32_t n = -1;
  if (!EditIndent_UnindentText(s.data(), static_cast<int32_t>(s.size()), tab, &out, &n)) return "<failed>";
  std::string r(out ? out : "", static_cast<size_t>(n));
  Mem_Free(out);
  return r;
}

TEST(EditIndentText, TabAtEveryLineStartButNotBehindAFinalLineFeed) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"a", "\ta"},
      {"a\r\nb", "\ta\r\n\tb"},
      {"a\r\nb\r\n", "\ta\r\n\tb\r\n"},
      {"\r\n\r\n", "\t\r\n\t\r\n"},
      {"", "\t"},
      {"あ\r\n漢字", "\tあ\r\n\t漢字"},
      // The document ends lines at every LF byte, a lead byte before it or not.
      {"\x83\x0a\x83\x0a", "\t\x83\x0a\t\x83\x0a"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.out, Indent(c.in)) << "indenting \"" << c.in << "\"";
}

TEST(EditIndentText, UnindentTakesAtMostATabWidthAndStopsAfterATab) {
  struct Case {
    const char* in;
    int32_t tab;
    const char* out;
  } cases[] = {
      {"      x", 4, "  x"},
      {" \tx", 4, "x"},
      {"\t\tx", 4, "\tx"},
      {"\t x", 4, " x"},
      {"  x\r\n    y\r\n\tz", 4, "x\r\ny\r\nz"},
      {"x  ", 4, "x  "},      // only leading blanks
      {"  ", 8, ""},
      {"   a\r   b\n   c", 2, " a\r b\n c"},  // lone CR and LF start lines too
      {"\x81\x40x", 4, "\x81\x40x"},          // a full-width space is not a blank
      {"         x", 1, "        x"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.out, Unindent(c.in, c.tab)) << "unindenting \"" << c.in << "\"";
}

TEST(EditIndentText, OutOfMemoryIsAFalseResult) {
  char* out = reinterpret_cast<char*>(1);
  int32_t n = 0;
  Mem_FailAfter(0);
  bool ok = EditIndent_IndentText("a\r\nb", 4, &out, &n);
  Mem_ClearFault();
  EXPECT_FALSE(ok);
  EXPECT_EQ(nullptr, out);
}

TEST(EditIndentApply, IndentSelectsWholeLinesAndIsOneUndoStep) {
  Body b;
  b.Type("ab\r\ncd\r\nef");
  b.Select(Pt(1, 0), Pt(1, 1));
  ASSERT_EQ(EDITINDENT_CHANGED, EditIndent_Apply(b.body, false));
  EXPECT_EQ("\tab\r\n\tcd\r\nef", b.Text());
  EXPECT_EQ(Pt(0, 0), b.body->ptSelect);
  EXPECT_EQ(Pt(0, 2), b.body->ptCaret);
  EXPECT_TRUE(EditBody_Undo(b.body));
  EXPECT_EQ("ab\r\ncd\r\nef", b.Text());
}

TEST(EditIndentApply, SelectionEndingAtALineStartLeavesThatLine) {
  Body b;
  b.Type("ab\r\ncd\r\nef");
  b.Select(Pt(0, 2), Pt(1, 0));  // caret before the anchor
  ASSERT_EQ(EDITINDENT_CHANGED, EditIndent_Apply(b.body, false));
  EXPECT_EQ("\tab\r\n\tcd\r\nef", b.Text());
  // The last line of the document has no line end: its indent reaches the end.
  b.Select(Pt(1, 2), Pt(1, 2));
  ASSERT_EQ(EDITINDENT_CHANGED, EditIndent_Apply(b.body, false));
  EXPECT_EQ("\tab\r\n\tcd\r\n\tef", b.Text());
  EXPECT_EQ(Pt(0, 2), b.body->ptSelect);
  EXPECT_EQ(Pt(3, 2), b.body->ptCaret);
}

TEST(EditIndentApply, UnindentWithNothingToTakeChangesNothing) {
  Body b;
  b.Type("ab\r\n  cd");
  EditBody_SetModified(b.body, false);
  b.Select(Pt(1, 0), Pt(1, 0));
  EXPECT_EQ(EDITINDENT_UNCHANGED, EditIndent_Apply(b.body, true));
  EXPECT_FALSE(EditBody_GetModified(b.body));
  EXPECT_EQ(Pt(0, 0), b.body->ptSelect);
  EXPECT_EQ(Pt(0, 1), b.body->ptCaret) << "the line is selected all the same";
  b.Select(Pt(0, 0), Pt(8, 1));
  ASSERT_EQ(EDITINDENT_CHANGED, EditIndent_Apply(b.body, true));
  EXPECT_EQ("ab\r\ncd", b.Text());
  EXPECT_EQ(Pt(2, 1), b.body->ptCaret);
}

TEST(EditIndentApply, ReadOnlyOnlySelects) {
  Body b;
  b.Type("ab\r\ncd");
  b.Select(Pt(1, 0), Pt(1, 0));
  EditBody_SetReadOnly(b.body, true);
  EXPECT_EQ(EDITINDENT_FAILED, EditIndent_Apply(b.body, false));
  EXPECT_EQ("ab\r\ncd", b.Text());
  EXPECT_EQ(Pt(0, 1), b.body->ptCaret);
}

}  // namespace
