// The open, save and font dialogs as the system shows them: titles, filters,
// the proposed name, extension completion that follows the chosen file type,
// and the font dialog's answer.
#include <gtest/gtest.h>

#include "dialogs/filedlg_win.h"
#include "win/mainhost.h"
#include "win/dialogscript.h"

namespace {

// Chooses file type index (from 0) in the type box, with the notices a click
// in the list sends (one layout of the dialog reacts to the first, one to the
// second).
void ChooseType(HWND hDlg, int index) {
  HWND hType = GetDlgItem(hDlg, cmb1);
  SendMessageA(hType, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(hType));
  SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(hType));
}

void TypeName(HWND hDlg, const char* name) {
  HWND hName = GetDlgItem(hDlg, cmb13);
  if (!hName) hName = GetDlgItem(hDlg, edt1);
  SetWindowTextA(hName, name);
}

std::vector<std::string> TypeTexts(HWND hDlg) {
  std::vector<std::string> texts;
  HWND hType = GetDlgItem(hDlg, cmb1);
  int n = static_cast<int>(SendMessageA(hType, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    char text[128] = {};
    SendMessageA(hType, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    texts.push_back(text);
  }
  return texts;
}

TEST(FileDialogs, SaveCompletesTheExtensionOfTheChosenType) {
  WinTestDir dir;
  struct Case {
    int type;  // -1: left as it opens
    const char* typed;
    bool complete;
    const char* saved;
  };
  const Case cases[] = {
      {-1, "memo", true, "memo.txt"},
      {1, "conf", true, "conf.ini"},    // the settings type gets its own extension
      // Back to the first type the dialog is told to add no extension; Wine's
      // dialog does not take that message (it adds the type's own), so the case
      // is left to a real system.
      {-1, "bare", false, "bare"},
      {-1, "dotted.md", true, "dotted.md"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> types;
    DialogScript script;
    script.Then([&](HWND h) {
      types = TypeTexts(h);
      if (c.type >= 0) ChooseType(h, c.type);
      TypeName(h, c.typed);
      PostMessageA(h, WM_COMMAND, IDOK, 0);
    });
    char buffer[MAX_PATH + 1];
    ASSERT_EQ(FILEDLG_CHOSEN, ChooseSaveFile(buffer, sizeof(buffer), "無題.txt", nullptr, dir.path.c_str(), c.complete, true))
        << c.typed;
    EXPECT_EQ(dir / c.saved, std::string(buffer)) << c.typed;
    EXPECT_EQ("[名前を付けて保存]", script.Titles());
    EXPECT_EQ((std::vector<std::string>{"ﾃｷｽﾄ ﾌｧｲﾙ (*.txt)", "設定 ﾌｧｲﾙ (*.ini)", "すべてのファイル"}), types);
  }
}

TEST(FileDialogs, OpenShowsItsFiltersAndCancelKeepsTheProposedName) {
  WinTestDir dir;
  std::vector<std::string> types;
  DialogScript script;
  script.Then([&](HWND h) {
    types = TypeTexts(h);
    PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
  });
  char buffer[MAX_PATH + 1];
  EXPECT_EQ(FILEDLG_CANCELLED, ChooseOpenFile(buffer, sizeof(buffer), "*.txt", nullptr, dir.path.c_str()));
  EXPECT_STREQ("*.txt", buffer);
  EXPECT_EQ("[ファイルを開く]", script.Titles());
  EXPECT_EQ((std::vector<std::string>{"ﾃｷｽﾄ ﾌｧｲﾙ (*.txt; *.doc)", "設定 ﾌｧｲﾙ (*.ini)", "すべてのファイル (*.*)"}), types);
}

TEST(FileDialogs, FontDialogGivesTheChosenFontAndItsPointSize) {
  LOGFONTA lf = {};
  lf.lfHeight = -16;
  lf.lfWeight = 400;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  std::strcpy(lf.lfFaceName, "IPAGothic");
  int32_t pointSize = -1;
  {
    DialogScript script;
    script.Cancel();
    LOGFONTA before = lf;
    EXPECT_FALSE(ChooseDisplayFont(nullptr, &lf, &pointSize));
    EXPECT_EQ(0, std::memcmp(&before, &lf, sizeof(lf))) << "cancelling changes nothing";
    EXPECT_EQ(-1, pointSize);
    EXPECT_EQ(1u, script.seen.size()) << "the font dialog did not appear";
  }
  DialogScript script;
  script.Press(IDOK);
  ASSERT_TRUE(ChooseDisplayFont(nullptr, &lf, &pointSize));
  EXPECT_GT(pointSize, 0);
  EXPECT_NE(0, lf.lfHeight);
  EXPECT_STRNE("", lf.lfFaceName);
}

}  // namespace
