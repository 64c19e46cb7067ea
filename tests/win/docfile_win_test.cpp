// Opening and saving in the real main window: the command-line document, the
// save question on every way of giving a document up, the save and save-as
// commands with their dialogs, the messages of failed loads and saves (also on
// a full disk and in a folder nobody may write in), the recycle-bin setting,
// dropped files, inserting and reloading a file.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstdlib>

#include "app/docfile.h"
#include "app/filehist_win.h"
#include "app/histmenu.h"
#include "tools/history.h"
#include "win/mainhost.h"
#include "win/dialogscript.h"

namespace {

const char kQuestion[] = "この文書は変更されていますが、まだ保存されていません。\n変更を保存しますか？";

std::string SaveErrorText(const std::string& path, const std::string& document) {
  return path + "\nの保存に失敗しました。\n\n編集中のファイルは\n" + document + "\nのままです。";
}

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

// The folders of scripts/mounts.sh as Windows paths, or why there are none.
struct Mounts {
  std::string full, ro, why;
  Mounts() {
    const char* dir = std::getenv("QWIL_MOUNT_DIR");
    if (!dir) {
      why = "QWIL_MOUNT_DIR is not set (run the tests through ctest)";
      return;
    }
    std::string base = std::string("Z:") + dir;
    for (char& c : base) c = c == '/' ? '\\' : c;
    std::string status = WinTest_ReadFile(base + "\\status");
    if (!StartsWith(status, "ready")) {
      why = "scripts/mounts.sh says: " + status;
      return;
    }
    full = base + "\\full";
    ro = base + "\\ro";
  }
  bool Ready() const { return why.empty(); }
};

// A drop of one file, as the shell hands it to the window it was dropped on.
HDROP MakeDrop(const std::string& path) {
  size_t size = sizeof(DROPFILES) + path.size() + 2;
  HGLOBAL h = GlobalAlloc(GHND, size);
  DROPFILES* df = static_cast<DROPFILES*>(GlobalLock(h));
  df->pFiles = sizeof(DROPFILES);
  df->fWide = FALSE;
  std::memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), path.c_str(), path.size());
  GlobalUnlock(h);
  return static_cast<HDROP>(h);
}

void Drop(const MainHost& host, const std::string& path) {
  SendMessageA(host.Editor(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(path)), 0);
}

// The file dialog's proposed name and folder, read before it is answered.
struct DialogStartSeen {
  std::string name, folder;
};

DialogScript::Answer ReadStartThen(DialogStartSeen* seen, DialogScript::Answer then) {
  return [seen, then](HWND h) {
    char text[MAX_PATH] = {};
    HWND hName = GetDlgItem(h, cmb13);
    if (!hName) hName = GetDlgItem(h, edt1);
    GetWindowTextA(hName, text, sizeof(text));
    seen->name = text;
    text[0] = '\0';
    SendMessageA(h, CDM_GETFOLDERPATH, sizeof(text), reinterpret_cast<LPARAM>(text));
    seen->folder = text;
    then(h);
  };
}

TEST(Document, CommandLineFileOpensUnderItsFullNameAndTheTitleFollowsEdits) {
  WinTestDir dir;
  ASSERT_TRUE(WinTest_WriteFile(dir / "a.txt", "text"));
  // A name relative to the current folder is shown as the whole path.
  char before[MAX_PATH];
  GetCurrentDirectoryA(sizeof(before), before);
  SetCurrentDirectoryA(dir.path.c_str());
  MainHost host(dir);
  ASSERT_TRUE(host.Create({"a.txt", "ignored.txt"}));
  SetCurrentDirectoryA(before);
  char full[MAX_PATH];
  GetLongPathNameA((dir / "a.txt").c_str(), full, sizeof(full));
  EXPECT_EQ(std::string("[a.txt] - ") + full, host.Title());
  EXPECT_EQ(4, TextEditor_GetTextLength(host.Editor()));
  host.Type("x");
  EXPECT_EQ(std::string("[a.txt *] - ") + full, host.Title());
  // The file joins the load history.
  History* history = host.app->pLoadHistory;
  ASSERT_NE(nullptr, history);
  ASSERT_EQ(1, History_GetCount(history));
  EXPECT_STREQ(full, History_GetEntry(history, 0));
}

TEST(Document, CommandLineFileWithForwardSlashesIsShownWithBackslashes) {
  WinTestDir dir;
  ASSERT_TRUE(WinTest_WriteFile(dir / "s.txt", "slashes"));
  std::string slashed = dir / "s.txt";
  for (char& c : slashed) c = c == '\\' ? '/' : c;
  MainHost host(dir);
  ASSERT_TRUE(host.Create({slashed}));
  char full[MAX_PATH];
  GetLongPathNameA((dir / "s.txt").c_str(), full, sizeof(full));
  EXPECT_EQ(std::string("[s.txt] - ") + full, host.Title());
}

TEST(Document, WithoutAReadableFileArgumentTheDocumentIsUntitled) {
  WinTestDir dir;
  for (std::vector<std::string> args : {std::vector<std::string>{}, {dir / "missing.txt"}, {dir.path}}) {
    MainHost host(dir);
    ASSERT_TRUE(host.Create(args));
    EXPECT_EQ("[無題.txt] - ", host.Title()) << (args.empty() ? "no argument" : args[0]);
    EXPECT_EQ(0, TextEditor_GetTextLength(host.Editor()));
    EXPECT_TRUE(IsWindowVisible(host.hWnd));
  }
}

// A file in a folder of dir whose whole name is longer than a path may be,
// made and removed through the system's long-path form.
struct LongPathFile {
  std::string path;
  std::wstring wideFolder, wideFile;
  explicit LongPathFile(const WinTestDir& dir) {
    const std::string folder = dir / std::string(200, 'f');
    path = folder + "\\" + std::string(100, 'n') + ".txt";
    wideFolder = L"\\\\?\\" + std::wstring(folder.begin(), folder.end());
    wideFile = L"\\\\?\\" + std::wstring(path.begin(), path.end());
    CreateDirectoryW(wideFolder.c_str(), nullptr);
    HANDLE h = CreateFileW(wideFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  ~LongPathFile() {
    DeleteFileW(wideFile.c_str());
    RemoveDirectoryW(wideFolder.c_str());
  }
  bool Exists() const { return GetFileAttributesW(wideFile.c_str()) != INVALID_FILE_ATTRIBUTES; }
};

// The load error says why instead of the program starting untitled without a word.
TEST(Document, ACommandLineFileNameTooLongIsToldAndTheDocumentStartsUntitled) {
  WinTestDir dir;
  LongPathFile file(dir);
  ASSERT_TRUE(file.Exists());
  MainHost host(dir);
  DialogScript script;
  script.Press(IDOK);
  ASSERT_TRUE(host.Create({file.path}));
  ASSERT_EQ(1u, script.seen.size()) << script.Titles();
  EXPECT_EQ("ファイル読込エラー", script.seen[0].title);
  EXPECT_TRUE(StartsWith(script.seen[0].text, file.path + "\nの読み込みに失敗しました。")) << script.seen[0].text;
  EXPECT_NE(std::string::npos, script.seen[0].text.find("長すぎ")) << script.seen[0].text;
  EXPECT_EQ("[無題.txt] - ", host.Title());
  EXPECT_TRUE(IsWindowVisible(host.hWnd));
}

TEST(Document, SaveWritesCrLfBetweenLinesAndTheBytesAsTyped) {
  WinTestDir dir;
  ASSERT_TRUE(WinTest_WriteFile(dir / "a.txt", "a\nb\rc\r\nd"));
  MainHost host(dir);
  ASSERT_TRUE(host.Create({dir / "a.txt"}));
  host.Command(IDM_DOCEND);
  host.Type("X");
  EXPECT_NE(std::string::npos, host.Title().find(" *"));
  EXPECT_EQ(1, host.Command(IDM_SAVE));
  EXPECT_EQ("a\r\nb\r\nc\r\ndX", WinTest_ReadFile(dir / "a.txt"));
  EXPECT_EQ(std::string::npos, host.Title().find(" *")) << host.Title();
  EXPECT_FALSE(TextEditor_GetModified(host.Editor()));
  // Kana typed as the input method hands them over, two bytes each.
  host.Command(IDM_NEW);
  host.Type("\x82\xa0\x82\xa2\x82\xa4");
  DialogScript script;
  script.ChooseFile(dir / "kana.txt");
  EXPECT_EQ(1, host.Command(IDM_SAVE)) << "an untitled document is saved as";
  EXPECT_EQ("\x82\xa0\x82\xa2\x82\xa4", WinTest_ReadFile(dir / "kana.txt"));
  EXPECT_EQ("[kana.txt] - " + (dir / "kana.txt"), host.Title());
  EXPECT_EQ("[名前を付けて保存]", script.Titles());
  EXPECT_EQ(std::vector<std::string>({"a.txt", "kana.txt", "qwilpad.ini"}), dir.Names()) << "no file left behind";
}

TEST(Document, CloseAsksAboutAModifiedDocumentWithItsNameAsCaption) {
  WinTestDir dir;
  ASSERT_TRUE(WinTest_WriteFile(dir / "a.txt", "old"));
  MainHost host(dir);
  ASSERT_TRUE(host.Create({dir / "a.txt"}));
  host.Type("new ");
  // Opening the file wrote the load history into the settings file, nothing more.
  std::string before = WinTest_ReadFile(host.ini);
  {
    DialogScript script;
    script.Cancel();
    EXPECT_FALSE(host.Close()) << "Cancel keeps the window";
    ASSERT_EQ(1u, script.seen.size());
    EXPECT_EQ(dir / "a.txt", script.seen[0].title);
    EXPECT_EQ(kQuestion, script.seen[0].text);
  }
  EXPECT_EQ(before, WinTest_ReadFile(host.ini)) << "a cancelled close writes no settings";
  EXPECT_EQ(std::string::npos, before.find("[ウィンドウ]"));
  DialogScript script;
  script.Press(IDNO);
  EXPECT_TRUE(host.Close()) << "No closes";
  EXPECT_EQ("old", WinTest_ReadFile(dir / "a.txt"));
  EXPECT_NE(std::string::npos, WinTest_ReadFile(host.ini).find("[ウィンドウ]")) << "closing writes the settings";
}

TEST(Document, YesOnAnUntitledDocumentAsksForANameAndCancellingKeepsTheWindow) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  host.Type("keep me");
  {
    DialogScript script;
    script.Press(IDYES).Cancel();
    EXPECT_FALSE(host.Close());
    EXPECT_EQ("[無題.txt][名前を付けて保存]", script.Titles());
    EXPECT_TRUE(script.AllAnswered());
  }
  EXPECT_TRUE(TextEditor_GetModified(host.Editor()));
  DialogScript script;
  script.Press(IDYES).ChooseFile(dir / "kept.txt");
  EXPECT_TRUE(host.Close());
  EXPECT_EQ("keep me", WinTest_ReadFile(dir / "kept.txt"));
}

TEST(Document, LogoffAsksTooAndKeepsTheWindowEitherWay) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  host.Type("x");
  {
    DialogScript script;
    script.Cancel();
    EXPECT_EQ(FALSE, SendMessageA(host.hWnd, WM_QUERYENDSESSION, 0, 0)) << "the logoff is refused";
  }
  EXPECT_FALSE(WinTest_Exists(host.ini));
  DialogScript script;
  script.Press(IDNO);
  EXPECT_EQ(TRUE, SendMessageA(host.hWnd, WM_QUERYENDSESSION, 0, 0));
  EXPECT_TRUE(host.Open());
  EXPECT_TRUE(WinTest_Exists(host.ini)) << "the settings are written before the session ends";
}

TEST(Document, NewAndSaveAndExitAskOnlyAboutAModifiedDocument) {
  WinTestDir dir;
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  host.Type("text");
  {
    DialogScript script;
    script.Cancel();
    EXPECT_EQ(0, host.Command(IDM_NEW));
    EXPECT_EQ(4, TextEditor_GetTextLength(host.Editor()));
  }
  {
    DialogScript script;
    script.Press(IDNO);
    EXPECT_EQ(1, host.Command(IDM_NEW));
    EXPECT_EQ(0, TextEditor_GetTextLength(host.Editor()));
    EXPECT_EQ("[無題.txt] - ", host.Title());
  }
  host.Type("again");
  {
    // F12 on a modified untitled document: the save dialog, and no close when cancelled.
    DialogScript script;
    script.Cancel();
    host.Command(IDM_SAVEEXIT);
    EXPECT_TRUE(host.Open());
    EXPECT_EQ("[名前を付けて保存]", script.Titles());
  }
  TextEditor_SetModified(host.Editor(), false);
  DialogScript script;  // nothing may be asked now
  host.Command(IDM_SAVEEXIT);
  EXPECT_FALSE(host.Open());
  EXPECT_TRUE(script.seen.empty());
}

TEST(Document, SaveAsStartsFromTheDocumentAndCompletesTheExtension) {
  WinTestDir dir;
  std::string folder = dir / "docs";
  CreateDirectoryA(folder.c_str(), nullptr);
  ASSERT_TRUE(WinTest_WriteFile(dir / "qwilpad.ini", "[Qwil]\r\n文書フォルダ=" + folder + "\r\n"));
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  host.Type("one");
  DialogStartSeen start;
  {
    DialogScript script;
    script.Then(ReadStartThen(&start, [](HWND h) {
      SetWindowTextA(GetDlgItem(h, cmb13) ? GetDlgItem(h, cmb13) : GetDlgItem(h, edt1), "memo");
      PostMessageA(h, WM_COMMAND, IDOK, 0);
    }));
    EXPECT_EQ(1, host.Command(IDM_SAVEAS));
  }
  EXPECT_EQ("無題.txt", start.name);
  EXPECT_EQ(folder, start.folder) << "an untitled document starts in the document folder";
  EXPECT_EQ("one", WinTest_ReadFile(folder + "\\memo.txt")) << "the default extension was added";
  EXPECT_EQ("[memo.txt] - " + folder + "\\memo.txt", host.Title());
  // Now from the document's own name and folder; an existing file is asked about.
  {
    DialogScript script;
    script.Then(ReadStartThen(&start, [](HWND h) { PostMessageA(h, WM_COMMAND, IDOK, 0); })).Press(IDYES);
    host.Type("two ");
    EXPECT_EQ(1, host.Command(IDM_SAVEAS));
    EXPECT_EQ(2u, script.seen.size()) << "the overwrite question was not asked";
  }
  EXPECT_EQ("memo.txt", start.name);
  EXPECT_EQ(folder, start.folder);
  EXPECT_EQ("onetwo ", WinTest_ReadFile(folder + "\\memo.txt"));
  // Without completion a name stays as it is typed.
  host.app->bCompleteExtension = 0;
  DialogScript script;
  script.ChooseFile(folder + "\\plain");
  EXPECT_EQ(1, host.Command(IDM_SAVEAS));
  EXPECT_EQ("onetwo ", WinTest_ReadFile(folder + "\\plain"));
  History* history = host.app->pLoadHistory;
  ASSERT_EQ(2, History_GetCount(history));
  EXPECT_EQ(folder + "\\plain", History_GetEntry(history, 0));
}

TEST(Document, OpenProposesTxtFilesAndOpensTheChosenOne) {
  WinTestDir dir;
  ASSERT_TRUE(WinTest_WriteFile(dir / "b.txt", "bee"));
  ASSERT_TRUE(WinTest_WriteFile(dir / "qwilpad.ini", "[Qwil]\r\n文書フォルダ=" + dir.path + "\r\n"));
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  DialogStartSeen start;
  DialogScript script;
  script.Then(ReadStartThen(&start, [&](HWND h) {
    SetWindowTextA(GetDlgItem(h, cmb13) ? GetDlgItem(h, cmb13) : GetDlgItem(h, edt1), "b.txt");
    PostMessageA(h, WM_COMMAND, IDOK, 0);
  }));
  EXPECT_EQ(1, host.Command(IDM_OPEN));
  EXPECT_EQ("[ファイルを開く]", script.Titles());
  EXPECT_EQ("*.txt", start.name);
  EXPECT_EQ(dir.path, start.folder);
  EXPECT_EQ("[b.txt] - " + (dir / "b.txt"), host.Title());
  EXPECT_EQ("bee", WinTest_EditorText(host.Editor()));
}

TEST(Document, FailedSaveOverAReadOnlyFileKeepsEverything) {
  WinTestDir dir;
  ASSERT_TRUE(WinTest_WriteFile(dir / "ro.txt", "original\r\n"));
  MainHost host(dir);
  ASSERT_TRUE(host.Create({dir / "ro.txt"}));
  SetFileAttributesA((dir / "ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  host.Type("changed ");
  std::string title = host.Title();
  DialogScript script;
  script.Press(IDOK);
  EXPECT_EQ(0, host.Command(IDM_SAVE));
  ASSERT_EQ(1u, script.seen.size());
  EXPECT_EQ("ファイル保存エラー", script.seen[0].title);
  EXPECT_TRUE(StartsWith(script.seen[0].text, SaveErrorText(dir / "ro.txt", dir / "ro.txt"))) << script.seen[0].text;
  EXPECT_NE(std::string::npos, script.seen[0].text.find("読み取り専用")) << "the reason is named";
  EXPECT_TRUE(TextEditor_GetModified(host.Editor()));
  EXPECT_EQ(title, host.Title());
  EXPECT_EQ(dir / "ro.txt", std::string(host.app->szPath));
  EXPECT_EQ("original\r\n", WinTest_ReadFile(dir / "ro.txt"));
  EXPECT_EQ(std::vector<std::string>({"qwilpad.ini", "ro.txt"}), dir.Names()) << "no temporary file left";
  SetFileAttributesA((dir / "ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A folder in which no file can be made: the read-only mount, or, where this
// machine allows no mounting, a folder of the kernel's that refuses new files
// even to root.
std::string UnwritableFolder(const Mounts& mounts) { return mounts.Ready() ? mounts.ro : "Z:\\sys\\kernel"; }

TEST(Document, SaveAsIntoAFolderThatCannotBeWrittenNamesBothFiles) {
  Mounts mounts;
  if (!mounts.Ready()) std::printf("no read-only mount (%s): using Z:\\sys\\kernel\n", mounts.why.c_str());
  std::string folder = UnwritableFolder(mounts);
  WinTestDir dir;
  ASSERT_TRUE(WinTest_WriteFile(dir / "a.txt", "a"));
  MainHost host(dir);
  ASSERT_TRUE(host.Create({dir / "a.txt"}));
  host.Type("b");
  std::string title = host.Title();
  std::string target = folder + "\\new.txt";
  {
    DialogScript script;
    script.ChooseFile(target).Press(IDOK);
    EXPECT_EQ(0, host.Command(IDM_SAVEAS));
    ASSERT_EQ(2u, script.seen.size());
    EXPECT_EQ("ファイル保存エラー", script.seen[1].title);
    EXPECT_TRUE(StartsWith(script.seen[1].text, SaveErrorText(target, dir / "a.txt"))) << script.seen[1].text;
  }
  EXPECT_EQ(title, host.Title()) << "the title keeps the old name";
  EXPECT_EQ(dir / "a.txt", std::string(host.app->szPath));
  EXPECT_TRUE(TextEditor_GetModified(host.Editor()));
  EXPECT_FALSE(WinTest_Exists(target));
  if (mounts.Ready()) {
    // Over a file that is already there, too.
    DialogScript again;
    again.ChooseFile(mounts.ro + "\\old.txt").Press(IDYES).Press(IDOK);
    EXPECT_EQ(0, host.Command(IDM_SAVEAS)) << again.Titles();
    EXPECT_EQ("old bytes\r\n", WinTest_ReadFile(mounts.ro + "\\old.txt"));
    EXPECT_TRUE(again.AllAnswered());
  }
}

// Fills what is left of a disk with one file.
std::string FillDisk(const std::string& folder) {
  std::string filler = folder + "\\filler.bin";
  HANDLE h = CreateFileA(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  std::string block(4096, 'f');
  DWORD n = 0;
  while (WriteFile(h, block.data(), static_cast<DWORD>(block.size()), &n, nullptr) && n == block.size()) {
  }
  for (DWORD size = 2048; size > 0; size /= 2) {
    while (WriteFile(h, block.data(), size, &n, nullptr) && n == size) {
    }
  }
  CloseHandle(h);
  return filler;
}

TEST(Document, SaveOntoAFullDiskLeavesTheOldFileAndNoTemporaryFile) {
  Mounts mounts;
  if (!mounts.Ready()) GTEST_SKIP() << "no full disk to save onto: " << mounts.why;
  WinTestDir dir;
  std::string path = mounts.full + "\\full.txt";
  ASSERT_TRUE(WinTest_WriteFile(path, "small old file"));
  std::string filler = FillDisk(mounts.full);
  MainHost host(dir);
  ASSERT_TRUE(host.Create({path}));
  std::string big(100000, 'z');
  TextEditor_ReplaceSelection(host.Editor(), big.data(), static_cast<int32_t>(big.size()), true);
  for (bool recycle : {false, true}) {
    host.app->bKeepOverwrittenInRecycleBin = recycle ? 1 : 0;
    DialogScript script;
    script.Press(IDOK);
    EXPECT_EQ(0, host.Command(IDM_SAVE)) << "recycle " << recycle;
    ASSERT_EQ(1u, script.seen.size());
    EXPECT_EQ("ファイル保存エラー", script.seen[0].title);
    EXPECT_TRUE(StartsWith(script.seen[0].text, SaveErrorText(path, path))) << script.seen[0].text;
    EXPECT_TRUE(TextEditor_GetModified(host.Editor()));
    EXPECT_EQ("small old file", WinTest_ReadFile(path)) << "recycle " << recycle;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((mounts.full + "\\*").c_str(), &fd);
    std::vector<std::string> names;
    do {
      if (fd.cFileName[0] != '.') names.push_back(fd.cFileName);
    } while (h != INVALID_HANDLE_VALUE && FindNextFileA(h, &fd));
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::vector<std::string>({"filler.bin", "full.txt"}), names) << "recycle " << recycle;
  }
  // Room again: the save goes through.
  DeleteFileA(filler.c_str());
  EXPECT_EQ(1, host.Command(IDM_SAVE));
  EXPECT_EQ(big + "small old file", WinTest_ReadFile(path));
  DeleteFileA(path.c_str());
}

// Where the shell's recycle bin keeps deleted files under Wine: the trash of
// the desktop in the user's home (WINEHOMEDIR is its NT path, \??\Z:\...).
std::string TrashFolder() {
  char home[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableA("WINEHOMEDIR", home, sizeof(home));
  if (n == 0 || n >= sizeof(home)) return std::string();
  std::string path = home;
  if (StartsWith(path, "\\??\\")) path = path.substr(4);
  return path + "\\.local\\share\\Trash";
}

TEST(Document, RecycleBinSettingKeepsTheOverwrittenFileThere) {
  // Wine's recycle bin is the desktop's trash folder; a process that finds none
  // at its first use deletes for good from then on, so the set-up makes it
  // before any Wine process starts (scripts/lib.sh).
  std::string trash = TrashFolder();
  ASSERT_FALSE(trash.empty()) << "no home folder";
  DWORD attributes = GetFileAttributesA((trash + "\\files").c_str());
  ASSERT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
      << "no trash folder " << trash << ": the set-up makes it";
  WinTestDir dir;
  char name[64];
  std::snprintf(name, sizeof(name), "recycled-%lu.txt", static_cast<unsigned long>(GetTickCount()));
  std::string path = dir / name;
  ASSERT_TRUE(WinTest_WriteFile(path, "the old version"));
  ASSERT_TRUE(WinTest_WriteFile(dir / "qwilpad.ini", "[Qwil]\r\n元ファイルをゴミ箱に残す=1\r\n"));
  MainHost host(dir);
  ASSERT_TRUE(host.Create({path}));
  ASSERT_EQ(1, host.app->bKeepOverwrittenInRecycleBin);
  host.Command(IDM_DOCEND);
  host.Type(" and the new");
  DialogScript script;  // no question at all
  EXPECT_EQ(1, host.Command(IDM_SAVE));
  EXPECT_TRUE(script.seen.empty()) << script.Titles();
  EXPECT_EQ("the old version and the new", WinTest_ReadFile(path));
  EXPECT_EQ(std::vector<std::string>({"qwilpad.ini", name}), dir.Names()) << "nothing else left behind";
  EXPECT_EQ("the old version", WinTest_ReadFile(trash + "\\files\\" + name)) << "the old version is not in the recycle bin";
  DeleteFileA((trash + "\\files\\" + name).c_str());
  WinTestDir::RemoveMatching(trash + "\\info", name);
}

TEST(Document, FilesThatCannotBeLoadedAreNamedAndTheDocumentStays) {
  WinTestDir dir;
  ASSERT_TRUE(WinTest_WriteFile(dir / "keep.txt", "kept"));
  // 2 GiB, sparse: more than the document can hold.
  std::string huge = dir / "huge.txt";
  HANDLE h = CreateFileA(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  LARGE_INTEGER size;
  size.QuadPart = LONGLONG(1) << 31;
  SetFilePointerEx(h, size, nullptr, FILE_BEGIN);
  SetEndOfFile(h);
  CloseHandle(h);
  MainHost host(dir);
  ASSERT_TRUE(host.Create({dir / "keep.txt"}));
  std::string title = host.Title();
  struct Case {
    std::string path;
    const char* reason;
  };
  std::string tooLong = dir.path + "\\" + std::string(260, 'n') + ".txt";
  for (const Case& c : {Case{huge, "大きすぎ"}, Case{dir / "gone.txt", "見つかりません"}, Case{dir.path, "フォルダ"},
                        Case{tooLong, "長すぎ"}}) {
    DialogScript script;
    script.Press(IDOK);
    Drop(host, c.path);
    ASSERT_EQ(1u, script.seen.size()) << c.path;
    EXPECT_EQ("ファイル読込エラー", script.seen[0].title);
    // A name too long for any path shows as much of it as a path can hold.
    std::string expectedPath = c.path.substr(0, 260);
    EXPECT_TRUE(StartsWith(script.seen[0].text, expectedPath + "\nの読み込みに失敗しました。\n\n編集中のファイルは " +
                                                    (dir / "keep.txt") + " のままです。"))
        << script.seen[0].text;
    EXPECT_NE(std::string::npos, script.seen[0].text.find(c.reason)) << script.seen[0].text;
    EXPECT_EQ("kept", WinTest_EditorText(host.Editor()));
    EXPECT_EQ(title, host.Title());
  }
  // Cut where a character starts at the last byte that fits: the name is shown
  // without its half, and the line end behind it stays one.
  std::string cutInside = dir.path + "\\" + std::string(258 - dir.path.size(), 'n') + "あい.txt";
  ASSERT_EQ('\x82', cutInside[259]);
  DialogScript script;
  script.Press(IDOK);
  Drop(host, cutInside);
  ASSERT_EQ(1u, script.seen.size());
  EXPECT_TRUE(StartsWith(script.seen[0].text, cutInside.substr(0, 259) + "\nの読み込みに失敗しました。"))
      << script.seen[0].text;
}

TEST(Document, DroppedFileIsOpenedAfterTheQuestion) {
  WinTestDir dir;
  ASSERT_TRUE(WinTest_WriteFile(dir / "dropped.txt", "dropped"));
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  host.Type("mine");
  {
    DialogScript script;
    script.Cancel();
    Drop(host, dir / "dropped.txt");
    EXPECT_EQ("mine", WinTest_EditorText(host.Editor()));
  }
  DialogScript script;
  script.Press(IDNO);
  Drop(host, dir / "dropped.txt");
  EXPECT_EQ("dropped", WinTest_EditorText(host.Editor()));
  EXPECT_EQ("[dropped.txt] - " + (dir / "dropped.txt"), host.Title());
}

TEST(Document, ReadOnlyEditorRefusesEveryLoadWithoutAWord) {
  WinTestDir dir;
  ASSERT_TRUE(WinTest_WriteFile(dir / "a.txt", "not shown"));
  ASSERT_TRUE(WinTest_WriteFile(dir / "qwilpad.ini", "[Qwil]\r\nIK_TEXTEDITORREADONLY=1\r\n"));
  MainHost host(dir);
  DialogScript script;  // nothing may be shown
  ASSERT_TRUE(host.Create({dir / "a.txt"}));
  EXPECT_TRUE(TextEditor_GetReadOnly(host.Editor()));
  EXPECT_EQ(0, TextEditor_GetTextLength(host.Editor()));
  EXPECT_EQ("Qwilpad", host.Title()) << "the title keeps the program's name until the first refresh";
  Drop(host, dir / "a.txt");
  EXPECT_EQ(0, TextEditor_GetTextLength(host.Editor()));
  EXPECT_TRUE(script.seen.empty()) << script.Titles();
}

TEST(Document, InsertFilePutsItsBytesAtTheCaretAsOneUndoStep) {
  WinTestDir dir;
  ASSERT_TRUE(WinTest_WriteFile(dir / "part.txt", std::string("x\ny\rz\0w", 7)));
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  host.Type("[]");
  TextEditor_SetCaret(host.Editor(), POINT{1, 0}, true);
  DialogScript script;
  script.ChooseFile(dir / "part.txt");
  EXPECT_EQ(1, host.Command(IDM_INSERTFILE));
  EXPECT_EQ(3, TextEditor_GetLineCount(host.Editor()));
  EXPECT_EQ(std::string("[x\r\ny\r\nz\0w]", 11), WinTest_EditorText(host.Editor()));
  EXPECT_EQ("[無題.txt *] - ", host.Title()) << "the document keeps its name";
  TextEditor_Undo(host.Editor());
  EXPECT_EQ("[]", WinTest_EditorText(host.Editor())) << "one undo takes the whole file out";
}

TEST(Document, ReloadReadsTheFileAgainAfterTheQuestion) {
  WinTestDir dir;
  ASSERT_TRUE(WinTest_WriteFile(dir / "r.txt", "first\r\nsecond"));
  MainHost host(dir);
  ASSERT_TRUE(host.Create({dir / "r.txt"}));
  TextEditor_SetCaret(host.Editor(), POINT{3, 1}, true);
  host.Type("typed");
  ASSERT_TRUE(WinTest_WriteFile(dir / "r.txt", "changed\r\non disk"));
  DialogScript script;
  script.Press(IDNO);
  EXPECT_EQ(1, host.Command(IDM_RELOAD));
  EXPECT_EQ(1u, script.seen.size());
  POINT caret = TextEditor_GetCaret(host.Editor());
  EXPECT_EQ(1, caret.y) << "the caret stays on its line";
  EXPECT_EQ(7, caret.x) << "as far as the new line has room for it";
  EXPECT_EQ("changed\r\non disk", WinTest_EditorText(host.Editor()));
  EXPECT_FALSE(TextEditor_GetModified(host.Editor()));
}

// The menu draws a lone "&" as the underline of the character behind it: the
// File menu gets the name's ampersand doubled, and opening the item still
// opens the file.
TEST(Document, AnAmpersandInAFileNameIsShownInTheFileMenu) {
  WinTestDir dir;
  ASSERT_TRUE(WinTest_WriteFile(dir / "R&D.txt", "plans"));
  MainHost host(dir);
  ASSERT_TRUE(host.Create({dir / "R&D.txt"}));
  host.Command(IDM_NEW);
  HMENU hFile = GetSubMenu(GetMenu(host.hWnd), 0);
  int at = 0;
  while (at < GetMenuItemCount(hFile) && GetMenuItemID(hFile, at) != 36865) ++at;
  const std::string item = TestWin_MenuString(hFile, static_cast<UINT>(at));
  EXPECT_EQ(0u, item.find("&0 ")) << item;
  EXPECT_EQ(" ... R&&D.txt", item.substr(item.size() - 13)) << item;
  EXPECT_EQ(1, host.Command(36865));
  EXPECT_EQ("plans", WinTest_EditorText(host.Editor()));
}

TEST(Document, LoadHistoryEntriesOpenTheirFilesOrSayTheyAreGone) {
  WinTestDir dir;
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) ASSERT_TRUE(WinTest_WriteFile(dir / name, name));
  {
    MainHost host(dir);
    ASSERT_TRUE(host.Create());
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) Drop(host, dir / name);
    ASSERT_TRUE(host.Close());
  }
  std::string ini = WinTest_ReadFile(dir / "qwilpad.ini");
  EXPECT_TRUE(WinTest_IniHas(ini, "読込履歴", "履歴数=3"));
  EXPECT_TRUE(WinTest_IniHas(ini, "読込履歴", "0=\"" + (dir / "c.txt") + "\"")) << ini;
  // After a restart the menu lists them again, the latest first.
  MainHost host(dir);
  ASSERT_TRUE(host.Create());
  HMENU hFile = GetSubMenu(GetMenu(host.hWnd), 0);
  std::vector<std::string> entries;
  for (int i = 0; i < GetMenuItemCount(hFile); ++i) {
    UINT id = GetMenuItemID(hFile, i);
    if (36865 <= id && id < 36865 + 16) {
      entries.push_back(TestWin_MenuString(hFile, i));
    }
  }
  ASSERT_EQ(3u, entries.size());
  for (size_t i = 0; i < 3; ++i) {
    char expected[kFileMenuTextSize];
    const char* names[] = {"c.txt", "b.txt", "a.txt"};
    LoadHistory_FormatMenuText((dir / names[i]).c_str(), static_cast<int32_t>(i), expected, sizeof(expected));
    EXPECT_EQ(expected, entries[i]);
    EXPECT_EQ(0u, entries[i].find("&" + std::to_string(i) + " "));
  }
  // Opening the last one moves it to the front.
  EXPECT_EQ(1, host.Command(36865 + 2));
  EXPECT_EQ("a.txt", WinTest_EditorText(host.Editor()));
  EXPECT_STREQ((dir / "a.txt").c_str(), History_GetEntry(host.app->pLoadHistory, 0));
  // A file deleted since: the load error, and the entry stays.
  DeleteFileA((dir / "b.txt").c_str());
  DialogScript script;
  script.Press(IDOK);
  EXPECT_EQ(0, host.Command(36865 + 2));
  ASSERT_EQ(1u, script.seen.size());
  EXPECT_EQ("ファイル読込エラー", script.seen[0].title);
  EXPECT_TRUE(StartsWith(script.seen[0].text, (dir / "b.txt") + "\nの読み込みに失敗しました。\n\n編集中のファイルは " +
                                                  (dir / "a.txt") + " のままです。"))
      << script.seen[0].text;
  EXPECT_EQ(3, History_GetCount(host.app->pLoadHistory));
  EXPECT_EQ("a.txt", WinTest_EditorText(host.Editor()));
}

}  // namespace
