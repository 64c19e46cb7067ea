// Saving and loading fail at every single file call in turn, on documents of
// several sizes: whatever call fails, the old file stays byte for byte, no new
// file is left behind, and the editor keeps its document, its steps and its
// modified flag.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "editctrl/bodyfixture.h"
#include "tools/faultfiles.h"
#include "tools/safesave.h"
#include "tools/testfiles.h"

namespace {

// Mixed lines: CR LF, lone CR and LF (saved as CR LF), Shift_JIS text, a NUL,
// 0x1A, and now and then a line longer than the save buffer.
std::string MakeText(size_t bytes) {
  std::string text;
  uint32_t state = 12345;
  while (text.size() < bytes) {
    state = state * 1103515245u + 12345u;
    switch ((state >> 16) % 8) {
      case 0: text += "\r\n"; break;
      case 1: text += "\n"; break;
      case 2: text += "漢字かなカナ"; break;
      case 3: text += std::string("\0\x1A", 2); break;
      case 4: if ((state >> 8) % 50 == 0) text += std::string(70000, 'L'); break;
      default: text += "plain ascii text "; break;
    }
  }
  return text;
}

// What saving the text writes: every line end as CR LF.
std::string Saved(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\r' || text[i] == '\n') {
      out += "\r\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

const size_t kSizes[] = {0, 5, 200 * 1000, 3 * 1000 * 1000};

struct Sweep {
  long points = 0;  // fault points covered
  long writes = 0;  // of them writes
};

// Saves body to target with call k failing, for every k of a whole save.
void SweepSave(Body* b, const TestFolder& folder, const std::string& target, const std::string* old,
               const std::string& expected, Sweep* sweep) {
  auto restore = [&] {
    std::remove(target.c_str());
    if (old) {
      ASSERT_TRUE(TestFile_Write(target, *old));
    }
  };
  restore();
  const std::vector<std::string> names = folder.Names();
  long total = 0;
  {
    FaultFiles count;
    ASSERT_EQ(TEXTFILE_OK, EditBody_Save(b->body, target.c_str()));
    total = count.Count();
    EXPECT_EQ(1, count.CountOf("flush"));
    EXPECT_EQ(1, count.CountOf("replace"));
    EXPECT_EQ(total - 5, count.CountOf("write"));  // besides: query, open, flush, close, replace
    EXPECT_GE(count.CountOf("write"), static_cast<long>(expected.size() / kSaveBufferSize));
    sweep->writes += count.CountOf("write");
  }
  ASSERT_EQ(expected, TestFile_Read(target));
  const std::string text = b->Text();
  const bool modified = EditBody_GetModified(b->body);
  for (long k = 0; k < total; ++k) {
    restore();
    FaultFiles faults(k);
    const TextFileStatus status = EditBody_Save(b->body, target.c_str());
    const std::string failed = faults.calls[static_cast<size_t>(k)];
    EXPECT_NE(TEXTFILE_OK, status) << "call " << k << " (" << failed << ")";
    EXPECT_TRUE(old ? TestFile_Read(target) == *old : TestFile_Read(target) == "<missing>")
        << "call " << k << " (" << failed << ") of " << total;
    EXPECT_EQ(names, folder.Names()) << "a new file was left behind when " << failed << " failed";
    ++sweep->points;
  }
  EXPECT_EQ(text, b->Text());
  EXPECT_EQ(modified, EditBody_GetModified(b->body));
}

TEST(FileFault, SavingFailsWholeAtEveryCall) {
  TestFolder folder;
  const std::string target = folder / "document.txt";
  const std::string old = "the file as it was\r\n" + MakeText(100000);
  Sweep sweep;
  for (size_t size : kSizes) {
    SCOPED_TRACE(size);
    Body b;
    const std::string text = MakeText(size);
    if (!text.empty()) b.Type(text);
    ASSERT_EQ(!text.empty(), EditBody_GetModified(b.body));
    SweepSave(&b, folder, target, &old, Saved(text), &sweep);
    SweepSave(&b, folder, target, nullptr, Saved(text), &sweep);  // a file not there yet
  }
  std::printf("save: %ld fault points covered, %ld of them writes\n", sweep.points, sweep.writes);
  EXPECT_GT(sweep.writes, 90);
}

TEST(FileFault, LoadingFailsWholeAtEveryCall) {
  TestFolder folder;
  const std::string path = folder / "document.txt";
  long points = 0;
  for (size_t size : kSizes) {
    SCOPED_TRACE(size);
    const std::string bytes = MakeText(size);
    ASSERT_TRUE(TestFile_Write(path, bytes));
    Body b;
    b.Type("the document before\r\n");
    long total = 0;
    {
      FaultFiles count;
      Body fresh;
      ASSERT_TRUE(EditBody_Load(fresh.body, path.c_str(), nullptr));
      EXPECT_EQ(Saved(bytes), Saved(fresh.Text()));
      total = count.Count();
      // Whole chunks, the rest, and the read that finds the end.
      EXPECT_EQ(static_cast<long>((bytes.size() + kTextLoadSlice - 1) / kTextLoadSlice) + 1, count.CountOf("read"));
    }
    for (long k = 0; k < total; ++k) {
      FaultFiles faults(k);
      TextFileStatus status = TEXTFILE_OK;
      EXPECT_FALSE(EditBody_Load(b.body, path.c_str(), &status)) << "call " << k;
      EXPECT_NE(TEXTFILE_OK, status);
      ++points;
    }
    EXPECT_EQ("the document before\r\n", b.Text());
    EXPECT_TRUE(EditBody_GetModified(b.body));
    EXPECT_TRUE(EditBody_CanUndo(b.body));
  }
  std::printf("load: %ld fault points covered\n", points);
}

}  // namespace
