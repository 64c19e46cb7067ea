#include "app/appdata.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tools/memprofile.h"

namespace {

const char* const kLegacyKeys[] = {"最大化表示",  "常に手前に表示", "ウィンドウのＸ座標", "ウィンドウのＹ座標",
                                   "ウィンドウの横幅", "ウィンドウの高さ", "文字色", "背景色",
                                   "選択文字色", "選択背景色", "ファイル終端記号色", "空白色",
                                   "フォント名", "フォントサイズ", "フォントの太さ", "斜体"};

AppInfo ReadFrom(MemProfile* file) {
  AppInfo app;
  AppInfo_SetDefaults(&app);
  AppData_Read(&app, &file->methods);
  EXPECT_TRUE(IsValidAppInfo(&app));
  return app;
}

// The section and key of each write, in order.
std::vector<std::string> WrittenKeys(const MemProfile& file) {
  std::vector<std::string> keys;
  for (const std::string& w : file.writes) keys.push_back(w.substr(0, w.find('=')));
  return keys;
}

TEST(AppData, AnEmptyFileGivesTheDefaults) {
  MemProfile file;
  AppInfo app = ReadFrom(&file);
  EXPECT_EQ(kWindowUnset, app.x);
  EXPECT_EQ(kWindowUnset, app.nHeight);
  EXPECT_FALSE(AppData_HasWindowRect(&app));
  EXPECT_EQ(1, app.bFrame3D);
  EXPECT_EQ(1, app.bStatusBarVisible);
  EXPECT_EQ(1, app.bConfirmOverwrite);
  EXPECT_EQ(1, app.bCompleteExtension);
  EXPECT_EQ(0, app.bKeepOverwrittenInRecycleBin);
  EXPECT_STREQ("無題.txt", app.szDefaultDocumentName);
  EXPECT_STREQ("%02H:%02M:%02S %04Y/%02m/%02d", app.szDateFormat);
  EXPECT_STREQ("", app.szDocumentFolder);
  EXPECT_EQ(0u, app.nFindMode);
  EXPECT_EQ(140, app.nPrintPointSize);
  EXPECT_EQ(8, app.editorSettings.nTab);
  EXPECT_STREQ("FixedSys", app.editorSettings.style.lfFont.lfFaceName);
  EXPECT_EQ(16, app.editorSettings.style.lfFont.lfHeight);
  EXPECT_EQ(RGB(0x80, 0x80, 0x80), app.editorSettings.style.crEof);
  EXPECT_STREQ("無題.txt", AppInfo_GetDocumentName(&app));
}

TEST(AppData, HandEditedValuesAreClampedToWhatTheProgramCanUse) {
  struct Case {
    const char* section;
    const char* key;
    const char* value;
  };
  const Case cases[] = {
      {"Qwil", "タブ幅", "0"},        {"Qwil", "左余白", "-5"},           {"テキストフォント", "フォントサイズ", "99999"},
      {"テキストフォント", "フォントの太さ", "-4"}, {"ウィンドウ", "ウィンドウのＸ座標", "-1"},
      {"ウィンドウ", "ウィンドウのＹ座標", "20"}, {"ウィンドウ", "ウィンドウの横幅", "300"},
      {"ウィンドウ", "ウィンドウの高さ", "0"},
  };
  MemProfile file;
  for (const Case& c : cases) file.Set(c.section, c.key, c.value);
  AppInfo app = ReadFrom(&file);
  EXPECT_EQ(1, app.editorSettings.nTab);
  EXPECT_EQ(0, app.editorSettings.nLeftMargin);
  EXPECT_EQ(kFontHeightMax, app.editorSettings.style.lfFont.lfHeight);
  EXPECT_EQ(0, app.editorSettings.style.lfFont.lfWeight);
  // A negative x unsets the position, a zero height the size: the system places it.
  EXPECT_EQ(kWindowUnset, app.x);
  EXPECT_EQ(kWindowUnset, app.y);
  EXPECT_EQ(kWindowUnset, app.nWidth);
  EXPECT_EQ(kWindowUnset, app.nHeight);

  MemProfile large;
  large.Set("Qwil", "タブ幅", "100000");
  large.Set("Qwil", "左余白", "2147483647");
  large.Set("テキストフォント", "フォントサイズ", "-2147483648");
  large.Set("テキストフォント", "フォントの太さ", "99999");
  large.Set("ウィンドウ", "ウィンドウのＸ座標", "2147483000");  // x + width would overflow
  large.Set("ウィンドウ", "ウィンドウのＹ座標", "0");
  large.Set("ウィンドウ", "ウィンドウの横幅", "2147483000");
  large.Set("ウィンドウ", "ウィンドウの高さ", "400");
  app = ReadFrom(&large);
  EXPECT_EQ(kEditorTabMax, app.editorSettings.nTab);
  EXPECT_EQ(kEditorMarginMax, app.editorSettings.nLeftMargin);
  EXPECT_EQ(-kFontHeightMax, app.editorSettings.style.lfFont.lfHeight);
  EXPECT_EQ(kFontWeightMax, app.editorSettings.style.lfFont.lfWeight);
  EXPECT_EQ(kWindowUnset, app.x);
  EXPECT_EQ(kWindowUnset, app.nWidth);

  MemProfile sane;
  sane.Set("ウィンドウ", "ウィンドウのＸ座標", "10");
  sane.Set("ウィンドウ", "ウィンドウのＹ座標", "0");
  sane.Set("ウィンドウ", "ウィンドウの横幅", "640");
  sane.Set("ウィンドウ", "ウィンドウの高さ", "480");
  app = ReadFrom(&sane);
  EXPECT_TRUE(AppData_HasWindowRect(&app));
  EXPECT_EQ(10, app.x);
  EXPECT_EQ(480, app.nHeight);
}

TEST(AppData, BothWindowModesAskedForGiveNeither) {
  MemProfile file;
  file.Set("ウィンドウ", "常に手前に表示", "1");
  file.Set("ウィンドウ", "常に後ろに表示", "1");
  AppInfo app = ReadFrom(&file);
  EXPECT_EQ(0, app.bAlwaysOnTop);
  EXPECT_EQ(0, app.bAlwaysAtBack);
  file.Set("ウィンドウ", "常に後ろに表示", "0");
  app = ReadFrom(&file);
  EXPECT_EQ(1, app.bAlwaysOnTop);
}

TEST(AppData, OldLayoutKeysAreReadAsFallbacksAndRemovedAtTheWrite) {
  MemProfile file;
  file.Set("Qwil", "最大化表示", "1");
  file.Set("Qwil", "常に手前に表示", "1");
  file.Set("Qwil", "ウィンドウのＸ座標", "11");
  file.Set("Qwil", "ウィンドウのＹ座標", "22");
  file.Set("Qwil", "ウィンドウの横幅", "333");
  file.Set("Qwil", "ウィンドウの高さ", "444");
  file.Set("Qwil", "文字色", "FF0000");
  file.Set("Qwil", "背景色", "00FF00");
  file.Set("Qwil", "選択文字色", "0000FF");
  file.Set("Qwil", "選択背景色", "123456");
  file.Set("Qwil", "ファイル終端記号色", "654321");
  file.Set("Qwil", "空白色", "ABCDEF");  // the old layout never had it: not read
  file.Set("Qwil", "フォント名", "ＭＳ ゴシック");
  file.Set("Qwil", "フォントサイズ", "-13");
  file.Set("Qwil", "フォントの太さ", "700");
  file.Set("Qwil", "斜体", "1");
  AppInfo app = ReadFrom(&file);
  EXPECT_EQ(1, app.bMaximized);
  EXPECT_EQ(1, app.bAlwaysOnTop);
  EXPECT_EQ(11, app.x);
  EXPECT_EQ(22, app.y);
  EXPECT_EQ(333, app.nWidth);
  EXPECT_EQ(444, app.nHeight);
  const ViewStyle& style = app.editorSettings.style;
  EXPECT_EQ(RGB(255, 0, 0), style.crText);
  EXPECT_EQ(RGB(0, 255, 0), style.crBack);
  EXPECT_EQ(RGB(0, 0, 255), style.crSelText);
  EXPECT_EQ(RGB(0x12, 0x34, 0x56), style.crSelBack);
  EXPECT_EQ(RGB(0x65, 0x43, 0x21), style.crEof);
  EXPECT_EQ(RGB(0xC0, 0xC0, 0xC0), style.crSpace);
  EXPECT_STREQ("ＭＳ ゴシック", style.lfFont.lfFaceName);
  EXPECT_EQ(-13, style.lfFont.lfHeight);
  EXPECT_EQ(700, style.lfFont.lfWeight);
  EXPECT_EQ(1, style.lfFont.lfItalic);

  ASSERT_TRUE(AppData_Write(&app, &file.methods));
  for (const char* key : kLegacyKeys) EXPECT_FALSE(file.Has("Qwil", key)) << key << " is still in Qwil";
  EXPECT_EQ("333", file.Raw("ウィンドウ", "ウィンドウの横幅"));
  EXPECT_EQ("FF0000", file.Raw("テキストの配色", "文字色"));
  EXPECT_EQ("\"ＭＳ ゴシック\"", file.Raw("テキストフォント", "フォント名"));
  // Read again, the new sections give the same record.
  AppInfo again = ReadFrom(&file);
  EXPECT_EQ(0, std::memcmp(&app.editorSettings, &again.editorSettings, sizeof(EditorSettings)));
  EXPECT_EQ(app.x, again.x);
  EXPECT_EQ(app.bMaximized, again.bMaximized);
}

TEST(AppData, NewSectionsWinOverTheOldLayout) {
  MemProfile file;
  file.Set("Qwil", "文字色", "FF0000");
  file.Set("テキストの配色", "文字色", "0000FF");
  file.Set("テキストの配色", "空白色", "102030");
  file.Set("Qwil", "フォントサイズ", "20");
  file.Set("テキストフォント", "フォントサイズ", "24");
  AppInfo app = ReadFrom(&file);
  EXPECT_EQ(RGB(0, 0, 255), app.editorSettings.style.crText);
  EXPECT_EQ(24, app.editorSettings.style.lfFont.lfHeight);
  // One key colours all three white-space marks.
  EXPECT_EQ(RGB(0x10, 0x20, 0x30), app.editorSettings.style.crTab);
  EXPECT_EQ(RGB(0x10, 0x20, 0x30), app.editorSettings.style.crSpace);
  EXPECT_EQ(RGB(0x10, 0x20, 0x30), app.editorSettings.style.crZenSpace);
}

TEST(AppData, EveryKeyIsWrittenInItsOrderThenTheOldKeysRemoved) {
  AppInfo app;
  AppInfo_SetDefaults(&app);
  MemProfile file;
  ASSERT_TRUE(AppData_Write(&app, &file.methods));
  std::vector<std::string> expected = {
      "Qwil|ポイントサイズ",
      "ウィンドウ|最大化表示", "ウィンドウ|常に手前に表示", "ウィンドウ|常に後ろに表示",
      "ウィンドウ|ウィンドウのＸ座標", "ウィンドウ|ウィンドウのＹ座標", "ウィンドウ|ウィンドウの横幅",
      "ウィンドウ|ウィンドウの高さ", "ウィンドウ|ウィンドウ枠を立体的に表示",
      "Qwil|タブ幅", "Qwil|左余白", "Qwil|ファイル終端記号の表示", "Qwil|改行文字の表示", "Qwil|タブ文字の表示",
      "Qwil|半角空白の表示", "Qwil|全角空白の表示", "Qwil|行番号の表示", "Qwil|行を折り返す",
      "テキストの配色|文字色", "テキストの配色|背景色", "テキストの配色|選択文字色", "テキストの配色|選択背景色",
      "テキストの配色|改行文字色", "テキストの配色|空白色", "テキストの配色|ファイル終端記号色",
      "テキストフォント|フォント名", "テキストフォント|フォントサイズ", "テキストフォント|フォントの太さ",
      "テキストフォント|斜体",
      "Qwil|ステータスバーの表示",
      "検索ダイアログ|大文字と小文字の違いを無視する", "検索ダイアログ|半角と全角の違いを無視する",
      "検索ダイアログ|単語単位で探す", "検索ダイアログ|正規表現を使う",
      "Qwil|デフォルトの文書名", "日時の書式|書式数", "日時の書式|0",
      "Qwil|文書フォルダ", "Qwil|拡張子自動補完機能", "Qwil|元ファイルをゴミ箱に残す", "Qwil|日本語入力",
      "Qwil|上書き確認",
  };
  for (const char* key : kLegacyKeys) expected.push_back(std::string("Qwil|") + key);
  EXPECT_EQ(expected, WrittenKeys(file));
  // The read-only switch is read but never written.
  EXPECT_FALSE(file.Has("Qwil", "IK_TEXTEDITORREADONLY"));
}

TEST(AppData, ReadOnlySwitchIsReadAndSurvivesEveryWrite) {
  MemProfile file;
  file.Set("Qwil", "IK_TEXTEDITORREADONLY", "1");
  AppInfo app = ReadFrom(&file);
  EXPECT_EQ(1, app.editorSettings.bReadOnly);
  ASSERT_TRUE(AppData_Write(&app, &file.methods));
  EXPECT_EQ("1", file.Raw("Qwil", "IK_TEXTEDITORREADONLY"));
}

TEST(AppData, SettingsRoundTripThroughTheFile) {
  AppInfo app;
  AppInfo_SetDefaults(&app);
  app.bMaximized = 1;
  app.bAlwaysAtBack = 1;
  app.x = 5;
  app.y = 6;
  app.nWidth = 700;
  app.nHeight = 500;
  app.bFrame3D = 0;
  app.bStatusBarVisible = 0;
  app.bConfirmOverwrite = 0;
  app.bCompleteExtension = 0;
  app.bKeepOverwrittenInRecycleBin = 1;
  app.bImeOnAtStart = 1;
  std::strcpy(app.szDefaultDocumentName, " メモ.txt ");
  std::strcpy(app.szDocumentFolder, "C:\\文書");
  std::strcpy(app.szDateFormat, "%Y ");
  app.nFindMode = SF_IGNORECASE | SF_REGEXP;
  app.nPrintPointSize = 105;
  EditorSettings& es = app.editorSettings;
  es.bWrap = 1;
  es.nTab = 4;
  es.nLeftMargin = 3;
  es.bLineNumber = TRUE;
  es.style.bShowEof = es.style.bShowLineEnd = es.style.bShowTab = es.style.bShowSpace = es.style.bShowZenSpace = 1;
  app.bUserColours = 1;
  es.style.crLineEnd = RGB(1, 2, 3);
  es.style.crTab = es.style.crSpace = es.style.crZenSpace = RGB(4, 5, 6);
  std::strcpy(es.style.lfFont.lfFaceName, "ＭＳ ゴシック");
  es.style.lfFont.lfHeight = -15;
  MemProfile file;
  ASSERT_TRUE(AppData_Write(&app, &file.methods));
  AppInfo back = ReadFrom(&file);
  EXPECT_EQ(0, std::memcmp(&app.editorSettings, &back.editorSettings, sizeof(EditorSettings)));
  EXPECT_EQ(1, back.bUserColours);
  EXPECT_EQ(app.bMaximized, back.bMaximized);
  EXPECT_EQ(app.bAlwaysAtBack, back.bAlwaysAtBack);
  EXPECT_EQ(app.y, back.y);
  EXPECT_EQ(app.nWidth, back.nWidth);
  EXPECT_EQ(app.bFrame3D, back.bFrame3D);
  EXPECT_EQ(app.bStatusBarVisible, back.bStatusBarVisible);
  EXPECT_EQ(app.bConfirmOverwrite, back.bConfirmOverwrite);
  EXPECT_EQ(app.bCompleteExtension, back.bCompleteExtension);
  EXPECT_EQ(app.bKeepOverwrittenInRecycleBin, back.bKeepOverwrittenInRecycleBin);
  EXPECT_EQ(app.bImeOnAtStart, back.bImeOnAtStart);
  EXPECT_STREQ(" メモ.txt ", back.szDefaultDocumentName);  // its blanks kept by the quotes
  EXPECT_STREQ("C:\\文書", back.szDocumentFolder);
  EXPECT_STREQ("%Y ", back.szDateFormat);
  EXPECT_EQ(app.nFindMode, back.nFindMode);
  EXPECT_EQ(105, back.nPrintPointSize);
}

// Colours in the file are the user's; without any, the colours follow the
// system's theme and no write pins them.
TEST(AppData, ColoursInTheFileAreTheUsersAndWithoutThemTheyAreNeverWritten) {
  const char* const kColourKeys[] = {"文字色", "背景色", "選択文字色", "選択背景色",
                                     "改行文字色", "空白色", "ファイル終端記号色"};
  MemProfile first;
  first.Set("テキストの配色", "背景色", "F00");  // no colour
  AppInfo app = ReadFrom(&first);
  EXPECT_EQ(0, app.bUserColours);
  ASSERT_TRUE(AppData_Write(&app, &first.methods));
  for (const char* key : kColourKeys) EXPECT_FALSE(first.Has("テキストの配色", key)) << key;
  EXPECT_EQ(0, ReadFrom(&first).bUserColours) << "the next start follows the theme too";

  MemProfile own;
  own.Set("テキストの配色", "文字色", "0000FF");
  app = ReadFrom(&own);
  EXPECT_EQ(1, app.bUserColours);
  EXPECT_EQ(RGB(0, 0, 255), app.editorSettings.style.crText);
  EXPECT_EQ(RGB(255, 255, 255), app.editorSettings.style.crBack) << "a missing one is the light scheme's";
  ASSERT_TRUE(AppData_Write(&app, &own.methods));
  for (const char* key : kColourKeys) EXPECT_TRUE(own.Has("テキストの配色", key)) << key;
  EXPECT_EQ("FFFFFF", own.Raw("テキストの配色", "背景色"));
  // The display settings dialog gave the colours back to the theme.
  app.bUserColours = 0;
  ASSERT_TRUE(AppData_Write(&app, &own.methods));
  for (const char* key : kColourKeys) EXPECT_FALSE(own.Has("テキストの配色", key)) << key;

  MemProfile legacy;
  legacy.Set("Qwil", "選択背景色", "000080");
  EXPECT_EQ(1, ReadFrom(&legacy).bUserColours) << "the older layout's colours are the user's too";
}

TEST(AppData, TextsReadBackWithTheirDefaults) {
  MemProfile file;
  file.Set("Qwil", "デフォルトの文書名", "");
  file.Set("検索ダイアログ", "単語単位で探す", "1");
  file.Set("検索ダイアログ", "半角と全角の違いを無視する", "yes");  // not a number: false
  std::string longFace(40, 'F');
  file.Set("テキストフォント", "フォント名", longFace);
  file.Set("Qwil", "文書フォルダ", std::string(260, 'a'));
  AppInfo app = ReadFrom(&file);
  EXPECT_STREQ("無題.txt", app.szDefaultDocumentName);
  EXPECT_EQ(SF_WHOLEWORD, app.nFindMode);
  EXPECT_EQ(31u, std::strlen(app.editorSettings.style.lfFont.lfFaceName));
  EXPECT_STREQ("", app.szDocumentFolder) << "a folder too long is refused, not cut into another";
  file.Set("Qwil", "文書フォルダ", std::string(259, 'b'));
  app = ReadFrom(&file);
  EXPECT_EQ(259u, std::strlen(app.szDocumentFolder));
}

TEST(AppData, WriteGoesOnPastAFailureAndReportsIt) {
  AppInfo app;
  AppInfo_SetDefaults(&app);
  MemProfile file;
  file.bRefuseWrites = true;
  EXPECT_FALSE(AppData_Write(&app, &file.methods));
  EXPECT_EQ(58u, file.writes.size()) << "every key is still tried";
}

TEST(AppData, SettingsGoToTheUserFolderWhenTheProgramsCannotTakeThem) {
  EXPECT_EQ(SETTINGS_BESIDE_PROGRAM, AppData_ChoosePlace(false, true));
  EXPECT_EQ(SETTINGS_IN_USER_FOLDER, AppData_ChoosePlace(false, false));
  // Once there, they stay there.
  EXPECT_EQ(SETTINGS_IN_USER_FOLDER, AppData_ChoosePlace(true, true));
  EXPECT_EQ(SETTINGS_IN_USER_FOLDER, AppData_ChoosePlace(true, false));
}

}  // namespace
