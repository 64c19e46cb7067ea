#include "tools/profilebatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/appdata.h"
#include "tools/memory.h"
#include "tools/memprofile.h"

namespace {

struct Write {
  const char* section;
  const char* key;
  const char* value;  // null removes
};

// A file as a user may have left it: keys of ours, keys of nobody's, keys to go.
void FillHandEdited(MemProfile* file) {
  file->Set("Qwil", "タブ幅", "8");
  file->Set("Qwil", "他のツールの値", "残す");
  file->Set("Qwil", "文字色", "FF0000");
  file->Set("Qwil", "左余白", "3");
  file->Set("読込履歴", "履歴数", "1");
  file->Set("読込履歴", "0", "\"C:\\a.txt\"");
}

const Write kWrites[] = {
    {"Qwil", "タブ幅", "4"},
    {"ウィンドウ", "最大化表示", "0"},
    {"Qwil", "新しいキー", "\"値 \""},
    {"ウィンドウ", "ウィンドウ枠を立体的に表示", "1"},
    {"Qwil", "文字色", nullptr},
    {"Qwil", "無いキー", nullptr},
    {"Qwil", "左余白", "0"},
    {"Qwil", "タブ幅", "5"},  // the later write of a key wins
    {"誰もいない", "消すだけ", nullptr},
};

std::vector<MemProfile::Entry> Direct() {
  MemProfile file;
  FillHandEdited(&file);
  for (const Write& w : kWrites) file.methods.pfnWrite(file.methods.pContext, w.section, w.key, w.value);
  return file.entries;
}

void Batched(MemProfile* file, bool* ok) {
  ProfileBatch batch;
  ProfileBatch_Init(&batch, &file->methods);
  for (const Write& w : kWrites) batch.methods.pfnWrite(batch.methods.pContext, w.section, w.key, w.value);
  *ok = ProfileBatch_Flush(&batch);
}

// The file as text: sections in the order they first appear, each with its
// keys in order (the store keeps one list for all sections).
std::string Dump(const std::vector<MemProfile::Entry>& entries) {
  std::vector<std::string> sections;
  for (const MemProfile::Entry& e : entries) {
    if (std::find(sections.begin(), sections.end(), e.section) == sections.end()) sections.push_back(e.section);
  }
  std::string out;
  for (const std::string& section : sections) {
    for (const MemProfile::Entry& e : entries) {
      if (e.section == section) out += "[" + e.section + "]" + e.key + "=" + e.value + "\n";
    }
  }
  return out;
}

TEST(ProfileBatch, SectionsEndAsTheKeyByKeyWritesLeaveThemWithOneWriteEach) {
  MemProfile file;
  FillHandEdited(&file);
  bool ok = false;
  Batched(&file, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Dump(Direct()), Dump(file.entries));
  EXPECT_EQ(2, file.nSectionWrites) << "one for [Qwil], one for [ウィンドウ]; nothing for a section only emptied";
  EXPECT_EQ((std::vector<std::string>{"Qwil|*", "ウィンドウ|*"}), file.writes);
}

TEST(ProfileBatch, AStoreWithoutSectionsGetsTheSameWritesKeyByKey) {
  MemProfile file(false);
  FillHandEdited(&file);
  bool ok = false;
  Batched(&file, &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(Dump(Direct()), Dump(file.entries));
  EXPECT_EQ(0, file.nSectionWrites);
  // Grouped by section, each key once with its last value.
  EXPECT_EQ((std::vector<std::string>{"Qwil|タブ幅=5", "Qwil|新しいキー=\"値 \"", "Qwil|文字色", "Qwil|無いキー",
                                      "Qwil|左余白=0", "ウィンドウ|最大化表示=0",
                                      "ウィンドウ|ウィンドウ枠を立体的に表示=1", "誰もいない|消すだけ"}),
            file.writes);
}

TEST(ProfileBatch, RunningOutOfMemoryAnywhereLosesNoWrite) {
  const std::string expected = Dump(Direct());
  for (long successes = 0; successes < 200; ++successes) {
    MemProfile file;
    FillHandEdited(&file);
    long live = Mem_LiveBlocks();
    Mem_FailAfter(successes);
    bool ok = false;
    Batched(&file, &ok);
    Mem_ClearFault();
    EXPECT_TRUE(ok) << "after " << successes << " allocations";
    EXPECT_EQ(expected, Dump(file.entries)) << "after " << successes << " allocations";
    EXPECT_EQ(live, Mem_LiveBlocks()) << "after " << successes << " allocations";
  }
}

TEST(ProfileBatch, ARefusedWriteIsReported) {
  for (bool bSections : {true, false}) {
    MemProfile file(bSections);
    file.bRefuseWrites = true;
    bool ok = true;
    Batched(&file, &ok);
    EXPECT_FALSE(ok) << "sections " << bSections;
  }
  MemProfile file;
  ProfileBatch batch;
  ProfileBatch_Init(&batch, &file.methods);
  EXPECT_TRUE(ProfileBatch_Flush(&batch)) << "an empty batch writes nothing and fails nothing";
  EXPECT_TRUE(file.writes.empty());
}

TEST(ProfileBatch, KeysMatchWithoutCaseButTwoByteCharactersOnlyAsThemselves) {
  MemProfile file;
  file.Set("Sec", "Name", "1");
  file.Set("Sec", "\x83\x41", "a");  // ア: its trail byte is the letter A
  ProfileBatch batch;
  ProfileBatch_Init(&batch, &file.methods);
  Profile_WriteInt(&batch.methods, "Sec", "NAME", 2);
  Profile_WriteInt(&batch.methods, "Sec", "\x83\x61", 3);  // another character whose trail is a
  ASSERT_TRUE(ProfileBatch_Flush(&batch));
  EXPECT_EQ("[Sec]Name=2\n[Sec]\x83\x41=a\n[Sec]\x83\x61=3\n", Dump(file.entries))
      << "the file's spelling of a key is kept";
}

TEST(ProfileBatch, ALargeSectionIsReadWhole) {
  MemProfile file;
  for (int i = 0; i < 2000; ++i) file.Set("Big", "key" + std::to_string(i), std::string(20, 'x'));
  ProfileBatch batch;
  ProfileBatch_Init(&batch, &file.methods);
  Profile_WriteInt(&batch.methods, "Big", "key1999", 7);
  Profile_WriteInt(&batch.methods, "Big", "new", 8);
  ASSERT_TRUE(ProfileBatch_Flush(&batch));
  std::vector<std::string> keys = file.Keys("Big");
  ASSERT_EQ(2001u, keys.size()) << "nothing of the section was cut off";
  EXPECT_EQ("7", file.Raw("Big", "key1999"));
  EXPECT_EQ(std::string(20, 'x'), file.Raw("Big", "key0"));
  EXPECT_EQ("new", keys.back());
}

TEST(ProfileBatch, MergeKeepsLinesOfNobodyAndSecondLinesOfAKey) {
  ProfileBatchSection section = {};
  MemProfile scratch;
  ProfileBatch batch;
  ProfileBatch_Init(&batch, &scratch.methods);
  Profile_WriteInt(&batch.methods, "S", "a", 9);
  Profile_DeleteKey(&batch.methods, "S", "b");
  section = batch.pSections[0];
  const char old[] = "a=1\0novalue\0b=2\0a=3\0b=4\0";
  int32_t n = 0;
  char* lines = ProfileBatch_MergeLines(old, &section, &n);
  ASSERT_NE(nullptr, lines);
  EXPECT_EQ(std::string("a=9\0novalue\0a=3\0b=4\0", 20), std::string(lines, static_cast<size_t>(n)));
  EXPECT_EQ('\0', lines[n]);
  Mem_Free(lines);
  ProfileBatch_Flush(&batch);
}

// The whole settings through a batch: the same file, a write per section.
TEST(ProfileBatch, SettingsWrittenThroughABatchMatchTheKeyByKeyFile) {
  AppInfo app;
  AppInfo_SetDefaults(&app);
  app.editorSettings.nTab = 4;
  app.bUserColours = 1;  // the colours' section written too
  std::strcpy(app.szDateFormat, "%04Y");
  MemProfile direct, batched;
  for (MemProfile* f : {&direct, &batched}) {
    f->Set("Qwil", "IK_TEXTEDITORREADONLY", "1");
    f->Set("Qwil", "文字色", "123456");
    f->Set("読込履歴", "履歴数", "0");
  }
  ASSERT_TRUE(AppData_Write(&app, &direct.methods));
  ProfileBatch batch;
  ProfileBatch_Init(&batch, &batched.methods);
  ASSERT_TRUE(AppData_Write(&app, &batch.methods));
  ASSERT_TRUE(ProfileBatch_Flush(&batch));
  EXPECT_EQ(Dump(direct.entries), Dump(batched.entries));
  EXPECT_EQ(6, batched.nSectionWrites);
  EXPECT_EQ("\"%04Y\"", batched.Raw("日時の書式", "0"));
}

}  // namespace
