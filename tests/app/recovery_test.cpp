// The recovery writer and reader together: what a window typed comes back
// from its recovery file after a crash (here: the file read while the writer
// still holds it, or after it was dropped without a word), whatever the text,
// however large, and whatever failed while it was written.
#include "app/recovery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/recoveryread.h"
#include "app/recoverytest.h"
#include "editctrl/replaceall.h"
#include "tools/faultfiles.h"
#include "tools/testfiles.h"

namespace {

struct Read {
  RecoveredDocument doc = {};
  std::string text;
  explicit Read(const std::string& path, RecoveryAliveProc alive = nullptr, void* context = nullptr) {
    const TextDataProperty prop = PlainProp();
    Recovery_Read(path.c_str(), &prop, alive, context, &doc);
    if (doc.text) text = DocumentText(doc.text);
  }
  ~Read() { RecoveredDocument_Free(&doc); }
  std::string Path() const { return doc.pPath ? doc.pPath : "<untitled>"; }
};

// One window: its editor body, the writer observing it, a clock the test moves.
struct Session {
  TestClock clock;
  Body b;
  RecoveryWriter* w;
  int64_t nBudget = 0;  // when set, every step's budget

  explicit Session(const TestFolder& folder, uint32_t pid = 7, uint64_t token = 70)
      : w(Recovery_Create(folder.path.c_str(), pid, token)) {
    Recovery_SetClock(w, TestClock::Read, &clock);
    EditBody_SetObserver(b.body, Recovery_Observe, w);
  }
  ~Session() { Recovery_Destroy(w); }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  void Load(const std::string& path) {
    ASSERT_TRUE(EditBody_Load(b.body, path.c_str(), nullptr));
    Recovery_NoteDocument(w, b.body->text, path.c_str());
  }
  void Save(const std::string& path) {
    ASSERT_EQ(TEXTFILE_OK, EditBody_Save(b.body, path.c_str()));
    EditBody_SetModified(b.body, false);
    Recovery_NoteDocument(w, b.body->text, path.c_str());
  }
  void Type(const std::string& s) { b.Type(s); }
  void TypeAt(POINT p, const std::string& s) {
    ASSERT_TRUE(EditBody_ReplaceRange(b.body, {p, p}, s.data(), static_cast<int32_t>(s.size()), true, nullptr));
  }
  RecoveryStep Tick(int64_t ms = kRecoveryTickMs) {
    clock.now += ms;
    if (nBudget > 0) w->nBudget = nBudget;
    RecoveryStep step = {};
    Recovery_Tick(w, b.body->text, b.body->ptCaret, EditBody_GetModified(b.body), &step);
    return step;
  }
  // Ticks until nothing waits; the steps taken.
  int Settle(int most = 10000) {
    int steps = 0;
    while (Recovery_DueIn(w) >= 0 && steps < most) {
      Tick();
      ++steps;
    }
    return steps;
  }
  bool Pending() const { return w->tOldestPending >= 0 || w->bBuilding; }
  std::string File() const { return Recovery_FilePath(w); }
  std::string Text() { return b.Text(); }
};

// Texts that must come back byte for byte (line ends as saving writes them).
TEST(Recovery, WhatWasTypedComesBackWhatever) {
  const std::string big = [] {
    std::string s;
    for (int i = 0; s.size() < (3u << 20); ++i) s += "行 " + std::to_string(i) + " 表ソ\\x\r\n";
    return s;
  }();
  const struct {
    const char* name;
    std::string text;
  } cases[] = {
      {"ascii", "hello"},
      {"nul bytes", std::string("a\0b\0\0c", 6)},
      {"broken shift_jis", std::string("\x83\r\n\x5C\x81\x81\x81", 8)},
      {"every line end", "a\rb\nc\r\nd\n\re\r\r\n\n"},
      {"japanese", "日本語の文書です。\r\n二行目"},
      {"a few megabytes", big},
  };
  for (const auto& c : cases) {
    TestFolder folder;
    Session s(folder);
    s.Type(c.text);
    s.Settle();
    EXPECT_FALSE(s.Pending()) << c.name;
    Read r(s.File());
    EXPECT_EQ(RECOVER_WHOLE, r.doc.status) << c.name;
    EXPECT_EQ(s.Text(), r.text) << c.name;
    EXPECT_EQ(s.b.body->ptCaret, r.doc.ptCaret) << c.name;
    EXPECT_EQ("<untitled>", r.Path()) << c.name;
    EXPECT_EQ(7u, r.doc.nPid);
    EXPECT_EQ(70u, r.doc.nToken);
  }
}

// A modified document that is empty is still a document to offer.
TEST(Recovery, AnEmptiedDocumentComesBackEmpty) {
  TestFolder folder;
  const std::string path = folder / "memo.txt";
  ASSERT_TRUE(TestFile_Write(path, "text"));
  Session s(folder);
  s.Load(path);
  s.b.Select({0, 0}, {4, 0});
  s.Type("");
  s.Settle();
  Read r(s.File());
  ASSERT_EQ(RECOVER_WHOLE, r.doc.status);
  EXPECT_EQ("", r.text);
  EXPECT_EQ(path, r.Path());
}

TEST(Recovery, TheFileIsWrittenAFewSecondsBehindAndOnlyWhenSomethingChanged) {
  TestFolder folder;
  Session s(folder);
  EXPECT_EQ(-1, Recovery_DueIn(s.w));
  s.Type("a");
  EXPECT_EQ(kRecoveryDelayMs, Recovery_DueIn(s.w));
  for (int64_t t = kRecoveryTickMs; t < kRecoveryDelayMs; t += kRecoveryTickMs) {
    EXPECT_FALSE(s.Tick().bStepped) << t;
  }
  EXPECT_EQ("<missing>", TestFile_Read(s.File()));
  const RecoveryStep step = s.Tick();
  EXPECT_TRUE(step.bStepped);
  EXPECT_GT(step.nBytes, 0);
  EXPECT_NE("<missing>", TestFile_Read(s.File()));
  EXPECT_EQ(-1, Recovery_DueIn(s.w));
  // Nothing new: no writes, however long.
  for (int i = 0; i < 20; ++i) EXPECT_FALSE(s.Tick(1000).bStepped);
  // Typing goes on: the next edit goes out with those after it.
  s.Type("b");
  s.Tick(1000);
  s.Type("c");
  EXPECT_EQ(kRecoveryDelayMs - 1000, Recovery_DueIn(s.w));
  s.Settle();
  Read r(s.File());
  EXPECT_EQ("abc", r.text);
}

// Saving, a document back to its clean state, another document, and a
// discard each remove the file; the next edit makes a new one.
TEST(Recovery, AnUnmodifiedDocumentHasNoFile) {
  TestFolder folder;
  const std::string path = folder / "doc.txt";
  ASSERT_TRUE(TestFile_Write(path, "x"));
  Session s(folder);
  s.Load(path);
  s.Type("1");
  s.Settle();
  ASSERT_NE("<missing>", TestFile_Read(s.File()));
  s.Save(path);
  EXPECT_EQ("<missing>", TestFile_Read(s.File()));
  s.Type("2");
  s.Settle();
  ASSERT_NE("<missing>", TestFile_Read(s.File()));
  ASSERT_TRUE(EditBody_Undo(s.b.body));  // back to what was saved
  s.Tick();
  EXPECT_EQ("<missing>", TestFile_Read(s.File()));
  EXPECT_EQ(-1, Recovery_DueIn(s.w));
  s.Type("3");
  s.Settle();
  ASSERT_NE("<missing>", TestFile_Read(s.File()));
  ASSERT_TRUE(EditBody_Load(s.b.body, nullptr, nullptr));  // a new document
  s.Tick();
  EXPECT_EQ("<missing>", TestFile_Read(s.File()));
  Recovery_NoteDocument(s.w, s.b.body->text, nullptr);
  s.Type("4");
  s.Settle();
  ASSERT_NE("<missing>", TestFile_Read(s.File()));
  Recovery_Discard(s.w);
  EXPECT_EQ((std::vector<std::string>{"doc.txt"}), folder.Names());
}

TEST(Recovery, TwoWindowsKeepTheirOwnFiles) {
  TestFolder folder;
  Session one(folder, 100, 1);
  Session two(folder, 200, 2);
  one.Type("first window");
  two.Type("second window");
  one.Settle();
  two.Settle();
  EXPECT_NE(one.File(), two.File());
  EXPECT_EQ("first window", Read(one.File()).text);
  EXPECT_EQ("second window", Read(two.File()).text);
  // One saving its text does not touch the other's.
  one.Save(folder / "one.txt");
  EXPECT_EQ("<missing>", TestFile_Read(one.File()));
  EXPECT_EQ("second window", Read(two.File()).text);
}

struct Alive {
  uint32_t pid;
  static bool Proc(void* context, uint32_t pid, uint64_t) { return static_cast<Alive*>(context)->pid == pid; }
};

TEST(Recovery, TheReaderSaysWhyNot) {
  TestFolder folder;
  {
    Read missing(folder / "none.qwr");
    EXPECT_EQ(RECOVER_OPEN_FAILED, missing.doc.status);
    EXPECT_EQ(nullptr, missing.doc.text);
  }
  ASSERT_TRUE(TestFile_Write(folder / "junk.qwr", "not a recovery file"));
  EXPECT_EQ(RECOVER_DAMAGED, Read(folder / "junk.qwr").doc.status);
  ASSERT_TRUE(TestFile_Write(folder / "empty.qwr", ""));
  EXPECT_EQ(RECOVER_DAMAGED, Read(folder / "empty.qwr").doc.status);
  Session s(folder, 55, 5);
  s.Type("mine");
  s.Settle();
  Alive alive = {55};
  Read live(s.File(), Alive::Proc, &alive);
  EXPECT_EQ(RECOVER_NOT_OURS, live.doc.status);
  EXPECT_EQ(nullptr, live.doc.text);
  alive.pid = 56;
  EXPECT_EQ(RECOVER_WHOLE, Read(s.File(), Alive::Proc, &alive).doc.status);
}

// A recovered text is written as a snapshot at once, and the file it came
// from goes only when that is in place.
TEST(Recovery, ARestoredTextTakesOverFromTheFileItCameFrom) {
  TestFolder folder;
  std::string orphan;
  {
    Session old(folder, 1, 1);
    old.Type("typed before the crash");
    old.Settle();
    orphan = old.File();
  }
  Read r(orphan);
  ASSERT_EQ(RECOVER_WHOLE, r.doc.status);
  Session s(folder, 2, 2);
  ASSERT_TRUE(EditBody_AdoptText(s.b.body, r.doc.text));
  r.doc.text = nullptr;
  EditBody_SetModified(s.b.body, true);
  Recovery_NoteRestored(s.w, r.doc.pPath, &r.doc.disk, orphan.c_str());
  EXPECT_EQ(0, Recovery_DueIn(s.w));
  FaultFiles fail(0);  // the first write fails: the orphan stays
  s.Tick();
  EXPECT_NE("<missing>", TestFile_Read(orphan));
  fail.nFailAt = -1;
  s.Settle();
  EXPECT_EQ("<missing>", TestFile_Read(orphan));
  EXPECT_EQ("typed before the crash", Read(s.File()).text);
}

// A file of about n bytes of numbered lines with every kind of line end.
std::string LinesOf(size_t n) {
  const char* ends[] = {"\r\n", "\n", "\r\n", "\r"};
  std::string s;
  for (int i = 0; s.size() < n; ++i) s += "行" + std::to_string(i) + " text ア表" + ends[i % 4];
  return s;
}

// A document too large for one step is kept as a journal over its file: the
// file is written with the edits alone, and the reader replays them over it.
TEST(Recovery, ALargeDocumentIsAJournalOverItsFile) {
  TestFolder folder;
  const std::string path = folder / "large.txt";
  ASSERT_TRUE(TestFile_Write(path, LinesOf(300 << 10)));
  Session s(folder);
  s.nBudget = kRecoveryMinBudget;
  s.Load(path);
  s.TypeAt({3, 10}, "挿入");
  s.TypeAt({0, 500}, "\r\nnew line\r\n");
  const RecoveryStep step = s.Tick(kRecoveryDelayMs);
  EXPECT_TRUE(step.bStepped);
  EXPECT_LT(step.nBytes, 1000);  // the edits, not the text
  EXPECT_FALSE(s.w->current.bSnapshot);
  Read r(s.File());
  ASSERT_EQ(RECOVER_WHOLE, r.doc.status);
  EXPECT_EQ(s.Text(), r.text);
  EXPECT_EQ(s.b.body->ptCaret, r.doc.ptCaret);
  EXPECT_FALSE(r.doc.bDiskChanged);
  EXPECT_EQ(path, r.Path());
}

// The file under a journal changed on disk: the reader refuses to place the
// edits on it, and the writer, seeing it at its next step, makes a snapshot
// of its own, in slices, which then recovers whatever the file holds.
TEST(Recovery, AJournalsFileChangedOnDisk) {
  TestFolder folder;
  const std::string path = folder / "large.txt";
  const std::string original = LinesOf(300 << 10);
  ASSERT_TRUE(TestFile_Write(path, original));
  Session s(folder);
  s.nBudget = kRecoveryMinBudget;
  s.Load(path);
  s.TypeAt({0, 0}, "x");
  s.Tick(kRecoveryDelayMs);
  ASSERT_FALSE(s.w->current.bSnapshot);
  // Another program writes the file: another size.
  ASSERT_TRUE(TestFile_Write(path, original + "more"));
  {
    Read r(s.File());
    EXPECT_EQ(RECOVER_BASE_CHANGED, r.doc.status);
    EXPECT_EQ(nullptr, r.doc.text);
    EXPECT_TRUE(r.doc.bDiskChanged);
  }
  s.TypeAt({0, 1}, "y");
  int slices = 0;
  while (!s.w->current.bSnapshot && slices < 100) {
    const RecoveryStep step = s.Tick(kRecoveryDelayMs);
    EXPECT_LE(step.nBytes, kRecoveryMinBudget + 1000);  // a slice and the edits
    if (step.nBytes > 0) ++slices;
  }
  EXPECT_GE(slices, 4);  // 300 KiB in steps of 64 KiB
  Read r(s.File());
  ASSERT_EQ(RECOVER_WHOLE, r.doc.status);
  EXPECT_EQ(s.Text(), r.text);
  EXPECT_TRUE(r.doc.bDiskChanged);
}

// The same size and write time but other bytes: the sample of the lines sees
// what the file system does not.
TEST(Recovery, AFileRewrittenWithTheSameSizeAndTimeIsSeenByItsSample) {
  TestFolder folder;
  const std::string path = folder / "large.txt";
  std::string text = LinesOf(300 << 10);
  ASSERT_TRUE(TestFile_Write(path, text));
  const auto written = std::filesystem::last_write_time(path);
  Session s(folder);
  s.nBudget = kRecoveryMinBudget;
  s.Load(path);
  s.TypeAt({0, 3}, "edit");
  s.Tick(kRecoveryDelayMs);
  ASSERT_EQ(RECOVER_WHOLE, Read(s.File()).doc.status);
  text[0] = 'Z';  // the first line is always sampled
  text[1] = 'Z';
  ASSERT_TRUE(TestFile_Write(path, text));
  std::filesystem::last_write_time(path, written);
  ASSERT_TRUE(written == std::filesystem::last_write_time(path));
  EXPECT_EQ(RECOVER_BASE_CHANGED, Read(s.File()).doc.status);
}

// A snapshot in slices while the user types between them: the old file goes
// on receiving the edits, so a crash at any tick recovers the document as it
// was at that tick's write.
TEST(Recovery, TypingGoesOnWhileASnapshotIsMadeInSlices) {
  TestFolder folder;
  const std::string path = folder / "large.txt";
  ASSERT_TRUE(TestFile_Write(path, LinesOf(600 << 10)));
  Session s(folder);
  s.nBudget = kRecoveryMinBudget;
  s.Load(path);
  s.TypeAt({0, 0}, "start ");
  s.Tick(kRecoveryDelayMs);
  // Past a minute, the journal over the file gives way to a snapshot.
  s.clock.now += kRecoveryFileBaseMs;
  searchtest::Rng rng = {9};
  int ticks = 0;
  bool building = false;
  while (!s.w->current.bSnapshot && ticks < 200) {
    s.TypeAt(RandomPos(&rng, s.b.body->text), TestInserts()[rng.Below(static_cast<uint32_t>(TestInserts().size()))]);
    s.Tick(kRecoveryDelayMs);
    ++ticks;
    building = building || s.w->bBuilding;
    Read r(s.File());
    ASSERT_EQ(RECOVER_WHOLE, r.doc.status) << ticks;
    ASSERT_EQ(s.Text(), r.text) << ticks;
  }
  EXPECT_TRUE(building);
  EXPECT_GT(ticks, 5);
  EXPECT_TRUE(s.w->current.bSnapshot);
  EXPECT_EQ((std::vector<std::string>{"large.txt", "qwilpad-00000007-0000000000000046.qwr"}), folder.Names());
}

// Thousands of random steps of every kind (typing, pasting, deleting, undo,
// redo, replace all, saving) with ticks between them at random: whenever
// nothing waits, the file gives the document, and it always gives a whole
// file, through journals, snapshots and their compaction.
TEST(Recovery, ARandomSessionAlwaysLeavesTheDocumentOnDisk) {
  for (const bool large : {false, true}) {
    TestFolder folder;
    const std::string path = folder / "doc.txt";
    searchtest::Rng rng = {large ? 31u : 13u};
    ASSERT_TRUE(TestFile_Write(path, large ? LinesOf(100 << 10) : RandomDocument(&rng, 40)));
    Session s(folder);
    s.nBudget = kRecoveryMinBudget;
    s.Load(path);
    const std::string paste = LinesOf(large ? 30 << 10 : 2 << 10);
    int compared = 0;
    int snapshots = 0;
    for (int step = 0; step < 1500; ++step) {
      const uint32_t kind = rng.Below(20);
      if (kind < 9) {
        const TextRange r = TextRange_Order(RandomPos(&rng, s.b.body->text), RandomPos(&rng, s.b.body->text));
        const std::vector<std::string>& inserts = TestInserts();
        const std::string& text = kind == 0 ? paste : inserts[rng.Below(static_cast<uint32_t>(inserts.size()))];
        EditBody_ReplaceRange(s.b.body, r, text.data(), static_cast<int32_t>(text.size()), true, nullptr);
      } else if (kind < 12) {
        EditBody_Undo(s.b.body);
      } else if (kind < 14) {
        EditBody_Redo(s.b.body);
      } else if (kind == 14) {
        int32_t count = 0, status = 0;
        Search_ReplaceAll(s.b.body, "\r\n", 2, "表", 2, 0, &count, &status);
      } else if (kind == 15 && rng.Below(10) == 0) {
        s.Save(path);
      } else {
        const RecoveryStep tick = s.Tick(1 + rng.Below(3000));
        snapshots += tick.bSnapshotDone ? 1 : 0;
        if (!EditBody_GetModified(s.b.body)) {
          ASSERT_EQ("<missing>", TestFile_Read(s.File())) << step;
          continue;
        }
        if (rng.Below(3) != 0 || TestFile_Read(s.File()) == "<missing>") continue;
        Read r(s.File());
        ASSERT_EQ(RECOVER_WHOLE, r.doc.status) << step;
        if (!s.Pending()) {
          ASSERT_EQ(s.Text(), r.text) << step;
          ++compared;
        }
      }
    }
    EXPECT_GT(compared, 20) << large;
    EXPECT_GT(snapshots, 1) << large;
  }
}

// The states a recovery file's records pass through, replayed by the test's
// own reading of the bytes: the end of each record and the text there.
struct FileStates {
  std::string bytes;
  size_t nHeader = 0;
  size_t nUsableFrom = 0;  // a snapshot's records are a state only from its DONE on
  std::vector<size_t> ends;
  std::vector<std::string> texts;
};

FileStates StatesOf(const std::string& path, const std::string& base) {
  FileStates f;
  f.bytes = TestFile_Read(path);
  RecoveryHeader h;
  int32_t size = 0;
  const int64_t n = static_cast<int64_t>(f.bytes.size());
  EXPECT_EQ(RECOVERYPARSE_OK, RecoveryFormat_DecodeHeader(f.bytes.data(), n, &h, &size));
  f.nHeader = static_cast<size_t>(size);
  const bool snapshot = (h.nFlags & kRecoveryFlagSnapshot) != 0;
  f.nUsableFrom = snapshot ? f.bytes.size() + 1 : f.nHeader;
  TextData* text = NewText(base);
  QueueReplay replay;
  f.ends.push_back(f.nHeader);
  f.texts.push_back(DocumentText(text));
  size_t at = f.nHeader;
  while (at < f.bytes.size()) {
    RecoveryRecord r;
    EXPECT_EQ(RECOVERYPARSE_OK, RecoveryFormat_ParseRecord(f.bytes.data() + at, n - static_cast<int64_t>(at), &r, &size));
    EXPECT_TRUE(ReplayRecord(&replay, text, r));
    at += static_cast<size_t>(size);
    if (r.type == RECOVERYREC_DONE) f.nUsableFrom = at;
    if (replay.bActive) continue;  // an edit whose text is not all there yet
    f.ends.push_back(at);
    f.texts.push_back(DocumentText(text));
  }
  TextData_Destroy(text);
  return f;
}

// What reading the file cut at n, or with its byte i changed, must give: the
// state at the last whole record before the damage, said to be partial when
// anything followed, and nothing at all before a snapshot is whole.
void ExpectStateBefore(const FileStates& f, const std::string& path, size_t damage, bool cut, const char* what) {
  Read r(path);
  size_t k = 0;
  while (k + 1 < f.ends.size() && f.ends[k + 1] <= damage) ++k;
  if (damage < f.nHeader || f.ends[k] < f.nUsableFrom) {
    EXPECT_EQ(RECOVER_DAMAGED, r.doc.status) << what << damage;
    EXPECT_EQ(nullptr, r.doc.text) << what << damage;
    return;
  }
  const bool whole = cut && f.ends[k] == damage;
  EXPECT_EQ(whole ? RECOVER_WHOLE : RECOVER_PARTIAL, r.doc.status) << what << damage;
  EXPECT_EQ(f.texts[k], r.text) << what << damage;
  if (cut) {
    EXPECT_EQ(static_cast<int64_t>(damage - f.ends[k]), r.doc.nDroppedBytes) << what << damage;
  }
}

void CutAndDamageEverywhere(const TestFolder& folder, const std::string& file, const std::string& base) {
  const FileStates f = StatesOf(file, base);
  ASSERT_GT(f.ends.size(), 5u);
  const std::string copy = folder / "copy.qwr";
  for (size_t n = 0; n <= f.bytes.size(); ++n) {
    ASSERT_TRUE(TestFile_Write(copy, f.bytes.substr(0, n)));
    ExpectStateBefore(f, copy, n, true, "cut at ");
  }
  for (size_t i = 0; i < f.bytes.size(); ++i) {
    std::string changed = f.bytes;
    changed[i] = static_cast<char>(changed[i] ^ 0x10);
    ASSERT_TRUE(TestFile_Write(copy, changed));
    // The record holding byte i is the first damaged one.
    size_t start = f.nHeader;
    for (size_t e : f.ends) {
      if (e <= i) start = e;
    }
    ExpectStateBefore(f, copy, i < f.nHeader ? i : start, false, "byte changed at ");
  }
}

TEST(Recovery, ACutOrDamagedSnapshotIsNeverTakenForWhole) {
  TestFolder folder;
  Session s(folder);
  s.Type("first\r\n表");
  s.Tick(kRecoveryDelayMs);
  for (const char* more : {"\n二", "", "\r", "end"}) {
    s.Type(more);
    s.Tick(kRecoveryDelayMs);
  }
  s.b.Select({0, 0}, {3, 0});
  s.Type("");
  s.Tick(kRecoveryDelayMs);
  ASSERT_TRUE(s.w->current.bSnapshot);
  CutAndDamageEverywhere(folder, s.File(), "");
}

TEST(Recovery, ACutOrDamagedJournalGivesAnEarlierState) {
  TestFolder folder;
  const std::string path = folder / "doc.txt";
  const std::string base = LinesOf(80 << 10);
  ASSERT_TRUE(TestFile_Write(path, base));
  Session s(folder);
  s.nBudget = kRecoveryMinBudget;
  s.Load(path);
  for (const char* typed : {"a", "\r\n", "表", "bc"}) {
    s.TypeAt({2, 3}, typed);
    s.Tick(kRecoveryDelayMs);
  }
  ASSERT_FALSE(s.w->current.bSnapshot);
  CutAndDamageEverywhere(folder, s.File(), base);
}

// An edit too long for one record, cut anywhere in its records, is left out
// whole: the document as before it.
TEST(Recovery, ALongEditCutInItsRecordsIsLeftOut) {
  TestFolder folder;
  Session s(folder);
  s.nBudget = kRecoveryMaxBudget;
  s.Type("before");
  s.Tick(kRecoveryDelayMs);
  const std::string paste = LinesOf(2 * kRecordTextChunk + 100);
  s.Type(paste);
  s.Tick(kRecoveryDelayMs);
  const FileStates f = StatesOf(s.File(), "");
  const size_t last = f.ends[f.ends.size() - 2];  // before the STATE behind the paste
  ASSERT_GT(f.bytes.size(), paste.size());
  const std::string copy = folder / "copy.qwr";
  for (size_t n : {f.ends[f.ends.size() - 3] + 1, f.bytes.size() / 2, last - kRecordTextChunk, last - 1}) {
    ASSERT_TRUE(TestFile_Write(copy, f.bytes.substr(0, n)));
    Read r(copy);
    EXPECT_EQ(RECOVER_PARTIAL, r.doc.status) << n;
    EXPECT_EQ("before", r.text) << n;
  }
  Read whole(s.File());
  EXPECT_EQ(RECOVER_WHOLE, whole.doc.status);
  EXPECT_EQ(s.Text(), whole.text);
}

// Runs act with the k-th call of the file seam failing, for every call it
// makes, each time on a fresh session that setup prepared; check then looks
// at what is on disk, and the session is given the chance to go on.
long ForEveryFault(const std::function<void(Session&, const TestFolder&)>& setup,
                   const std::function<void(Session&)>& act,
                   const std::function<void(Session&, const TestFolder&, long)>& check) {
  for (long k = 0;; ++k) {
    TestFolder folder;
    Session s(folder);
    setup(s, folder);
    bool hit = false;
    {
      FaultFiles faults(k);
      act(s);
      hit = faults.Count() > k;
    }
    check(s, folder, k);
    // Whatever failed, the next steps bring the file up to the document.
    s.clock.now += kRecoveryMaxBackoffMs;
    s.Settle();
    Read r(s.File());
    EXPECT_EQ(RECOVER_WHOLE, r.doc.status) << k;
    EXPECT_EQ(s.Text(), r.text) << k;
    std::vector<std::string> names = folder.Names();
    EXPECT_EQ(0, std::count_if(names.begin(), names.end(), [](const std::string& n) {
                return n.find(".new") != std::string::npos || n.find(".tmp") != std::string::npos;
              })) << k;
    if (!hit) return k;  // the calls act makes
  }
}

// The state on disk after a failure is one the document had: the one before
// the step, or the one after it, never a damaged file.
void ExpectOneOf(const Session& s, const std::vector<std::string>& states, long k, bool mayBeMissing) {
  if (TestFile_Read(s.File()) == "<missing>") {
    EXPECT_TRUE(mayBeMissing) << k;
    return;
  }
  Read r(s.File());
  EXPECT_TRUE(r.doc.status == RECOVER_WHOLE || r.doc.status == RECOVER_PARTIAL) << k << " " << r.doc.status;
  EXPECT_NE(states.end(), std::find(states.begin(), states.end(), r.text)) << k << " " << r.text.size();
}

TEST(RecoveryFaults, TheFirstFileIsMadeWholeOrNotAtAll) {
  const long calls = ForEveryFault([](Session& s, const TestFolder&) { s.Type("one\r\n"); },
                [](Session& s) { s.Tick(kRecoveryDelayMs); },
                [](Session& s, const TestFolder&, long k) { ExpectOneOf(s, {"one\r\n"}, k, true); });
  EXPECT_EQ(6, calls);  // open, write, write, flush, close, replace
}

TEST(RecoveryFaults, AFailedAppendLeavesThePreviousState) {
  const long calls = ForEveryFault(
      [](Session& s, const TestFolder&) {
        s.Type("one");
        s.Settle();
        s.Type("two");
      },
      [](Session& s) { s.Tick(kRecoveryDelayMs); },
      [](Session& s, const TestFolder&, long k) { ExpectOneOf(s, {"one", "onetwo"}, k, false); });
  EXPECT_EQ(4, calls);  // open, write, flush, close
}

TEST(RecoveryFaults, AFailedJournalOverTheFileLeavesNoFile) {
  ForEveryFault(
      [](Session& s, const TestFolder& folder) {
        ASSERT_TRUE(TestFile_Write(folder / "doc.txt", LinesOf(80 << 10)));
        s.nBudget = kRecoveryMinBudget;
        s.Load(folder / "doc.txt");
        s.TypeAt({2, 1}, "typed");
      },
      [](Session& s) { s.Tick(kRecoveryDelayMs); },
      [](Session& s, const TestFolder&, long k) { ExpectOneOf(s, {s.Text()}, k, true); });
}

// A snapshot made in slices over several ticks, with a failure at any write
// of any of them: the journal it was to replace stays whole meanwhile.
TEST(RecoveryFaults, AFailedSnapshotLeavesTheJournalItWasToReplace) {
  const long calls = ForEveryFault(
      [](Session& s, const TestFolder& folder) {
        ASSERT_TRUE(TestFile_Write(folder / "doc.txt", LinesOf(200 << 10)));
        s.nBudget = kRecoveryMinBudget;
        s.Load(folder / "doc.txt");
        s.TypeAt({2, 1}, "typed");
        s.Tick(kRecoveryDelayMs);
        s.clock.now += kRecoveryFileBaseMs;
        s.TypeAt({0, 2}, "more");
      },
      [](Session& s) {
        for (int i = 0; i < 6 && !s.w->current.bSnapshot; ++i) s.Tick(kRecoveryDelayMs);
      },
      [](Session& s, const TestFolder&, long k) { ExpectOneOf(s, {s.Text()}, k, false); });
  EXPECT_GT(calls, 20);  // the slices of four ticks and the journal's appends
}

// The removal of a clean document's file fails at any of its calls (a
// scanner holds the file, and may go on holding it): what is typed next,
// over the same base, still reaches the next file.
TEST(RecoveryFaults, AFailedRemovalLosesNoEditTypedAfterIt) {
  enum { kUndoneToClean, kSaved, kLoaded };
  for (const int how : {kUndoneToClean, kSaved, kLoaded}) {
    const long calls = ForEveryFault(
        [how](Session& s, const TestFolder& folder) {
          ASSERT_TRUE(TestFile_Write(folder / "doc.txt", LinesOf(80 << 10)));
          s.nBudget = kRecoveryMinBudget;
          s.Load(folder / "doc.txt");
          s.TypeAt({0, 0}, "A");
          s.Tick(kRecoveryDelayMs);
          ASSERT_FALSE(s.w->current.bSnapshot);
          bool done = how == kUndoneToClean ? EditBody_Undo(s.b.body)
                      : how == kSaved ? EditBody_Save(s.b.body, (folder / "doc.txt").c_str()) == TEXTFILE_OK
                                      : EditBody_Load(s.b.body, (folder / "doc.txt").c_str(), nullptr);
          ASSERT_TRUE(done);
          EditBody_SetModified(s.b.body, false);
        },
        [how](Session& s) {
          if (how == kUndoneToClean) {
            s.Tick();
          } else {
            const std::string doc = (std::filesystem::path(s.File()).parent_path() / "doc.txt").string();
            Recovery_NoteDocument(s.w, s.b.body->text, doc.c_str());
          }
        },
        [](Session& s, const TestFolder&, long) {
          s.TypeAt({0, 1}, "B");
          // Still held at the next tick: the journal made meanwhile must stay.
          FaultFiles held(0);
          s.Tick(kRecoveryDelayMs);
        });
    EXPECT_GE(calls, 3) << how;  // the file, the snapshot's name, the query behind it
  }
}

}  // namespace
