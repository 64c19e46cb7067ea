// The main window's editing, clipboard, conversion, view and window-mode
// commands, sent as WM_COMMAND to the real window: the document, the system
// clipboard (read back with the clipboard API), the menus' states, the window's
// styles and the settings file written at close.
#include <gtest/gtest.h>

#include "app/cliphist_win.h"
#include "app/command.h"
#include "app/command_win.h"
#include "app/docfile_win.h"
#include "tools/history.h"
#include "tools/toolsys_win.h"
#include "win/mainhost.h"

namespace {

// The whole document, the selection put back as it was.
std::string DocText(HWND hEditor) {
  POINT start, end;
  TextEditor_GetSelection(hEditor, &start, &end);
  POINT caret = TextEditor_GetCaret(hEditor);
  POINT anchor = (caret.x == start.x && caret.y == start.y) ? end : start;
  TextEditor_SelectAll(hEditor);
  std::string text(static_cast<size_t>(TextEditor_GetSelectedLength(hEditor)), '\0');
  if (!text.empty()) TextEditor_GetSelectedText(hEditor, &text[0], static_cast<int32_t>(text.size()));
  TextEditor_SetSelection(hEditor, anchor, caret);
  return text;
}

std::string Selected(HWND hEditor) {
  std::string text(static_cast<size_t>(TextEditor_GetSelectedLength(hEditor)), '\0');
  if (!text.empty()) TextEditor_GetSelectedText(hEditor, &text[0], static_cast<int32_t>(text.size()));
  return text;
}

std::string Hex(const std::string& bytes) {
  std::string out;
  char b[4];
  for (unsigned char c : bytes) {
    std::snprintf(b, sizeof(b), "%02X ", c);
    out += b;
  }
  return out;
}

// Puts size bytes on the clipboard as CF_TEXT, as any other program may.
bool SetClipboardBytes(const char* bytes, size_t size) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!h) return false;
  std::memcpy(GlobalLock(h), bytes, size);
  GlobalUnlock(h);
  if (!OpenClipboard(nullptr)) {
    GlobalFree(h);
    return false;
  }
  EmptyClipboard();
  bool ok = SetClipboardData(CF_TEXT, h) != nullptr;
  CloseClipboard();
  if (!ok) GlobalFree(h);
  TestWin_PumpMessages();
  return ok;
}

// Another program's thread holding the clipboard open until it is destroyed.
struct ClipboardHolder {
  HANDLE hOpened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE hRelease = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE hThread = nullptr;
  bool bHeld = false;
  ClipboardHolder() {
    hThread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    WaitForSingleObject(hOpened, 5000);
  }
  ~ClipboardHolder() {
    SetEvent(hRelease);
    WaitForSingleObject(hThread, 5000);
    CloseHandle(hThread);
    CloseHandle(hOpened);
    CloseHandle(hRelease);
  }
  static DWORD WINAPI Run(void* p) {
    ClipboardHolder* self = static_cast<ClipboardHolder*>(p);
    HWND hWnd = CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    self->bHeld = OpenClipboard(hWnd) != FALSE;
    SetEvent(self->hOpened);
    WaitForSingleObject(self->hRelease, 10000);
    if (self->bHeld) CloseClipboard();
    DestroyWindow(hWnd);
    return 0;
  }
};

bool EmptyClipboardNow() {
  if (!OpenClipboard(nullptr)) return false;
  bool ok = EmptyClipboard() != FALSE;
  CloseClipboard();
  TestWin_PumpMessages();
  return ok;
}

UINT StateOf(HWND hWnd, HMENU hPopup, UINT id, bool bSystem = false) {
  SendMessageA(hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup), MAKELPARAM(0, bSystem ? TRUE : FALSE));
  return GetMenuState(hPopup, id, MF_BYCOMMAND);
}

bool Grayed(UINT state) { return state != static_cast<UINT>(-1) && (state & MF_GRAYED) != 0; }
bool Checked(UINT state) { return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0; }

void Copy(MainHost& host, const std::string& text) {
  TextEditor_SelectAll(host.Editor());
  TextEditor_ReplaceSelection(host.Editor(), text.data(), static_cast<int32_t>(text.size()), false);
  host.Command(IDM_COPY);
  TestWin_PumpMessages();
}

// The two tables are matched by id: a row without a handler would reach the
// window's default, a handler without a row could never be enabled or named.
TEST(Commands, EveryRowOfTheCommandTableHasAHandlerAndEveryHandlerARow) {
  int32_t nRows = 0;
  int32_t nHandlers = 0;
  const CommandInfo* rows = Command_GetTable(&nRows);
  const CommandHandlerRow* handlers = Command_GetHandlers(&nHandlers);
  for (int32_t i = 0; i < nRows; ++i) EXPECT_NE(nullptr, Command_FindHandler(rows[i].id)) << rows[i].id;
  for (int32_t i = 0; i < nHandlers; ++i) {
    EXPECT_NE(nullptr, Command_Find(handlers[i].id)) << handlers[i].id;
    EXPECT_NE(nullptr, handlers[i].pfnHandler) << handlers[i].id;
  }
  EXPECT_EQ(nRows, nHandlers);
}

TEST(Commands, ConversionsReplaceTheSelectionWithEveryByteConverted) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  HWND hEditor = host.Editor();
  struct Case {
    int id;
    std::string source, expected;
  };
  const Case cases[] = {
      {IDM_UPPER, "abc", "ABC"},
      {IDM_TOFULLKANA, "\xB6\xDE", "\x83\x4B"},
      {IDM_UPPER, std::string("a\0b", 3), std::string("A\0B", 3)},
      {IDM_LOWER, "AbC\x82\x60", "abc\x82\x60"},
      {IDM_SWAPCASE, "aB", "Ab"},
      {IDM_TOFULL, "A 1!\xB1", "\x82\x60\x81\x40\x82\x50\x81\x49\x83\x41"},
      {IDM_TOHALF, "\x82\x60\x81\x40\x82\x50\x81\x49\x83\x41", "A 1!\xB1"},
      {IDM_TOHALFKANA, "\x83\x94", "\xB3\xDE"},
      {IDM_TOFULLSYMBOL, "\\", "\x81\x8F"},
      {IDM_TOHALFDIGIT, "\x82\x4F\x82\x58", "09"},
      {IDM_TOFULLALPHA, "z1", "\x82\x9A" "1"},
  };
  for (const Case& c : cases) {
    TextEditor_SelectAll(hEditor);
    TextEditor_ReplaceSelection(hEditor, c.source.data(), static_cast<int32_t>(c.source.size()), true);
    host.Command(IDM_SELECTALL);
    host.Command(c.id);
    EXPECT_EQ(Hex(c.expected), Hex(DocText(hEditor))) << c.id << " on " << Hex(c.source);
    EXPECT_FALSE(TextEditor_HasSelection(hEditor)) << c.id;
  }
  // One undo step takes a conversion back whole.
  host.Command(IDM_UNDO);
  EXPECT_EQ("z1", DocText(hEditor));
  host.Command(IDM_REDO);
  EXPECT_EQ("\x82\x9A" "1", DocText(hEditor));
  // Read-only: nothing converts.
  host.Command(IDM_SELECTALL);
  host.Command(IDM_READONLY);
  host.Command(IDM_TOHALF);
  EXPECT_EQ("\x82\x9A" "1", DocText(hEditor));
}

TEST(Commands, CopyCutAndPasteGoThroughTheSystemClipboard) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  HWND hEditor = host.Editor();
  host.Type("one two");
  TextEditor_SetSelection(hEditor, POINT{0, 0}, POINT{3, 0});
  host.Command(IDM_COPY);
  EXPECT_EQ("one", WinTest_ClipboardText());
  EXPECT_EQ("one two", DocText(hEditor));
  // Paste of a two-byte character another program put there.
  ASSERT_TRUE(SetClipboardBytes("\x82\xA0", 3));
  TextEditor_SetCaret(hEditor, POINT{7, 0}, true);
  host.Command(IDM_PASTE);
  EXPECT_EQ(Hex("one two\x82\xA0"), Hex(DocText(hEditor)));
  // A block holding a zero byte pastes what stands before it; one without any
  // zero byte pastes the whole block and nothing behind it.
  ASSERT_TRUE(SetClipboardBytes("ab\0cd", 5));
  host.Command(IDM_SELECTALL);
  host.Command(IDM_PASTE);
  EXPECT_EQ("ab", DocText(hEditor));
  ASSERT_TRUE(SetClipboardBytes("xyz", 3));
  host.Command(IDM_SELECTALL);
  host.Command(IDM_PASTE);
  // (The system's own conversion of an unterminated block may take its last
  // byte for the terminator.)
  std::string pasted = DocText(hEditor);
  EXPECT_TRUE(pasted == "xyz" || pasted == "xy") << Hex(pasted);
  // Cut: the clipboard gets the text, the document loses it.
  host.Command(IDM_SELECTALL);
  TextEditor_ReplaceSelection(hEditor, "keep me", 7, true);
  TextEditor_SetSelection(hEditor, POINT{0, 0}, POINT{4, 0});
  host.Command(IDM_CUT);
  EXPECT_EQ("keep", WinTest_ClipboardText());
  EXPECT_EQ(" me", DocText(hEditor));
  // Cut while another program holds the clipboard open: the text stays.
  host.Command(IDM_SELECTALL);
  {
    ClipboardHolder holder;
    ASSERT_TRUE(holder.bHeld);
    host.Command(IDM_CUT);
    EXPECT_EQ(" me", DocText(hEditor)) << "the cut lost the text";
    EXPECT_TRUE(TextEditor_HasSelection(hEditor));
  }
  EXPECT_EQ("keep", WinTest_ClipboardText());
  // Copy with nothing selected puts an empty text there; delete removes the
  // selection without touching the clipboard.
  TextEditor_SetCaret(hEditor, POINT{0, 0}, true);
  host.Command(IDM_COPY);
  EXPECT_EQ("", WinTest_ClipboardText());
  host.Command(IDM_SELECTALL);
  host.Command(IDM_DELETE);
  EXPECT_EQ("", DocText(hEditor));
  EXPECT_EQ("", WinTest_ClipboardText());
  // Paste into a read-only document changes nothing.
  ASSERT_TRUE(SetClipboardBytes("ro", 3));
  TextEditor_SetReadOnly(hEditor, true);
  host.Command(IDM_PASTE);
  EXPECT_EQ(0, TextEditor_GetTextLength(hEditor));
}

TEST(Commands, ClipboardHistoryKeepsTheLatestThirtySixNewestFirst) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  for (int i = 0; i < 37; ++i) Copy(host, "text" + std::to_string(i));
  HMENU hMenu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_CONTEXTMENU));
  ASSERT_NE(nullptr, hMenu);
  HMENU hPopup = GetSubMenu(hMenu, IDM_CONTEXT_CLIPBOARD);
  SendMessageA(host.hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup), 0);
  ASSERT_EQ(36, GetMenuItemCount(hPopup));
  EXPECT_EQ("&0 text36", TestWin_MenuString(hPopup, 0));
  EXPECT_EQ("&9 text27", TestWin_MenuString(hPopup, 9));
  EXPECT_EQ("&a text26", TestWin_MenuString(hPopup, 10));
  EXPECT_EQ("&z text1", TestWin_MenuString(hPopup, 35));
  EXPECT_EQ(static_cast<UINT>(32769 + 35), GetMenuItemID(hPopup, 35));
  EXPECT_EQ(0u, GetMenuState(hPopup, 0, MF_BYPOSITION) & MF_GRAYED);
  // A text copied again moves to the top; a second fill has no doubles.
  Copy(host, "text20");
  SendMessageA(host.hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup), 0);
  EXPECT_EQ(36, GetMenuItemCount(hPopup));
  EXPECT_EQ("&0 text20", TestWin_MenuString(hPopup, 0));
  EXPECT_EQ("&1 text36", TestWin_MenuString(hPopup, 1));
  // Choosing an entry pastes it in place of the selection.
  host.Command(IDM_SELECTALL);
  host.Command(32769 + 1);
  EXPECT_EQ("text36", DocText(host.Editor()));
  host.Command(32769 + 36);  // no such entry
  EXPECT_EQ("text36", DocText(host.Editor()));
  // Read-only grays every entry.
  TextEditor_SetReadOnly(host.Editor(), true);
  SendMessageA(host.hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup), 0);
  EXPECT_NE(0u, GetMenuState(hPopup, 5, MF_BYPOSITION) & MF_GRAYED);
  host.Command(32769);
  EXPECT_EQ("text36", DocText(host.Editor()));
  DestroyMenu(hMenu);
}

TEST(Commands, ClipboardHistoryMenuTextsAndAnEmptyHistory) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(EmptyClipboardNow());
  ASSERT_TRUE(host.Create());
  HMENU hMenu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_CONTEXTMENU));
  HMENU hPopup = GetSubMenu(hMenu, IDM_CONTEXT_CLIPBOARD);
  SendMessageA(host.hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup), 0);
  ASSERT_EQ(1, GetMenuItemCount(hPopup));
  EXPECT_EQ("(なし)", TestWin_MenuString(hPopup, 0));
  EXPECT_TRUE(Grayed(GetMenuState(hPopup, IDM_HISTORYNONE, MF_BYCOMMAND)));
  // Line ends left out, "&" doubled, a long text cut within 64 bytes on a
  // character boundary.
  Copy(host, "a&b\r\nc");
  std::string kana;
  for (int i = 0; i < 40; ++i) kana += "\x82\xA0";
  Copy(host, "x" + kana);
  SendMessageA(host.hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup), 0);
  ASSERT_EQ(2, GetMenuItemCount(hPopup));
  std::string cut = TestWin_MenuString(hPopup, 0);
  EXPECT_EQ(62u, cut.size()) << "&0 x and 29 two-byte characters";
  EXPECT_EQ("&0 x" + kana.substr(0, 58), cut);
  EXPECT_EQ("&1 a&&bc", TestWin_MenuString(hPopup, 1));
  DestroyMenu(hMenu);
}

// Another clipboard viewer joined before the main window keeps getting the
// clipboard's changes through it, and the chain is mended when it leaves.
LRESULT CALLBACK CountingViewer(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_DRAWCLIPBOARD) SetWindowLongPtrA(hWnd, GWLP_USERDATA, GetWindowLongPtrA(hWnd, GWLP_USERDATA) + 1);
  return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

TEST(Commands, ClipboardViewerChainPassesChangesOnAndIsMendedOnLeaving) {
  WinTestDir dir;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = CountingViewer;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "QwilTestViewer";
  RegisterClassA(&wc);
  HWND hViewer = CreateWindowExA(0, "QwilTestViewer", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 wc.hInstance, nullptr);
  ASSERT_NE(nullptr, hViewer);
  HWND hBefore = SetClipboardViewer(hViewer);
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  EXPECT_EQ(hViewer, host.app->hNextViewer);
  SetWindowLongPtrA(hViewer, GWLP_USERDATA, 0);
  Copy(host, "passed on");
  EXPECT_EQ(1, GetWindowLongPtrA(hViewer, GWLP_USERDATA)) << "the next viewer did not hear of the change";
  EXPECT_EQ("passed on", std::string(History_GetEntry(host.app->pClipboardHistory, 0)));
  ChangeClipboardChain(hViewer, hBefore);
  TestWin_PumpMessages();
  EXPECT_EQ(hBefore == host.hWnd ? nullptr : hBefore, host.app->hNextViewer);
  DestroyWindow(hViewer);
  Copy(host, "after");
  EXPECT_EQ("after", std::string(History_GetEntry(host.app->pClipboardHistory, 0)));
}

TEST(Commands, ReadOnlyGraysEditingInTheMenuBarAndTheContextMenu) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  Copy(host, "entry");
  host.Type("x");
  host.Command(IDM_SELECTALL);
  host.Command(IDM_READONLY);
  EXPECT_TRUE(TextEditor_GetReadOnly(host.Editor()));
  HMENU hBar = GetMenu(host.hWnd);
  HMENU hFile = GetSubMenu(hBar, 0), hEdit = GetSubMenu(hBar, 1), hConvert = GetSubMenu(hBar, 4);
  for (UINT id : {IDM_NEW, IDM_OPEN}) EXPECT_TRUE(Grayed(StateOf(host.hWnd, hFile, id))) << id;
  EXPECT_FALSE(Grayed(StateOf(host.hWnd, hFile, IDM_SAVE)));
  for (UINT id : {IDM_UNDO, IDM_CUT, IDM_PASTE, IDM_DELETE, IDM_UPPER, IDM_LOWER, IDM_SWAPCASE}) {
    EXPECT_TRUE(Grayed(StateOf(host.hWnd, hEdit, id))) << id;
  }
  EXPECT_FALSE(Grayed(StateOf(host.hWnd, hEdit, IDM_COPY)));
  for (int sub = 0; sub < GetMenuItemCount(hConvert); ++sub) {
    HMENU hSub = GetSubMenu(hConvert, sub);
    if (!hSub) continue;
    SendMessageA(host.hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hSub), 0);
    for (int i = 0; i < GetMenuItemCount(hSub); ++i) {
      if (GetMenuItemID(hSub, i) == 0) continue;
      EXPECT_NE(0u, GetMenuState(hSub, i, MF_BYPOSITION) & MF_GRAYED) << TestWin_MenuString(hSub, i);
    }
  }
  // The context menus show the same.
  HMENU hContext = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_CONTEXTMENU));
  HMENU hRight = GetSubMenu(hContext, IDM_CONTEXT_EDITOR);
  for (UINT id : {IDM_CUT, IDM_PASTE, IDM_DELETE, IDM_UPPER}) EXPECT_TRUE(Grayed(StateOf(host.hWnd, hRight, id))) << id;
  EXPECT_FALSE(Grayed(StateOf(host.hWnd, hRight, IDM_SELECTALL)));
  HMENU hHistory = GetSubMenu(hContext, IDM_CONTEXT_CLIPBOARD);
  EXPECT_TRUE(Grayed(StateOf(host.hWnd, hHistory, 32769)));
  // Writable again: enabled again.
  host.Command(IDM_READONLY);
  EXPECT_FALSE(Grayed(StateOf(host.hWnd, hRight, IDM_CUT)));
  EXPECT_FALSE(Grayed(StateOf(host.hWnd, hHistory, 32769)));
  DestroyMenu(hContext);
}

TEST(Commands, InsertDateUsesTheSettingsFormatUnlessReadOnly) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  std::strcpy(host.app->szDateFormat, "[%04Y]");
  SYSTEMTIME now;
  GetLocalTime(&now);
  char year[16];
  std::snprintf(year, sizeof(year), "[%04d]", now.wYear);
  host.Type("ab");
  TextEditor_SetCaret(host.Editor(), POINT{1, 0}, true);
  host.Command(IDM_INSERTDATE);
  EXPECT_EQ(std::string("a") + year + "b", DocText(host.Editor()));
  TextEditor_SetReadOnly(host.Editor(), true);
  host.Command(IDM_INSERTDATE);
  EXPECT_EQ(std::string("a") + year + "b", DocText(host.Editor()));
}

TEST(Commands, DocumentNameIsCopiedAndInserted) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  host.Command(IDM_COPYNAME);
  EXPECT_EQ("無題.txt", WinTest_ClipboardText());
  std::string path = dir / "named.txt";
  ASSERT_TRUE(WinTest_WriteFile(path, "x"));
  ASSERT_TRUE(Document_Open(host.app, path.c_str()));
  host.Command(IDM_COPYNAME);
  EXPECT_EQ(host.app->szPath, WinTest_ClipboardText());
  EXPECT_NE(std::string::npos, WinTest_ClipboardText().find("named.txt"));
  host.Command(IDM_SELECTALL);
  host.Command(IDM_INSERTNAME);
  EXPECT_EQ(host.app->szPath, DocText(host.Editor()));
}

TEST(Commands, SelectingIndentingAndUndoingAll) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  HWND hEditor = host.Editor();
  host.Type("one two\rthree");
  TextEditor_SetCaret(hEditor, POINT{5, 0}, true);
  EXPECT_EQ(1, host.Command(IDM_SELECTWORD));
  EXPECT_EQ("two", Selected(hEditor));
  TextEditor_SetSelection(hEditor, POINT{1, 0}, POINT{2, 1});
  EXPECT_EQ(1, host.Command(IDM_SELECTLINES));
  EXPECT_EQ(0u, Selected(hEditor).find("one two\r\nthree"));
  TextEditor_SetSelection(hEditor, POINT{1, 0}, POINT{2, 1});
  host.Command(IDM_INDENT);
  EXPECT_EQ("\tone two\r\n\tthree", DocText(hEditor));
  host.Command(IDM_UNINDENT);
  EXPECT_EQ("one two\r\nthree", DocText(hEditor));
  host.Command(IDM_REVERT);
  EXPECT_EQ("", DocText(hEditor));
  EXPECT_FALSE(TextEditor_CanUndo(hEditor));
  host.Command(IDM_REDO);
  EXPECT_NE("", DocText(hEditor));
}

TEST(Commands, OpenFolderIgnoresASelectionThatIsNoFolder) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  std::string file = dir / "plain.txt";
  ASSERT_TRUE(WinTest_WriteFile(file, "x"));
  for (std::string text : {file, std::string("no such folder"), std::string()}) {
    host.Command(IDM_SELECTALL);
    TextEditor_ReplaceSelection(host.Editor(), text.data(), static_cast<int32_t>(text.size()), false);
    host.Command(IDM_OPENFOLDER);
    EXPECT_EQ(text, DocText(host.Editor()));
    EXPECT_EQ(host.hWnd, GetForegroundWindow()) << "something was shown for " << text;
  }
}

TEST(Commands, ViewTogglesFlipTheEditorAndTheSettingsAndTheirChecks) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  HMENU hView = GetSubMenu(GetMenu(host.hWnd), 3);
  typedef bool (*Get)(const EditorSettings&);
  struct Case {
    int id;
    Get get;
  };
  const Case cases[] = {
      {IDM_WRAP, [](const EditorSettings& s) { return s.bWrap != 0; }},
      {IDM_LINENUMBER, [](const EditorSettings& s) { return s.bLineNumber != 0; }},
      {IDM_SHOWTAB, [](const EditorSettings& s) { return s.style.bShowTab != 0; }},
      {IDM_SHOWSPACE, [](const EditorSettings& s) { return s.style.bShowSpace != 0; }},
      {IDM_SHOWZENSPACE, [](const EditorSettings& s) { return s.style.bShowZenSpace != 0; }},
      {IDM_SHOWLINEEND, [](const EditorSettings& s) { return s.style.bShowLineEnd != 0; }},
      {IDM_SHOWEOF, [](const EditorSettings& s) { return s.style.bShowEof != 0; }},
  };
  auto value = [](const Case& c, const EditorSettings& s) { return c.get(s); };
  for (const Case& c : cases) {
    for (int round = 0; round < 2; ++round) {
      EditorSettings before;
      ASSERT_TRUE(TextEditor_GetSettings(host.Editor(), &before));
      host.Command(c.id);
      EditorSettings after;
      ASSERT_TRUE(TextEditor_GetSettings(host.Editor(), &after));
      EXPECT_NE(value(c, before), value(c, after)) << c.id;
      EXPECT_EQ(value(c, after), value(c, host.app->editorSettings)) << c.id;
      EXPECT_EQ(value(c, after), Checked(StateOf(host.hWnd, hView, static_cast<UINT>(c.id)))) << c.id;
    }
  }
}

TEST(Commands, StatusBarAndFrameToggle) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  HMENU hView = GetSubMenu(GetMenu(host.hWnd), 3);
  RECT client, editor;
  host.Command(IDM_STATUSBAR);
  TestWin_PumpMessages();
  EXPECT_FALSE(IsWindowVisible(host.StatusBar()));
  EXPECT_FALSE(Checked(StateOf(host.hWnd, hView, IDM_STATUSBAR)));
  GetClientRect(host.hWnd, &client);
  GetWindowRect(host.Editor(), &editor);
  EXPECT_EQ(client.bottom - client.top, editor.bottom - editor.top) << "the editor takes the status bar's room";
  host.Command(IDM_STATUSBAR);
  TestWin_PumpMessages();
  EXPECT_TRUE(IsWindowVisible(host.StatusBar()));
  GetWindowRect(host.Editor(), &editor);
  EXPECT_LT(editor.bottom - editor.top, client.bottom - client.top);
  EXPECT_TRUE(Checked(StateOf(host.hWnd, hView, IDM_STATUSBAR)));
  LONG_PTR ex = GetWindowLongPtrA(host.Editor(), GWL_EXSTYLE);
  host.Command(IDM_FRAME3D);
  EXPECT_EQ((ex ^ WS_EX_CLIENTEDGE) & WS_EX_CLIENTEDGE, GetWindowLongPtrA(host.Editor(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ((ex & WS_EX_CLIENTEDGE) == 0, Checked(StateOf(host.hWnd, hView, IDM_FRAME3D)));
  // Both are written at close.
  host.Type("x");
  host.Command(IDM_UNDO);
  TextEditor_SetModified(host.Editor(), false);
  host.Command(IDM_STATUSBAR);
  ASSERT_TRUE(host.Close());
  std::string ini = WinTest_ReadFile(host.ini);
  // (Each the last key of its section.)
  EXPECT_NE(std::string::npos, ini.find("\r\nウィンドウ枠を立体的に表示=0\r\n")) << ini;
  EXPECT_NE(std::string::npos, ini.find("\r\nステータスバーの表示=0\r\n")) << ini;
}

TEST(Commands, WindowModesExcludeEachOtherAndAreWrittenAtClose) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  HMENU hSystem = GetSystemMenu(host.hWnd, FALSE);
  auto topmost = [&] { return (GetWindowLongPtrA(host.hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
  SendMessageA(host.hWnd, WM_SYSCOMMAND, IDM_TOPMOST, 0);
  EXPECT_TRUE(topmost());
  EXPECT_TRUE(host.app->bAlwaysOnTop);
  EXPECT_TRUE(Checked(StateOf(host.hWnd, hSystem, IDM_TOPMOST, true)));
  EXPECT_FALSE(Checked(StateOf(host.hWnd, hSystem, IDM_ATBACK, true)));
  // Always at the back turns it off, and is checked itself.
  SendMessageA(host.hWnd, WM_SYSCOMMAND, IDM_ATBACK, 0);
  EXPECT_FALSE(topmost());
  EXPECT_FALSE(host.app->bAlwaysOnTop);
  EXPECT_TRUE(host.app->bAlwaysAtBack);
  EXPECT_FALSE(Checked(StateOf(host.hWnd, hSystem, IDM_TOPMOST, true)));
  EXPECT_TRUE(Checked(StateOf(host.hWnd, hSystem, IDM_ATBACK, true)));
  // Its rule: any change of z-order puts the window at the bottom.
  WINDOWPOS pos = {};
  pos.hwnd = host.hWnd;
  pos.hwndInsertAfter = HWND_TOP;
  SendMessageA(host.hWnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
  EXPECT_EQ(HWND_BOTTOM, pos.hwndInsertAfter);
  // Always on top again turns always at the back off; it is written at close.
  host.Command(IDM_TOPMOST);
  EXPECT_TRUE(topmost());
  EXPECT_FALSE(host.app->bAlwaysAtBack);
  pos.hwndInsertAfter = HWND_TOP;
  SendMessageA(host.hWnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
  EXPECT_EQ(HWND_TOP, pos.hwndInsertAfter);
  ASSERT_TRUE(host.Close());
  std::string ini = WinTest_ReadFile(host.ini);
  EXPECT_TRUE(WinTest_IniHas(ini, "ウィンドウ", "常に手前に表示=1")) << ini;
  EXPECT_TRUE(WinTest_IniHas(ini, "ウィンドウ", "常に後ろに表示=0")) << ini;
}

TEST(Commands, FullScreenTakesTheMonitorWithoutCaptionAndTheSameCommandEndsIt) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  HMENU hView = GetSubMenu(GetMenu(host.hWnd), 3);
  constexpr LONG_PTR kFrame = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  host.Command(IDM_FULLSCREEN);
  TestWin_PumpMessages();
  LONG_PTR style = GetWindowLongPtrA(host.hWnd, GWL_STYLE);
  EXPECT_NE(0, style & WS_POPUP);
  EXPECT_EQ(0, style & WS_CAPTION);
  EXPECT_TRUE(IsZoomed(host.hWnd));
  MONITORINFO mi = {};
  mi.cbSize = sizeof(mi);
  GetMonitorInfoA(MonitorFromWindow(host.hWnd, MONITOR_DEFAULTTONEAREST), &mi);
  RECT rc;
  GetWindowRect(host.hWnd, &rc);
  EXPECT_EQ(mi.rcMonitor.left, rc.left);
  EXPECT_EQ(mi.rcMonitor.top, rc.top);
  EXPECT_EQ(mi.rcMonitor.right, rc.right);
  EXPECT_EQ(mi.rcMonitor.bottom, rc.bottom);
  EXPECT_NE(nullptr, GetMenu(host.hWnd)) << "the menu bar stays";
  EXPECT_TRUE(Checked(StateOf(host.hWnd, hView, IDM_FULLSCREEN)));
  host.Command(IDM_FULLSCREEN);
  TestWin_PumpMessages();
  style = GetWindowLongPtrA(host.hWnd, GWL_STYLE);
  EXPECT_EQ(0, style & WS_POPUP);
  EXPECT_EQ(kFrame, style & kFrame);
  EXPECT_FALSE(Checked(StateOf(host.hWnd, hView, IDM_FULLSCREEN)));
}

TEST(Commands, MinimizeMaximizeAndRestoreFollowTheirRules) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  HMENU hWindow = GetSubMenu(GetMenu(host.hWnd), 6);
  EXPECT_TRUE(Grayed(StateOf(host.hWnd, hWindow, IDM_RESTORE)));
  EXPECT_FALSE(Grayed(StateOf(host.hWnd, hWindow, IDM_MAXIMIZE)));
  host.Command(IDM_MAXIMIZE);
  EXPECT_TRUE(IsZoomed(host.hWnd));
  EXPECT_TRUE(Grayed(StateOf(host.hWnd, hWindow, IDM_MAXIMIZE)));
  EXPECT_FALSE(Grayed(StateOf(host.hWnd, hWindow, IDM_RESTORE)));
  host.Command(IDM_RESTORE);
  EXPECT_FALSE(IsZoomed(host.hWnd));
  host.Command(IDM_MINIMIZE);
  EXPECT_TRUE(IsIconic(host.hWnd));
  EXPECT_TRUE(Grayed(StateOf(host.hWnd, hWindow, IDM_MINIMIZE)));
  host.Command(IDM_RESTORE);
  EXPECT_FALSE(IsIconic(host.hWnd));
}

// A popup the window shows with TrackPopupMenuEx, read and closed from a timer.
struct ShownPopup {
  static std::vector<std::string>& Texts() {
    static std::vector<std::string> texts;
    return texts;
  }
  static RECT& Rect() {
    static RECT rc;
    return rc;
  }
  static void CALLBACK ReadAndClose(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND hMenuWnd = FindWindowA("#32768", nullptr);
    HMENU hMenu = hMenuWnd ? reinterpret_cast<HMENU>(SendMessageA(hMenuWnd, MN_GETHMENU, 0, 0)) : nullptr;
    if (hMenu) {
      for (int i = 0; i < GetMenuItemCount(hMenu); ++i) Texts().push_back(TestWin_MenuString(hMenu, i));
      GetWindowRect(hMenuWnd, &Rect());
    }
    EndMenu();
  }
  UINT_PTR timer;
  ShownPopup() {
    Texts().clear();
    Rect() = RECT{};
    timer = SetTimer(nullptr, 0, 200, ReadAndClose);
  }
  ~ShownPopup() { KillTimer(nullptr, timer); }
};

TEST(Commands, HistoryPopupOpensBesideTheCaretAndWithShiftOnTheContextMenu) {
  WinTestDir dir;
  MainHost host(dir);
  // What the clipboard holds at start-up is the first entry.
  ASSERT_TRUE(SetClipboardBytes("at start", 9));
  ASSERT_TRUE(host.Create());
  Copy(host, "first");
  Copy(host, "second");
  host.Command(IDM_SELECTALL);
  TextEditor_SetCaret(host.Editor(), POINT{0, 0}, true);
  SetFocus(host.Editor());
  {
    ShownPopup popup;
    host.Command(IDM_PASTEHISTORY);
  }
  std::vector<std::string> expected = {"&0 second", "&1 first", "&2 at start"};
  EXPECT_EQ(expected, ShownPopup::Texts());
  POINT caret;
  GetCaretPos(&caret);
  ClientToScreen(host.Editor(), &caret);
  EXPECT_EQ(caret.x + 16, ShownPopup::Rect().left) << "16 pixels right of the caret";
  EXPECT_EQ(caret.y, ShownPopup::Rect().top);
  // The editor's context menu with Shift held is the history popup too.
  BYTE saved[256], keys[256];
  GetKeyboardState(saved);
  std::memcpy(keys, saved, sizeof(keys));
  keys[VK_SHIFT] |= 0x80;
  SetKeyboardState(keys);
  {
    ShownPopup popup;
    SendMessageA(host.Editor(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(host.Editor()), MAKELPARAM(50, 50));
  }
  SetKeyboardState(saved);
  EXPECT_EQ(expected, ShownPopup::Texts());
}

TEST(Commands, InputMethodCommandSwitchesTheEditorsOpenState) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  bool bBefore = Ime_IsOpen(host.Editor());
  host.Command(IDM_IME);
  EXPECT_NE(bBefore, Ime_IsOpen(host.Editor()));
  host.Command(IDM_IME);
  EXPECT_EQ(bBefore, Ime_IsOpen(host.Editor()));
}

}  // namespace
