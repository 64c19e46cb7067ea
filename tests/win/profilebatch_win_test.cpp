// The settings written a section at a time through the system's profile
// functions leave the same bytes as the same writes made key by key.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/appdata_win.h"
#include "tools/faultfiles.h"
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

// What the batch relies on, as the system's profile functions do it.
TEST(ProfileBatchWin, TheProfileFunctionsTreatHandEditedLinesSo) {
  WinTestDir dir;
  const std::string path = dir / "facts.ini";
  const char* p = path.c_str();
  const std::string start =
      "[S]\r\n  タブ幅 =4\r\n; 注\r\nbare\r\n\r\ndup=1\r\nDUP=2\r\nＡＢ=3\r\n[T]\r\n[s]\r\nb=2\r\n";
  ASSERT_TRUE(WinTest_WriteFile(path, start));
  char lines[512] = {};
  DWORD n = GetPrivateProfileSectionA("S", lines, sizeof(lines), p);
  EXPECT_EQ(std::string("タブ幅=4\0bare\0dup=1\0DUP=2\0ＡＢ=3\0", 33), std::string(lines, n))
      << "blanks around keys dropped, comments and empty lines left out, the second [s] not shown";
  char value[64] = {};
  GetPrivateProfileStringA("S", "ａｂ", "<missing>", value, sizeof(value), p);
  EXPECT_STREQ("<missing>", value) << "a full-width letter has no other case";
  ASSERT_TRUE(WritePrivateProfileStringA("S", "DUP", nullptr, p));
  GetPrivateProfileStringA("S", "dup", "<missing>", value, sizeof(value), p);
  EXPECT_STREQ("2", value) << "a removal takes the first copy only";
  ASSERT_TRUE(WritePrivateProfileStringA("N", "k", "1", p));
  ASSERT_TRUE(WritePrivateProfileStringA("N", "k", nullptr, p));
  EXPECT_NE(std::string::npos, WinTest_ReadFile(path).find("[N]\r\n")) << "a section written and emptied stays";
  EXPECT_NE(std::string::npos, WinTest_ReadFile(path).find("; 注\r\nbare\r\n")) << "key writes keep them";
  ASSERT_TRUE(WritePrivateProfileSectionA("S", "a=1\0bare\0\0", p));
  EXPECT_EQ("[S]\r\na=1\r\n[T]\r\n[s]\r\n[N]\r\n", WinTest_ReadFile(path))
      << "a section write drops comments, bare lines and the keys of the second [s]";
}

// Starting files as users leave them.
const char* const kStarts[] = {
    "[Qwil]\r\n  タブ幅 =4\r\n\tKey\t= v \r\ndup=1\r\nDUP=2\r\n　全角　=3\r\nＡＢ=fw\r\n\r\n"
    "[空]\r\n[Other]\r\nkey=9\r\n",
    "; 先頭の注\r\n[Qwil]\r\n; 注\r\nkey=1\r\nnovalue\r\n[他]\r\nx=1\r\n[QWIL]\r\nkey=2\r\n",
    "[qwil]\r\nkey=1\r\n[Other]\r\nnovalue\r\n",
    "",
};
const char* const kSections[] = {"Qwil", "qwil", "空", "新", "Other"};
const char* const kKeys[] = {"タブ幅", "key", "KEY", "Key", "dup", "DUP", "全角", "ａｂ", "ＡＢ", "new", "novalue"};
const char* const kValues[] = {"1", "2", "4", " v", "\"q v \"", nullptr, nullptr};

struct Rng {
  uint32_t n;
  uint32_t Below(uint32_t m) {
    n = n * 1103515245u + 12345u;
    return (n >> 8) % m;
  }
};

struct Op {
  const char* section;
  const char* key;
  const char* value;
};

std::vector<Op> RandomOps(Rng* rng) {
  std::vector<Op> ops(1 + rng->Below(16));
  for (Op& op : ops) {
    op = {kSections[rng->Below(5)], kKeys[rng->Below(11)], kValues[rng->Below(7)]};
  }
  return ops;
}

// The file's methods, counting the section writes and the key writes made.
struct CountingFile {
  ProfileFile file;
  ProfileMethods methods;
  int nSectionWrites = 0;
  int nKeyWrites = 0;
  explicit CountingFile(const std::string& path) {
    ProfileFile_Init(&file, path.c_str(), false);
    methods = file.methods;
    methods.pContext = this;
    methods.pfnRead = [](void* c, const char* s, const char* k, const char* d, char* b, int32_t n) {
      ProfileFile* f = &static_cast<CountingFile*>(c)->file;
      return f->methods.pfnRead(f, s, k, d, b, n);
    };
    methods.pfnWrite = [](void* c, const char* s, const char* k, const char* v) {
      ++static_cast<CountingFile*>(c)->nKeyWrites;
      ProfileFile* f = &static_cast<CountingFile*>(c)->file;
      return f->methods.pfnWrite(f, s, k, v);
    };
    methods.pfnReadSection = [](void* c, const char* s, char* b, int32_t n) {
      ProfileFile* f = &static_cast<CountingFile*>(c)->file;
      return f->methods.pfnReadSection(f, s, b, n);
    };
    methods.pfnWriteSection = [](void* c, const char* s, const char* lines) {
      ++static_cast<CountingFile*>(c)->nSectionWrites;
      ProfileFile* f = &static_cast<CountingFile*>(c)->file;
      return f->methods.pfnWriteSection(f, s, lines);
    };
  }
};

struct Counts {
  int nSectionWrites = 0;
  int nKeyWrites = 0;
};

// Applies ops to a copy of start, key by key or through a batch; the bytes left.
std::string Written(const std::string& path, const std::string& start, const std::vector<Op>& ops, bool batched,
                    Counts* counts = nullptr) {
  if (!start.empty() && !WinTest_WriteFile(path, start)) return "<not written>";
  CountingFile file(path);
  ProfileBatch batch;
  ProfileBatch_Init(&batch, &file.methods);
  const ProfileMethods* m = batched ? &batch.methods : &file.methods;
  for (const Op& op : ops) m->pfnWrite(m->pContext, op.section, op.key, op.value);
  ProfileBatch_Flush(&batch);
  if (counts) {
    counts->nSectionWrites += file.nSectionWrites;
    counts->nKeyWrites += batched ? file.nKeyWrites : 0;
  }
  return WinTest_ReadFile(path);
}

std::string Describe(const std::vector<Op>& ops) {
  std::string s;
  for (const Op& op : ops) s += std::string(op.section) + "|" + op.key + (op.value ? "=" + std::string(op.value) : "") + "\n";
  return s;
}

// Random writes and removals over hand-edited files (blanks around keys,
// copies of a key, case variants, full-width letters, empty, doubled and new
// sections, comments, bare lines): a batch leaves the bytes the same writes
// leave one key at a time.
TEST(ProfileBatchWin, RandomWritesLeaveTheBytesOfKeyByKeyWrites) {
  WinTestDir dir;
  Rng rng = {7};
  Counts counts;
  for (int i = 0; i < 150; ++i) {
    const std::string start = kStarts[i % 4];
    const std::vector<Op> ops = RandomOps(&rng);
    // Fresh names: the system keeps a file it read before and may not see it rewritten.
    const std::string n = std::to_string(i);
    const std::string expected = Written(dir / ("a" + n + ".ini"), start, ops, false);
    ASSERT_EQ(expected, Written(dir / ("b" + n + ".ini"), start, ops, true, &counts))
        << "run " << i << " from:\n" << start << "\nwrites:\n" << Describe(ops);
  }
  // Both ways were taken: sections written whole, and key by key where that would lose lines.
  EXPECT_GT(counts.nSectionWrites, 200);
  EXPECT_GT(counts.nKeyWrites, 100);
}

// A file call of a flush that fails (the look at the file behind the section
// reader) sends the section key by key: the same bytes. A file the system
// refuses to write stays as it was, and the flush says so.
TEST(ProfileBatchWin, AFlushThatFailsLosesNothing) {
  WinTestDir dir;
  const std::vector<Op> ops = {{"Qwil", "タブ幅", "8"}, {"Qwil", "key", nullptr}, {"新", "new", "1"}};
  const std::string start = kStarts[0];
  const std::string expected = Written(dir / "expected.ini", start, ops, false);
  for (long k = 0;; ++k) {
    std::string got;
    long calls = 0;
    {
      FaultFiles faults(k);
      got = Written(dir / ("f" + std::to_string(k) + ".ini"), start, ops, true);
      calls = faults.Count();
    }
    EXPECT_EQ(expected, got) << "call " << k << " failing";
    if (calls <= k) {
      EXPECT_GE(k, 6) << "two sections looked at: open, read, close each";
      break;
    }
  }
  const std::string locked = dir / "locked.ini";
  ASSERT_TRUE(WinTest_WriteFile(locked, start));
  // Another program holds the file, sharing it with nobody.
  HANDLE held = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  ProfileFile file;
  ProfileFile_Init(&file, locked.c_str(), false);
  ProfileBatch batch;
  ProfileBatch_Init(&batch, &file.methods);
  for (const Op& op : ops) batch.methods.pfnWrite(batch.methods.pContext, op.section, op.key, op.value);
  EXPECT_FALSE(ProfileBatch_Flush(&batch));
  CloseHandle(held);
  EXPECT_EQ(start, WinTest_ReadFile(locked));
}

}  // namespace
