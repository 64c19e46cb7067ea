#include "editctrl/plainmatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editctrl/charsync.h"
#include "editctrl/searcher.h"
#include "editctrl/searchtest.h"
#include "tools/memory.h"

namespace {

using searchtest::kNone;
using searchtest::Rng;
using searchtest::Span;

std::string Hex(const std::string& s) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    out += digits[c >> 4];
    out += digits[c & 15];
    out += ' ';
  }
  return out;
}

TEST(CharSync, AgreesWithSteppingFromTheLineStartBothWays) {
  Rng rng = {7};
  for (int round = 0; round < 400; ++round) {
    const std::string line = searchtest::RandomText(&rng, 1 + static_cast<int32_t>(rng.Below(40)));
    const std::vector<bool> starts = searchtest::Starts(line);
    const int32_t n = static_cast<int32_t>(line.size());
    std::vector<int32_t> floors = {0};
    for (int32_t i = 1; i <= n; ++i) {
      if (starts[i] && rng.Below(4) == 0) floors.push_back(i);
    }
    for (int32_t floor : floors) {
      CharSync forward;
      CharSync_Init(&forward, line.c_str(), n, floor);
      for (int32_t pos = floor; pos <= n; ++pos) {
        ASSERT_EQ(starts[pos], CharSync_IsStart(&forward, pos)) << Hex(line) << " floor " << floor << " at " << pos;
      }
      CharSync backward;
      CharSync_Init(&backward, line.c_str(), n, floor);
      int32_t expected = n;  // stepping forward from the floor collects the starts to walk back over
      std::vector<int32_t> order;
      for (int32_t i = floor; i < n; i += searchtest::CharLen(line, static_cast<size_t>(i))) order.push_back(i);
      for (size_t k = order.size(); k-- > 0;) {
        ASSERT_EQ(order[k], CharSync_Prev(&backward, expected)) << Hex(line) << " floor " << floor;
        expected = order[k];
      }
      EXPECT_EQ(floor, CharSync_Prev(&backward, floor));
    }
  }
}

// A long run of lead-byte values (東京 is 93 8C 8B 9E) is read once, not once per question.
TEST(CharSync, LongRunsOfLeadByteValuesCostOneWalk) {
  std::string line;
  for (int i = 0; i < 200000; ++i) line += "東京";
  line += "x";
  const int32_t n = static_cast<int32_t>(line.size());
  CharSync sync;
  CharSync_Init(&sync, line.c_str(), n, 0);
  int32_t starts = 0;
  for (int32_t pos = n; pos > 0; pos = CharSync_Prev(&sync, pos)) ++starts;
  EXPECT_EQ(400001, starts);
  CharSync_Init(&sync, line.c_str(), n, 0);
  int32_t odd = 0;
  for (int32_t pos = 1; pos <= n; pos += 2) odd += CharSync_IsStart(&sync, pos) ? 1 : 0;
  EXPECT_EQ(1, odd);  // only the end, behind the "x"
}

// The fast scans of all four plain variants against the position-by-position
// reference, on lines full of lead bytes, trail bytes equal to ASCII, NULs and
// lone lead bytes, with patterns cut from the line (also mid-character) and
// made up, under every combination of the two folding options.
TEST(PlainMatch, FastScansAgreeWithTheReference) {
  Rng rng = {2024};
  const uint32_t optionSets[] = {0, SF_IGNORECASE, SF_IGNOREWIDTH, SF_IGNORECASE | SF_IGNOREWIDTH};
  int64_t found = 0;
  for (int round = 0; round < 3000; ++round) {
    // Up to 60 bytes: lines of one, two and three vector blocks, and their tails.
    const std::string line = searchtest::RandomText(&rng, static_cast<int32_t>(rng.Below(60)));
    std::string pattern;
    if (!line.empty() && rng.Below(3) != 0) {
      const size_t at = rng.Below(static_cast<uint32_t>(line.size()));
      pattern = line.substr(at, 1 + rng.Below(6));
    } else {
      pattern = searchtest::RandomText(&rng, 1 + static_cast<int32_t>(rng.Below(3)));
    }
    const std::vector<bool> starts = searchtest::Starts(line);
    const int32_t n = static_cast<int32_t>(line.size());
    for (uint32_t options : optionSets) {
      for (uint32_t words : {0u, static_cast<uint32_t>(SF_WHOLEWORD)}) {
        Searcher* fwd = Searcher_Create(pattern.data(), static_cast<int32_t>(pattern.size()), options | words, true);
        Searcher* back = Searcher_Create(pattern.data(), static_cast<int32_t>(pattern.size()), options | words, false);
        ASSERT_TRUE(fwd && back);
        for (int32_t offset = 0; offset <= n; ++offset) {
          if (!starts[offset]) continue;
          const Span want = searchtest::ReferenceForward(line, offset, pattern, options, words != 0);
          const char* got = Searcher_Find(fwd, line.c_str(), n, offset);
          const Span have = got ? Span{static_cast<int32_t>(got - line.c_str()),
                                       static_cast<int32_t>(fwd->pEnd - line.c_str())}
                                : kNone;
          ASSERT_EQ(want, have) << "forward line " << Hex(line) << " pattern " << Hex(pattern) << " options "
                                << (options | words) << " offset " << offset << " want " << want.start << ","
                                << want.end << " have " << have.start << "," << have.end;
          const Span wantBack = searchtest::ReferenceBackward(line, offset, pattern, options, words != 0);
          got = Searcher_Find(back, line.c_str(), n, offset);
          const Span haveBack = got ? Span{static_cast<int32_t>(got - line.c_str()),
                                           static_cast<int32_t>(back->pEnd - line.c_str())}
                                    : kNone;
          ASSERT_EQ(wantBack, haveBack) << "backward line " << Hex(line) << " pattern " << Hex(pattern)
                                        << " options " << (options | words) << " offset " << offset << " want "
                                        << wantBack.start << "," << wantBack.end << " have " << haveBack.start
                                        << "," << haveBack.end;
          found += want.start >= 0 ? 1 : 0;
        }
        Searcher_Free(fwd);
        Searcher_Free(back);
      }
    }
  }
  EXPECT_GT(found, 10000);  // the lines do hold matches, so agreeing means something
}

TEST(PlainMatch, ALoneLeadByteAtThePatternEndStaysAlone) {
  const std::string lead(1, '\x83');
  const std::string line = "xア" + std::string("x") + lead;  // 78 83 41 78 83
  PlainPattern pattern;
  ASSERT_TRUE(PlainPattern_Init(&pattern, ("x" + lead).data(), 2, 0));
  CharSync sync;
  CharSync_Init(&sync, line.c_str(), static_cast<int32_t>(line.size()), 0);
  int32_t start = 0;
  int32_t end = 0;
  ASSERT_TRUE(PlainPattern_FindForward(&pattern, &sync, 0, &start, &end));
  EXPECT_EQ(3, start);  // not at 0, where 83 is the lead of ア
  EXPECT_EQ(5, end);
  PlainPattern_Release(&pattern);
}

TEST(PlainMatch, APatternWithNulBytesIsMatchedByItsLength) {
  const std::string line("a\0b\0c", 5);
  PlainPattern pattern;
  ASSERT_TRUE(PlainPattern_Init(&pattern, "b\0c", 3, 0));
  CharSync sync;
  CharSync_Init(&sync, line.data(), 5, 0);
  int32_t start = 0;
  int32_t end = 0;
  ASSERT_TRUE(PlainPattern_FindForward(&pattern, &sync, 0, &start, &end));
  EXPECT_EQ(2, start);
  EXPECT_EQ(5, end);
  PlainPattern_Release(&pattern);
}

TEST(PlainMatch, ACopyThatCannotBeMadeIsAFalseResult) {
  PlainPattern pattern;
  Mem_FailAfter(0);
  const bool made = PlainPattern_Init(&pattern, "abc", 3, 0);
  Mem_ClearFault();
  EXPECT_FALSE(made);
}

}  // namespace
