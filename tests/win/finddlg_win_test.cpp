// The find and replace dialogs over the real main window: a dialog script sets
// their fields and presses their buttons from inside their own modal loops; the
// test then reads the document, the selection and the settings file back.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/searchcmd_win.h"
#include "dialogs/finddlg_win.h"
#include "dialogs/searchreq.h"
#include "win/dialogscript.h"
#include "win/mainhost.h"

namespace {

std::string DocText(HWND hEditor) {
  POINT a, b;
  TextEditor_GetSelection(hEditor, &a, &b);
  TextEditor_SelectAll(hEditor);
  std::string text(static_cast<size_t>(TextEditor_GetSelectedLength(hEditor)), '\0');
  TextEditor_GetSelectedText(hEditor, &text[0], static_cast<int32_t>(text.size()));
  TextEditor_SetSelection(hEditor, a, b);
  return text;
}

std::string Selection(HWND hEditor) {
  POINT a, b;
  TextEditor_GetSelection(hEditor, &a, &b);
  return std::to_string(a.y) + ":" + std::to_string(a.x) + "-" + std::to_string(b.y) + ":" + std::to_string(b.x);
}

void SetText(HWND hDlg, int nId, const char* text) {
  SetDlgItemTextA(hDlg, nId, text);
  SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(nId, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(hDlg, nId)));
}
void Click(HWND hDlg, int nId) {
  SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hDlg, nId)));
}
void SetBox(HWND hDlg, int nId, bool bOn) {
  CheckDlgButton(hDlg, nId, bOn ? BST_CHECKED : BST_UNCHECKED);
  Click(hDlg, nId);
}
bool Enabled(HWND hDlg, int nId) { return IsWindowEnabled(GetDlgItem(hDlg, nId)) != FALSE; }
std::string ItemText(HWND hDlg, int nId) {
  char text[2048] = {};
  GetDlgItemTextA(hDlg, nId, text, sizeof(text));
  return text;
}

// The main window's request messages as they arrive, with the state of the
// replace-all button at that moment.
struct RequestRecorder {
  static RequestRecorder*& Current() {
    static RequestRecorder* p = nullptr;
    return p;
  }
  HWND hWnd;
  WNDPROC original;
  std::vector<std::string> seen;  // "1032 a>x all=disabled"
  explicit RequestRecorder(HWND h) : hWnd(h) {
    Current() = this;
    original = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
  }
  ~RequestRecorder() {
    if (IsWindow(hWnd)) SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    Current() = nullptr;
  }
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    RequestRecorder* self = Current();
    if (m >= kSearchMsgFindNext && m <= kSearchMsgReplaceAll) {
      const SearchRequest* r = reinterpret_cast<const SearchRequest*>(l);
      std::string line = std::to_string(m) + " " + std::string(r->pszFind, r->nFindLength);
      if (r->pszReplace) line += ">" + std::string(r->pszReplace, r->nReplaceLength);
      line += " opt=" + std::to_string(w);
      HWND hAll = r->hDialog ? GetDlgItem(r->hDialog, IDC_FIND_REPLACEALL) : nullptr;
      if (hAll) line += IsWindowEnabled(hAll) ? " all=on" : " all=off";
      self->seen.push_back(line);
    }
    return CallWindowProcA(self->original, h, m, w, l);
  }
};

// A key=value line of the section, the last line of a section included.
bool IniHas(const std::string& ini, const std::string& section, const std::string& line) {
  size_t at = ini.find("[" + section + "]\r\n");
  if (at == std::string::npos) return false;
  size_t end = ini.find("\r\n[", at + 1);
  std::string body = ini.substr(at, end == std::string::npos ? std::string::npos : end + 2 - at);
  return body.find("\r\n" + line + "\r\n") != std::string::npos;
}

struct FindFixture {
  WinTestDir dir;
  MainHost host{dir};
  std::string path;
  explicit FindFixture(const std::string& text) : path(dir / "doc.txt") {
    WinTest_WriteFile(path, text);
    EXPECT_TRUE(host.Create({path}));
  }
};

TEST(FindDialog, ReplaceAllFromTheReplaceDialogSavesAndKeepsBothHistories) {
  FindFixture f("abcabc");
  RequestRecorder rec(f.host.hWnd);
  std::string before;
  DialogScript script;
  script.Then([&](HWND hDlg) {
    before = ItemText(hDlg, IDC_FIND_TEXT) + "|" + (Enabled(hDlg, IDC_FIND_REPLACEALL) ? "on" : "off");
    SetText(hDlg, IDC_FIND_TEXT, "a");
    SetText(hDlg, IDC_FIND_REPLACETEXT, "x");
    Click(hDlg, IDC_FIND_REPLACEALL);
    Click(hDlg, IDCANCEL);
  });
  f.host.Command(IDM_REPLACE);
  EXPECT_TRUE(script.AllAnswered());
  EXPECT_EQ("[置換]", script.Titles());
  EXPECT_EQ("|off", before) << "no text: replace all waits for one";
  EXPECT_EQ("xbcxbc", DocText(f.host.Editor()));
  ASSERT_EQ(1u, rec.seen.size());
  EXPECT_EQ("1032 a>x opt=0 all=off", rec.seen[0]) << "the button is disabled while replace all runs";
  EXPECT_EQ(1, f.host.Command(IDM_SAVE));
  EXPECT_EQ("xbcxbc", WinTest_ReadFile(f.path));
  std::string ini = WinTest_ReadFile(f.host.ini);
  EXPECT_TRUE(IniHas(ini, "検索ダイアログ", "0=\"a\"")) << ini;
  EXPECT_TRUE(IniHas(ini, "置換ダイアログ", "0=\"x\"")) << ini;
  EXPECT_TRUE(IniHas(ini, "置換ダイアログ", "履歴数=1")) << ini;
  // Undo takes the replacements back one by one.
  EXPECT_TRUE(TextEditor_Undo(f.host.Editor()));
  EXPECT_EQ("xbcabc", DocText(f.host.Editor()));
}

TEST(FindDialog, RegularExpressionsFindAndReplaceAndF3GoesOnAfterClosing) {
  FindFixture f("a12b3");
  DialogScript script;
  std::string afterFind;
  script.Then([&](HWND hDlg) {
    SetBox(hDlg, IDC_FIND_REGEXP, true);
    SetText(hDlg, IDC_FIND_TEXT, "[0-9]+");
    Click(hDlg, IDC_FIND_NEXT);
    afterFind = Selection(f.host.Editor());
    Click(hDlg, IDCANCEL);
  });
  f.host.Command(IDM_FIND);
  EXPECT_EQ("0:1-0:3", afterFind);
  EXPECT_EQ(SF_REGEXP, f.host.app->nFindMode) << "the dialog writes the option word back";
  f.host.Command(IDM_FINDNEXT);
  EXPECT_EQ("0:4-0:5", Selection(f.host.Editor())) << "F3 goes on with the same pattern";
  f.host.Command(IDM_FINDPREV);
  EXPECT_EQ("0:2-0:3", Selection(f.host.Editor())) << "backward, the nearest start before the selection";

  script.Then([&](HWND hDlg) {
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(hDlg, IDC_FIND_REGEXP)) << "the boxes show the option word";
    EXPECT_EQ("2", ItemText(hDlg, IDC_FIND_TEXT)) << "the selected match is proposed";
    SetText(hDlg, IDC_FIND_TEXT, "[0-9]+");
    SetText(hDlg, IDC_FIND_REPLACETEXT, "#");
    Click(hDlg, IDC_FIND_REPLACEALL);
    Click(hDlg, IDCANCEL);
  });
  f.host.Command(IDM_REPLACE);
  EXPECT_EQ("a#b#", DocText(f.host.Editor()));
  script.Press(IDNO);  // the save question
  ASSERT_TRUE(f.host.Close());
  std::string ini = WinTest_ReadFile(f.host.ini);
  EXPECT_TRUE(IniHas(ini, "検索ダイアログ", "正規表現を使う=1")) << ini;
  EXPECT_TRUE(IniHas(ini, "検索ダイアログ", "0=\"[0-9]+\"")) << ini;
}

TEST(FindDialog, CaseAndWidthBlindWholeWordsAndLiteralSelectionSearch) {
  FindFixture f("xＡＢ cab abc a.c");
  DialogScript script;
  std::string found;
  script.Then([&](HWND hDlg) {
    SetBox(hDlg, IDC_FIND_IGNORECASE, true);
    SetBox(hDlg, IDC_FIND_IGNOREWIDTH, true);
    SetText(hDlg, IDC_FIND_TEXT, "ab");
    EXPECT_TRUE(Enabled(hDlg, IDC_FIND_NEXT) && Enabled(hDlg, IDC_FIND_PREV));
    Click(hDlg, IDC_FIND_NEXT);
    found = Selection(f.host.Editor());
    Click(hDlg, IDCANCEL);
  });
  f.host.Command(IDM_FIND);
  EXPECT_EQ("0:1-0:5", found) << "ab finds ＡＢ";
  EXPECT_EQ(SF_IGNORECASE | SF_IGNOREWIDTH, f.host.app->nFindMode);

  // Whole words: "ab" stands in "cab" and "abc" only as a part; nothing is found.
  TextEditor_SetSelection(f.host.Editor(), POINT{0, 0}, POINT{0, 0});
  script.Then([&](HWND hDlg) {
    SetBox(hDlg, IDC_FIND_IGNORECASE, false);
    SetBox(hDlg, IDC_FIND_IGNOREWIDTH, false);
    SetBox(hDlg, IDC_FIND_WHOLEWORD, true);
    SetText(hDlg, IDC_FIND_TEXT, "ab");
    Click(hDlg, IDC_FIND_NEXT);
    Click(hDlg, IDCANCEL);
  });
  script.Press(IDOK);  // the not-found message
  f.host.Command(IDM_FIND);
  ASSERT_EQ(3u, script.seen.size());
  EXPECT_EQ("検索", script.seen[2].title);
  EXPECT_NE(std::string::npos, script.seen[2].text.find("「ab」は見つかりませんでした。")) << script.seen[2].text;
  EXPECT_EQ("0:0-0:0", Selection(f.host.Editor())) << "the selection stays";

  // Ctrl+F3 on "a.c" with the regular-expression option on searches it literally:
  // from behind the selection it wraps to the same place, not to "abc".
  f.host.app->nFindMode = SF_REGEXP;
  TextEditor_SetSelection(f.host.Editor(), POINT{14, 0}, POINT{17, 0});
  f.host.Command(IDM_FINDSELNEXT);
  EXPECT_EQ("0:14-0:17", Selection(f.host.Editor()));
  EXPECT_STREQ("a.c", f.host.app->szLastSearch);
  EXPECT_EQ(SF_REGEXP, f.host.app->nFindMode) << "the option word itself is left alone";
  EXPECT_TRUE(script.AllAnswered());
}

TEST(FindDialog, BackslashNeverMatchesATrailByteAndATooComplexPatternChangesNothing) {
  const std::string text = "表ソ\\\r\nabc\r\nabc\r\n" + std::string(30, 'a') + "!\r\nabc";
  FindFixture f(text);
  DialogScript script;
  std::vector<std::string> found;
  script.Then([&](HWND hDlg) {
    SetText(hDlg, IDC_FIND_TEXT, "\\");
    Click(hDlg, IDC_FIND_NEXT);
    found.push_back(Selection(f.host.Editor()));
    Click(hDlg, IDC_FIND_NEXT);  // wraps round to the one real backslash
    found.push_back(Selection(f.host.Editor()));
    SetBox(hDlg, IDC_FIND_REGEXP, true);
    SetText(hDlg, IDC_FIND_TEXT, "\\\\");
    Click(hDlg, IDC_FIND_PREV);
    found.push_back(Selection(f.host.Editor()));
    EXPECT_TRUE(Enabled(hDlg, IDC_FIND_REPLACE)) << "a match found enables replace";
    SetText(hDlg, IDC_FIND_TEXT, "abc|^(a|a)*$");
    EXPECT_FALSE(Enabled(hDlg, IDC_FIND_REPLACE)) << "a new text disables it again";
    SetText(hDlg, IDC_FIND_REPLACETEXT, "X");
    Click(hDlg, IDC_FIND_REPLACEALL);
    Click(hDlg, IDCANCEL);
  });
  script.Press(IDOK);  // the too-complex message
  f.host.Command(IDM_REPLACE);
  EXPECT_EQ((std::vector<std::string>{"0:4-0:5", "0:4-0:5", "0:4-0:5"}), found);
  ASSERT_EQ(2u, script.seen.size());
  EXPECT_NE(std::string::npos, script.seen[1].text.find("複雑すぎる")) << script.seen[1].text;
  EXPECT_EQ(text, DocText(f.host.Editor())) << "nothing replaced";
  EXPECT_FALSE(TextEditor_GetModified(f.host.Editor()));
}

TEST(FindDialog, ProposalHistoryOrderReplaceAndWidthOnlyResizing) {
  FindFixture f("one\r\ntwo one");
  WritePrivateProfileStringA("検索ダイアログ", "履歴数", "2", f.host.ini.c_str());
  WritePrivateProfileStringA("検索ダイアログ", "0", "\"zzz\"", f.host.ini.c_str());
  WritePrivateProfileStringA("検索ダイアログ", "1", "\"one\"", f.host.ini.c_str());
  // A selection over two lines proposes its first line, found in the history.
  TextEditor_SetSelection(f.host.Editor(), POINT{0, 0}, POINT{0, 1});
  DialogScript script;
  std::vector<std::string> items;
  RECT before = {}, after = {};
  RECT comboBefore = {}, comboAfter = {}, nextBefore = {}, nextAfter = {};
  script.Then([&](HWND hDlg) {
    HWND hCombo = GetDlgItem(hDlg, IDC_FIND_TEXT);
    for (int i = 0; i < SendMessageA(hCombo, CB_GETCOUNT, 0, 0); ++i) {
      char item[64] = {};
      SendMessageA(hCombo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
      items.push_back(item);
    }
    EXPECT_EQ("one", ItemText(hDlg, IDC_FIND_TEXT));
    EXPECT_EQ(f.host.hWnd, GetWindow(hDlg, GW_OWNER));
    // Replace over a selection that is no match still replaces it, then finds on.
    SetText(hDlg, IDC_FIND_REPLACETEXT, "1");
    Click(hDlg, IDC_FIND_REPLACE);
    EXPECT_EQ("1two one", DocText(f.host.Editor())) << "the selection was replaced";
    EXPECT_EQ("0:5-0:8", Selection(f.host.Editor())) << "and the next match selected";
    Click(hDlg, IDC_FIND_REPLACE);
    EXPECT_EQ("1two 1", DocText(f.host.Editor()));
    GetWindowRect(hDlg, &before);
    GetWindowRect(GetDlgItem(hDlg, IDC_FIND_TEXT), &comboBefore);
    GetWindowRect(GetDlgItem(hDlg, IDC_FIND_NEXT), &nextBefore);
    SetWindowPos(hDlg, nullptr, 0, 0, before.right - before.left + 80, before.bottom - before.top + 50,
                 SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(hDlg, &after);
    GetWindowRect(GetDlgItem(hDlg, IDC_FIND_TEXT), &comboAfter);
    GetWindowRect(GetDlgItem(hDlg, IDC_FIND_NEXT), &nextAfter);
    Click(hDlg, IDCANCEL);
  });
  // The second replace finds nothing more: the not-found message.
  script.Press(IDOK);
  f.host.Command(IDM_REPLACE);
  EXPECT_EQ((std::vector<std::string>{"one", "zzz"}), items) << "the proposed item moved to the top";
  EXPECT_EQ((before.right - before.left) + 80, after.right - after.left);
  EXPECT_EQ(before.bottom - before.top, after.bottom - after.top) << "the height stays";
  EXPECT_EQ((comboBefore.right - comboBefore.left) + 80, comboAfter.right - comboAfter.left);
  EXPECT_EQ(nextBefore.left + 80, nextAfter.left);
  EXPECT_EQ(nextBefore.right - nextBefore.left, nextAfter.right - nextAfter.left);
  std::string ini = WinTest_ReadFile(f.host.ini);
  EXPECT_TRUE(IniHas(ini, "置換ダイアログ", "0=\"1\"")) << ini;
}

TEST(FindDialog, RequestsFromAnywhereAreCheckedBeforeTheyAreRead) {
  FindFixture f("abc");
  char text[] = "abc";
  struct Case {
    UINT uMsg;
    int32_t nFind;
    int32_t nReplace;
    LRESULT expected;
  } cases[] = {
      {kSearchMsgFindNext, -1, -1, 0},   {kSearchMsgFindNext, 1024, -1, 0},
      {kSearchMsgFindNext, INT32_MAX, -1, 0}, {kSearchMsgReplace, 3, -5, 0},
      {kSearchMsgReplaceAll, 3, 4096, 0}, {kSearchMsgFindNext, 3, -1, 1},
  };
  for (const Case& c : cases) {
    SearchRequest r = {reinterpret_cast<HWND>(static_cast<intptr_t>(0x12345)), 0, text, c.nFind,
                       c.nReplace >= 0 ? text : nullptr, c.nReplace};
    EXPECT_EQ(c.expected, SendMessageA(f.host.hWnd, c.uMsg, 0, reinterpret_cast<LPARAM>(&r))) << c.uMsg;
  }
  EXPECT_EQ("abc", DocText(f.host.Editor())) << "refused requests change nothing";
  EXPECT_STREQ("abc", f.host.app->szLastSearch);
  EXPECT_EQ(0, SendMessageA(f.host.hWnd, kSearchMsgFindNext, 0, 0)) << "no record at all";
  // F3 before any search does nothing, in a new window.
  WinTestDir dir2;
  MainHost fresh(dir2);
  ASSERT_TRUE(fresh.Create());
  EXPECT_EQ(0, fresh.Command(IDM_FINDNEXT));
  EXPECT_EQ(0, fresh.Command(IDM_FINDPREV));
}

}  // namespace

namespace {

// Ctrl+J's dialog answered with a text; the caret's place afterwards.
std::string GoTo(MainHost& host, const char* text, std::string* pShown = nullptr) {
  DialogScript script;
  script.Then([&](HWND hDlg) {
    if (pShown) {
      char shown[32] = {};
      GetDlgItemTextA(hDlg, IDC_GOTO_LINE, shown, sizeof(shown));
      INT lo = 0, hi = 0;
      SendDlgItemMessageA(hDlg, IDC_GOTO_SPIN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo),
                          reinterpret_cast<LPARAM>(&hi));
      *pShown = std::string(shown) + " " + std::to_string(lo) + ".." + std::to_string(hi);
    }
    SetDlgItemTextA(hDlg, IDC_GOTO_LINE, text);
    PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  host.Command(IDM_GOTOLINE);
  EXPECT_TRUE(script.AllAnswered());
  EXPECT_EQ("[移動先の指定]", script.Titles());
  POINT caret = TextEditor_GetCaret(host.Editor());
  return std::to_string(caret.y) + ":" + std::to_string(caret.x);
}

TEST(GoToLineDialog, NumbersAreClampedIntoTheDocument) {
  FindFixture f("l1\r\nl2\r\nl3\r\nl4\r\nl5");
  TextEditor_SetCaret(f.host.Editor(), POINT{1, 1}, true);
  std::string shown;
  EXPECT_EQ("2:0", GoTo(f.host, "3", &shown));
  EXPECT_EQ("2 1..5", shown) << "the caret's line and the range";
  EXPECT_EQ("0:0", GoTo(f.host, "0"));
  EXPECT_EQ("4:0", GoTo(f.host, "99"));
  EXPECT_EQ("0:0", GoTo(f.host, "-2147483648"));
  EXPECT_EQ("4:0", GoTo(f.host, "99999999999"));
  EXPECT_FALSE(TextEditor_HasSelection(f.host.Editor()));
}

TEST(GoToLineDialog, TextWithoutANumberKeepsTheDialogOpen) {
  FindFixture f("a\r\nb");
  DialogScript script;
  bool bStillOpen = false;
  script.Then([&](HWND hDlg) {
    // Shown as the modal loop would (the script can answer first), so that
    // OK hiding it is what tells whether the dialog ended.
    ShowWindow(hDlg, SW_SHOWNA);
    SetDlgItemTextA(hDlg, IDC_GOTO_LINE, "");
    SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    bStillOpen = IsWindow(hDlg) && IsWindowVisible(hDlg);
    PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  TextEditor_SetCaret(f.host.Editor(), POINT{1, 1}, true);
  f.host.Command(IDM_GOTOLINE);
  EXPECT_TRUE(bStillOpen);
  POINT caret = TextEditor_GetCaret(f.host.Editor());
  EXPECT_EQ(1, caret.y) << "cancel moves nothing";
  EXPECT_EQ(1, caret.x);
}

}  // namespace
