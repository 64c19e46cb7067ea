// The recovery file's bytes: a header and records come back as written, and
// every cut and every flipped byte is seen.
#include "recovery/recoveryformat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recovery/recoveryqueue.h"
#include "editctrl/bodyfixture.h"
#include "tools/checksum.h"

namespace {

RecoveryHeader SampleHeader(const std::string& path) {
  RecoveryHeader h = {};
  h.nPid = 0x1234;
  h.nToken = 0x0123456789ABCDEFULL;
  h.nFlags = kRecoveryFlagSnapshot;
  h.base = {RECOVERYBASE_FILE, 5000000000LL, 133000000000000000LL, 7, 99, 0xFEEDFACECAFEBEEFULL};
  h.disk = {true, 5000000000LL, 133000000000000001LL};
  h.pPath = path.data();
  h.nPath = static_cast<int32_t>(path.size());
  return h;
}

std::string Encode(const RecoveryHeader& h) {
  std::vector<char> buffer(kRecoveryMaxHeader);
  const int32_t n = RecoveryFormat_EncodeHeader(&h, buffer.data());
  return std::string(buffer.data(), static_cast<size_t>(n));
}

RecoveryParse Decode(const std::string& bytes, RecoveryHeader* h) {
  int32_t size = -1;
  const RecoveryParse parse = RecoveryFormat_DecodeHeader(bytes.data(), static_cast<int64_t>(bytes.size()), h, &size);
  if (parse == RECOVERYPARSE_OK) {
    EXPECT_LE(size, static_cast<int32_t>(bytes.size()));
  }
  return parse;
}

TEST(RecoveryFormat, AHeaderComesBackAsWritten) {
  const std::string path = "C:\\文書\\表ソ.txt";  // second bytes that are backslashes
  const std::string bytes = Encode(SampleHeader(path));
  EXPECT_EQ(kRecoveryHeaderFixed + path.size() + 4, bytes.size());
  EXPECT_EQ(std::string("QWRC\r\n\x1A\n", 8), bytes.substr(0, 8));
  RecoveryHeader h = {};
  const std::string followed = bytes + "more";  // the path points into what was decoded
  ASSERT_EQ(RECOVERYPARSE_OK, Decode(followed, &h));
  EXPECT_EQ(0x1234u, h.nPid);
  EXPECT_EQ(0x0123456789ABCDEFULL, h.nToken);
  EXPECT_EQ(kRecoveryFlagSnapshot, h.nFlags);
  EXPECT_EQ(RECOVERYBASE_FILE, h.base.kind);
  EXPECT_EQ(5000000000LL, h.base.nSize);
  EXPECT_EQ(133000000000000000LL, h.base.nWriteTime);
  EXPECT_EQ(7, h.base.nCount);
  EXPECT_EQ(99, h.base.nLength);
  EXPECT_EQ(0xFEEDFACECAFEBEEFULL, h.base.nSample);
  EXPECT_TRUE(h.disk.bPresent);
  EXPECT_EQ(133000000000000001LL, h.disk.nWriteTime);
  EXPECT_EQ(path, std::string(h.pPath, static_cast<size_t>(h.nPath)));
  // Untitled: no path.
  RecoveryHeader untitled = SampleHeader("");
  untitled.pPath = nullptr;
  ASSERT_EQ(RECOVERYPARSE_OK, Decode(Encode(untitled), &h));
  EXPECT_EQ(0, h.nPath);
  EXPECT_EQ(nullptr, h.pPath);
}

TEST(RecoveryFormat, EveryCutAndEveryChangedByteOfAHeaderIsSeen) {
  const std::string bytes = Encode(SampleHeader("a.txt"));
  RecoveryHeader h;
  for (size_t n = 0; n < bytes.size(); ++n) {
    EXPECT_EQ(RECOVERYPARSE_SHORT, Decode(bytes.substr(0, n), &h)) << n;
  }
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::string changed = bytes;
    changed[i] = static_cast<char>(changed[i] ^ 0x40);
    EXPECT_NE(RECOVERYPARSE_OK, Decode(changed, &h)) << i;
  }
  EXPECT_EQ(RECOVERYPARSE_BAD, Decode("MZ\x90", &h));  // not a recovery file at all
}

// A header whose checksum is right but whose fields are impossible is refused,
// and so is another version.
TEST(RecoveryFormat, ImpossibleHeadersAreRefused) {
  const auto reseal = [](std::string* s) {
    RecoveryFormat_Put32(&(*s)[s->size() - 4], Crc32_Update(0, s->data(), s->size() - 4));
  };
  RecoveryHeader back;
  const struct {
    size_t offset;
    uint32_t value;
  } cases[] = {
      {8, kRecoveryVersion + 1},  // another version
      {28, 0x80},                 // unknown flags
      {32, 9},                    // a base of no kind
      {52, 0},                    // a file base of no lines
      {68, 2},                    // neither present nor absent
      {12, 500},                  // a size that is not the header's
      {88, 40000},                // a path longer than any
  };
  for (const auto& c : cases) {
    std::string bytes = Encode(SampleHeader("a.txt"));
    RecoveryFormat_Put32(&bytes[c.offset], c.value);
    reseal(&bytes);
    EXPECT_EQ(RECOVERYPARSE_BAD, Decode(bytes, &back)) << c.offset;
  }
  RecoveryHeader h = SampleHeader("a.txt");
  h.nFlags = 0x80;
  EXPECT_FALSE(IsValidRecoveryHeader(&h));
}

std::string Records(void (*fill)(RecoveryQueue*)) {
  RecoveryQueue q;
  RecoveryQueue_Init(&q, 0);
  fill(&q);
  const char* data = nullptr;
  const size_t n = RecoveryQueue_Peek(&q, SIZE_MAX, &data);
  std::string bytes(data, n);
  RecoveryQueue_Free(&q);
  return bytes;
}

void FillSome(RecoveryQueue* q) {
  RecoveryQueue_AddEdit(q, {{1, 2}, {3, 4}}, "表\r\n\0x", 6);
  RecoveryQueue_AddState(q, {5, 6}, 70, 8);
  RecoveryQueue_AddDone(q, 70, 8);
  RecoveryQueue_AddEdit(q, {{0, 0}, {0, 0}}, nullptr, 0);
}

TEST(RecoveryFormat, RecordsComeBackAsQueued) {
  const std::string bytes = Records(FillSome);
  std::vector<RecoveryRecord> records;
  size_t at = 0;
  while (at < bytes.size()) {
    RecoveryRecord r;
    int32_t size = 0;
    ASSERT_EQ(RECOVERYPARSE_OK,
              RecoveryFormat_ParseRecord(bytes.data() + at, static_cast<int64_t>(bytes.size() - at), &r, &size));
    records.push_back(r);
    at += static_cast<size_t>(size);
  }
  ASSERT_EQ(4u, records.size());
  for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(i, records[i].nSeq);
  RecoveryEdit edit;
  ASSERT_TRUE(RecoveryFormat_DecodeEdit(&records[0], &edit));
  EXPECT_EQ(Pt(1, 2), edit.range.start);
  EXPECT_EQ(Pt(3, 4), edit.range.end);
  EXPECT_EQ(6, edit.nText);
  EXPECT_EQ(std::string("表\r\n\0x", 6), std::string(records[0].pPayload + kEditFixed, 6));
  RecoveryState state;
  ASSERT_TRUE(RecoveryFormat_DecodeState(&records[1], &state));
  EXPECT_EQ(Pt(5, 6), state.ptCaret);
  EXPECT_EQ(70, state.nLength);
  EXPECT_EQ(8, state.nCount);
  int32_t length = 0, count = 0;
  ASSERT_TRUE(RecoveryFormat_DecodeDone(&records[2], &length, &count));
  EXPECT_EQ(70, length);
  // Each decoder takes only its own kind.
  EXPECT_FALSE(RecoveryFormat_DecodeEdit(&records[1], &edit));
  EXPECT_FALSE(RecoveryFormat_DecodeState(&records[0], &state));
  EXPECT_FALSE(RecoveryFormat_DecodeDone(&records[1], &length, &count));
  ASSERT_TRUE(RecoveryFormat_DecodeEdit(&records[3], &edit));
  EXPECT_EQ(0, edit.nText);
}

TEST(RecoveryFormat, EveryCutAndEveryChangedByteOfARecordIsSeen) {
  const std::string bytes = Records([](RecoveryQueue* q) { RecoveryQueue_AddEdit(q, {{0, 0}, {2, 0}}, "xyz", 3); });
  RecoveryRecord r;
  int32_t size;
  for (size_t n = 0; n < bytes.size(); ++n) {
    EXPECT_EQ(RECOVERYPARSE_SHORT, RecoveryFormat_ParseRecord(bytes.data(), static_cast<int64_t>(n), &r, &size));
  }
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::string changed = bytes;
    changed[i] = static_cast<char>(changed[i] ^ 0x01);
    const RecoveryParse parse =
        RecoveryFormat_ParseRecord(changed.data(), static_cast<int64_t>(changed.size()), &r, &size);
    // A changed size may make the record look longer than the bytes: cut, not whole.
    EXPECT_NE(RECOVERYPARSE_OK, parse) << i;
  }
}

// Edits whose fields are impossible are refused even with a good checksum.
TEST(RecoveryFormat, ImpossibleEditsAreRefused) {
  const struct {
    TextRange range;
    int32_t nText;
  } cases[] = {
      {{{-1, 0}, {0, 0}}, 0},
      {{{0, 0}, {0, -3}}, 0},
      {{{5, 1}, {0, 1}}, 0},  // out of order
      {{{0, 0}, {0, 0}}, 2},  // says two bytes, holds three
  };
  for (const auto& c : cases) {
    char payload[kEditFixed + 3] = {};
    const int32_t fields[] = {c.range.start.x, c.range.start.y, c.range.end.x, c.range.end.y, c.nText};
    for (int i = 0; i < 5; ++i) RecoveryFormat_Put32(payload + 4 * i, static_cast<uint32_t>(fields[i]));
    const RecoveryRecord record = {RECOVERYREC_EDIT, 0, payload, kEditFixed + 3};
    RecoveryEdit edit;
    EXPECT_FALSE(RecoveryFormat_DecodeEdit(&record, &edit)) << c.range.start.x << " " << c.nText;
  }
}

}  // namespace
