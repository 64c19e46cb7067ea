// The settings dialog opened by its command on the real main window: the
// preview of the date format, storing on OK, nothing changed on Cancel.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/setdlg_win.h"
#include "win/dialogscript.h"
#include "win/mainhost.h"

namespace {

std::string IniOf(const WinTestDir& dir) { return WinTest_ReadFile(dir / "qwilpad.ini"); }

std::string ItemText(HWND hDlg, int id) {
  char text[1024] = {};
  GetDlgItemTextA(hDlg, id, text, sizeof(text));
  return text;
}

std::string ThisYear() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return std::to_string(st.wYear);
}

TEST(SettingsDialog, ThePreviewFollowsTheFormatAndTicksAndOkStoresIt) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  DialogScript script;
  std::string title, firstPreview, yearPreview, ticked1, ticked2, emptyPreview, folderShown;
  script.Then([&](HWND h) {
    char text[64] = {};
    GetWindowTextA(h, text, sizeof(text));
    title = text;
    firstPreview = ItemText(h, IDC_DATEPREVIEW);
    SetDlgItemTextA(h, IDC_DATEFORMAT, "");
    emptyPreview = ItemText(h, IDC_DATEPREVIEW);
    SetDlgItemTextA(h, IDC_DATEFORMAT, "%02H:%02M:%02S");
    ticked1 = ItemText(h, IDC_DATEPREVIEW);
    // No typing: the dialog's timer alone brings the preview up to the clock.
    SetDlgItemTextA(h, IDC_DATEPREVIEW, "--:--:--");
    SendMessageA(h, WM_TIMER, kSettingsPreviewTimer, 0);
    ticked2 = ItemText(h, IDC_DATEPREVIEW);
    SetDlgItemTextA(h, IDC_DATEFORMAT, "%04Y");
    yearPreview = ItemText(h, IDC_DATEPREVIEW);
    SetDlgItemTextA(h, IDC_DOCFOLDER, "C:\\文書");
    CheckDlgButton(h, IDC_CONFIRMOVERWRITE, BST_UNCHECKED);
    CheckDlgButton(h, IDC_RECYCLE, BST_CHECKED);
    SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  EXPECT_EQ(1, host.Command(IDM_SETTINGS));
  EXPECT_TRUE(script.AllAnswered());
  EXPECT_EQ("設定", title);
  EXPECT_NE(std::string::npos, firstPreview.find(ThisYear() + "/")) << "the default format's preview: " << firstPreview;
  EXPECT_EQ("", emptyPreview);
  EXPECT_EQ(8u, ticked1.size()) << ticked1;
  EXPECT_EQ(8u, ticked2.size()) << ticked2;
  EXPECT_NE("--:--:--", ticked2) << "the timer's tick showed the time again";
  EXPECT_EQ(ThisYear(), yearPreview);
  EXPECT_STREQ("%04Y", host.app->szDateFormat);
  EXPECT_STREQ("C:\\文書", host.app->szDocumentFolder);
  EXPECT_EQ(0, host.app->bConfirmOverwrite);
  EXPECT_EQ(1, host.app->bKeepOverwrittenInRecycleBin);
  std::string ini = IniOf(dir);
  EXPECT_TRUE(WinTest_IniHas(ini, "日時の書式", "書式数=1")) << ini;
  EXPECT_TRUE(WinTest_IniHas(ini, "日時の書式", "0=\"%04Y\""));
  EXPECT_TRUE(WinTest_IniHas(ini, "Qwil", "文書フォルダ=\"C:\\文書\""));
  EXPECT_TRUE(WinTest_IniHas(ini, "Qwil", "上書き確認=0"));
  EXPECT_TRUE(WinTest_IniHas(ini, "Qwil", "元ファイルをゴミ箱に残す=1"));
  // After a restart the dialog shows what was stored.
  ASSERT_TRUE(host.Close());
  MainHost again(dir);
  ASSERT_TRUE(again.Create());
  EXPECT_STREQ("%04Y", again.app->szDateFormat);
}

TEST(SettingsDialog, CancelAndTheCloseBoxLeaveTheSettingsAsTheyWere) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  {
    DialogScript script;
    script.Then([&](HWND h) {
      SetDlgItemTextA(h, IDC_DOCFOLDER, "C:\\どこか");
      SetDlgItemTextA(h, IDC_DATEFORMAT, "%Y");
      CheckDlgButton(h, IDC_IMEON, BST_CHECKED);
      SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    script.Then([&](HWND h) {
      SetDlgItemTextA(h, IDC_DOCFOLDER, "C:\\どこか");
      SendMessageA(h, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(0, host.Command(IDM_SETTINGS));
    EXPECT_EQ(0, host.Command(IDM_SETTINGS));
    EXPECT_TRUE(script.AllAnswered());
  }
  EXPECT_STREQ("", host.app->szDocumentFolder);
  EXPECT_STREQ("%02H:%02M:%02S %04Y/%02m/%02d", host.app->szDateFormat);
  EXPECT_EQ(0, host.app->bImeOnAtStart);
  EXPECT_EQ("<missing>", IniOf(dir)) << "nothing written";
}

}  // namespace
