// The recovery writer and reader through the Win32 file API, as Qwilpad.exe
// runs them: appends, a new file taking the old one's place (ReplaceFileA),
// the write times that tell a changed document file, folder names of
// two-byte characters, and a recovery file another program holds open.
#include "recovery/recovery.h"

#include <gtest/gtest.h>

#include <string>

#include "recovery/recoveryread.h"
#include "editctrl/bodyfixture.h"

namespace {

// A folder of its own under the temporary folder, in a name of two-byte
// characters, emptied and removed at the end.
struct RecoveryFolder {
  std::string path;
  RecoveryFolder() {
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    path = std::string(temp) + "復元_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
    Clear();
    CreateDirectoryA(path.c_str(), nullptr);
  }
  ~RecoveryFolder() {
    Clear();
    RemoveDirectoryA(path.c_str());
  }
  int Count() const {
    int n = 0;
    WIN32_FIND_DATAA found;
    HANDLE hFind = FindFirstFileA((path + "*").c_str(), &found);
    if (hFind == INVALID_HANDLE_VALUE) return 0;
    do {
      if (found.cFileName[0] != '.') ++n;
    } while (FindNextFileA(hFind, &found));
    FindClose(hFind);
    return n;
  }
  void Clear() const {
    WIN32_FIND_DATAA found;
    HANDLE hFind = FindFirstFileA((path + "*").c_str(), &found);
    if (hFind == INVALID_HANDLE_VALUE) return;
    do {
      if (found.cFileName[0] != '.') DeleteFileA((path + found.cFileName).c_str());
    } while (FindNextFileA(hFind, &found));
    FindClose(hFind);
  }
};

bool WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE hFile = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return false;
  DWORD dwWritten = 0;
  const bool ok = WriteFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &dwWritten, nullptr) &&
                  dwWritten == bytes.size();
  return CloseHandle(hFile) && ok;
}

struct Clock {
  int64_t now = 1000000;
  static int64_t Read(void* context) { return static_cast<Clock*>(context)->now; }
};

struct Window {
  Clock clock;
  Body b;
  RecoveryWriter* w;
  explicit Window(const RecoveryFolder& folder) : w(Recovery_Create(folder.path.c_str(), GetCurrentProcessId(), 9)) {
    Recovery_SetClock(w, Clock::Read, &clock);
    const EditWatcher watcher = {Recovery_Observe, w};
    EditBody_AddWatcher(b.body, &watcher);
  }
  ~Window() { Recovery_Destroy(w); }
  RecoveryStep Tick() {
    clock.now += kRecoveryDelayMs;
    RecoveryStep step = {};
    Recovery_Tick(w, b.body->text, b.body->ptCaret, EditBody_GetModified(b.body), &step);
    return step;
  }
  // Reads the recovery file back; its status, and its text in *pText.
  RecoverStatus Read(std::string* pText) {
    const TextDataProperty prop = EditBody_LayoutProp(b.body);
    RecoveredDocument doc;
    Recovery_Read(Recovery_FilePath(w), &prop, nullptr, nullptr, &doc);
    *pText = doc.text ? DocumentText(doc.text) : "<none>";
    RecoveredDocument_Free(&doc);
    return doc.status;
  }
};

// A large paste, then taken back: the journal is past the text it describes.
void GrowJournal(Window* win) {
  const std::string paste(size_t(kRecoveryCompactSlack) + 1000, 'p');
  const POINT end = TextData_EndOfDocument(win->b.body->text);
  ASSERT_TRUE(EditBody_ReplaceRange(win->b.body, {end, end}, paste.data(), static_cast<int32_t>(paste.size()), true,
                                    nullptr));
  win->Tick();
  const POINT after = TextData_EndOfDocument(win->b.body->text);
  ASSERT_TRUE(EditBody_ReplaceRange(win->b.body, {end, after}, "", 0, true, nullptr));
}

void Compact(Window* win) {
  GrowJournal(win);
  const RecoveryStep step = win->Tick();
  EXPECT_TRUE(step.bSnapshotDone);
  EXPECT_FALSE(step.bFailed);
}

TEST(RecoveryWin, AppendsAndANewFileInTheOldOnesPlace) {
  RecoveryFolder folder;
  Window win(folder);
  win.b.Type("一行目\r\n");
  EXPECT_TRUE(win.Tick().bStepped);
  win.b.Type("二行目");
  EXPECT_TRUE(win.Tick().bStepped);
  win.b.Select({0, 1}, {6, 1});
  win.b.Type("");
  std::string text;
  EXPECT_EQ(RECOVER_WHOLE, win.Read(&text));
  EXPECT_EQ("一行目\r\n二行目", text);
  // A journal grown past its text gives way to a snapshot, which replaces
  // the file that is there.
  Compact(&win);
  EXPECT_EQ(RECOVER_WHOLE, win.Read(&text));
  EXPECT_EQ("一行目\r\n", text);
  EXPECT_EQ(1, folder.Count());
  Recovery_Discard(win.w);
  EXPECT_EQ(0, folder.Count());
}

TEST(RecoveryWin, AJournalOverTheDocumentFileSeesItChange) {
  RecoveryFolder folder;
  const std::string path = folder.path + "大きな文書.txt";
  std::string big;
  while (big.size() < size_t(kRecoveryFirstBudget) + 1000) big += "表示ソフト 0123456789\r\n";
  ASSERT_TRUE(WriteBytes(path, big));
  Window win(folder);
  ASSERT_TRUE(EditBody_Load(win.b.body, path.c_str(), nullptr));
  Recovery_NoteDocument(win.w, win.b.body->text, path.c_str());
  win.b.Type("先頭");
  EXPECT_TRUE(win.Tick().bStepped);
  EXPECT_FALSE(win.w->current.bSnapshot);
  std::string text;
  EXPECT_EQ(RECOVER_WHOLE, win.Read(&text));
  EXPECT_EQ("先頭" + big, text);
  ASSERT_TRUE(WriteBytes(path, big + "x"));
  EXPECT_EQ(RECOVER_BASE_CHANGED, win.Read(&text));
  // The writer sees it too, and makes a snapshot of its own.
  win.b.Type("!");
  for (int i = 0; i < 10 && !win.w->current.bSnapshot; ++i) win.Tick();
  EXPECT_TRUE(win.w->current.bSnapshot);
  EXPECT_EQ(RECOVER_WHOLE, win.Read(&text));
  EXPECT_EQ("先頭!" + big, text);
}

// While another program holds the recovery file without letting it be
// replaced, the snapshot waits; the file stays whole, and the snapshot goes in
// once the file is free again.
TEST(RecoveryWin, AFileHeldByAnotherProgramWaits) {
  RecoveryFolder folder;
  Window win(folder);
  win.b.Type("held");
  win.Tick();
  GrowJournal(&win);
  HANDLE hHeld = CreateFileA(Recovery_FilePath(win.w), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, hHeld);
  const RecoveryStep refused = win.Tick();
  EXPECT_TRUE(refused.bFailed);
  EXPECT_EQ(1, folder.Count());  // the new file did not stay behind
  CloseHandle(hHeld);
  std::string text;
  EXPECT_EQ(RECOVER_WHOLE, win.Read(&text));
  EXPECT_EQ("held", text);
  win.clock.now += kRecoveryMaxBackoffMs;
  for (int i = 0; i < 5 && !win.w->current.bSnapshot; ++i) win.Tick();
  EXPECT_TRUE(win.w->current.bSnapshot);
  EXPECT_EQ(RECOVER_WHOLE, win.Read(&text));
  EXPECT_EQ("held", text);
}

}  // namespace
