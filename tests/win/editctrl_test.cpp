// The editor control interface: creation, settings, text queries and every
// editing call, with what the parent is told after each.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "editctrl/editstyle_win.h"
#include "win/edithost.h"

namespace {

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

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

TEST_F(EditorTest, ClassAndWindowAreAsTheHostAskedPlusTheirOwn) {
  char name[64] = {};
  GetClassNameA(hEditor, name, sizeof(name));
  EXPECT_STREQ("TextEditorControl", name);
  EXPECT_EQ(static_cast<ULONG_PTR>(CS_DBLCLKS), GetClassLongPtrA(hEditor, GCL_STYLE) & CS_DBLCLKS);
  EXPECT_EQ(reinterpret_cast<ULONG_PTR>(GetStockObject(NULL_BRUSH)), GetClassLongPtrA(hEditor, GCLP_HBRBACKGROUND));
  EXPECT_EQ(reinterpret_cast<ULONG_PTR>(LoadCursor(nullptr, IDC_IBEAM)), GetClassLongPtrA(hEditor, GCLP_HCURSOR));
  LONG_PTR style = GetWindowLongPtrA(hEditor, GWL_STYLE);
  EXPECT_EQ(WS_HSCROLL | WS_VSCROLL | WS_CHILD, style & (WS_HSCROLL | WS_VSCROLL | WS_CHILD));
  EXPECT_NE(0, GetWindowLongPtrA(hEditor, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  EXPECT_EQ(101, GetDlgCtrlID(hEditor));
  EXPECT_EQ(Wnd(), GetPropA(hEditor, "PROP_EDITOR"));
  EXPECT_TRUE(IsValidEditorWindow(Wnd()));
  EXPECT_EQ(TextEditor_RegisterClass(hInstance), TextEditor_RegisterClass(hInstance)) << "one class";
  EXPECT_EQ(nullptr, EditWindow_FromHandle(hHost)) << "no record for other windows";
}

TEST_F(EditorTest, CallsOnOtherWindowsDoNothing) {
  EXPECT_EQ(0, TextEditor_GetLineCount(hHost));
  EXPECT_FALSE(TextEditor_ReplaceSelection(hHost, "x", 1, true));
  EXPECT_FALSE(TextEditor_LoadFile(hHost, nullptr));
  EXPECT_FALSE(TextEditor_Undo(nullptr));
  TextEditor_SelectAll(hHost);
  EXPECT_FALSE(TextEditor_HasSelection(hHost));
  EditorSettings s;
  EXPECT_FALSE(TextEditor_GetSettings(hHost, &s));
}

TEST_F(EditorTest, InvalidSettingsCreateNoControl) {
  EditorSettings s = HostSettings();
  s.nTab = 0;
  EXPECT_EQ(nullptr, TextEditor_Create(0, WS_CHILD, hInstance, hHost, 102, 100, 100, &s));
  s = HostSettings();
  s.nLeftMargin = -1;
  EXPECT_EQ(nullptr, TextEditor_Create(0, WS_CHILD, hInstance, hHost, 102, 100, 100, &s));
  EXPECT_EQ(nullptr, TextEditor_Create(0, WS_CHILD, hInstance, hHost, 102, 100, 100, nullptr));
  EXPECT_EQ(nullptr, GetDlgItem(hHost, 102));
  // Created by hand without a settings record, the window refuses to exist.
  EXPECT_EQ(nullptr, CreateWindowExA(0, kTextEditorClass, nullptr, WS_CHILD, 0, 0, 10, 10, hHost, nullptr,
                                     hInstance, nullptr));
}

TEST_F(EditorTest, DrawingResourcesLiveUntilTheLastControlGoes) {
  EditorSettings s = HostSettings();
  HWND second = TextEditor_Create(0, WS_CHILD, hInstance, hHost, 102, 100, 100, &s);
  ASSERT_NE(nullptr, second);
  EXPECT_EQ(2, EditStyle_Get()->nUsers);
  DestroyWindow(second);
  HFONT font = EditStyle_Get()->hFont;
  ASSERT_NE(nullptr, font) << "the first control still draws with it";
  LOGFONTA lf = {};
  EXPECT_NE(0, GetObjectA(font, sizeof(lf), &lf)) << "the font was freed with the other control";
  EXPECT_NE(0, GetObjectType(EditStyle_Get()->hbrBack));
  Close();
  EXPECT_EQ(0, EditStyle_Get()->nUsers);
  EXPECT_EQ(nullptr, EditStyle_Get()->hFont);
  EXPECT_EQ(nullptr, EditStyle_Get()->hbrBack);
  EXPECT_EQ(nullptr, EditStyle_Get()->hbrSelBack);
  EXPECT_EQ(0u, GetObjectType(font)) << "freed with the last one";
  ASSERT_TRUE(Open(s)) << "and made again for the next";
  EXPECT_NE(nullptr, EditStyle_Get()->hFont);
}

TEST_F(EditorTest, TextLengthCountsTwoBytesPerLineEnd) {
  EXPECT_EQ(0, TextEditor_GetTextLength(hEditor));
  EXPECT_EQ(1, TextEditor_GetLineCount(hEditor));
  SetText("a\nb");
  EXPECT_EQ(4, TextEditor_GetTextLength(hEditor));
  EXPECT_EQ(2, TextEditor_GetLineCount(hEditor));
  SetText("あ\r\n\r\nx\r");
  EXPECT_EQ(9, TextEditor_GetTextLength(hEditor));
  EXPECT_EQ(4, TextEditor_GetLineCount(hEditor));
}

TEST_F(EditorTest, LoadingReplacesTheDocumentOrKeepsIt) {
  std::string path = TempPath("qwil-load.txt");
  WriteBytes(path, "one\ntwo\r\n\x82\xa0");
  SetText("old text");
  TextEditor_SetCaret(hEditor, {3, 0}, true);
  SendMessageA(hEditor, WM_VSCROLL, SB_LINEDOWN, 0);
  HostEvents().clear();
  TextFileStatus status = TEXTFILE_NO_MEMORY;
  ASSERT_TRUE(TextEditor_LoadFile(hEditor, path.c_str(), &status));
  EXPECT_EQ(TEXTFILE_OK, status);
  EXPECT_EQ("one\r\ntwo\r\n\x82\xa0", Text());
  EXPECT_EQ(POINT({0, 0}), Caret());
  EXPECT_EQ(0, EditBody_GetView(Body()).y);
  EXPECT_FALSE(TextEditor_GetModified(hEditor));
  EXPECT_FALSE(TextEditor_CanUndo(hEditor));
  EXPECT_EQ(kChangeEvents, HostEventList());
  // A file that cannot be read keeps the document.
  HostEvents().clear();
  EXPECT_FALSE(TextEditor_LoadFile(hEditor, TempPath("qwil-no-such-file.txt").c_str(), &status));
  EXPECT_EQ(TEXTFILE_OPEN_FAILED, status);
  EXPECT_EQ("one\r\ntwo\r\n\x82\xa0", Text());
  EXPECT_EQ("", HostEventList());
  // Read-only refuses loading.
  TextEditor_SetReadOnly(hEditor, true);
  EXPECT_FALSE(TextEditor_LoadFile(hEditor, nullptr));
  EXPECT_EQ(3, TextEditor_GetLineCount(hEditor));
  TextEditor_SetReadOnly(hEditor, false);
  // No path: an empty document.
  EXPECT_TRUE(TextEditor_LoadFile(hEditor, nullptr));
  EXPECT_EQ("", Text());
  DeleteFileA(path.c_str());
}

TEST_F(EditorTest, SavingWritesCrLfBetweenLinesAndReportsFailure) {
  SetText("a\rb\nc");
  std::string path = TempPath("qwil-save.txt");
  ASSERT_TRUE(TextEditor_SaveFile(hEditor, path.c_str()));
  EXPECT_EQ("a\r\nb\r\nc", FileBytes(path));
  DeleteFileA(path.c_str());
  TextFileStatus status = TEXTFILE_OK;
  EXPECT_FALSE(TextEditor_SaveFile(hEditor, TempPath("no-such-folder\\x.txt").c_str(), &status));
  EXPECT_NE(TEXTFILE_OK, status);
}

TEST_F(EditorTest, ReplaceSelectionTellsWhetherItChangedTheText) {
  SetText("abc def");
  TextEditor_SetSelection(hEditor, {4, 0}, {7, 0});
  HostEvents().clear();
  ASSERT_TRUE(TextEditor_ReplaceSelection(hEditor, "XYZW", 4, false));
  EXPECT_EQ("abc XYZW", Text());
  EXPECT_EQ("XYZW", Selected()) << "without collapse the new text stays selected";
  EXPECT_EQ(kChangeEvents, HostEventList());
  ASSERT_TRUE(TextEditor_ReplaceSelection(hEditor, "\x82\xa0", 2, true));
  EXPECT_EQ("abc \x82\xa0", Text());
  EXPECT_FALSE(TextEditor_HasSelection(hEditor));
  EXPECT_EQ(POINT({6, 0}), Caret());
  // Nothing by nothing changes nothing.
  EXPECT_FALSE(TextEditor_ReplaceSelection(hEditor, "", 0, true));
  EXPECT_FALSE(TextEditor_ReplaceSelection(hEditor, nullptr, -1, true));
  TextEditor_SetReadOnly(hEditor, true);
  HostEvents().clear();
  EXPECT_FALSE(TextEditor_ReplaceSelection(hEditor, "q", 1, true));
  EXPECT_EQ(kChangeEvents, HostEventList()) << "refused, but the parent is told";
  EXPECT_EQ("abc \x82\xa0", Text());
  EXPECT_TRUE(TextEditor_SetReadOnly(hEditor, false)) << "the previous value";
  EXPECT_FALSE(TextEditor_GetReadOnly(hEditor));
}

TEST_F(EditorTest, UndoRedoAndUndoAll) {
  SetText("base");
  TextEditor_SetCaret(hEditor, {4, 0}, true);
  Chars({'1', '2', '3'});
  EXPECT_TRUE(TextEditor_GetModified(hEditor));
  TextEditor_SetSelection(hEditor, {0, 0}, {2, 0});
  HostEvents().clear();
  ASSERT_TRUE(TextEditor_Undo(hEditor));
  EXPECT_EQ("base12", Text());
  EXPECT_FALSE(TextEditor_HasSelection(hEditor)) << "the selection collapsed first";
  EXPECT_EQ(kChangeEvents, HostEventList()) << "one step, told once";
  ASSERT_TRUE(TextEditor_CanRedo(hEditor));
  ASSERT_TRUE(TextEditor_Redo(hEditor));
  EXPECT_EQ("base123", Text());
  HostEvents().clear();
  ASSERT_TRUE(TextEditor_UndoAll(hEditor));
  EXPECT_EQ("base", Text());
  EXPECT_FALSE(TextEditor_CanUndo(hEditor));
  EXPECT_FALSE(TextEditor_GetModified(hEditor)) << "back to the loaded text";
  EXPECT_EQ(kChangeEvents, HostEventList()) << "all steps, told once";
  EXPECT_FALSE(TextEditor_Undo(hEditor));
  EXPECT_FALSE(TextEditor_UndoAll(hEditor));
  TextEditor_SetModified(hEditor, true);
  EXPECT_TRUE(TextEditor_GetModified(hEditor));
}

TEST_F(EditorTest, SelectionCalls) {
  SetText("one two\r\nthree");
  TextEditor_SelectAll(hEditor);
  EXPECT_EQ("one two\r\nthree", Selected());
  EXPECT_EQ(POINT({0, 0}), Anchor());
  EXPECT_EQ(POINT({5, 1}), Caret());
  TextEditor_SetCaret(hEditor, {5, 0}, true);
  TextEditor_SelectWord(hEditor);
  EXPECT_EQ("two", Selected());
  TextEditor_SetSelection(hEditor, {1, 0}, {2, 0});
  TextEditor_SelectWord(hEditor);
  EXPECT_EQ("n", Selected()) << "a selection is left as it is";
  TextEditor_SelectLines(hEditor);
  EXPECT_EQ("one two\r\n", Selected());
  POINT start, end;
  TextEditor_SetSelection(hEditor, {3, 1}, {1, 0});
  TextEditor_GetSelection(hEditor, &start, &end);
  EXPECT_EQ(POINT({1, 0}), start);
  EXPECT_EQ(POINT({3, 1}), end);
  EXPECT_TRUE(TextEditor_HasSelection(hEditor));
  // Positions are clamped into the document.
  TextEditor_SetCaret(hEditor, {99, 99}, true);
  EXPECT_EQ(POINT({5, 1}), Caret());
  TextEditor_SetCaret(hEditor, {-4, 0}, true);
  EXPECT_EQ(POINT({0, 0}), Caret());
  EditCaretInfo info;
  TextEditor_SetCaret(hEditor, {7, 0}, true);
  ASSERT_TRUE(TextEditor_GetCaretInfo(hEditor, &info));
  EXPECT_EQ(POINT({7, 0}), info.ptDisplay);
  EXPECT_EQ(13, info.nCode) << "at a CR LF line end";
}

TEST_F(EditorTest, IndentAndUnindentCalls) {
  SetText("      x\r\n \ty\r\n\t\tz");
  TextEditor_SelectAll(hEditor);
  ASSERT_TRUE(TextEditor_Unindent(hEditor));
  EXPECT_EQ("x\r\ny\r\n\tz", Text()) << "with tabs of 8: six blanks go, nothing after a tab";
  EditorSettings s;
  TextEditor_GetSettings(hEditor, &s);
  s.nTab = 4;
  TextEditor_SetSettings(hEditor, &s);
  SetText("      x\r\n \ty\r\n\t\tz");
  TextEditor_SetSelection(hEditor, {0, 0}, {1, 2});
  ASSERT_TRUE(TextEditor_Unindent(hEditor));
  EXPECT_EQ("  x\r\ny\r\n\tz", Text());
  ASSERT_TRUE(TextEditor_Unindent(hEditor));
  EXPECT_EQ("x\r\ny\r\nz", Text());
  HostEvents().clear();
  EXPECT_FALSE(TextEditor_Unindent(hEditor)) << "nothing left to take";
  EXPECT_EQ(kChangeEvents, HostEventList());
  ASSERT_TRUE(TextEditor_Indent(hEditor));
  EXPECT_EQ("\tx\r\n\ty\r\n\tz", Text());
  EXPECT_EQ(POINT({0, 0}), Anchor());
  EXPECT_EQ(POINT({2, 2}), Caret());
  TextEditor_SetReadOnly(hEditor, true);
  EXPECT_FALSE(TextEditor_Indent(hEditor));
  EXPECT_EQ("\tx\r\n\ty\r\n\tz", Text());
}

TEST_F(EditorTest, FindSelectsTheMatchOrLeavesTheSelection) {
  SetText("alpha beta\r\ngamma beta");
  HostEvents().clear();
  ASSERT_TRUE(TextEditor_FindNext(hEditor, "beta", 4, 0));
  EXPECT_EQ(POINT({6, 0}), Anchor());
  EXPECT_EQ(POINT({10, 0}), Caret());
  EXPECT_EQ(kChangeEvents, HostEventList());
  ASSERT_TRUE(TextEditor_FindNext(hEditor, "beta", 4, 0));
  EXPECT_EQ(POINT({6, 1}), Anchor());
  ASSERT_TRUE(TextEditor_FindPrev(hEditor, "BETA", 4, 2 /* ignore case */));
  EXPECT_EQ(POINT({6, 0}), Anchor());
  HostEvents().clear();
  int32_t status = -1;
  EXPECT_FALSE(TextEditor_FindNext(hEditor, "delta", 5, 0, &status));
  EXPECT_EQ(POINT({6, 0}), Anchor()) << "no match leaves the selection";
  EXPECT_EQ(POINT({10, 0}), Caret());
  EXPECT_EQ(SEARCH_NOTFOUND, status);
  EXPECT_EQ("", HostEventList());
}

TEST_F(EditorTest, ReplaceAllTellsTheParentOnce) {
  SetText("a-b-c\r\n-d-");
  HostEvents().clear();
  int32_t count = 0;
  ASSERT_TRUE(TextEditor_ReplaceAll(hEditor, "++", 2, "-", 1, 0, &count));
  EXPECT_EQ(4, count);
  EXPECT_EQ("a++b++c\r\n++d++", Text());
  EXPECT_EQ(kChangeEvents, HostEventList());
  TextEditor_SetReadOnly(hEditor, true);
  EXPECT_FALSE(TextEditor_ReplaceAll(hEditor, "", 0, "+", 1, 0, &count));
  EXPECT_EQ("a++b++c\r\n++d++", Text());
  TextEditor_SetReadOnly(hEditor, false);
  TextEditor_UndoAll(hEditor);
  EXPECT_EQ("a-b-c\r\n-d-", Text());
}

TEST_F(EditorTest, SettingsRoundTripAndRelayout) {
  EditorSettings s;
  ASSERT_TRUE(TextEditor_GetSettings(hEditor, &s));
  EditorSettings defaults = HostSettings();
  EXPECT_EQ(0, std::memcmp(&defaults.style, &s.style, sizeof(ViewStyle)));
  EXPECT_EQ(8, s.nTab);
  s.bWrap = 1;
  s.nTab = 3;
  s.nLeftMargin = 7;
  s.bLineNumber = 1;
  s.bReadOnly = 1;
  s.style.crText = RGB(1, 2, 3);
  ASSERT_TRUE(TextEditor_SetSettings(hEditor, &s));
  EditorSettings back;
  ASSERT_TRUE(TextEditor_GetSettings(hEditor, &back));
  EXPECT_EQ(0, std::memcmp(&s, &back, sizeof(s)));
  EXPECT_TRUE(TextEditor_GetReadOnly(hEditor));
  ViewStyle style;
  TextEditor_GetViewStyle(&style);
  EXPECT_EQ(RGB(1, 2, 3), style.crText);
  EXPECT_EQ(1, Body()->text->prop.wrap);
  EXPECT_EQ(3, Body()->text->prop.tabsize);
  // Invalid settings change nothing.
  s.nTab = 0;
  EXPECT_FALSE(TextEditor_SetSettings(hEditor, &s));
  EXPECT_EQ(3, EditBody_GetMetrics(Body()).nTab);
}

TEST_F(EditorTest, ANewFontRelaysTheText) {
  SetText("abc\r\ndef\r\nghi");
  const int32_t lh = LineHeight();
  LOGFONTA lf = HostSettings().style.lfFont;
  lf.lfHeight = 32;
  ASSERT_TRUE(TextEditor_SetFont(hEditor, &lf));
  EXPECT_GT(LineHeight(), lh);
  ViewStyle style;
  TextEditor_GetViewStyle(&style);
  EXPECT_EQ(32, style.lfFont.lfHeight);
  SCROLLINFO si = ScrollInfo(SB_VERT);
  EXPECT_EQ(3 * LineHeight(), si.nMax);
  // A view style without redraw keeps the font when its LOGFONT is the same.
  style.crBack = RGB(250, 250, 200);
  ASSERT_TRUE(TextEditor_SetViewStyle(&style, hEditor, false));
  EXPECT_EQ(RGB(250, 250, 200), EditStyle_Get()->style.crBack);
  EXPECT_EQ(3 * LineHeight(), ScrollInfo(SB_VERT).nMax);
}

// The composition window opens at the caret, kept inside the text area, in the
// editor's font.
TEST_F(EditorTest, InputMethodCompositionStartsAtTheCaret) {
  SetText("abc\r\ndefgh");
  TextEditor_SetCaret(hEditor, {3, 1}, true);
  SendMessageA(hEditor, WM_IME_STARTCOMPOSITION, 0, 0);
  HIMC hImc = ImmGetContext(hEditor);
  if (!hImc) GTEST_SKIP() << "no input context in this Wine";
  COMPOSITIONFORM form = {};
  LOGFONTA lf = {};
  BOOL gotWindow = ImmGetCompositionWindow(hImc, &form);
  BOOL gotFont = ImmGetCompositionFontA(hImc, &lf);
  ImmReleaseContext(hEditor, hImc);
  ASSERT_TRUE(gotWindow);
  EXPECT_EQ(static_cast<DWORD>(CFS_POINT), form.dwStyle);
  EXPECT_EQ(3 * CellWidth(), form.ptCurrentPos.x);
  EXPECT_EQ(LineHeight(), form.ptCurrentPos.y);
  ASSERT_TRUE(gotFont);
  EXPECT_EQ(HostSettings().style.lfFont.lfHeight, lf.lfHeight);
  EXPECT_STREQ(HostSettings().style.lfFont.lfFaceName, lf.lfFaceName);
}

// The input method's result arrives whole, however long, as one edit.
TEST_F(EditorTest, InputMethodResultIsReadAtItsFullLength) {
  SetText("");
  HIMC hImc = ImmGetContext(hEditor);
  if (!hImc) GTEST_SKIP() << "no input context in this Wine";
  std::string result;
  std::wstring wide;
  for (int i = 0; i < 700; ++i) {
    result += "\x82\xa0";  // 1400 bytes of あ
    wide += L'\x3042';
  }
  // Set as wide characters: this Wine halves the length of an ANSI string set.
  BOOL set = ImmSetCompositionStringW(hImc, SCS_SETSTR, wide.data(), static_cast<DWORD>(wide.size() * sizeof(wchar_t)),
                                      nullptr, 0);
  BOOL done = set && ImmNotifyIME(hImc, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
  ImmReleaseContext(hEditor, hImc);
  TestWin_PumpMessages();
  if (!done || Text().empty()) GTEST_SKIP() << "this Wine's input method does not complete strings";
  EXPECT_EQ(result, Text());
  EXPECT_EQ(POINT({1400, 0}), Caret());
  ASSERT_TRUE(TextEditor_Undo(hEditor));
  EXPECT_EQ("", Text()) << "one edit";
}

}  // namespace
