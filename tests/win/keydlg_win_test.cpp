// The key assignment dialog opened by its command on the real main window:
// adding, replacing and deleting bindings, the column sort, resizing, the key
// file written on OK and the accelerator table in force at once, and the
// question at the close box after a change.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialogs/keylist.h"
#include "win/dialogscript.h"
#include "win/mainhost.h"

namespace {

HWND List(HWND hDlg) { return GetDlgItem(hDlg, IDC_KEY_BINDINGS); }

int Rows(HWND hDlg) { return static_cast<int>(SendMessageA(List(hDlg), LVM_GETITEMCOUNT, 0, 0)); }

std::string Cell(HWND hDlg, int row, int column) {
  char text[256] = {};
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = sizeof(text);
  SendMessageA(List(hDlg), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return text;
}

KeyCode RowCode(HWND hDlg, int row) {
  LVITEMA item = {};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  SendMessageA(List(hDlg), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return static_cast<KeyCode>(item.lParam);
}

int SelectedRow(HWND hDlg) {
  return static_cast<int>(SendMessageA(List(hDlg), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::string Text(HWND hWnd) {
  char text[1024] = {};
  GetWindowTextA(hWnd, text, sizeof(text));
  return text;
}

// The user's steps: a combination in the hot-key control, a command picked, 追加.
void Bind(HWND hDlg, WORD hotKey, const char* command) {
  HWND hCommands = GetDlgItem(hDlg, IDC_KEY_COMMANDS);
  LRESULT at = SendMessageA(hCommands, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(command));
  SendMessageA(hCommands, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
  SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDC_KEY_COMMANDS, LBN_SELCHANGE), reinterpret_cast<LPARAM>(hCommands));
  SendDlgItemMessageA(hDlg, IDC_KEY_HOTKEY, HKM_SETHOTKEY, hotKey, 0);
  SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDC_KEY_ADD, BN_CLICKED), 0);
}

void SelectRow(HWND hDlg, int row) {
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(List(hDlg), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void ClickHeader(HWND hDlg, int column) {
  NMLISTVIEW nm = {};
  nm.hdr.hwndFrom = List(hDlg);
  nm.hdr.idFrom = IDC_KEY_BINDINGS;
  nm.hdr.code = LVN_COLUMNCLICK;
  nm.iItem = -1;
  nm.iSubItem = column;
  SendMessageA(hDlg, WM_NOTIFY, IDC_KEY_BINDINGS, reinterpret_cast<LPARAM>(&nm));
}

RECT ChildRect(HWND hDlg, int id) {
  RECT rc = {};
  GetWindowRect(GetDlgItem(hDlg, id), &rc);
  MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

void EmptyClipboardNow() {
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
}

// A key pressed with modifiers held, through the program's own message loop.
void PressInLoop(HWND hMain, HWND hTarget, std::initializer_list<int> held, int vk) {
  BYTE saved[256], state[256];
  GetKeyboardState(saved);
  std::memcpy(state, saved, sizeof(state));
  for (int k : held) state[k] |= 0x80;
  SetKeyboardState(state);
  PostMessageA(hTarget, WM_KEYDOWN, static_cast<WPARAM>(vk), 1);
  PostQuitMessage(0);
  MainWindow_RunMessageLoop(hMain);
  SetKeyboardState(saved);
}

const WORD kCtrlShiftH = MAKEWORD('H', HOTKEYF_CONTROL | HOTKEYF_SHIFT);

TEST(KeyAssignDialog, ABindingAddedAndConfirmedIsWrittenAndWorksAtOnce) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  host.Type("copied text");
  TextEditor_SetSelection(host.Editor(), POINT{0, 0}, POINT{6, 0});
  EmptyClipboardNow();
  {
    DialogScript script;
    std::string title, titleAfter, key, command, help, helpNone, replaced;
    int commands = 0, rowsAfterAgain = 0;
    LONG dxOk = 0, dyOk = 0, dwList = 0, growX = 0, growY = 0;
    script.Then([&](HWND h) {
      title = Text(h);
      commands = static_cast<int>(SendDlgItemMessageA(h, IDC_KEY_COMMANDS, LB_GETCOUNT, 0, 0));
      Bind(h, kCtrlShiftH, "検索");
      Bind(h, kCtrlShiftH, "コピー");  // the same combination again replaces the command
      rowsAfterAgain = Rows(h);
      key = Cell(h, 0, 0);
      command = Cell(h, 0, 1);
      titleAfter = Text(h);
      help = Text(GetDlgItem(h, IDC_KEY_HELP));
      SendDlgItemMessageA(h, IDC_KEY_COMMANDS, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
      SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDC_KEY_COMMANDS, LBN_SELCANCEL), 0);
      helpNone = Text(GetDlgItem(h, IDC_KEY_HELP));
      // Resizing: the buttons follow the corner, the list grows.
      RECT before = {}, clientBefore = {}, okBefore = ChildRect(h, IDOK), listBefore = ChildRect(h, IDC_KEY_BINDINGS);
      GetWindowRect(h, &before);
      GetClientRect(h, &clientBefore);
      SetWindowPos(h, nullptr, 0, 0, before.right - before.left + 80, before.bottom - before.top + 40,
                   SWP_NOMOVE | SWP_NOZORDER);
      RECT clientAfter = {}, okAfter = ChildRect(h, IDOK), listAfter = ChildRect(h, IDC_KEY_BINDINGS);
      GetClientRect(h, &clientAfter);
      growX = clientAfter.right - clientBefore.right;
      growY = clientAfter.bottom - clientBefore.bottom;
      dxOk = okAfter.left - okBefore.left;
      dyOk = okAfter.top - okBefore.top;
      dwList = (listAfter.right - listAfter.left) - (listBefore.right - listBefore.left);
      SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    EXPECT_EQ(1, host.Command(IDM_KEYASSIGN));
    EXPECT_TRUE(script.AllAnswered()) << script.Titles();
    EXPECT_EQ("キーの割り当て", title);
    EXPECT_EQ(kCommandNameCount, commands);
    EXPECT_EQ(1, rowsAfterAgain) << "one row per key code";
    EXPECT_EQ("Ctrl + Shift + H", key);
    EXPECT_EQ("コピー", command);
    EXPECT_EQ("キーの割り当て *", titleAfter);
    char copyHelp[1024] = {};
    LoadStringA(GetModuleHandleA(nullptr), IDM_COPY, copyHelp, sizeof(copyHelp));
    EXPECT_NE("", std::string(copyHelp));
    EXPECT_EQ(copyHelp, help) << "the help text of the selected command";
    EXPECT_EQ("", helpNone);
    EXPECT_GT(growX, 0);
    EXPECT_GT(growY, 0);
    EXPECT_EQ(growX, dxOk);
    EXPECT_EQ(growY, dyOk);
    EXPECT_EQ(growX, dwList);

    EXPECT_EQ("[キー割り当て]\r\n00000348=コピー\r\n", WinTest_ReadFile(host.key));
    ASSERT_EQ(1, host.app->keys.keyBindingCount);
    EXPECT_EQ(0x348u, host.app->keys.keyBindings[0].dwKeyCode);
    PressInLoop(host.hWnd, host.Editor(), {VK_CONTROL, VK_SHIFT}, 'H');
    EXPECT_EQ("copied", WinTest_ClipboardText()) << "Ctrl+Shift+H copies at once";
  }

  // After a restart the dialog shows the binding again.
  {
    DialogScript script;
    script.Press(IDNO);  // the typed document is not saved
    ASSERT_TRUE(host.Close());
  }
  host.Destroy();  // takes the quit message the closed window posted
  MainHost again(dir);
  ASSERT_TRUE(again.Create());
  DialogScript script2;
  std::string shown;
  script2.Then([&](HWND h) {
    shown = Cell(h, 0, 0) + "=" + Cell(h, 0, 1);
    SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  EXPECT_EQ(0, again.Command(IDM_KEYASSIGN));
  EXPECT_EQ("Ctrl + Shift + H=コピー", shown) << script2.Titles();
}

TEST(KeyAssignDialog, SortingAndDeletingEveryBindingLeaveAnEmptyKeyFile) {
  WinTestDir dir;
  // Ctrl+A switched off, F2 to a command the names do not know, Shift+B to find.
  ASSERT_TRUE(
      WinTest_WriteFile(dir / "qwilpad.key", "[キー割り当て]\r\n00000241=なし\r\n00000071=9ccf\r\n00000142=検索\r\n"));
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  DialogScript script;
  std::vector<std::string> first, second;
  std::string unknownName;
  int unknownSelection = 0, afterDelete = -2, selectedAfterDelete = -2, rowsAfterKey = -1, rowsEnd = -1;
  KeyCode rowCodeAfterDelete = 0, hotKeyShown = 0;
  script.Then([&](HWND h) {
    // The rows come in item order: the virtual key first.
    for (int i = 0; i < Rows(h); ++i) first.push_back(Cell(h, i, 1));
    ClickHeader(h, KEYLIST_COLUMN_COMMAND);
    std::vector<std::string> one;
    for (int i = 0; i < Rows(h); ++i) one.push_back(Cell(h, i, 1));
    ClickHeader(h, KEYLIST_COLUMN_COMMAND);
    for (int i = 0; i < Rows(h); ++i) second.push_back(Cell(h, i, 1));
    // Whatever the run's sort was, the second click reverses the first.
    std::vector<std::string> reversed(one.rbegin(), one.rend());
    EXPECT_EQ(reversed, second);
    // The row of the unknown command: its key shown, no command selected.
    int unknown = -1;
    for (int i = 0; i < Rows(h); ++i) {
      if (Cell(h, i, 1) == "UNKNOWN") unknown = i;
    }
    SelectRow(h, unknown);
    unknownName = Cell(h, unknown, 1);
    unknownSelection = static_cast<int>(SendDlgItemMessageA(h, IDC_KEY_COMMANDS, LB_GETCURSEL, 0, 0));
    hotKeyShown = static_cast<KeyCode>(SendDlgItemMessageA(h, IDC_KEY_HOTKEY, HKM_GETHOTKEY, 0, 0));
    // 削除 from the row's context menu, then the Delete key in the list.
    SelectRow(h, 0);
    SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDM_DELETE, 0), 0);
    afterDelete = Rows(h);
    selectedAfterDelete = SelectedRow(h);
    rowCodeAfterDelete = RowCode(h, selectedAfterDelete);
    SelectRow(h, afterDelete - 1);
    SendMessageA(List(h), WM_KEYDOWN, VK_DELETE, 1);
    rowsAfterKey = Rows(h);
    SelectRow(h, 0);
    SendMessageA(List(h), WM_KEYDOWN, VK_DELETE, 1);
    rowsEnd = Rows(h);
    SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  EXPECT_EQ(1, host.Command(IDM_KEYASSIGN));
  EXPECT_TRUE(script.AllAnswered()) << script.Titles();
  EXPECT_EQ((std::vector<std::string>{"なし", "検索", "UNKNOWN"}), first);
  EXPECT_EQ(3u, second.size());
  EXPECT_EQ("UNKNOWN", unknownName);
  EXPECT_EQ(LB_ERR, unknownSelection) << "UNKNOWN leaves no command selected";
  EXPECT_EQ(0x71u, hotKeyShown & 0xFFFF) << "F2's code in the hot-key control";
  EXPECT_EQ(2, afterDelete);
  EXPECT_EQ(0, selectedAfterDelete) << "the row now at the deleted one's index";
  EXPECT_NE(0u, rowCodeAfterDelete);
  EXPECT_EQ(1, rowsAfterKey);
  EXPECT_EQ(0, rowsEnd);
  EXPECT_EQ("", WinTest_ReadFile(host.key)) << "no bindings, an empty key file";
  EXPECT_EQ(0, host.app->keys.keyBindingCount);
  // The built-in Ctrl+A selects all again.
  host.Type("abc");
  PressInLoop(host.hWnd, host.Editor(), {VK_CONTROL}, 'A');
  EXPECT_TRUE(TextEditor_HasSelection(host.Editor())) << "Ctrl+A is the built-in select all again";
}

HWND g_hKeyDialog = nullptr;

void CALLBACK CloseAgain(HWND, UINT, UINT_PTR idTimer, DWORD) {
  KillTimer(nullptr, idTimer);
  if (!IsWindow(g_hKeyDialog)) {
    ADD_FAILURE() << "Cancel at the question closed the dialog";
    return;
  }
  PostMessageA(g_hKeyDialog, WM_CLOSE, 0, 0);
}

TEST(KeyAssignDialog, TheCloseBoxAsksOnlyAfterAChange) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  {
    // Changed: Cancel at the question keeps the dialog, Yes acts as OK.
    DialogScript script;
    script.Then([&](HWND h) {
      g_hKeyDialog = h;
      Bind(h, kCtrlShiftH, "コピー");
      PostMessageA(h, WM_CLOSE, 0, 0);
    });
    script.Then([&](HWND box) {
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      SetTimer(nullptr, 0, 200, CloseAgain);
    });
    script.Press(IDYES);
    EXPECT_EQ(1, host.Command(IDM_KEYASSIGN));
    EXPECT_TRUE(script.AllAnswered()) << script.Titles();
    ASSERT_EQ(3u, script.seen.size());
    EXPECT_EQ("キーの割り当て *", script.seen[1].title) << "the dialog's current title";
    EXPECT_NE(std::string::npos, script.seen[1].text.find("設定を保存しますか？")) << script.seen[1].text;
    EXPECT_EQ("キーの割り当て *", script.seen[2].title);
    EXPECT_EQ("[キー割り当て]\r\n00000348=コピー\r\n", WinTest_ReadFile(host.key));
  }
  {
    // No acts as ｷｬﾝｾﾙ; Esc never asks; unchanged, the close box does not ask.
    DialogScript script;
    script.Then([&](HWND h) {
      SendMessageA(List(h), WM_KEYDOWN, VK_DELETE, 1);  // nothing selected: no change
      SelectRow(h, 0);
      SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDM_DELETE, 0), 0);
      PostMessageA(h, WM_CLOSE, 0, 0);
    });
    script.Press(IDNO);
    script.Then([&](HWND h) {
      SelectRow(h, 0);
      SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDM_DELETE, 0), 0);
      PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    script.Then([&](HWND h) {
      Bind(h, 0, "コピー");  // an empty hot-key control adds nothing
      PostMessageA(h, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(0, host.Command(IDM_KEYASSIGN));
    EXPECT_EQ(0, host.Command(IDM_KEYASSIGN));
    EXPECT_EQ(0, host.Command(IDM_KEYASSIGN));
    EXPECT_TRUE(script.AllAnswered()) << script.Titles();
    EXPECT_EQ(4u, script.seen.size()) << script.Titles();
  }
  EXPECT_EQ(1, host.app->keys.keyBindingCount) << "no cancelled dialog changed the bindings";
  EXPECT_EQ("[キー割り当て]\r\n00000348=コピー\r\n", WinTest_ReadFile(host.key));
}

// A key file that cannot be written leaves the new bindings in force and says so.
TEST(KeyAssignDialog, AKeyFileThatCannotBeWrittenIsReported) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  std::string unwritable = dir.path + "\\no such folder\\qwilpad.key";
  lstrcpynA(host.app->szKeyFilePath, unwritable.c_str(), MAX_PATH);
  DialogScript script;
  script.Then([&](HWND h) {
    Bind(h, kCtrlShiftH, "コピー");
    PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  script.Press(IDOK);
  EXPECT_EQ(1, host.Command(IDM_KEYASSIGN));
  EXPECT_TRUE(script.AllAnswered()) << script.Titles();
  ASSERT_EQ(2u, script.seen.size()) << script.Titles();
  EXPECT_NE(std::string::npos, script.seen[1].text.find("保存できませんでした")) << script.seen[1].text;
  EXPECT_EQ(1, host.app->keys.keyBindingCount);
}

}  // namespace
