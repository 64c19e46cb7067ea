// The body's watchers: what each is told of every change, replayed on a plain
// model, gives the document, through typing, undo, redo, replace all, a
// rollback and new documents; several watch at once, and one may leave.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editctrl/bodyfixture.h"
#include "editctrl/replaceall.h"
#include "editctrl/searchtest.h"
#include "tests/tools/testfiles.h"

namespace {

struct Heard {
  TextModel model;
  int32_t replaces = 0;
  int32_t documents = 0;
  bool endsAgree = true;  // every ptEnd was where the model's new text ended
};

POINT ModelEnd(POINT start, const std::string& text) {
  const std::vector<ModelLine> runs = ModelSplit(text);
  if (runs.size() == 1) return {start.x + static_cast<int32_t>(runs[0].bytes.size()), start.y};
  return {static_cast<int32_t>(runs.back().bytes.size()), start.y + static_cast<int32_t>(runs.size()) - 1};
}

void Hear(void* context, const EditChange* change) {
  Heard* h = static_cast<Heard*>(context);
  if (change->kind == EDITCHANGE_NEW_DOCUMENT) {
    ++h->documents;
    h->model = TextModel{};
    ModelReplace(&h->model, {0, 0}, {0, 0}, DocumentText(const_cast<TextData*>(change->text)));
    return;
  }
  ++h->replaces;
  const std::string text(change->pText ? change->pText : "", static_cast<size_t>(change->nText));
  ModelReplace(&h->model, change->range.start, change->range.end, text);
  const POINT end = ModelEnd(change->range.start, text);
  h->endsAgree = h->endsAgree && end.x == change->ptEnd.x && end.y == change->ptEnd.y;
}

EditWatcher WatcherOf(Heard* h) { return EditWatcher{Hear, h}; }

void Watch(Body* b, Heard* h) {
  const EditWatcher w = WatcherOf(h);
  ASSERT_TRUE(EditBody_AddWatcher(b->body, &w));
}

POINT RandomPosition(searchtest::Rng* rng, TextData* text) {
  const int32_t y = static_cast<int32_t>(rng->Below(static_cast<uint32_t>(text->count)));
  const LineData* line = TextData_Lookup(text, y, nullptr);
  int32_t x = static_cast<int32_t>(rng->Below(static_cast<uint32_t>(Line_GetLength(line) + 1)));
  while (!TextData_IsPosition(text, {x, y})) --x;
  return {x, y};
}

TEST(EditWatch, WithoutOneNothingIsToldAndEditsWorkAsBefore) {
  Body b;
  EXPECT_EQ(0, b.body->nWatchers);
  b.Type("abc");
  ASSERT_TRUE(EditBody_Undo(b.body));
  EXPECT_EQ("", b.Text());
}

// Two watchers hear every step; one leaves half-way and the other goes on.
TEST(EditWatch, EveryStepIsToldToEveryWatcher) {
  Body b;
  Heard h;
  Heard other;
  Watch(&b, &h);
  Watch(&b, &other);
  const EditWatcher again = WatcherOf(&h);
  EXPECT_FALSE(EditBody_AddWatcher(b.body, &again)) << "a watcher watches once";
  b.Type("ab\r\ncd");
  EXPECT_EQ(1, h.replaces);
  ASSERT_TRUE(EditBody_Undo(b.body));
  ASSERT_TRUE(EditBody_Redo(b.body));
  EXPECT_EQ(3, h.replaces);
  EXPECT_EQ(b.Text(), ModelText(h.model));
  // Replace all tells each changed line once, with the line's replacements in it.
  b.Type("\r\naXa");
  const int32_t before = h.replaces;
  int32_t count = 0;
  int32_t status = 0;
  ASSERT_TRUE(Search_ReplaceAll(b.body, "yy", 2, "a", 1, 0, &count, &status));
  EXPECT_EQ(3, count);
  EXPECT_EQ(before + 2, h.replaces);
  EXPECT_EQ(b.Text(), ModelText(h.model));
  EXPECT_TRUE(h.endsAgree);
  // A refused edit tells nothing.
  EditBody_SetReadOnly(b.body, true);
  EXPECT_FALSE(EditBody_ReplaceSelection(b.body, "z", 1, true));
  EditBody_SetReadOnly(b.body, false);
  EXPECT_EQ(before + 2, h.replaces);
  EXPECT_EQ(h.replaces, other.replaces);
  ASSERT_TRUE(EditBody_RemoveWatcher(b.body, &again));
  EXPECT_FALSE(EditBody_RemoveWatcher(b.body, &again));
  b.Type("q");
  ASSERT_TRUE(EditBody_Undo(b.body));
  EXPECT_EQ(before + 2, h.replaces);
  EXPECT_EQ(before + 4, other.replaces);
  EXPECT_EQ(b.Text(), ModelText(other.model));
  // The list is short and says so when full.
  Heard more[kEditWatcherMax];
  int32_t added = 0;
  for (Heard& m : more) {
    const EditWatcher w = WatcherOf(&m);
    added += EditBody_AddWatcher(b.body, &w) ? 1 : 0;
  }
  EXPECT_EQ(kEditWatcherMax - 1, added);
}

TEST(EditWatch, NewDocumentsAreTold) {
  TestFolder folder;
  const std::string path = folder / "in.txt";
  ASSERT_TRUE(TestFile_Write(path, "x\ny\r\nz"));
  Body b;
  Heard h;
  Watch(&b, &h);
  b.Type("old");
  ASSERT_TRUE(EditBody_Load(b.body, path.c_str(), nullptr));
  EXPECT_EQ(1, h.documents);
  EXPECT_EQ("x\r\ny\r\nz", ModelText(h.model));
  // A failed load keeps the document and tells nothing.
  EXPECT_FALSE(EditBody_Load(b.body, (folder / "missing.txt").c_str(), nullptr));
  EXPECT_EQ(1, h.documents);
  TextDataProperty prop = EditBody_LayoutProp(b.body);
  TextData* text = TextData_Create(&prop);
  ASSERT_TRUE(TextData_Append(text, "adopted\r\n", 9, nullptr));
  ASSERT_TRUE(EditBody_AdoptText(b.body, text));
  EXPECT_EQ(2, h.documents);
  EXPECT_EQ("adopted\r\n", ModelText(h.model));
  EXPECT_FALSE(EditBody_GetModified(b.body));
  EXPECT_FALSE(EditBody_CanUndo(b.body));
  ASSERT_TRUE(EditBody_Load(b.body, nullptr, nullptr));
  EXPECT_EQ(3, h.documents);
  EXPECT_EQ("", ModelText(h.model));
}

TEST(EditWatch, AdoptingIsRefusedWhileReadOnlyAndLaysTheTextOut) {
  Body b(TestInfo(true, 4));
  TextDataProperty unwrapped = {0, 100, 8};
  TextData* text = TextData_Create(&unwrapped);
  ASSERT_TRUE(TextData_Append(text, "abcdefghij", 10, nullptr));
  EditBody_SetReadOnly(b.body, true);
  EXPECT_FALSE(EditBody_AdoptText(b.body, text));
  EditBody_SetReadOnly(b.body, false);
  ASSERT_TRUE(EditBody_AdoptText(b.body, text));
  Body typed(TestInfo(true, 4));
  typed.Type("abcdefghij");
  EXPECT_LT(1, TextData_GetHeight(b.body->text));  // wrapped at four columns
  EXPECT_EQ(TextData_GetHeight(typed.body->text), TextData_GetHeight(b.body->text));
  EXPECT_TRUE(TextData_CheckDeep(b.body->text));
}

// Thousands of random steps of every kind: the model the watcher built is
// the document after each of them.
TEST(EditWatch, ARandomSessionReplaysToTheDocument) {
  searchtest::Rng rng = {77};
  Body b;
  Heard h;
  Watch(&b, &h);
  const char* inserts[] = {"a", "\r\n", "\n", "\r", "表\r\nソ", "", "x\n\ry", "\0", "東京東京", "\x83"};
  for (int step = 0; step < 3000; ++step) {
    const uint32_t kind = rng.Below(10);
    if (kind < 5) {
      const TextRange r = TextRange_Order(RandomPosition(&rng, b.body->text), RandomPosition(&rng, b.body->text));
      const std::string text = inserts[rng.Below(10)];
      const int32_t n = text.empty() && rng.Below(2) ? 1 : static_cast<int32_t>(text.size());
      EditBody_ReplaceRange(b.body, r, n == 1 && text.empty() ? "\0" : text.data(), n, true, nullptr);
    } else if (kind < 7) {
      EditBody_Undo(b.body);
    } else if (kind < 9) {
      EditBody_Redo(b.body);
    } else {
      int32_t count = 0;
      int32_t status = 0;
      Search_ReplaceAll(b.body, "ab", 2, rng.Below(2) ? "a" : "\n", 1, 0, &count, &status);
    }
    ASSERT_EQ(b.Text(), ModelText(h.model)) << step;
  }
  EXPECT_TRUE(h.endsAgree);
  EXPECT_GT(h.replaces, 2000);
}

}  // namespace
