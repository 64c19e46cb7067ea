// The editor control driven by key-downs and typed characters, as the message
// loop delivers them: the document, the caret and the selection read back through
// the control interface, and what the parent was told, in order.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "win/edithost.h"

namespace {

// The notifications every change of the caret, the selection or the text sends.
const char kChangeEvents[] = "WM_COMMAND(0x300, 101)\nTEN_UPDATE(0, 0)\n";

std::string TempPath(const char* name) {
  char dir[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, dir);
  return std::string(dir) + name;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(EditorTest, TypedDoubleByteCharactersAreWholeEditsAndSaveAsTheirBytes) {
  Chars({0x82, 0xA0, 0x82, 0xA2, 0x82, 0xA4});
  EXPECT_EQ("\x82\xA0\x82\xA2\x82\xA4", Text());
  EXPECT_EQ(POINT({6, 0}), Caret());
  std::string path = TempPath("qwil-typed.txt");
  ASSERT_TRUE(TextEditor_SaveFile(hEditor, path.c_str()));
  EXPECT_EQ("\x82\xA0\x82\xA2\x82\xA4", FileBytes(path));
  DeleteFileA(path.c_str());
  // One undo takes the whole last character, never half of it.
  ASSERT_TRUE(TextEditor_Undo(hEditor));
  EXPECT_EQ("\x82\xA0\x82\xA2", Text());
  EXPECT_EQ(POINT({4, 0}), Caret());
  ASSERT_TRUE(TextEditor_Undo(hEditor));
  EXPECT_EQ("\x82\xA0", Text());
}

TEST_F(EditorTest, EachTypedCharacterNotifiesOnceAfterItsEdit) {
  Chars({'a'});
  EXPECT_EQ(kChangeEvents, HostEventList());
  HostEvents().clear();
  Chars({0x82});  // a lead byte alone waits: nothing changes, nobody is told
  EXPECT_EQ("", HostEventList());
  Chars({0xA0});
  EXPECT_EQ(kChangeEvents, HostEventList());
  EXPECT_EQ("a\x82\xA0", Text());
  const HostEvent& command = HostEvents()[0];
  EXPECT_EQ(hEditor, command.hFrom);
  EXPECT_EQ(101u, command.nId);
  EXPECT_EQ(hEditor, HostEvents()[1].hFrom);
  EXPECT_EQ(101u, HostEvents()[1].nId);
}

TEST_F(EditorTest, AWaitingLeadByteIsDroppedByOtherInput) {
  SetText("xy");
  struct Case {
    const char* pWhat;
    void (*pfnBetween)(EditorTest* t);
  } cases[] = {
      {"a key", [](EditorTest* t) { t->Key(VK_HOME); }},
      {"a focus change", [](EditorTest* t) {
         SetFocus(t->hHost);
         SetFocus(t->hEditor);
       }},
      {"a click", [](EditorTest* t) { SendMessageA(t->hEditor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1)); }},
      {"an edit from outside", [](EditorTest* t) { TextEditor_SetCaret(t->hEditor, {0, 0}, true); }},
  };
  for (const Case& c : cases) {
    SetText("xy");
    Chars({0x82});
    c.pfnBetween(this);
    SendMessageA(hEditor, WM_LBUTTONUP, 0, 0);
    Chars({0xA0});
    // The trail byte alone is a half-width katakana; the lead byte is gone.
    EXPECT_EQ("\xA0xy", Text()) << "after " << c.pWhat;
  }
}

TEST_F(EditorTest, ControlBytesAreIgnoredAndCarriageReturnBreaksTheLine) {
  SetText("");
  Chars({'a', 1, 27, 127, 0xFD, 0xFF, 13, 'b'});
  EXPECT_EQ("a\r\nb", Text());
  EXPECT_EQ(2, TextEditor_GetLineCount(hEditor));
  EXPECT_EQ(POINT({1, 1}), Caret());
}

TEST_F(EditorTest, CaretKeysOnTwoLines) {
  SetText("abc\r\ndef");
  Key(VK_END, true);
  EXPECT_EQ(POINT({3, 1}), Caret());
  Key(VK_HOME, false, true);
  EXPECT_EQ(3, TextEditor_GetSelectedLength(hEditor));
  EXPECT_EQ("def", Selected());
  EXPECT_EQ(POINT({3, 1}), Anchor());
  Key(VK_ESCAPE);
  EXPECT_FALSE(TextEditor_HasSelection(hEditor));
  EXPECT_EQ(POINT({0, 1}), Caret());
  Key(VK_END, false, true);
  Key(VK_DELETE);
  EXPECT_EQ(5, TextEditor_GetTextLength(hEditor));
  EXPECT_EQ("abc\r\n", Text());
  Key(VK_HOME, true);
  EXPECT_EQ(POINT({0, 0}), Caret());
  Key(VK_DELETE);  // no selection: the character after the caret
  EXPECT_EQ("bc\r\n", Text());
  Key(VK_END);
  Key(VK_DELETE);  // the line end
  EXPECT_EQ("bc", Text());
}

TEST_F(EditorTest, EveryKeyDownIsReportedBeforeItIsHandled) {
  SetText("ab");
  Key(VK_RIGHT);
  EXPECT_EQ("TEN_KEYDOWN(0x27, 0x1)\n" + std::string(kChangeEvents), HostEventList());
  HostEvents().clear();
  Key('Q', true);  // not the control's key: only reported
  EXPECT_EQ("TEN_KEYDOWN(0x51, 0x1)\n", HostEventList());
  EXPECT_EQ(POINT({1, 0}), Caret());
}

TEST_F(EditorTest, AControlClosedByItsKeyDownNotificationIsLeftAlone) {
  SetText("abc");
  HostDestroyKey() = VK_DELETE;
  Key(VK_DELETE);
  HostDestroyKey() = 0;
  EXPECT_FALSE(IsWindow(hEditor));
  EXPECT_EQ("TEN_KEYDOWN(0x2e, 0x1)\n", HostEventList()) << "nothing after the control was gone";
  hEditor = nullptr;
  ASSERT_TRUE(Open(HostSettings()));
}

TEST_F(EditorTest, LockKeysGoOnToTheParentUnchanged) {
  for (UINT vk : {VK_CAPITAL, VK_KANA, VK_NUMLOCK, VK_SCROLL}) {
    HostEvents().clear();
    SendMessageA(hEditor, WM_KEYDOWN, vk, 0x003A0001);
    ASSERT_EQ(2u, HostEvents().size()) << HostEventList();
    EXPECT_EQ(TEN_KEYDOWN, HostEvents()[0].nCode);
    EXPECT_EQ(static_cast<UINT>(WM_KEYDOWN), HostEvents()[1].uMsg);
    EXPECT_EQ(static_cast<LPARAM>(vk), HostEvents()[1].lValue1);
    EXPECT_EQ(0x003A0001, HostEvents()[1].lValue2);
  }
}

TEST_F(EditorTest, WordKeysStopAtTheWordClassBoundaries) {
  // "abc" ASCII, "あいう" hiragana, "漢字" kanji, "カナ" katakana, " " then "x1".
  SetText("abcあいう漢字カナ x1");
  const int32_t stops[] = {3, 9, 13, 17, 18, 20};
  for (int32_t x : stops) {
    Key(VK_RIGHT, true);
    EXPECT_EQ(POINT({x, 0}), Caret()) << "Ctrl+Right towards " << x;
  }
  const int32_t back[] = {18, 17, 13, 9, 3, 0};
  for (int32_t x : back) {
    Key(VK_LEFT, true);
    EXPECT_EQ(POINT({x, 0}), Caret()) << "Ctrl+Left towards " << x;
  }
  // Shift extends the selection from where it started.
  Key(VK_RIGHT, true, true);
  Key(VK_RIGHT, true, true);
  EXPECT_EQ("abcあいう", Selected());
}

TEST_F(EditorTest, ArrowsStepWholeCharactersAndRowsKeepTheColumn) {
  SetText("aあb\r\n漢字xyz\r\nq");
  Key(VK_RIGHT);
  Key(VK_RIGHT);
  EXPECT_EQ(POINT({3, 0}), Caret()) << "over the two bytes of あ";
  Key(VK_DOWN);
  EXPECT_EQ(POINT({4, 1}), Caret()) << "column 3 lands behind 漢 (its left half ends at 2)";
  Key(VK_DOWN);
  EXPECT_EQ(POINT({1, 2}), Caret()) << "a shorter line: its end";
  Key(VK_LEFT);
  Key(VK_LEFT);
  EXPECT_EQ(POINT({7, 1}), Caret()) << "back over the line end";
  Key(VK_UP);
  EXPECT_EQ(POINT({4, 0}), Caret());
}

TEST_F(EditorTest, ReadOnlyRefusesEditsButStillNotifies) {
  SetText("abc");
  TextEditor_SetReadOnly(hEditor, true);
  struct Case {
    const char* pWhat;
    void (*pfnDo)(EditorTest* t);
  } cases[] = {
      {"typing", [](EditorTest* t) { t->Chars({'x'}); }},
      {"a double-byte character", [](EditorTest* t) { t->Chars({0x82, 0xA0}); }},
      {"Return", [](EditorTest* t) { t->Chars({13}); }},
      {"Backspace", [](EditorTest* t) { t->Chars({8}); }},
      {"Tab", [](EditorTest* t) { t->Chars({9}); }},
      {"Delete", [](EditorTest* t) { t->Key(VK_DELETE); }},
  };
  TextEditor_SetCaret(hEditor, {1, 0}, true);
  for (const Case& c : cases) {
    HostEvents().clear();
    c.pfnDo(this);
    EXPECT_EQ("abc", Text()) << c.pWhat;
    EXPECT_EQ(POINT({1, 0}), Caret()) << c.pWhat;
    EXPECT_FALSE(TextEditor_HasSelection(hEditor)) << c.pWhat;
    std::string expected = c.pfnDo == cases[5].pfnDo ? "TEN_KEYDOWN(0x2e, 0x1)\n" + std::string(kChangeEvents)
                                                     : std::string(kChangeEvents);
    EXPECT_EQ(expected, HostEventList()) << c.pWhat;
  }
  EXPECT_FALSE(TextEditor_GetModified(hEditor));
  EXPECT_FALSE(TextEditor_CanUndo(hEditor));
  // The caret still moves.
  Key(VK_END);
  EXPECT_EQ(POINT({3, 0}), Caret());
}

TEST_F(EditorTest, BackspaceAtTheStartDeletesNothingAndStillNotifies) {
  SetText("ab");
  Chars({8});
  EXPECT_EQ("ab", Text());
  EXPECT_EQ(kChangeEvents, HostEventList());
  EXPECT_FALSE(TextEditor_GetModified(hEditor)) << "nothing deleted, nothing modified";
  EXPECT_FALSE(TextEditor_CanUndo(hEditor)) << "no empty undo step";
  // Elsewhere it takes the character before the caret, two bytes or one, and
  // joins lines.
  SetText("aあ\r\nb");
  TextEditor_SetCaret(hEditor, {0, 1}, true);
  Chars({8});
  EXPECT_EQ("aあb", Text());
  Chars({8});
  EXPECT_EQ("ab", Text());
  EXPECT_EQ(POINT({1, 0}), Caret());
}

TEST_F(EditorTest, TabIndentsAndShiftTabUnindentsASelection) {
  SetText("ab\r\n    cd\r\nef");
  TextEditor_SetSelection(hEditor, {1, 0}, {2, 1});
  Chars({9});
  EXPECT_EQ("\tab\r\n\t    cd\r\nef", Text());
  EXPECT_EQ(POINT({0, 0}), Anchor());
  EXPECT_EQ(POINT({0, 2}), Caret());
  Chars({9}, true);
  EXPECT_EQ("ab\r\n    cd\r\nef", Text());
  Chars({9}, true);
  EXPECT_EQ("ab\r\ncd\r\nef", Text()) << "unindent takes at most a tab width of spaces";
  EXPECT_EQ(POINT({0, 2}), Caret());
  // A selection ending at a line's start leaves that line alone.
  TextEditor_SetSelection(hEditor, {0, 1}, {0, 2});
  Chars({9});
  EXPECT_EQ("ab\r\n\tcd\r\nef", Text());
  // Without a selection Tab inserts a tab and Shift+Tab does nothing.
  TextEditor_SetCaret(hEditor, {1, 2}, true);
  Chars({9});
  EXPECT_EQ("ab\r\n\tcd\r\ne\tf", Text());
  HostEvents().clear();
  Chars({9}, true);
  EXPECT_EQ("ab\r\n\tcd\r\ne\tf", Text());
  EXPECT_EQ("", HostEventList());
  // The indent was one undo step.
  TextEditor_Undo(hEditor);
  TextEditor_Undo(hEditor);
  EXPECT_EQ("ab\r\ncd\r\nef", Text());
}

TEST_F(EditorTest, TypingReplacesTheSelectionAndCollapsesBehindIt) {
  SetText("hello world");
  TextEditor_SetSelection(hEditor, {5, 0}, {0, 0});
  Chars({'H', 'i'});
  EXPECT_EQ("Hi world", Text());
  EXPECT_EQ(POINT({2, 0}), Caret());
  EXPECT_FALSE(TextEditor_HasSelection(hEditor));
  ASSERT_TRUE(TextEditor_Undo(hEditor));
  ASSERT_TRUE(TextEditor_Undo(hEditor));
  EXPECT_EQ("hello world", Text());
}

}  // namespace
