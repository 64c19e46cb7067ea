#include "app/appdata.h"

#include <cstring>
#include <initializer_list>

#include "tools/toolbase.h"

namespace {

constexpr char kMain[] = "Qwil";
constexpr char kWindow[] = "ウィンドウ";
constexpr char kFind[] = "検索ダイアログ";
constexpr char kDate[] = "日時の書式";
constexpr char kColours[] = "テキストの配色";
constexpr char kFont[] = "テキストフォント";

constexpr char kMaximized[] = "最大化表示";
constexpr char kOnTop[] = "常に手前に表示";
constexpr char kAtBack[] = "常に後ろに表示";
constexpr char kX[] = "ウィンドウのＸ座標";
constexpr char kY[] = "ウィンドウのＹ座標";
constexpr char kWidth[] = "ウィンドウの横幅";
constexpr char kHeight[] = "ウィンドウの高さ";
constexpr char kFrame3D[] = "ウィンドウ枠を立体的に表示";

constexpr char kTextColour[] = "文字色";
constexpr char kBackColour[] = "背景色";
constexpr char kSelTextColour[] = "選択文字色";
constexpr char kSelBackColour[] = "選択背景色";
constexpr char kEofColour[] = "ファイル終端記号色";
constexpr char kLineEndColour[] = "改行文字色";
constexpr char kSpaceColour[] = "空白色";

constexpr char kFaceName[] = "フォント名";
constexpr char kFontSize[] = "フォントサイズ";
constexpr char kFontWeight[] = "フォントの太さ";
constexpr char kItalic[] = "斜体";

// The keys an older layout kept in the main section; read as fallbacks, removed
// at every write.
constexpr const char* kLegacyKeys[] = {kMaximized,     kOnTop,        kX,          kY,
                                       kWidth,         kHeight,       kTextColour, kBackColour,
                                       kSelTextColour, kSelBackColour, kEofColour, kSpaceColour,
                                       kFaceName,      kFontSize,     kFontWeight, kItalic};
static_assert(sizeof(kLegacyKeys) / sizeof(kLegacyKeys[0]) == 16, "sixteen keys of the older layout");

// The find options: each key stands for its bits.
struct FindKey {
  const char* key;
  uint32_t nMask;
};
constexpr FindKey kFindKeys[] = {
    {"大文字と小文字の違いを無視する", SF_IGNORECASE},
    {"半角と全角の違いを無視する", SF_IGNOREWIDTH},
    {"単語単位で探す", SF_WHOLEWORD},
    {"正規表現を使う", SF_REGEXP},
};

constexpr int32_t kFaceNameSize = 32;
constexpr int32_t kPrintPointSizeMax = 16380;

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Flags of the record are bytes of 0 or 1.
void ReadFlag(const ProfileMethods* p, const char* section, const char* key, BYTE* pFlag) {
  *pFlag = Profile_ReadBool(p, section, key, *pFlag != 0) ? 1 : 0;
}

void ReadInt(const ProfileMethods* p, const char* section, const char* key, int32_t* pValue) {
  *pValue = Profile_ReadInt(p, section, key, *pValue);
}

// No colour the file can hold (they are 24-bit).
constexpr COLORREF kNoColour = 0xFFFFFFFF;

// True when the key held a colour; *pColour is left alone otherwise.
bool ReadColour(const ProfileMethods* p, const char* section, const char* key, COLORREF* pColour) {
  COLORREF colour = Profile_ReadColour(p, section, key, kNoColour);
  if (colour == kNoColour) return false;
  *pColour = colour;
  return true;
}

void ReadString(const ProfileMethods* p, const char* section, const char* key, char* buffer, int32_t size) {
  char value[kPathBufferSize > kDateFormatSize ? kPathBufferSize : kDateFormatSize];
  QWIL_ASSERT(size <= static_cast<int32_t>(sizeof(value)));
  Profile_ReadString(p, section, key, buffer, value, size);
  std::memcpy(buffer, value, std::strlen(value) + 1);
}

void ReadWindow(AppInfo* app, const ProfileMethods* p) {
  for (const char* section : {kMain, kWindow}) {
    ReadFlag(p, section, kMaximized, &app->bMaximized);
    ReadFlag(p, section, kOnTop, &app->bAlwaysOnTop);
    if (section == kWindow) ReadFlag(p, section, kAtBack, &app->bAlwaysAtBack);
    ReadInt(p, section, kX, &app->x);
    ReadInt(p, section, kY, &app->y);
    ReadInt(p, section, kWidth, &app->nWidth);
    ReadInt(p, section, kHeight, &app->nHeight);
  }
  // The two modes exclude each other: a file that asks for both gets neither.
  if (app->bAlwaysOnTop && app->bAlwaysAtBack) app->bAlwaysOnTop = app->bAlwaysAtBack = 0;
  AppData_ClampWindow(app);
  ReadFlag(p, kWindow, kFrame3D, &app->bFrame3D);
}

void ReadDisplay(EditorSettings* es, const ProfileMethods* p) {
  ReadFlag(p, kMain, "IK_TEXTEDITORREADONLY", &es->bReadOnly);
  ReadInt(p, kMain, "タブ幅", &es->nTab);
  ReadInt(p, kMain, "左余白", &es->nLeftMargin);
  es->bLineNumber = Profile_ReadBool(p, kMain, "行番号の表示", es->bLineNumber != 0) ? TRUE : FALSE;
  ReadFlag(p, kMain, "行を折り返す", &es->bWrap);
  ReadFlag(p, kMain, "ファイル終端記号の表示", &es->style.bShowEof);
  ReadFlag(p, kMain, "改行文字の表示", &es->style.bShowLineEnd);
  ReadFlag(p, kMain, "タブ文字の表示", &es->style.bShowTab);
  ReadFlag(p, kMain, "半角空白の表示", &es->style.bShowSpace);
  ReadFlag(p, kMain, "全角空白の表示", &es->style.bShowZenSpace);
  es->nTab = Clamp(es->nTab, kEditorTabMin, kEditorTabMax);
  es->nLeftMargin = Clamp(es->nLeftMargin, kEditorMarginMin, kEditorMarginMax);
}

// True when the file held any colour.
bool ReadColours(ViewStyle* style, const ProfileMethods* p) {
  int32_t nRead = 0;
  for (const char* section : {kMain, kColours}) {
    nRead += ReadColour(p, section, kTextColour, &style->crText);
    nRead += ReadColour(p, section, kBackColour, &style->crBack);
    nRead += ReadColour(p, section, kSelTextColour, &style->crSelText);
    nRead += ReadColour(p, section, kSelBackColour, &style->crSelBack);
    nRead += ReadColour(p, section, kEofColour, &style->crEof);
  }
  nRead += ReadColour(p, kColours, kLineEndColour, &style->crLineEnd);
  // One key for the three white-space marks.
  COLORREF space = style->crSpace;
  nRead += ReadColour(p, kColours, kSpaceColour, &space);
  style->crTab = style->crSpace = style->crZenSpace = space;
  return nRead > 0;
}

void ReadFont(LOGFONTA* lf, const ProfileMethods* p) {
  for (const char* section : {kMain, kFont}) {
    char face[kFaceNameSize] = {};
    Profile_ReadString(p, section, kFaceName, lf->lfFaceName, face, sizeof(face));
    std::memcpy(lf->lfFaceName, face, sizeof(face));
    lf->lfHeight = Profile_ReadInt(p, section, kFontSize, lf->lfHeight);
    lf->lfWeight = Profile_ReadInt(p, section, kFontWeight, lf->lfWeight);
    lf->lfItalic = Profile_ReadBool(p, section, kItalic, lf->lfItalic != 0) ? 1 : 0;
  }
  lf->lfHeight = Clamp(lf->lfHeight, -kFontHeightMax, kFontHeightMax);
  lf->lfWeight = Clamp(lf->lfWeight, 0, kFontWeightMax);
}

void ReadFindMode(AppInfo* app, const ProfileMethods* p) {
  app->nFindMode = 0;
  for (const FindKey& f : kFindKeys) {
    if (Profile_ReadBool(p, kFind, f.key, false)) app->nFindMode |= f.nMask;
  }
}

// A name that is longer than a path may be is not cut into another one: the
// field keeps what it had.
void ReadPath(const ProfileMethods* p, const char* key, char* field) {
  char value[kPathBufferSize + 2];
  int32_t n = Profile_ReadString(p, kMain, key, field, value, sizeof(value));
  if (n <= kPathMax) std::memcpy(field, value, static_cast<size_t>(n) + 1);
}

void ReadTexts(AppInfo* app, const ProfileMethods* p) {
  ReadPath(p, "デフォルトの文書名", app->szDefaultDocumentName);
  if (app->szDefaultDocumentName[0] == '\0') std::strcpy(app->szDefaultDocumentName, kDefaultDocumentName);
  ReadString(p, kDate, "0", app->szDateFormat, kDateFormatSize);
  ReadPath(p, "文書フォルダ", app->szDocumentFolder);
}

void ReadOptions(AppInfo* app, const ProfileMethods* p) {
  ReadFlag(p, kMain, "拡張子自動補完機能", &app->bCompleteExtension);
  ReadFlag(p, kMain, "元ファイルをゴミ箱に残す", &app->bKeepOverwrittenInRecycleBin);
  ReadFlag(p, kMain, "日本語入力", &app->bImeOnAtStart);
  ReadFlag(p, kMain, "上書き確認", &app->bConfirmOverwrite);
}

// Counts the writes that failed, so that one failure does not stop the others.
struct Writer {
  const ProfileMethods* p;
  int32_t nFailed;
};

void Note(Writer* w, bool ok) {
  if (!ok) ++w->nFailed;
}

void WriteFlag(Writer* w, const char* section, const char* key, bool value) {
  Note(w, Profile_WriteBool(w->p, section, key, value));
}

void WriteInt(Writer* w, const char* section, const char* key, int32_t value) {
  Note(w, Profile_WriteInt(w->p, section, key, value));
}

// A colour that follows the theme is no key of the file.
void WriteColour(Writer* w, const char* key, COLORREF value, bool bUsers) {
  Note(w, bUsers ? Profile_WriteColour(w->p, kColours, key, value) : Profile_DeleteKey(w->p, kColours, key));
}

void WriteString(Writer* w, const char* section, const char* key, const char* value) {
  Note(w, Profile_WriteString(w->p, section, key, value));
}

void WriteWindow(Writer* w, const AppInfo* app) {
  WriteFlag(w, kWindow, kMaximized, app->bMaximized);
  WriteFlag(w, kWindow, kOnTop, app->bAlwaysOnTop);
  WriteFlag(w, kWindow, kAtBack, app->bAlwaysAtBack);
  WriteInt(w, kWindow, kX, app->x);
  WriteInt(w, kWindow, kY, app->y);
  WriteInt(w, kWindow, kWidth, app->nWidth);
  WriteInt(w, kWindow, kHeight, app->nHeight);
  WriteFlag(w, kWindow, kFrame3D, app->bFrame3D);
}

void WriteDisplay(Writer* w, const EditorSettings* es) {
  WriteInt(w, kMain, "タブ幅", es->nTab);
  WriteInt(w, kMain, "左余白", es->nLeftMargin);
  WriteFlag(w, kMain, "ファイル終端記号の表示", es->style.bShowEof);
  WriteFlag(w, kMain, "改行文字の表示", es->style.bShowLineEnd);
  WriteFlag(w, kMain, "タブ文字の表示", es->style.bShowTab);
  WriteFlag(w, kMain, "半角空白の表示", es->style.bShowSpace);
  WriteFlag(w, kMain, "全角空白の表示", es->style.bShowZenSpace);
  WriteFlag(w, kMain, "行番号の表示", es->bLineNumber != 0);
  WriteFlag(w, kMain, "行を折り返す", es->bWrap);
}

void WriteStyle(Writer* w, const ViewStyle* style, bool bUserColours) {
  WriteColour(w, kTextColour, style->crText, bUserColours);
  WriteColour(w, kBackColour, style->crBack, bUserColours);
  WriteColour(w, kSelTextColour, style->crSelText, bUserColours);
  WriteColour(w, kSelBackColour, style->crSelBack, bUserColours);
  WriteColour(w, kLineEndColour, style->crLineEnd, bUserColours);
  WriteColour(w, kSpaceColour, style->crSpace, bUserColours);
  WriteColour(w, kEofColour, style->crEof, bUserColours);
  char face[kFaceNameSize];
  String_CopyCut(face, sizeof(face), style->lfFont.lfFaceName);
  WriteString(w, kFont, kFaceName, face);
  WriteInt(w, kFont, kFontSize, style->lfFont.lfHeight);
  WriteInt(w, kFont, kFontWeight, style->lfFont.lfWeight);
  WriteFlag(w, kFont, kItalic, style->lfFont.lfItalic != 0);
}

void WriteFindMode(Writer* w, uint32_t nFindMode) {
  for (const FindKey& f : kFindKeys) WriteFlag(w, kFind, f.key, (nFindMode & f.nMask) == f.nMask);
}

void WriteTexts(Writer* w, const AppInfo* app) {
  WriteString(w, kMain, "デフォルトの文書名", app->szDefaultDocumentName);
  WriteInt(w, kDate, "書式数", 1);
  WriteString(w, kDate, "0", app->szDateFormat);
  WriteString(w, kMain, "文書フォルダ", app->szDocumentFolder);
  WriteFlag(w, kMain, "拡張子自動補完機能", app->bCompleteExtension);
  WriteFlag(w, kMain, "元ファイルをゴミ箱に残す", app->bKeepOverwrittenInRecycleBin);
  WriteFlag(w, kMain, "日本語入力", app->bImeOnAtStart);
  WriteFlag(w, kMain, "上書き確認", app->bConfirmOverwrite);
}

// The settings part of the record; the files, the document and the handles
// are left alone.
void SetDefaultSettings(AppInfo* app) {
  app->bMaximized = app->bAlwaysAtBack = app->bAlwaysOnTop = 0;
  app->x = app->y = app->nWidth = app->nHeight = kWindowUnset;
  app->bFrame3D = 1;
  app->bStatusBarVisible = 1;
  app->bConfirmOverwrite = 1;
  app->bCompleteExtension = 1;
  app->bKeepOverwrittenInRecycleBin = 0;
  app->bImeOnAtStart = 0;
  std::strcpy(app->szDefaultDocumentName, kDefaultDocumentName);
  app->szDocumentFolder[0] = '\0';
  std::strcpy(app->szDateFormat, kDefaultDateFormat);
  app->nFindMode = 0;
  EditorSettings_SetDefaults(&app->editorSettings);
  app->bUserColours = 0;
  app->nPrintPointSize = kDefaultPrintPointSize;
}

bool IsFlag(BYTE b) { return b == 0 || b == 1; }

bool IsTerminated(const char* s, size_t size) { return std::memchr(s, '\0', size) != nullptr; }

}  // namespace

bool IsValidAppInfo(const AppInfo* app) {
  if (!app) return false;
  bool flags = IsFlag(app->bMaximized) && IsFlag(app->bAlwaysAtBack) && IsFlag(app->bAlwaysOnTop) &&
               !(app->bAlwaysAtBack && app->bAlwaysOnTop) && IsFlag(app->bFrame3D) &&
               IsFlag(app->bStatusBarVisible) && IsFlag(app->bConfirmOverwrite) && IsFlag(app->bCompleteExtension) &&
               IsFlag(app->bKeepOverwrittenInRecycleBin) && IsFlag(app->bImeOnAtStart) && IsFlag(app->bUserColours);
  bool texts = IsTerminated(app->szDefaultDocumentName, sizeof(app->szDefaultDocumentName)) &&
               app->szDefaultDocumentName[0] != '\0' &&
               IsTerminated(app->szDocumentFolder, sizeof(app->szDocumentFolder)) &&
               IsTerminated(app->szDateFormat, sizeof(app->szDateFormat)) &&
               IsTerminated(app->szPath, sizeof(app->szPath)) &&
               IsTerminated(app->szLastSearch, sizeof(app->szLastSearch)) &&
               IsTerminated(app->szSettingsPath, sizeof(app->szSettingsPath)) &&
               IsTerminated(app->szKeyFilePath, sizeof(app->szKeyFilePath));
  return flags && texts && IsValidEditorSettings(&app->editorSettings) && IsValidKeyAssignData(&app->keys) &&
         IsValidEncodingGuard(&app->encodingGuard);
}

void AppInfo_SetDefaults(AppInfo* app) {
  std::memset(app, 0, sizeof(*app));
  SetDefaultSettings(app);
  KeyAssignData_Init(&app->keys);
  QWIL_ASSERT(IsValidAppInfo(app));
}

void AppData_ClampWindow(AppInfo* app) {
  if (app->x < 0 || app->y < 0 || app->x > kWindowMaxCoordinate || app->y > kWindowMaxCoordinate) {
    app->x = app->y = kWindowUnset;
  }
  if (app->nWidth <= 0 || app->nHeight <= 0 || app->nWidth > kWindowMaxSize || app->nHeight > kWindowMaxSize) {
    app->nWidth = app->nHeight = kWindowUnset;
  }
}

bool AppData_HasWindowRect(const AppInfo* app) {
  return app->x != kWindowUnset && app->y != kWindowUnset && app->nWidth != kWindowUnset &&
         app->nHeight != kWindowUnset;
}

void AppData_Read(AppInfo* app, const ProfileMethods* profile) {
  QWIL_ASSERT(IsValidProfileMethods(profile));
  SetDefaultSettings(app);
  ReadWindow(app, profile);
  ReadDisplay(&app->editorSettings, profile);
  app->bUserColours = ReadColours(&app->editorSettings.style, profile) ? 1 : 0;
  ReadFont(&app->editorSettings.style.lfFont, profile);
  ReadFlag(profile, kMain, "ステータスバーの表示", &app->bStatusBarVisible);
  ReadFindMode(app, profile);
  ReadTexts(app, profile);
  ReadOptions(app, profile);
  // Written at every close; read back so that the size the font dialog gave
  // is still the printing size after a restart.
  ReadInt(profile, kMain, "ポイントサイズ", &app->nPrintPointSize);
  app->nPrintPointSize = Clamp(app->nPrintPointSize, 1, kPrintPointSizeMax);
  QWIL_ASSERT(IsValidAppInfo(app));
}

bool AppData_Write(const AppInfo* app, const ProfileMethods* profile) {
  QWIL_ASSERT(IsValidAppInfo(app) && IsValidProfileMethods(profile));
  Writer w = {profile, 0};
  WriteInt(&w, kMain, "ポイントサイズ", app->nPrintPointSize);
  WriteWindow(&w, app);
  WriteDisplay(&w, &app->editorSettings);
  WriteStyle(&w, &app->editorSettings.style, app->bUserColours != 0);
  WriteFlag(&w, kMain, "ステータスバーの表示", app->bStatusBarVisible);
  WriteFindMode(&w, app->nFindMode);
  WriteTexts(&w, app);
  for (const char* key : kLegacyKeys) Note(&w, Profile_DeleteKey(profile, kMain, key));
  return w.nFailed == 0;
}

const char* AppInfo_GetDocumentName(const AppInfo* app) {
  return app->szPath[0] != '\0' ? app->szPath : app->szDefaultDocumentName;
}

SettingsPlace AppData_ChoosePlace(bool bUserFileExists, bool bProgramFolderWritable) {
  return (bUserFileExists || !bProgramFolderWritable) ? SETTINGS_IN_USER_FOLDER : SETTINGS_BESIDE_PROGRAM;
}
