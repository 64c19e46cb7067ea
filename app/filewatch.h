// The document's file as other programs may change it: its size and last write
// time remembered at every load, reload and save, compared with the file when
// the window comes back to the user and before every save, and what the user
// has already been told, so that one change is asked about once.
#pragma once

#include <cstdint>

// What a file looked like at one moment. A file the program could not look at
// (no access to its folder, a drive gone) gives no stamp at all.
struct FileStamp {
  bool bExists;        // a regular file is there
  int64_t nSize;       // 0 when there is none
  int64_t nWriteTime;  // the system's file time; 0 when there is none
};

enum FileChange : int32_t {
  FILECHANGE_SAME,     // as last loaded or saved
  FILECHANGE_CHANGED,  // another size or write time: another program wrote it
  FILECHANGE_DELETED,  // no regular file of that name any more
};

// What the window is to do when it looks at the file.
enum FileWatchAction : int32_t {
  FILEWATCH_NONE,
  FILEWATCH_ASK_RELOAD,    // changed and the document unmodified: offer to reload
  FILEWATCH_TELL_CHANGED,  // changed and the document modified: say so; the next save asks first
};

// One per main window (AppInfo::fileWatch), all zero for an untitled document.
struct FileWatch {
  bool bWatching;      // the document has a file
  FileStamp known;     // the file as loaded or last saved
  bool bTold;          // the user was told of the file as `told` is, and is not asked again
  FileStamp told;      // until it differs from it
  bool bDeleted;       // the file was missing when last looked at (the title says so)
  bool bAsking;        // one of the watch's questions is up
  bool bPending;       // a look that could not ask then is to be made once it can
  bool bPosted;        // a look is on its way to the window
};

// The file at path now, through the file seam; false when it cannot be told
// (then nothing is decided from it).
bool FileStamp_Take(const char* path, FileStamp* stamp);

// Watches the file at path as it is now (null or empty: none), forgetting what
// the user was told: after a load, a reload or a save.
void FileWatch_Start(FileWatch* watch, const char* path);
FileChange FileWatch_Compare(const FileWatch* watch, const FileStamp* now);

// The file is looked at as `now` shows it: notes whether it is missing and what
// the user is now told of it. A change the user was told of already is not told
// again while the file stays as it was then.
FileWatchAction FileWatch_Look(FileWatch* watch, const FileStamp* now, bool bModified);
// Before a save over the watched file: true when another program changed it,
// and the user is to choose. The choice counts as told.
bool FileWatch_MustAskBeforeSave(FileWatch* watch, const FileStamp* now);

// A question of the watch may be asked now (bCanAsk: no dialog of the window's
// and no print job is up, the window is not minimized) and none is up: true,
// and the question is up until FileWatch_EndQuestion. Otherwise false, and the
// look is pending.
bool FileWatch_BeginQuestion(FileWatch* watch, bool bCanAsk);
void FileWatch_EndQuestion(FileWatch* watch);

// The texts the window shows, naming the file by its path as the program's
// other messages do. Cut between characters to size bytes; return the length.
int32_t FileWatch_FormatReloadQuestion(char* buffer, int32_t size, const char* path);
int32_t FileWatch_FormatChangedNotice(char* buffer, int32_t size, const char* path);
int32_t FileWatch_FormatOverwriteQuestion(char* buffer, int32_t size, const char* path);
// What the title adds behind the path while the file is missing.
constexpr char kFileDeletedTitleNote[] = " (削除されました)";
