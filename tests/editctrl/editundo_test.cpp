#include "editctrl/editundo.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editctrl/bodyfixture.h"
#include "tools/memory.h"

namespace {

int32_t UndoDepth(const Body& b) { return EditAllocator_Depth(b.body->allocator->pUndo); }
int32_t RedoDepth(const Body& b) { return EditAllocator_Depth(b.body->allocator->pRedo); }

TEST(EditUndo, UndoAndRedoOfOneLetterFollowTheModifiedFlag) {
  Body b;
  b.Type("q");
  EXPECT_TRUE(EditBody_GetModified(b.body));
  ASSERT_TRUE(EditBody_Undo(b.body));
  EXPECT_EQ("", b.Text());
  EXPECT_FALSE(EditBody_GetModified(b.body));
  EXPECT_EQ(1, RedoDepth(b));
  EXPECT_EQ(0, UndoDepth(b));
  ASSERT_TRUE(EditBody_Redo(b.body));
  EXPECT_EQ("q", b.Text());
  EXPECT_TRUE(EditBody_GetModified(b.body));
  EXPECT_EQ(Pt(1, 0), b.body->ptCaret);
  EXPECT_FALSE(EditBody_Redo(b.body));  // nothing left to redo
}

TEST(EditUndo, UndoPastTheSavedStateMarksModifiedAndRedoCleansIt) {
  Body b;
  b.Type("a");
  b.Type("b");
  EditBody_SetModified(b.body, false);  // saved
  ASSERT_TRUE(EditBody_Undo(b.body));
  EXPECT_TRUE(EditBody_GetModified(b.body));
  ASSERT_TRUE(EditBody_Redo(b.body));
  EXPECT_FALSE(EditBody_GetModified(b.body));
  EXPECT_EQ("ab", b.Text());
}

TEST(EditUndo, UndoRestoresADeletedLineEndAsCrLf) {
  Body b;
  b.Type("ab\ncd");
  EditBody_Reset(b.body);
  EXPECT_EQ("\n", std::string(Line_GetCrlf(TextData_Lookup(b.body->text, 0, nullptr))));
  b.Select(Pt(2, 0), Pt(0, 1));
  b.Type("");
  EXPECT_EQ("abcd", b.Text());
  ASSERT_TRUE(EditBody_Undo(b.body));
  EXPECT_EQ("ab\r\ncd", b.Text());
  EXPECT_EQ("\r\n", std::string(Line_GetCrlf(TextData_Lookup(b.body->text, 0, nullptr))));
  EXPECT_EQ(Pt(0, 1), b.body->ptCaret);  // behind the restored text
  EXPECT_EQ(Pt(0, 1), b.body->ptSelect);
}

// Undoing new lines typed at the end gives the last line back without a line
// end: the joined line takes the line end of the line it was joined to.
TEST(EditUndo, UndoOfNewLinesGivesBackTheLineEndsThereWere) {
  for (bool asOne : {false, true}) {
    Body b;
    b.Type("ab");
    if (asOne) {
      b.Type("\nc");
    } else {
      b.Type("\n");
      b.Type("c");
      ASSERT_TRUE(EditBody_Undo(b.body));
    }
    ASSERT_TRUE(EditBody_Undo(b.body));
    EXPECT_EQ("ab", b.Text()) << asOne;
    EXPECT_EQ("", std::string(Line_GetCrlf(TextData_Lookup(b.body->text, 0, nullptr)))) << asOne;
    EXPECT_EQ(0, TextData_GetCharCode(b.body->text, TextData_EndOfDocument(b.body->text))) << asOne;
  }
  // Inside the document the line end after the insertion point comes back as it was.
  Body c;
  c.Type("one\rtwo\nthree");
  c.Select(Pt(1, 1), Pt(1, 1));
  c.Type("X\r\nY");
  ASSERT_TRUE(EditBody_Undo(c.body));
  EXPECT_EQ("\r", std::string(Line_GetCrlf(TextData_Lookup(c.body->text, 0, nullptr))));
  EXPECT_EQ("\n", std::string(Line_GetCrlf(TextData_Lookup(c.body->text, 1, nullptr))));
}

TEST(EditUndo, ANewEditEmptiesRedo) {
  Body b;
  b.Type("a");
  b.Type("b");
  ASSERT_TRUE(EditBody_Undo(b.body));
  EXPECT_TRUE(EditBody_CanRedo(b.body));
  b.Type("c");
  EXPECT_FALSE(EditBody_CanRedo(b.body));
  EXPECT_EQ("ac", b.Text());
  EXPECT_EQ(2, UndoDepth(b));
}

TEST(EditUndo, ReadOnlyRefusesEveryChange) {
  Body b;
  b.Type("abc");
  b.Type("d");
  ASSERT_TRUE(EditBody_Undo(b.body));
  EXPECT_FALSE(EditBody_SetReadOnly(b.body, true));  // it gives the flag it replaced
  EXPECT_TRUE(EditBody_GetReadOnly(b.body));
  b.Select(Pt(0, 0), Pt(2, 0));
  EXPECT_FALSE(EditBody_ReplaceSelection(b.body, "x", 1, true));
  EXPECT_FALSE(EditBody_Undo(b.body));
  EXPECT_FALSE(EditBody_Redo(b.body));
  EXPECT_FALSE(EditBody_RevertAll(b.body));
  EXPECT_EQ("abc", b.Text());
  EXPECT_EQ(1, UndoDepth(b));
  EXPECT_EQ(1, RedoDepth(b));
  EXPECT_EQ(Pt(2, 0), b.body->ptCaret);
  EXPECT_EQ(Pt(0, 0), b.body->ptSelect);
  EXPECT_TRUE(EditBody_SetReadOnly(b.body, false));
  EXPECT_TRUE(EditBody_RevertAll(b.body));
  EXPECT_EQ("", b.Text());
}

TEST(EditUndo, WithoutCollapseTheNewTextStaysSelected) {
  Body b;
  b.Type("hello world");
  b.Select(Pt(0, 0), Pt(5, 0));
  ASSERT_TRUE(EditBody_ReplaceSelection(b.body, "HELLO!", 6, false));
  EXPECT_EQ(Pt(0, 0), b.body->ptSelect);
  EXPECT_EQ(Pt(6, 0), b.body->ptCaret);
  // Made from its end, the anchor would be left where the old text ended.
  b.Select(Pt(12, 0), Pt(7, 0));
  ASSERT_TRUE(EditBody_ReplaceSelection(b.body, "w\r\n", 3, false));
  EXPECT_EQ("HELLO! w\r\n", b.Text());
  EXPECT_EQ(Pt(7, 0), b.body->ptSelect);
  EXPECT_EQ(Pt(0, 1), b.body->ptCaret);
}

TEST(EditUndo, TheCallbackGetsTheRowsBeforeAndAfter) {
  Body b(TestInfo(true, 10));
  b.Type("abcdefghijkl\r\nxyz\r\nlast");  // line 0 takes rows 0 and 1
  b.Select(Pt(1, 1), Pt(1, 1));
  int calls = b.log.calls;
  b.Type("12345678\r\n89");
  EXPECT_EQ(calls + 1, b.log.calls);
  EXPECT_EQ(Pt(1, 2), b.log.before.ptStart);
  EXPECT_EQ(Pt(3, 2), b.log.before.ptEnd);   // the end of the edited line, as it was
  EXPECT_EQ(Pt(1, 2), b.log.after.ptStart);
  EXPECT_EQ(Pt(4, 4), b.log.after.ptEnd);    // "x12345678" takes two rows; the edit now ends on row 4
  ASSERT_TRUE(EditBody_Undo(b.body));
  EXPECT_EQ(Pt(4, 4), b.log.before.ptEnd);
  EXPECT_EQ(Pt(3, 2), b.log.after.ptEnd);
}

// A lone lead byte put before other text forms one character with the byte
// behind it: the caret goes behind that character, never between its bytes.
TEST(EditUndo, TheCaretNeverStopsInsideACharacterAnEditFormed) {
  const std::string lead(1, '\x83');
  Body b;
  b.Type("AB");
  b.Select(Pt(0, 0), Pt(0, 0));
  b.Type(lead);  // 83 41 is "ア"
  EXPECT_EQ("アB", b.Text());
  EXPECT_EQ(Pt(2, 0), b.body->ptCaret);
  EXPECT_EQ(Pt(2, 0), b.body->ptSelect);
  ASSERT_TRUE(EditBody_Undo(b.body));
  EXPECT_EQ(Pt(0, 0), b.body->ptCaret);
  ASSERT_TRUE(EditBody_Redo(b.body));
  EXPECT_EQ(Pt(2, 0), b.body->ptCaret);

  // Without collapse the anchor stays at the start of the new text.
  b.Select(Pt(2, 0), Pt(2, 0));
  ASSERT_TRUE(EditBody_ReplaceSelection(b.body, ("x" + lead).c_str(), 2, false));
  EXPECT_EQ("アx" + lead + "B", b.Text());
  EXPECT_EQ(Pt(2, 0), b.body->ptSelect);
  EXPECT_EQ(Pt(5, 0), b.body->ptCaret);
  // A lone lead byte before the new text pairs with its first byte: the
  // anchor goes to the start of that character, so all the new text stays selected.
  Body e;
  e.Type("a" + lead);
  ASSERT_TRUE(EditBody_ReplaceRange(e.body, {{2, 0}, {2, 0}}, "Ab", 2, false, nullptr));
  EXPECT_EQ("aアb", e.Text());
  EXPECT_EQ(Pt(1, 0), e.body->ptSelect);
  EXPECT_EQ(Pt(4, 0), e.body->ptCaret);

  // Deleting the line end behind a lone lead byte joins it to the next line's first byte.
  Body c;
  c.Type(lead + "\r\nAB");
  c.Select(Pt(1, 0), Pt(0, 1));
  c.Type("");
  EXPECT_EQ("アB", c.Text());
  EXPECT_EQ(Pt(2, 0), c.body->ptCaret);
  ASSERT_TRUE(EditBody_Undo(c.body));  // the undo puts the line end back between the two bytes
  EXPECT_EQ(lead + "\r\nAB", c.Text());
  EXPECT_EQ(Pt(0, 1), c.body->ptCaret);

  // A position between the two bytes of a character is no place for an edit.
  Body d;
  d.Type("表x");
  EXPECT_FALSE(EditBody_ReplaceRange(d.body, {{1, 0}, {1, 0}}, "y", 1, true, nullptr));
  EXPECT_FALSE(EditBody_ReplaceRange(d.body, {{0, 0}, {1, 0}}, "y", 1, true, nullptr));
  EXPECT_EQ("表x", d.Text());
}

// Steps made after a mark go back together, and everything with them.
TEST(EditUndoMark, RollBackPutsEverythingBack) {
  Body b;
  b.Type("one");
  b.Type(" two");
  ASSERT_TRUE(EditBody_Undo(b.body));  // " two" waits on redo
  EditBody_SetModified(b.body, false);
  b.Select(Pt(1, 0), Pt(3, 0));
  const int32_t lastId = b.body->allocator->nLastId;
  const EditRecord* top = b.body->allocator->pUndo;
  EditMark mark;
  EditBody_Mark(b.body, &mark);
  POINT end;
  ASSERT_TRUE(EditBody_ReplaceRange(b.body, {{0, 0}, {1, 0}}, "O", 1, true, &end));
  ASSERT_TRUE(EditBody_ReplaceRange(b.body, {{3, 0}, {3, 0}}, "\r\nline", 6, true, &end));
  EXPECT_EQ(2, EditBody_StepsSince(b.body, &mark));
  EXPECT_TRUE(EditBody_GetModified(b.body));
  ASSERT_TRUE(EditBody_RollBack(b.body, &mark));
  EXPECT_EQ("one", b.Text());
  EXPECT_EQ(top, b.body->allocator->pUndo);
  EXPECT_EQ(1, RedoDepth(b));
  EXPECT_FALSE(EditBody_GetModified(b.body));
  EXPECT_EQ(Pt(1, 0), b.body->ptSelect);
  EXPECT_EQ(Pt(3, 0), b.body->ptCaret);
  EXPECT_EQ(lastId, b.body->allocator->nLastId);
  ASSERT_TRUE(EditBody_Redo(b.body));  // the redo step set aside still applies
  EXPECT_EQ("one two", b.Text());
  EXPECT_TRUE(EditBody_GetModified(b.body));
}

TEST(EditUndoMark, CommitKeepsTheStepsAndRedoOnlyWhenNothingChanged) {
  Body b;
  b.Type("ab");
  ASSERT_TRUE(EditBody_Undo(b.body));
  EditMark mark;
  EditBody_Mark(b.body, &mark);
  EditBody_Commit(b.body, &mark);  // nothing was done: redo is as it was
  EXPECT_EQ(1, RedoDepth(b));
  EditBody_Mark(b.body, &mark);
  b.Type("x");
  b.Type("y");
  EditBody_Commit(b.body, &mark);
  EXPECT_EQ(0, RedoDepth(b));
  EXPECT_EQ(2, UndoDepth(b));
  ASSERT_TRUE(EditBody_Undo(b.body));
  EXPECT_EQ("x", b.Text());
}

// When even taking back runs out of memory, the steps left stay undoable.
TEST(EditUndoMark, ARollBackWithoutMemoryLeavesUndoableSteps) {
  Body b;
  b.Type("base");
  ASSERT_TRUE(EditBody_Undo(b.body));
  ASSERT_TRUE(EditBody_Redo(b.body));
  b.Type("x");
  ASSERT_TRUE(EditBody_Undo(b.body));  // "x" on redo
  EditMark mark;
  EditBody_Mark(b.body, &mark);
  for (int i = 0; i < 3; ++i) b.Type("-");
  Mem_FailAfter(0);
  EXPECT_FALSE(EditBody_RollBack(b.body, &mark));
  Mem_ClearFault();
  EXPECT_EQ(3, EditBody_StepsSince(b.body, &mark));
  EXPECT_EQ(0, RedoDepth(b));  // the document changed: the redo steps no longer apply
  EXPECT_TRUE(EditBody_RevertAll(b.body));
  EXPECT_EQ("", b.Text());
}

TEST(EditUndo, IdsWrapModuloTheLargestPositiveNumber) {
  Body b;
  b.body->allocator->nLastId = kEditIdModulus - 2;
  TextRange at = {{0, 0}, {0, 0}};
  EditRecord* r1 = EditRecord_Make(b.body->allocator, at, "x", 1);
  EditRecord* r2 = EditRecord_Make(b.body->allocator, at, "x", 1);
  EditRecord* r3 = EditRecord_Make(b.body->allocator, at, nullptr, 0);
  ASSERT_TRUE(r1 && r2 && r3);
  EXPECT_EQ(kEditIdModulus - 1, r1->id);
  EXPECT_EQ(0, r2->id);
  EXPECT_EQ(1, r3->id);
  EXPECT_EQ(nullptr, r3->string);
  EditRecord_Release(b.body->allocator, r1);
  EditRecord_Release(b.body->allocator, r2);
  EditRecord_Release(b.body->allocator, r3);
  EXPECT_EQ(3, EditAllocator_Depth(b.body->allocator->pFree));
  b.Type("a");  // the record and its inverse come from the pool; the record goes back
  EXPECT_EQ(2, EditAllocator_Depth(b.body->allocator->pFree));
  EXPECT_EQ(2, b.body->allocator->pUndo->id);
  b.body->allocator->nLastId = kEditIdModulus - 1;  // the flag works across the wrap
  b.Type("b");
  EXPECT_EQ(0, b.body->allocator->pUndo->id);
  EditBody_SetModified(b.body, false);
  ASSERT_TRUE(EditBody_Undo(b.body));
  EXPECT_TRUE(EditBody_GetModified(b.body));
  ASSERT_TRUE(EditBody_Redo(b.body));
  EXPECT_FALSE(EditBody_GetModified(b.body));
}

TEST(EditUndo, ReplaceRangeRefusesWhatItCannotApply) {
  Body b;
  b.Type("ab\r\ncd");
  EXPECT_FALSE(EditBody_ReplaceRange(b.body, {{0, 0}, {5, 0}}, "x", 1, true, nullptr));
  EXPECT_FALSE(EditBody_ReplaceRange(b.body, {{0, 0}, {0, 2}}, "x", 1, true, nullptr));
  EXPECT_FALSE(EditBody_ReplaceRange(b.body, {{-1, 0}, {0, 0}}, "x", 1, true, nullptr));
  POINT end = {};
  EXPECT_TRUE(EditBody_ReplaceRange(b.body, {{1, 1}, {1, 0}}, "-", 1, true, &end));  // either order
  EXPECT_EQ("a-d", b.Text());
  EXPECT_EQ(Pt(2, 0), end);
  EXPECT_FALSE(EditBody_ReplaceRange(b.body, {{0, 0}, {0, 0}}, nullptr, 3, true, nullptr));  // no bytes to copy
  EXPECT_FALSE(EditBody_ReplaceRange(b.body, {{0, 0}, {0, 0}}, "x", -1, true, nullptr));
  EXPECT_EQ("a-d", b.Text());
  EXPECT_EQ(2, UndoDepth(b));  // the typing and the one accepted replacement
}

// What must not move when an edit is refused.
struct Snapshot {
  std::string text;
  int32_t undo, redo;
  POINT caret, anchor;
  bool modified;
};

Snapshot Take(Body& b) {
  return {b.Text(), UndoDepth(b), RedoDepth(b), b.body->ptCaret, b.body->ptSelect, EditBody_GetModified(b.body)};
}

void ExpectSame(const Snapshot& a, const Snapshot& z) {
  EXPECT_EQ(a.text, z.text);
  EXPECT_EQ(a.undo, z.undo);
  EXPECT_EQ(a.redo, z.redo);
  EXPECT_EQ(a.caret, z.caret);
  EXPECT_EQ(a.anchor, z.anchor);
  EXPECT_EQ(a.modified, z.modified);
}

// Allocations fail from the k-th on. A replacement that shrinks the line needs
// no memory of the document, so only the inverse's copy of the replaced text can
// refuse it there.
TEST(EditUndo, AnEditThatCannotRecordWhatItReplacesIsRefusedWhole) {
  const std::string big(5000, 'z');
  const std::string replacements[] = {"x", "new\r\ntext"};
  for (const std::string& with : replacements) {
    int refused = 0;
    for (long k = 0; k < 12; ++k) {
      SCOPED_TRACE(testing::Message() << with << " " << k);
      Body b;
      b.Type(big + "\r\n" + big);
      b.Type("tail");
      ASSERT_TRUE(EditBody_Undo(b.body));  // something on redo, which a refused edit must keep
      b.Select(Pt(10, 0), Pt(20, 1));
      Snapshot before = Take(b);
      int calls = b.log.calls;
      Mem_FailAfter(k);
      bool done = EditBody_ReplaceSelection(b.body, with.data(), static_cast<int32_t>(with.size()), true);
      Mem_ClearFault();
      if (!done) {
        ++refused;
        ExpectSame(before, Take(b));
        EXPECT_EQ(calls, b.log.calls);  // nothing to repaint
        continue;
      }
      EXPECT_EQ(big.substr(0, 10) + with + big.substr(20), b.Text());
      EXPECT_EQ(0, RedoDepth(b));
      ASSERT_TRUE(EditBody_Undo(b.body));  // the inverse holds all 5 012 replaced bytes
      EXPECT_EQ(before.text, b.Text());
    }
    EXPECT_GE(refused, 2);  // at least the record's copy and the inverse's copy
    EXPECT_LT(refused, 12);
  }
}

TEST(EditUndo, AStepThatCannotBeAppliedStaysOnItsStack) {
  for (long k = 0; k < 8; ++k) {
    SCOPED_TRACE(k);
    Body b;
    b.Type("first line\r\n");
    b.Select(Pt(0, 0), Pt(5, 0));
    b.Type("");
    Snapshot before = Take(b);
    Mem_FailAfter(k);
    bool undone = EditBody_Undo(b.body);
    Mem_ClearFault();
    if (!undone) {
      ExpectSame(before, Take(b));
      ASSERT_TRUE(EditBody_Undo(b.body));  // the step was kept and still works
    }
    EXPECT_EQ("first line\r\n", b.Text());
    Mem_FailAfter(k);
    bool redone = EditBody_Redo(b.body);
    Mem_ClearFault();
    if (!redone) {
      ASSERT_TRUE(EditBody_Redo(b.body));
    }
    EXPECT_EQ(" line\r\n", b.Text());
    EXPECT_TRUE(EditBody_RevertAll(b.body));
    EXPECT_EQ("", b.Text());
  }
}

// A random sequence of typing, deleting, line ends, pasted blocks, undo, redo and
// saves, checked after every step against the plain texts of every state.
std::string RandomInsert(std::mt19937* rng) {
  static const char* const kTyped[] = {"a", "Z", "0", " ", "\t", "あ", "漢", "ｶ", "　", "\r", "\n", "\r\n", "ー"};
  static const char* const kBlocks[] = {"", "line one\r\nline two\r\n", "x\ny\rz", "\r\n\r\n", "\n\r", "\tindent\r\n",
                                         "全角　スペース\r\n次の行", "ends with cr\r"};
  switch ((*rng)() % 4) {
    case 0:
      return "";  // a deletion
    case 1:
      return kBlocks[(*rng)() % (sizeof(kBlocks) / sizeof(kBlocks[0]))];
    default:
      return kTyped[(*rng)() % (sizeof(kTyped) / sizeof(kTyped[0]))];
  }
}

POINT RandomPosition(std::mt19937* rng, TextEditorBody* body) {
  int32_t y = static_cast<int32_t>((*rng)() % TextData_GetCount(body->text));
  LineData* line = TextData_Lookup(body->text, y, nullptr);
  int32_t x = static_cast<int32_t>((*rng)() % (Line_GetLength(line) + 1));
  return EditBody_ClampPosition(body, {x, y});  // onto a character start
}

// Mostly small selections near the caret, as typing and deleting make them.
void RandomSelection(std::mt19937* rng, Body* b) {
  unsigned kind = (*rng)() % 4;
  if (kind == 0) {
    b->Select(RandomPosition(rng, b->body), RandomPosition(rng, b->body));
  } else if (kind == 1) {
    POINT c = b->body->ptCaret;
    b->Select(EditBody_PrevChar(b->body, c), c);  // backspace
  } else {
    b->Select(b->body->ptCaret, b->body->ptCaret);
  }
}

void ExpectCallbackRows(Body* b, TextRange range, const DisplayRange& before) {
  EXPECT_EQ(before.ptStart, b->log.before.ptStart);
  EXPECT_EQ(before.ptEnd, b->log.before.ptEnd);
  EXPECT_EQ(EditBody_PosToDisplay(b->body, range.start), b->log.after.ptStart);
  POINT lineEnd = TextData_EndOfLine(b->body->text, b->body->ptCaret.y);
  EXPECT_EQ(EditBody_PosToDisplay(b->body, lineEnd), b->log.after.ptEnd);
}

// Where text inserted at start ends.
POINT ModelEnd(POINT start, const std::string& text) {
  const std::vector<ModelLine> runs = ModelSplit(text);
  if (runs.size() == 1) return {start.x + static_cast<LONG>(text.size()), start.y};
  return {static_cast<LONG>(runs.back().bytes.size()), start.y + static_cast<LONG>(runs.size()) - 1};
}

// The text as an undo record holds it: CR LF between its lines.
std::string Extracted(const std::string& text) {
  TextModel m;
  m.lines = ModelSplit(text);
  return ModelText(m);
}

// The plain model of the document, line ends included, and of its undo steps:
// undoing or redoing an edit puts back the other text as it was extracted, so
// only the line ends inside it come back as CR LF; every other line end is
// the one the document had.
struct UndoModel {
  struct Edit {
    POINT start;
    std::string now;    // the text the edit left
    std::string other;  // what undoing (redoing) it puts back
  };
  TextModel doc;
  std::vector<std::string> texts;  // the document's text after each step
  std::vector<Edit> edits = {Edit{}};
  size_t cur = 0;

  void Apply(Edit* e) {
    ModelReplace(&doc, e->start, ModelEnd(e->start, e->now), e->other);
    std::string put = e->other;
    e->other = Extracted(e->now);
    e->now = put;
  }
  void Undone() { Apply(&edits[cur--]); }
  void Redone() { Apply(&edits[++cur]); }
  void Edited(TextRange r, const std::string& s) {
    TextModel removed;
    removed.lines.assign(doc.lines.begin() + r.start.y, doc.lines.begin() + r.end.y + 1);
    removed.lines.back().bytes.resize(static_cast<size_t>(r.end.x));
    removed.lines.front().bytes.erase(0, static_cast<size_t>(r.start.x));
    ModelReplace(&doc, r.start, r.end, s);
    texts.resize(++cur);
    edits.resize(cur);
    texts.push_back(ModelText(doc));
    edits.push_back({r.start, s, ModelText(removed)});
  }
};

void RunRandomSequence(bool wrap, unsigned start) {
  std::mt19937 rng(start);
  Body b(TestInfo(wrap, 13, 4));
  const std::string typed = "原文の一行目\r\nsecond\nthird\rfourth\r\n";
  b.Type(typed);
  EditBody_Reset(b.body);
  UndoModel u;
  u.doc.lines = ModelSplit(typed);
  u.texts = {ModelText(u.doc)};
  size_t clean = 0;
  for (int step = 0; step < 4000; ++step) {
    unsigned op = rng() % 10;
    if (op == 0) {
      bool had = u.cur > 0;
      ASSERT_EQ(had, EditBody_Undo(b.body));
      if (had) u.Undone();
    } else if (op == 1) {
      bool had = u.cur + 1 < u.texts.size();
      ASSERT_EQ(had, EditBody_Redo(b.body));
      if (had) u.Redone();
    } else if (op == 2 && rng() % 8 == 0) {
      EditBody_SetModified(b.body, false);  // saved
      clean = u.cur;
    } else if (op == 3 && wrap && rng() % 16 == 0) {
      RECT rc = {0, 0, static_cast<LONG>(8 * (5 + rng() % 30)), 400};
      EditBody_SetRect(b.body, &rc);
    } else {
      RandomSelection(&rng, &b);
      TextRange range = EditBody_GetSelection(b.body);
      DisplayRange before = {EditBody_PosToDisplay(b.body, range.start),
                             EditBody_PosToDisplay(b.body, TextData_EndOfLine(b.body->text, range.end.y))};
      std::string s = RandomInsert(&rng);
      b.Type(s);
      if (clean != SIZE_MAX && clean > u.cur) clean = SIZE_MAX;  // the saved state can no longer be reached
      u.Edited(range, s);
      ExpectCallbackRows(&b, range, before);
    }
    ASSERT_EQ(u.texts[u.cur], b.Text()) << "step " << step;
    ASSERT_TRUE(SameAsModel(b.body->text, u.doc)) << "step " << step;
    ASSERT_EQ(u.cur != clean, EditBody_GetModified(b.body)) << "step " << step;
    if (step % 64 == 0) {
      ASSERT_TRUE(EditAllocator_CheckDeep(b.body->allocator));
    }
  }
  EditBody_SetModified(b.body, false);
  clean = u.cur;
  // Back to the start: the original text, and clean only if it was saved there.
  ASSERT_TRUE(EditBody_RevertAll(b.body));
  while (u.cur > 0) u.Undone();
  EXPECT_TRUE(SameAsModel(b.body->text, u.doc));
  EXPECT_EQ(u.texts[0], b.Text());
  EXPECT_FALSE(EditBody_CanUndo(b.body));
  EXPECT_EQ(clean != 0, EditBody_GetModified(b.body));
  while (EditBody_Redo(b.body)) u.Redone();
  EXPECT_TRUE(SameAsModel(b.body->text, u.doc));
  EXPECT_EQ(u.texts.back(), b.Text());
  EXPECT_EQ(u.texts.size() - 1 != clean, EditBody_GetModified(b.body));
}

TEST(EditUndo, RandomEditsMatchThePlainTextUnwrapped) { RunRandomSequence(false, 7); }

TEST(EditUndo, RandomEditsMatchThePlainTextWrapped) { RunRandomSequence(true, 8); }

TEST(EditUndo, RevertAllRestoresTheLoadedBytesAndCleansTheFlag) {
  std::mt19937 rng(99);
  Body b(TestInfo(true, 17));
  b.Type("loaded\r\n\ttext\r\nあいう");
  EditBody_Reset(b.body);
  const std::string original = b.Text();
  for (int i = 0; i < 3000; ++i) {
    RandomSelection(&rng, &b);
    b.Type(RandomInsert(&rng));
  }
  const std::string final = b.Text();
  ASSERT_NE(original, final);
  ASSERT_TRUE(EditBody_RevertAll(b.body));
  EXPECT_EQ(original, b.Text());
  EXPECT_FALSE(EditBody_GetModified(b.body));
  EXPECT_EQ(3000, RedoDepth(b));
  while (EditBody_Redo(b.body)) {
  }
  EXPECT_EQ(final, b.Text());
  EXPECT_TRUE(EditBody_GetModified(b.body));
}

}  // namespace
