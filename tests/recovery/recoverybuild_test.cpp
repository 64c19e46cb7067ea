// A snapshot made in slices while the document changes: the records replayed
// from nothing always give the document's text before the boundary, and the
// whole document once it is complete.
#include "recovery/recoverybuild.h"

#include <gtest/gtest.h>

#include "recovery/recoverytest.h"

namespace {

struct Snapshot {
  TextData* doc;     // F, the document being edited
  TextData* built;   // D, what the records give
  RecoveryQueue queue;
  RecoveryBuild build;
  QueueReplay replay;

  explicit Snapshot(const std::string& text) : doc(NewText(text)), built(NewText("")) {
    RecoveryQueue_Init(&queue, 0);
    RecoveryBuild_Start(&build);
  }
  ~Snapshot() {
    RecoveryQueue_Free(&queue);
    TextData_Destroy(doc);
    TextData_Destroy(built);
  }
  void Edit(POINT a, POINT b, const std::string& text) {
    const TextRange r = TextRange_Order(a, b);
    POINT end;
    ASSERT_TRUE(TextData_Replace(doc, r, text.data(), static_cast<int32_t>(text.size()), &end));
    ASSERT_TRUE(RecoveryBuild_NoteEdit(&build, &queue, r, text.data(), static_cast<int32_t>(text.size()), end));
  }
  int64_t Slice(int64_t budget) { return RecoveryBuild_AddSlice(&build, &queue, doc, budget); }
  // The invariant, after replaying what was queued.
  void Check(const char* where) {
    ASSERT_TRUE(ReplayQueue(&replay, &queue, built)) << where;
    const std::string expected = build.bComplete ? DocumentText(doc) : TextBefore(doc, build.ptDone);
    ASSERT_EQ(expected, DocumentText(built)) << where << " at " << build.ptDone.x << "," << build.ptDone.y;
    ASSERT_TRUE(TextData_IsPosition(doc, {0, build.ptDone.y}) || build.bComplete) << where;
  }
};

TEST(RecoveryBuild, SlicesAloneCopyTheDocument) {
  for (int64_t budget : {int64_t(1), int64_t(2), int64_t(3), int64_t(7), int64_t(1000)}) {
    Snapshot s("ab\r\n\r\ncd\nef\r");
    int slices = 0;
    while (!s.build.bComplete) {
      ASSERT_GE(s.Slice(budget), 0);
      ASSERT_LT(++slices, 100);
      s.Check("slice");
    }
    EXPECT_EQ(s.replay.bDone, true);
    EXPECT_EQ("ab\r\n\r\ncd\r\nef\r\n", DocumentText(s.built)) << budget;
  }
  // An empty document is complete at the first slice.
  Snapshot empty("");
  EXPECT_EQ(0, empty.Slice(100));
  EXPECT_TRUE(empty.build.bComplete);
  empty.Check("empty");
}

// The four kinds of edit around the boundary, each at its edges.
TEST(RecoveryBuild, EditsAroundTheBoundaryKeepTheInvariant) {
  struct Case {
    const char* name;
    POINT a, b;
    const char* text;
  };
  // The document "0123\r\n4567\r\n89"; the boundary after "0123\r\n45", at (2, 1).
  const Case cases[] = {
      {"behind, at the boundary", {2, 1}, {2, 1}, "X\r\nY"},
      {"behind", {3, 1}, {1, 2}, ""},
      {"before, on the boundary's line", {0, 1}, {1, 1}, "A\r\nB\r\n"},
      {"before, ending at the boundary", {1, 0}, {2, 1}, "Z"},
      {"before, on an earlier line", {1, 0}, {3, 0}, "\n\n\n"},
      {"across", {3, 0}, {3, 1}, "Q"},
      {"across, from the start", {0, 0}, {2, 2}, ""},
  };
  for (const Case& c : cases) {
    Snapshot s("0123\r\n4567\r\n89");
    ASSERT_EQ(8, s.Slice(8));
    ASSERT_EQ(Pt(2, 1), s.build.ptDone);
    s.Check(c.name);
    s.Edit(c.a, c.b, c.text);
    s.Check(c.name);
    while (!s.build.bComplete) s.Slice(3);
    s.Check(c.name);
    s.Edit({0, 0}, {0, 0}, "end");  // complete: recorded as it is
    s.Check(c.name);
  }
}

// Thousands of random edits between random slices, on documents of every
// kind of line end, broken characters and NUL bytes.
TEST(RecoveryBuild, RandomEditsBetweenSlicesAgreeWithTheDocument) {
  searchtest::Rng rng = {2024};
  int edits = 0;
  for (int round = 0; round < 40; ++round) {
    Snapshot s(RandomDocument(&rng, 1 + static_cast<int>(rng.Below(30))));
    int steps = 0;
    while (!s.build.bComplete || steps < 150) {
      ++steps;
      if (!s.build.bComplete && rng.Below(4) == 0) {
        ASSERT_GE(s.Slice(1 + rng.Below(40)), 0);
      } else {
        const std::string& text = TestInserts()[rng.Below(static_cast<uint32_t>(TestInserts().size()))];
        s.Edit(RandomPos(&rng, s.doc), RandomPos(&rng, s.doc), text);
        ++edits;
      }
      s.Check("random");
      ASSERT_LT(steps, 5000);
    }
  }
  EXPECT_GT(edits, 4000);
}

// A long line is cut into pieces within the line, and a text longer than a
// record's share goes out in several records.
TEST(RecoveryBuild, LongLinesAndLargeSlices) {
  const std::string line(3 * kRecordTextChunk + 17, 'x');
  Snapshot s(line + "\r\n" + line);
  EXPECT_EQ(100, s.Slice(100));
  EXPECT_EQ(Pt(100, 0), s.build.ptDone);
  s.Check("piece");
  const int64_t rest = int64_t(2) * static_cast<int64_t>(line.size()) + 2 - 100;
  EXPECT_EQ(rest, s.Slice(int64_t(1) << 30));
  EXPECT_TRUE(s.build.bComplete);
  s.Check("all");
}

}  // namespace
