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
  // Every write, in its order within its section; the sections in the order of their first values.
  EXPECT_EQ((std::vector<std::string>{"Qwil|タブ幅=4", "Qwil|新しいキー=\"値 \"", "Qwil|文字色", "Qwil|無いキー",
                                      "Qwil|左余白=0", "Qwil|タブ幅=5", "ウィンドウ|最大化表示=0",
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

// A section's list as the reader gives it: each line ended by a NUL.
std::string L(std::initializer_list<const char*> lines) {
  std::string list;
  for (const char* line : lines) list += std::string(line) + '\0';
  return list;
}

// The writes replayed on a section's lines as the profile functions make them
// one at a time (the platform's behaviour, measured in the Windows tests).
TEST(ProfileBatch, MergeMakesTheWritesAsTheProfileFunctionsDo) {
  const struct {
    const char* what;
    std::string old;
    std::vector<Write> writes;
    std::string merged;
    bool changed;
  } cases[] = {
      {"lines of nobody stay, a bare line is seen", L({"a=1", "novalue", "b=2"}),
       {{"S", "a", "9"}}, L({"a=9", "novalue", "b=2"}), true},
      {"removed and written again goes to the end", L({"a=1", "b=2"}),
       {{"S", "a", nullptr}, {"S", "a", "3"}}, L({"b=2", "a=3"}), true},
      {"written and removed leaves nothing", L({}), {{"S", "k", "1"}, {"S", "k", nullptr}}, L({}), true},
      {"a new key keeps its first spelling", L({}), {{"S", "key", "1"}, {"S", "KEY", "2"}}, L({"key=2"}),
       true},
      {"the file's spelling stays", L({"Name=1"}), {{"S", "NAME", "2"}}, L({"Name=2"}),
       true},
      {"a removal takes the first copy only", L({"k=1", "K=2"}), {{"S", "k", nullptr}},
       L({"K=2"}), true},
      {"and the next removal the second", L({"k=1", "K=2"}), {{"S", "k", nullptr}, {"S", "K", nullptr}},
       L({}), true},
      {"a write changes the first copy", L({"k=1", "k=2"}), {{"S", "k", "3"}},
       L({"k=3", "k=2"}), true},
      {"blanks around a key are no part of it", L({" タブ幅 = 4"}), {{"S", "タブ幅", "8"}},
       L({"タブ幅=8"}), true},
      {"the value there is no change", L({"a= 1"}), {{"S", "a", "1"}, {"S", "A", " 1"}},
       L({"a= 1"}), false},
      {"removing what is not there is no change", L({"a=1"}), {{"S", "b", nullptr}},
       L({"a=1"}), false},
      {"a trail byte is no letter", L({"\x83\x41=1"}), {{"S", "\x83\x61", "2"}},
       L({"\x83\x41=1", "\x83\x61=2"}), true},
  };
  for (const auto& c : cases) {
    MemProfile scratch;
    ProfileBatch batch;
    ProfileBatch_Init(&batch, &scratch.methods);
    for (const Write& w : c.writes) batch.methods.pfnWrite(batch.methods.pContext, w.section, w.key, w.value);
    std::string old = c.old + std::string(2, '\0');
    ProfileBatchMerge merge;
    char* lines = ProfileBatch_MergeLines(old.data(), &batch.pSections[0], &merge);
    ASSERT_NE(nullptr, lines) << c.what;
    EXPECT_EQ(c.merged, std::string(lines, static_cast<size_t>(merge.nLength))) << c.what;
    EXPECT_EQ('\0', lines[merge.nLength]) << c.what;
    EXPECT_EQ(c.changed, merge.bChanged) << c.what;
    EXPECT_EQ(c.merged.find("novalue") != std::string::npos, merge.bBare) << c.what;
    Mem_Free(lines);
    scratch.bRefuseWrites = true;
    ProfileBatch_Flush(&batch);
  }
}

// What a section write would lose goes key by key: the line without "=", and
// the section the writes make and leave empty.
TEST(ProfileBatch, WhatASectionWriteWouldLoseIsWrittenKeyByKey) {
  MemProfile file;
  file.SetBare("Bare", "novalue");
  ProfileBatch batch;
  ProfileBatch_Init(&batch, &file.methods);
  Profile_WriteInt(&batch.methods, "Bare", "k", 1);
  Profile_WriteInt(&batch.methods, "Made", "k", 1);
  Profile_DeleteKey(&batch.methods, "Made", "k");
  Profile_WriteInt(&batch.methods, "Plain", "k", 1);
  ASSERT_TRUE(ProfileBatch_Flush(&batch));
  EXPECT_EQ((std::vector<std::string>{"Bare|k=1", "Made|k=1", "Made|k", "Plain|*"}), file.writes);
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
