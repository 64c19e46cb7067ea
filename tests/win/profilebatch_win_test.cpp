// The settings written a section at a time through the system's profile
// functions leave the same bytes as the same writes made key by key.
#include <gtest/gtest.h>

#include <cstring>

#include "app/appdata_win.h"
#include "tools/profilebatch.h"
#include "win/mainhost.h"

namespace {

const char kHandEdited[] =
    "[Qwil]\r\n"
    "タブ幅=0\r\n"
    "他のツールの値=残す\r\n"
    "文字色=FF0000\r\n"
    "IK_TEXTEDITORREADONLY=1\r\n"
    "フォント名=FixedSys\r\n"
    "[読込履歴]\r\n"
    "最大履歴数=10\r\n"
    "履歴数=1\r\n"
    "0=\"C:\\a b.txt\"\r\n"
    "[テキストの配色]\r\n"
    "背景色=00FF00\r\n";

AppInfo SettingsOf(const std::string& path) {
  AppInfo app;
  AppInfo_SetDefaults(&app);
  ProfileFile file;
  ProfileFile_Init(&file, path.c_str(), false);
  AppData_Read(&app, &file.methods);
  app.editorSettings.nTab = 4;
  std::strcpy(app.szDateFormat, " %04Y ");
  std::strcpy(app.szDocumentFolder, "C:\\文書");
  return app;
}

TEST(ProfileBatchWin, SectionWritesLeaveTheBytesOfKeyByKeyWrites) {
  WinTestDir dir;
  for (const char* start : {kHandEdited, ""}) {
    std::string keyByKey = dir / "a.ini", batched = dir / "b.ini";
    ASSERT_TRUE(WinTest_WriteFile(keyByKey, start));
    ASSERT_TRUE(WinTest_WriteFile(batched, start));
    AppInfo app = SettingsOf(keyByKey);

    ProfileFile a;
    ProfileFile_Init(&a, keyByKey.c_str(), false);
    ASSERT_TRUE(AppData_Write(&app, &a.methods));

    ProfileFile b;
    ProfileFile_Init(&b, batched.c_str(), false);
    ProfileBatch batch;
    ProfileBatch_Init(&batch, &b.methods);
    ASSERT_TRUE(AppData_Write(&app, &batch.methods));
    ASSERT_TRUE(ProfileBatch_Flush(&batch));

    std::string expected = WinTest_ReadFile(keyByKey);
    EXPECT_EQ(expected, WinTest_ReadFile(batched)) << "starting from:\n" << start;
    EXPECT_TRUE(WinTest_IniHas(expected, "Qwil", "他のツールの値=残す") || start[0] == '\0');
    EXPECT_TRUE(WinTest_IniHas(expected, "日時の書式", "0=\" %04Y \""));

    // And the settings read back are the ones written.
    AppInfo back;
    AppInfo_SetDefaults(&back);
    AppData_Read(&back, &b.methods);
    EXPECT_EQ(4, back.editorSettings.nTab);
    EXPECT_STREQ(" %04Y ", back.szDateFormat);
    EXPECT_STREQ("C:\\文書", back.szDocumentFolder);
  }
}

TEST(ProfileBatchWin, ClosingWritesEverySectionAndKeepsTheOthers) {
  WinTestDir dir;
  ASSERT_TRUE(WinTest_WriteFile(dir / "qwilpad.ini", kHandEdited));
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  ASSERT_TRUE(host.Close());
  std::string ini = WinTest_ReadFile(dir / "qwilpad.ini");
  EXPECT_TRUE(WinTest_IniHas(ini, "Qwil", "他のツールの値=残す")) << ini;
  EXPECT_TRUE(WinTest_IniHas(ini, "Qwil", "IK_TEXTEDITORREADONLY=1"));
  EXPECT_TRUE(WinTest_IniHas(ini, "Qwil", "タブ幅=1"));
  EXPECT_TRUE(WinTest_IniHas(ini, "読込履歴", "0=\"C:\\a b.txt\"")) << ini;
  EXPECT_TRUE(WinTest_IniHas(ini, "テキストの配色", "文字色=FF0000")) << "moved from the older layout";
  EXPECT_TRUE(WinTest_IniHas(ini, "テキストの配色", "背景色=00FF00"));
  EXPECT_EQ(std::string::npos, ini.find("フォント名=FixedSys\r\n")) << "the unquoted older key is gone";
}

}  // namespace
