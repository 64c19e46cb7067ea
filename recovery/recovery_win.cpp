#include "recovery/recovery_win.h"

#include <shlobj.h>

#include <cstring>

#include "app/qwilwind_win.h"
#include "recovery/recoveryread.h"
#include "recovery/recoverytext.h"
#include "app/statusbar_win.h"
#include "editctrl/editctrl.h"
#include "editctrl/editundo.h"
#include "editctrl/editwind_win.h"
#include "tools/debuglog.h"
#include "tools/memory.h"
#include "tools/toolbase.h"
#include "tools/toolsys_win.h"
#include "tools/toolwind_win.h"

const char kPropRecovery[] = "PROP_RECOVERY";

namespace {

constexpr char kLocalFolder[] = "\\Qwilpad";
constexpr char kRecoveryFolder[] = "\\recovery";
constexpr int32_t kQuestionSize = 4096;
// The timer never waits less than this for a step that is due sooner.
constexpr UINT kShortestIntervalMs = 20;

RecoveryWin* Find(HWND hWnd) { return static_cast<RecoveryWin*>(GetPropA(hWnd, kPropRecovery)); }

TextEditorBody* BodyOf(const AppInfo* app) {
  EditorWindow* wnd = app->hEditor ? EditWindow_FromHandle(app->hEditor) : nullptr;
  return wnd ? wnd->body : nullptr;
}

// ---- The folder ----

bool Append(char* buffer, int32_t size, const char* tail) {
  const size_t n = std::strlen(buffer);
  const size_t m = std::strlen(tail);
  if (n + m + 1 > static_cast<size_t>(size)) return false;
  std::memcpy(buffer + n, tail, m + 1);
  return true;
}

// The folder made (its parent first), and new files can be made in it.
bool MakeWritable(const char* parent, const char* folder) {
  CreateDirectoryA(parent, nullptr);
  CreateDirectoryA(folder, nullptr);
  return File_IsDirectory(folder) && Folder_IsWritable(folder);
}

bool LocalAppDataFolder(char* buffer, int32_t size) {
  char base[MAX_PATH + 1] = {};
  const DWORD n = GetEnvironmentVariableA("LOCALAPPDATA", base, sizeof(base));
  if (n == 0 || n >= sizeof(base)) {
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, base))) return false;
  }
  size_t nBase = std::strlen(base);
  while (nBase > 0 && base[nBase - 1] == '\\') base[--nBase] = '\0';
  if (nBase == 0 || nBase + 1 > static_cast<size_t>(size)) return false;
  std::memcpy(buffer, base, nBase + 1);
  return Append(buffer, size, kLocalFolder);
}

// parent\recovery made and writable, into buffer with a separator at the end.
bool TryFolder(const char* parent, char* buffer, int32_t size) {
  // The longest file name of the writer must fit a path behind it.
  char folder[kPathBufferSize] = {};
  if (std::strlen(parent) + sizeof(kRecoveryFolder) + 1 + kRecoveryNameSize > static_cast<size_t>(kPathMax)) {
    return false;
  }
  std::strcpy(folder, parent);
  Append(folder, sizeof(folder), kRecoveryFolder);
  if (!MakeWritable(parent, folder)) return false;
  String_CopyCut(buffer, size, folder);
  return Append(buffer, size, "\\");
}

// ---- Reading the folder ----

struct Leftover {
  char szName[kRecoveryNameSize];
  uint64_t nWriteTime;
};

struct LeftoverList {
  Leftover* pItems;
  int32_t nCount;
  int32_t nCapacity;
};

bool AddLeftover(LeftoverList* list, const WIN32_FIND_DATAA& found) {
  if (std::strlen(found.cFileName) >= sizeof(Leftover::szName)) return true;  // no name of ours
  if (list->nCount == list->nCapacity) {
    const int32_t capacity = list->nCapacity ? list->nCapacity * 2 : 8;
    void* grown = Mem_Realloc(list->pItems, sizeof(Leftover) * static_cast<size_t>(capacity));
    if (!grown) return false;
    list->pItems = static_cast<Leftover*>(grown);
    list->nCapacity = capacity;
  }
  Leftover* item = &list->pItems[list->nCount++];
  std::strcpy(item->szName, found.cFileName);
  item->nWriteTime = uint64_t(found.ftLastWriteTime.dwHighDateTime) << 32 | found.ftLastWriteTime.dwLowDateTime;
  return true;
}

// The folder's files of this program's naming, newest first (what memory
// allows of them).
LeftoverList ListLeftovers(const char* folder) {
  LeftoverList list = {nullptr, 0, 0};
  char pattern[kPathBufferSize + 16];
  String_CopyCut(pattern, sizeof(pattern), folder);
  if (!Append(pattern, sizeof(pattern), "qwilpad-*")) return list;
  WIN32_FIND_DATAA found;
  HANDLE hFind = FindFirstFileA(pattern, &found);
  if (hFind == INVALID_HANDLE_VALUE) return list;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !AddLeftover(&list, found)) break;
  } while (FindNextFileA(hFind, &found));
  FindClose(hFind);
  // A handful of files: insertion sort.
  for (int32_t i = 1; i < list.nCount; ++i) {
    const Leftover item = list.pItems[i];
    int32_t j = i;
    for (; j > 0 && list.pItems[j - 1].nWriteTime < item.nWriteTime; --j) list.pItems[j] = list.pItems[j - 1];
    list.pItems[j] = item;
  }
  return list;
}

// ---- Restoring ----

// Takes the file under this window's own name, so that no other window
// starting now offers it too, and so that if this one ends before its own
// file is written, the next start still finds it. False when another window
// took it first; *pClaimed false when it stays where it is.
bool Claim(const RecoveryWin* rec, const char* path, bool* pClaimed) {
  *pClaimed = MoveFileA(path, Recovery_FilePath(rec->pWriter)) != FALSE;
  if (*pClaimed) return true;
  const DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

void GiveBack(const RecoveryWin* rec, const char* path, bool bClaimed) {
  if (bClaimed) MoveFileA(Recovery_FilePath(rec->pWriter), path);
}

// The recovered text in the editor as a modified document of its path, and
// the writer set to keep it from now on.
bool Restore(AppInfo* app, const RecoveryWin* rec, RecoveredDocument* doc, const char* orphan) {
  if (!TextEditor_AdoptText(app->hEditor, doc->text)) return false;
  doc->text = nullptr;  // the editor's now
  // A path too long for the document is restored untitled, as the question said.
  const char* kept = RecoveryText_KeptPath(doc);
  const bool bFits = kept != nullptr;
  if (bFits) {
    std::strcpy(app->szPath, kept);
  } else {
    app->szPath[0] = '\0';
  }
  TextEditor_SetModified(app->hEditor, true);
  TextEditor_SetCaret(app->hEditor, doc->ptCaret, true);
  Title_Refresh(app);
  StatusBar_Refresh(app);
  Recovery_NoteRestored(rec->pWriter, bFits ? app->szPath : nullptr, bFits ? &doc->disk : nullptr, orphan);
  // The text is on disk only in the file it came from: it is written again at once.
  RecoveryWin_OnTimer(app);
  return true;
}

enum Outcome { OUTCOME_NEXT, OUTCOME_RESTORED, OUTCOME_STOP };

// Asks about one restorable file; Yes restores it, No removes it.
Outcome Ask(AppInfo* app, RecoveryWin* rec, RecoveredDocument* doc, const char* path, const char* question) {
  bool bClaimed = false;
  if (!Claim(rec, path, &bClaimed)) return OUTCOME_NEXT;
  const char* where = bClaimed ? Recovery_FilePath(rec->pWriter) : path;
  const int answer = MessageBox_Beep(app->hWnd, question, kMainWindowTitle, MB_YESNO | MB_ICONQUESTION);
  if (answer == IDYES) {
    if (Restore(app, rec, doc, bClaimed ? nullptr : path)) return OUTCOME_RESTORED;
    // A read-only editor takes no text: the file waits for another start.
    GiveBack(rec, path, bClaimed);
    return OUTCOME_STOP;
  }
  if (answer == IDNO) {
    DeleteFileA(where);
  } else {
    GiveBack(rec, path, bClaimed);
  }
  return OUTCOME_NEXT;
}

Outcome Offer(AppInfo* app, RecoveryWin* rec, const char* path) {
  TextEditorBody* body = BodyOf(app);
  const TextDataProperty prop = EditBody_LayoutProp(body);
  RecoveredDocument doc;
  Recovery_Read(path, &prop, RecoveryWin_IsAlive, nullptr, &doc);
  char* question = static_cast<char*>(Mem_Alloc(kQuestionSize));
  Outcome outcome = OUTCOME_NEXT;
  bool bRemove = false;
  const RecoveryQuestion kind =
      question ? RecoveryText_Question(&doc, app->szDefaultDocumentName, question, kQuestionSize, &bRemove)
               : RECOVERYQ_NONE;
  if (kind == RECOVERYQ_RESTORE) {
    outcome = Ask(app, rec, &doc, path, question);
  } else if (kind == RECOVERYQ_TELL) {
    MessageBox_Beep(app->hWnd, question, kMainWindowTitle, MB_OK | MB_ICONEXCLAMATION);
    if (bRemove) DeleteFileA(path);
  }
  Mem_Free(question);
  RecoveredDocument_Free(&doc);
  return outcome;
}

struct OtherKeeperArgs {
  HWND hSelf;
  bool bFound;
};

BOOL CALLBACK FindOtherKeeper(HWND hWnd, LPARAM lParam) {
  OtherKeeperArgs* args = reinterpret_cast<OtherKeeperArgs*>(lParam);
  if (hWnd != args->hSelf && Find(hWnd)) {
    args->bFound = true;
    return FALSE;
  }
  return TRUE;
}

// Another main window of this process already keeps files of the process's name.
bool AnotherKeeper(HWND hSelf) {
  OtherKeeperArgs args = {hSelf, false};
  EnumThreadWindows(GetCurrentThreadId(), FindOtherKeeper, reinterpret_cast<LPARAM>(&args));
  return args.bFound;
}

void SetInterval(const AppInfo* app, RecoveryWin* rec, UINT interval) {
  if (rec->nInterval == interval) return;
  if (SetTimer(app->hWnd, kRecoveryTimerId, interval, nullptr)) rec->nInterval = interval;
}

}  // namespace

bool RecoveryWin_ChooseFolder(const AppInfo* app, char* buffer, int32_t size) {
  buffer[0] = '\0';
  char parent[kPathBufferSize];
  if (LocalAppDataFolder(parent, sizeof(parent)) && TryFolder(parent, buffer, size)) return true;
  if (app->szSettingsPath[0] != '\0' && Path_GetFolder(app->szSettingsPath, parent, sizeof(parent)) &&
      parent[0] != '\0' && TryFolder(parent, buffer, size)) {
    return true;
  }
  buffer[0] = '\0';
  return false;
}

uint64_t RecoveryWin_ProcessToken() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  return uint64_t(created.dwHighDateTime) << 32 | created.dwLowDateTime;
}

bool RecoveryWin_IsAlive(void*, uint32_t pid, uint64_t token) {
  HANDLE hProcess = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, pid);
  if (!hProcess) return GetLastError() == ERROR_ACCESS_DENIED;
  // The exit code is asked only when the wait cannot tell: a process may
  // well have ended with the code that means "still active".
  const DWORD wait = WaitForSingleObject(hProcess, 0);
  DWORD code = 0;
  bool alive = wait == WAIT_TIMEOUT;
  if (wait == WAIT_FAILED) alive = !GetExitCodeProcess(hProcess, &code) || code == STILL_ACTIVE;
  FILETIME created, exited, kernel, user;
  if (alive && GetProcessTimes(hProcess, &created, &exited, &kernel, &user)) {
    // A later process that got the id of the one that wrote the file.
    alive = (uint64_t(created.dwHighDateTime) << 32 | created.dwLowDateTime) == token;
  }
  CloseHandle(hProcess);
  return alive;
}

bool RecoveryWin_Attach(AppInfo* app) {
  TextEditorBody* body = BodyOf(app);
  if (!body || Find(app->hWnd) || AnotherKeeper(app->hWnd)) return false;
  RecoveryWin* rec = static_cast<RecoveryWin*>(Mem_Alloc(sizeof(RecoveryWin)));
  if (!rec) return false;
  std::memset(rec, 0, sizeof(*rec));
  if (!RecoveryWin_ChooseFolder(app, rec->szFolder, sizeof(rec->szFolder))) {
    QWIL_LOG("no folder for recovery files: unsaved text is not kept");
    Mem_Free(rec);
    return false;
  }
  rec->pWriter = Recovery_Create(rec->szFolder, GetCurrentProcessId(), RecoveryWin_ProcessToken());
  if (!rec->pWriter || !SetPropA(app->hWnd, kPropRecovery, rec)) {
    Recovery_Destroy(rec->pWriter);
    Mem_Free(rec);
    return false;
  }
  EditBody_SetObserver(body, Recovery_Observe, rec->pWriter);
  Recovery_NoteDocument(rec->pWriter, body->text, nullptr);
  SetInterval(app, rec, static_cast<UINT>(kRecoveryTickMs));
  return true;
}

void RecoveryWin_Detach(AppInfo* app) {
  RecoveryWin* rec = Find(app->hWnd);
  if (!rec) return;
  KillTimer(app->hWnd, kRecoveryTimerId);
  TextEditorBody* body = BodyOf(app);
  if (body) EditBody_SetObserver(body, nullptr, nullptr);
  RemovePropA(app->hWnd, kPropRecovery);
  Recovery_Destroy(rec->pWriter);
  Mem_Free(rec);
}

RecoveryWin* RecoveryWin_Get(HWND hWnd) { return hWnd ? Find(hWnd) : nullptr; }

bool RecoveryWin_OfferLeftovers(AppInfo* app) {
  RecoveryWin* rec = Find(app->hWnd);
  if (!rec) return false;
  const uint32_t pid = GetCurrentProcessId();
  const uint64_t token = RecoveryWin_ProcessToken();
  LeftoverList list = ListLeftovers(rec->szFolder);
  Outcome outcome = OUTCOME_NEXT;
  for (int32_t i = 0; i < list.nCount && outcome == OUTCOME_NEXT; ++i) {
    char path[kPathBufferSize + kRecoveryNameSize];
    String_CopyCut(path, sizeof(path), rec->szFolder);
    Append(path, sizeof(path), list.pItems[i].szName);
    const RecoveryScanAction action = RecoveryScan_Classify(list.pItems[i].szName, pid, token, RecoveryWin_IsAlive,
                                                            nullptr);
    if (action == RECOVERYSCAN_REMOVE) DeleteFileA(path);
    if (action == RECOVERYSCAN_OFFER) outcome = Offer(app, rec, path);
  }
  Mem_Free(list.pItems);
  return outcome == OUTCOME_RESTORED;
}

void RecoveryWin_OnTimer(AppInfo* app) {
  RecoveryWin* rec = Find(app->hWnd);
  TextEditorBody* body = BodyOf(app);
  if (!rec || !body) return;
  Recovery_Tick(rec->pWriter, body->text, body->ptCaret, EditBody_GetModified(body), nullptr);
  // A step due sooner than the next tick (the rest of a snapshot) is not kept waiting.
  const int64_t due = Recovery_DueIn(rec->pWriter);
  UINT interval = static_cast<UINT>(kRecoveryTickMs);
  if (due >= 0 && due < kRecoveryTickMs) interval = due < kShortestIntervalMs ? kShortestIntervalMs : static_cast<UINT>(due);
  SetInterval(app, rec, interval);
}

void RecoveryWin_NoteDocument(AppInfo* app, const char* path) {
  RecoveryWin* rec = Find(app->hWnd);
  TextEditorBody* body = BodyOf(app);
  if (!rec || !body) return;
  Recovery_NoteDocument(rec->pWriter, body->text, path && path[0] != '\0' ? path : nullptr);
}

void RecoveryWin_Discard(AppInfo* app) {
  RecoveryWin* rec = Find(app->hWnd);
  if (rec) Recovery_Discard(rec->pWriter);
}
