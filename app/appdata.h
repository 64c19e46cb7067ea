// The application record AppInfo: every setting of the settings file, the key
// bindings, the current document's path and the window layer's handles. One
// record per process, owned by the process entry for the whole run.
//
// Reading and writing the settings file is decided here, over the profile seam
// (tools/profile.h): the keys in their order, the value encodings, the keys of
// the older layout read as fallbacks and removed at every write, and the clamping
// of hand-edited values to what the program can use.
#pragma once

#include <cstdint>

#include "app/encguard.h"
#include "app/filewatch.h"
#include "dialogs/keyassign.h"
#include "editctrl/editsettings.h"
#include "tools/charfold.h"
#include "tools/fileio.h"
#include "tools/platform.h"
#include "tools/profile.h"
#include "tools/toolbase.h"

constexpr int32_t kSearchTextSize = 1024;

// x, y, width and height of the window that is to be placed by the system.
constexpr int32_t kWindowUnset = INT32_MIN;  // CW_USEDEFAULT's bits

// The largest window size and position kept from the file: a window of any real
// desktop fits, and position plus size can never overflow.
constexpr int32_t kWindowMaxCoordinate = 1 << 20;
constexpr int32_t kWindowMaxSize = 1 << 16;

// The largest font height (logical units) kept from the file: 1638 points, the
// font dialog's largest size, at 96 dots per inch.
constexpr int32_t kFontHeightMax = 2184;
constexpr int32_t kFontWeightMax = 1000;

constexpr const char kDefaultDocumentName[] = "無題.txt";
constexpr int32_t kDefaultPrintPointSize = 140;

struct History;
struct RecoveryWin;
struct AppBusy;

struct AppInfo {
  // ---- Settings (the settings file) ----
  BYTE bMaximized;                    // maximized when last closed
  BYTE bAlwaysAtBack;                 // never both this and bAlwaysOnTop
  BYTE bAlwaysOnTop;
  int32_t x, y;                       // the normal rectangle's top left, or kWindowUnset (both)
  int32_t nWidth, nHeight;            // its size, or kWindowUnset (both)
  BYTE bFrame3D;                      // the editor has a sunken edge
  BYTE bStatusBarVisible;
  BYTE bConfirmOverwrite;             // the save dialog asks before replacing a file
  BYTE bCompleteExtension;            // the save dialog appends the default extension
  BYTE bKeepOverwrittenInRecycleBin;  // a file saved over goes to the recycle bin first
  BYTE bImeOnAtStart;
  char szDefaultDocumentName[kPathBufferSize];  // never empty
  char szDocumentFolder[kPathBufferSize];       // the dialogs' folder for an untitled document
  char szDateFormat[kDateFormatSize];
  uint32_t nFindMode;                 // the search option bits (SF_ of tools/charfold.h)
  EditorSettings editorSettings;      // what the editor is created with
  BYTE bUserColours;                  // the colours are the user's own, kept whatever the system's
                                      // theme: the file held some, or the display settings dialog
                                      // was given others than the theme's default scheme
  int32_t nPrintPointSize;            // tenths of a point, from the font dialog
  KeyAssignData keys;                 // the key file's bindings (owned)

  // ---- Files of the run ----
  char szSettingsPath[kPathBufferSize];  // the settings file; empty: none (nothing read or written)
  char szKeyFilePath[kPathBufferSize];   // the key file
  BYTE bSettingsInUserFolder;            // both live in the user's folder, made at the first write

  // ---- The document ----
  char szPath[kPathBufferSize];          // the current document; empty while untitled
  char szLastSearch[kSearchTextSize];    // what find next searches for
  EncodingGuard encodingGuard;           // what the document's file is written in (app/encguard.h)
  FileWatch fileWatch;                   // the document's file as other programs change it

  // ---- The window layer's (opaque to the core) ----
  // The main window's parts, from its WM_CREATE to its WM_DESTROY. Each is
  // made and freed by the module named; everybody else reaches it here.
  HINSTANCE hInstance;
  HWND hWnd;                   // the main window (app/qwilwind_win)
  HWND hEditor;                // child 101, the editor control
  HWND hStatusBar;             // child 100 (app/statusbar_win)
  HWND hNextViewer;            // the next window of the clipboard viewer chain (app/cliphist_win)
  HACCEL hAccel;               // the message loop's accelerator table (owned), or null
  History* pLoadHistory;       // the load history (app/filehist_win), or null
  History* pClipboardHistory;  // the clipboard history (app/cliphist_win), or null
  RecoveryWin* pRecovery;      // crash recovery (recovery/recovery_win), or null: none
  AppBusy* pBusy;              // long work and its progress (app/appbusy_win), or null: none
};

bool IsValidAppInfo(const AppInfo* app);

// Every field at its first-start value: the settings' defaults, the window
// unset, no bindings, no document, no handles.
void AppInfo_SetDefaults(AppInfo* app);

// The defaults, then what the file holds over them, clamped. Missing keys and
// values that do not parse leave what was there.
//
// Colours: a file holding any colour key holds the user's own colours
// (bUserColours), the missing ones the light scheme's as always. A file with
// none leaves the colours to follow the system's theme (editctrl/colorscheme.h).
void AppData_Read(AppInfo* app, const ProfileMethods* profile);
// Writes every key in its order, then removes the keys of the older layout.
// Colours that follow the theme are not written but removed, so that the file
// pins nothing the user did not choose. False when any write failed (the
// others are still made).
bool AppData_Write(const AppInfo* app, const ProfileMethods* profile);

// A window position and size kept from the file: both coordinates from 0 to
// kWindowMaxCoordinate, or both unset; both sizes from 1 to kWindowMaxSize, or
// both unset.
void AppData_ClampWindow(AppInfo* app);
// True when the file gave a whole rectangle for the window.
bool AppData_HasWindowRect(const AppInfo* app);

// The name shown for the document: its path, or the default name while untitled.
const char* AppInfo_GetDocumentName(const AppInfo* app);

// Where the settings file and the key file live: the program's folder when new
// files can be made there and no settings exist in the user's folder yet;
// otherwise the user's folder (%APPDATA%\Qwilpad).
enum SettingsPlace : int32_t {
  SETTINGS_BESIDE_PROGRAM,
  SETTINGS_IN_USER_FOLDER,
};
SettingsPlace AppData_ChoosePlace(bool bUserFileExists, bool bProgramFolderWritable);
