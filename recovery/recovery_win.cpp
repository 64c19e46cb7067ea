#include "recovery/recovery_win.h"

#include <shlobj.h>

#include <cstring>

#include "editctrl/editctrl.h"
#include "recovery/recoveryread.h"
#include "recovery/recoverytext.h"
#include "tools/debuglog.h"
#include "tools/memory.h"
#include "tools/toolbase.h"
#include "tools/toolsys_win.h"
#include "tools/toolwind_win.h"

namespace {

const char kPropRecovery[] = "PROP_RECOVERY";

constexpr char kLocalFolder[] = "\\Qwilpad";
constexpr char kRecoveryFolder[] = "\\recovery";
constexpr int32_t kQuestionSize = 4096;
// The timer never waits less than this for a step that is due sooner.
constexpr UINT kShortestIntervalMs = 20;

bool KeepsFiles(HWND hWnd) { return GetPropA(hWnd, kPropRecovery) != nullptr; }

EditWatcher WatcherOf(const RecoveryWin* rec) { return EditWatcher{Recovery_Observe, rec->pWriter}; }

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

// What the host is told of a restored text: the path it keeps.
struct Restored {
  char* pszPath;
  int32_t nSize;
};

// The recovered text in the editor as a modified document of its path, and
// the writer set to keep it from now on.
bool Restore(RecoveryWin* rec, RecoveredDocument* doc, const char* orphan, const Restored* restored) {
  if (!TextEditor_AdoptText(rec->hEditor, doc->text)) return false;
  doc->text = nullptr;  // the editor's now
  // A path too long for the document is restored untitled, as the question said.
  const char* kept = RecoveryText_KeptPath(doc);
  String_CopyCut(restored->pszPath, restored->nSize, kept ? kept : "");
  TextEditor_SetModified(rec->hEditor, true);
  TextEditor_SetCaret(rec->hEditor, doc->ptCaret, true);
  Recovery_NoteRestored(rec->pWriter, kept, kept ? &doc->disk : nullptr, orphan);
  // The text is on disk only in the file it came from: it is written again at once.
  RecoveryWin_OnTimer(rec);
  return true;
}

enum Outcome { OUTCOME_NEXT, OUTCOME_RESTORED, OUTCOME_STOP };

// What one offer shows and where a restored text's path goes.
struct OfferArgs {
  const char* caption;
  const char* untitledName;
  Restored restored;
};

// Asks about one restorable file; Yes restores it, No removes it.
Outcome Ask(RecoveryWin* rec, RecoveredDocument* doc, const char* path, const char* question, const OfferArgs* args) {
  bool bClaimed = false;
  if (!Claim(rec, path, &bClaimed)) return OUTCOME_NEXT;
  const char* where = bClaimed ? Recovery_FilePath(rec->pWriter) : path;
  const int answer = MessageBox_Beep(rec->hHost, question, args->caption, MB_YESNO | MB_ICONQUESTION);
  if (answer == IDYES) {
    if (Restore(rec, doc, bClaimed ? nullptr : path, &args->restored)) return OUTCOME_RESTORED;
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

Outcome Offer(RecoveryWin* rec, const char* path, const OfferArgs* args) {
  // Read laid out as the editor lays its document out: adopting it then
  // costs no second layout.
  const TextDataProperty prop = *TextData_GetProp(TextEditor_GetDocument(rec->hEditor));
  RecoveredDocument doc;
  Recovery_Read(path, &prop, RecoveryWin_IsAlive, nullptr, &doc);
  char* question = static_cast<char*>(Mem_Alloc(kQuestionSize));
  Outcome outcome = OUTCOME_NEXT;
  bool bRemove = false;
  const RecoveryQuestion kind =
      question ? RecoveryText_Question(&doc, args->untitledName, question, kQuestionSize, &bRemove) : RECOVERYQ_NONE;
  if (kind == RECOVERYQ_RESTORE) {
    outcome = Ask(rec, &doc, path, question, args);
  } else if (kind == RECOVERYQ_TELL) {
    MessageBox_Beep(rec->hHost, question, args->caption, MB_OK | MB_ICONEXCLAMATION);
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
  if (hWnd != args->hSelf && KeepsFiles(hWnd)) {
    args->bFound = true;
    return FALSE;
  }
  return TRUE;
}

// Another window of this process already keeps files of the process's name.
bool AnotherKeeper(HWND hSelf) {
  OtherKeeperArgs args = {hSelf, false};
  EnumThreadWindows(GetCurrentThreadId(), FindOtherKeeper, reinterpret_cast<LPARAM>(&args));
  return args.bFound;
}

void SetInterval(RecoveryWin* rec, UINT interval) {
  if (rec->nInterval == interval) return;
  if (SetTimer(rec->hHost, kRecoveryTimerId, interval, nullptr)) rec->nInterval = interval;
}

void Free(RecoveryWin* rec) {
  Recovery_Destroy(rec->pWriter);
  Mem_Free(rec);
}

}  // namespace

bool RecoveryWin_ChooseFolder(const char* settingsPath, char* buffer, int32_t size) {
  buffer[0] = '\0';
  char parent[kPathBufferSize];
  if (LocalAppDataFolder(parent, sizeof(parent)) && TryFolder(parent, buffer, size)) return true;
  if (settingsPath[0] != '\0' && Path_GetFolder(settingsPath, parent, sizeof(parent)) &&
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

RecoveryWin* RecoveryWin_Attach(HWND hHost, HWND hEditor, const char* settingsPath) {
  if (!TextEditor_GetDocument(hEditor) || KeepsFiles(hHost) || AnotherKeeper(hHost)) return nullptr;
  RecoveryWin* rec = static_cast<RecoveryWin*>(Mem_Alloc(sizeof(RecoveryWin)));
  if (!rec) return nullptr;
  std::memset(rec, 0, sizeof(*rec));
  rec->hHost = hHost;
  rec->hEditor = hEditor;
  if (!RecoveryWin_ChooseFolder(settingsPath, rec->szFolder, sizeof(rec->szFolder))) {
    QWIL_LOG("no folder for recovery files: unsaved text is not kept");
    Mem_Free(rec);
    return nullptr;
  }
  rec->pWriter = Recovery_Create(rec->szFolder, GetCurrentProcessId(), RecoveryWin_ProcessToken());
  const EditWatcher watcher = WatcherOf(rec);
  if (!rec->pWriter || !SetPropA(hHost, kPropRecovery, rec)) {
    Free(rec);
    return nullptr;
  }
  if (!TextEditor_AddWatcher(hEditor, &watcher)) {
    RemovePropA(hHost, kPropRecovery);
    Free(rec);
    return nullptr;
  }
  Recovery_NoteDocument(rec->pWriter, TextEditor_GetDocument(hEditor), nullptr);
  SetInterval(rec, static_cast<UINT>(kRecoveryTickMs));
  return rec;
}

void RecoveryWin_Detach(RecoveryWin* rec) {
  if (!rec) return;
  KillTimer(rec->hHost, kRecoveryTimerId);
  const EditWatcher watcher = WatcherOf(rec);
  TextEditor_RemoveWatcher(rec->hEditor, &watcher);
  RemovePropA(rec->hHost, kPropRecovery);
  Free(rec);
}

bool RecoveryWin_OfferLeftovers(RecoveryWin* rec, const char* caption, const char* untitledName, char* restoredPath,
                                int32_t size) {
  if (!rec) return false;
  const OfferArgs args = {caption, untitledName, {restoredPath, size}};
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
    if (action == RECOVERYSCAN_OFFER) outcome = Offer(rec, path, &args);
  }
  Mem_Free(list.pItems);
  return outcome == OUTCOME_RESTORED;
}

void RecoveryWin_OnTimer(RecoveryWin* rec) {
  TextData* text = rec ? TextEditor_GetDocument(rec->hEditor) : nullptr;
  if (!text) return;
  Recovery_Tick(rec->pWriter, text, TextEditor_GetCaret(rec->hEditor), TextEditor_GetModified(rec->hEditor), nullptr);
  // A step due sooner than the next tick (the rest of a snapshot) is not kept waiting.
  const int64_t due = Recovery_DueIn(rec->pWriter);
  UINT interval = static_cast<UINT>(kRecoveryTickMs);
  if (due >= 0 && due < kRecoveryTickMs) interval = due < kShortestIntervalMs ? kShortestIntervalMs : static_cast<UINT>(due);
  SetInterval(rec, interval);
}

void RecoveryWin_NoteDocument(RecoveryWin* rec, const char* path) {
  TextData* text = rec ? TextEditor_GetDocument(rec->hEditor) : nullptr;
  if (!text) return;
  Recovery_NoteDocument(rec->pWriter, text, path && path[0] != '\0' ? path : nullptr);
}

void RecoveryWin_Discard(RecoveryWin* rec) {
  if (rec) Recovery_Discard(rec->pWriter);
}
