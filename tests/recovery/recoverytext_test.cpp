#include "recovery/recoverytext.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Asked {
  RecoveryQuestion question;
  std::string text;
  bool remove;
};

Asked Ask(RecoverStatus status, const char* path, bool changed, int32_t size = 1024) {
  RecoveredDocument doc = {};
  doc.status = status;
  doc.pPath = const_cast<char*>(path);
  doc.bDiskChanged = changed;
  std::string buffer(static_cast<size_t>(size), '\x7F');
  Asked a;
  a.question = RecoveryText_Question(&doc, "無題.txt", &buffer[0], size, &a.remove);
  a.text = buffer.c_str();
  return a;
}

bool Has(const Asked& a, const char* part) { return a.text.find(part) != std::string::npos; }

TEST(RecoveryText, TheQuestionNamesTheDocumentAndWhatBefellIt) {
  Asked a = Ask(RECOVER_WHOLE, "C:\\文書\\表.txt", false);
  EXPECT_EQ(RECOVERYQ_RESTORE, a.question);
  EXPECT_EQ("前回、保存されずに終了した文書があります。復元しますか？\r\n\r\nC:\\文書\\表.txt", a.text);
  EXPECT_TRUE(a.remove);
  a = Ask(RECOVER_WHOLE, nullptr, true);  // untitled: no file to have changed
  EXPECT_EQ("前回、保存されずに終了した文書があります。復元しますか？\r\n\r\n無題.txt", a.text);
  a = Ask(RECOVER_PARTIAL, "a.txt", true);
  EXPECT_EQ(RECOVERYQ_RESTORE, a.question);
  EXPECT_TRUE(Has(a, "終わりが壊れていた"));
  EXPECT_TRUE(Has(a, "変更されたか、削除されています"));
}

TEST(RecoveryText, WhatCannotBeRestoredIsOnlyTold) {
  const struct {
    RecoverStatus status;
    const char* part;
    bool remove;
  } cases[] = {
      {RECOVER_DAMAGED, "壊れているため復元できません", true},
      {RECOVER_BASE_CHANGED, "元のファイルがその後変更された", true},
      {RECOVER_READ_FAILED, "読み込めませんでした", false},
      {RECOVER_OPEN_FAILED, "読み込めませんでした", false},
      {RECOVER_NO_MEMORY, "読み込めませんでした", false},
  };
  for (const auto& c : cases) {
    const Asked a = Ask(c.status, "a.txt", false);
    EXPECT_EQ(RECOVERYQ_TELL, a.question) << c.status;
    EXPECT_TRUE(Has(a, c.part)) << c.status;
    EXPECT_TRUE(Has(a, "a.txt")) << c.status;
    EXPECT_EQ(c.remove, a.remove) << c.status;
  }
  const Asked live = Ask(RECOVER_NOT_OURS, "a.txt", false);
  EXPECT_EQ(RECOVERYQ_NONE, live.question);
  EXPECT_FALSE(live.remove);
}

// A path that ends on a lone lead byte is cut before it: the text neither ends
// on half a character nor pairs it with the line end behind it.
TEST(RecoveryText, APathEndingOnALeadByteIsCutBeforeIt) {
  const std::string ask = "前回、保存されずに終了した文書があります。復元しますか？\r\n\r\n";
  EXPECT_EQ(ask + "C:\\a", Ask(RECOVER_WHOLE, "C:\\a\x81", false).text);
  EXPECT_EQ(0u, Ask(RECOVER_PARTIAL, "C:\\表\xFC", true).text.find(ask + "C:\\表\r\n\r\n復元用"));
  const std::string told = Ask(RECOVER_DAMAGED, "C:\\a\x9F", false).text;
  const std::string tail = "\r\n\r\nC:\\a";
  EXPECT_EQ(tail, told.substr(told.size() - tail.size()));
}

// A path longer than a path may be cannot stay the document's: the question
// says it comes back untitled, and the file's change on disk does not matter.
TEST(RecoveryText, APathTooLongIsSaidToComeBackUntitled) {
  const std::string path = "C:\\" + std::string(260, 'n');
  RecoveredDocument doc = {};
  doc.pPath = const_cast<char*>(path.c_str());
  EXPECT_EQ(nullptr, RecoveryText_KeptPath(&doc));
  const Asked a = Ask(RECOVER_WHOLE, path.c_str(), true, 2048);
  EXPECT_TRUE(Has(a, (path + "\r\n\r\nこの文書のファイル名は長すぎるため、無題の文書として復元します。").c_str())) << a.text;
  EXPECT_FALSE(Has(a, "変更されたか")) << a.text;
  const std::string fits = path.substr(0, 259);
  doc.pPath = const_cast<char*>(fits.c_str());
  EXPECT_EQ(fits.c_str(), RecoveryText_KeptPath(&doc));
  EXPECT_FALSE(Has(Ask(RECOVER_WHOLE, fits.c_str(), false, 2048), "長すぎる"));
}

// A small buffer cuts the text between characters.
TEST(RecoveryText, ASmallBufferCutsBetweenCharacters) {
  for (int32_t size = 1; size < 20; ++size) {
    const Asked a = Ask(RECOVER_WHOLE, "a.txt", false, size);
    EXPECT_LT(a.text.size(), static_cast<size_t>(size));
    EXPECT_EQ(0u, a.text.size() % 2) << size;  // the headline is all two-byte characters
  }
}

}  // namespace
