#include "app/cmdline.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <string>
#include <vector>

#include "tools/debuglog.h"
#include "tools/memory.h"

namespace {

std::vector<std::string> Split(const std::string& line) {
  int32_t argc = -1;
  char** argv = CmdLine_Split(line.c_str(), &argc);
  EXPECT_NE(nullptr, argv);
  if (!argv) return {};
  std::vector<std::string> out;
  for (int32_t i = 0; i < argc; ++i) out.push_back(argv[i]);
  EXPECT_EQ(nullptr, argv[argc]);
  CmdLine_Free(argv);
  return out;
}

using Args = std::vector<std::string>;

TEST(CmdLine, ProgramNameTakesNoEscapes) {
  EXPECT_EQ((Args{"C:\\Program Files\\Qwil\\qwilpad.exe", "a.txt"}),
            Split("\"C:\\Program Files\\Qwil\\qwilpad.exe\" a.txt"));
  EXPECT_EQ((Args{"qwilpad.exe", "a.txt"}), Split("qwilpad.exe a.txt"));
  EXPECT_EQ((Args{"C:\\dir\\"}), Split("\"C:\\dir\\\""));  // the backslash is no escape here
  EXPECT_EQ((Args{"x.exe", "rest"}), Split("\"x.exe\"rest"));
  EXPECT_EQ((Args{"unterminated name"}), Split("\"unterminated name"));
  EXPECT_EQ((Args{""}), Split(""));
  EXPECT_EQ((Args{"", "a"}), Split(" a"));
  EXPECT_EQ((Args{"p\tq"}), Split("\"p\tq\""));
}

TEST(CmdLine, BlanksTabsAndQuotes) {
  EXPECT_EQ((Args{"p", "a", "b", "c"}), Split("p a\t\tb   c  "));
  EXPECT_EQ((Args{"p", "a b", "c"}), Split("p \"a b\" c"));
  EXPECT_EQ((Args{"p", "ab cd"}), Split("p a\"b c\"d"));
  EXPECT_EQ((Args{"p", ""}), Split("p \"\""));
  EXPECT_EQ((Args{"p", "open to the end"}), Split("p \"open to the end"));
  // A quote right after the closing one is literal, and quoted mode is over.
  EXPECT_EQ((Args{"p", "a\"b", "c"}), Split("p \"a\"\"b c\""));
  EXPECT_EQ((Args{"p", "\""}), Split("p \"\"\"\""));
}

TEST(CmdLine, BackslashRunsBeforeQuotes) {
  EXPECT_EQ((Args{"p", "a\\\\b"}), Split("p a\\\\b"));          // no quote: unchanged
  EXPECT_EQ((Args{"p", "a\"b"}), Split("p a\\\"b"));             // odd: literal quote
  EXPECT_EQ((Args{"p", "a\\b c"}), Split("p a\\\\\"b c\""));      // even: half, and a delimiter
  EXPECT_EQ((Args{"p", "a\\\"b"}), Split("p a\\\\\\\"b"));        // three: one and a literal
  EXPECT_EQ((Args{"p", "C:\\dir\\"}), Split("p \"C:\\dir\\\\\""));
  EXPECT_EQ((Args{"p", "\\\\"}), Split("p \\\\"));
}

TEST(CmdLine, DoubleByteCharactersAreCopiedWhole) {
  // 表 and ソ end in 0x5C, the byte of a backslash: before a quote they escape nothing.
  EXPECT_EQ((Args{"p", "表", "b"}), Split("p \"表\" b"));
  EXPECT_EQ((Args{"p", "C:\\ソフト\\表.txt"}), Split("p \"C:\\ソフト\\表.txt\""));
  EXPECT_EQ((Args{"C:\\表\\q.exe", "x"}), Split("\"C:\\表\\q.exe\" x"));
  // A lead byte followed by 0x22 takes it as its trail byte: no quote there.
  EXPECT_EQ((Args{"p", "\x81\"a", "b"}), Split("p \x81\"a b"));
  EXPECT_EQ((Args{"\x81\"x"}), Split("\"\x81\"x\""));
  // A lead byte followed by a blank is one character too.
  EXPECT_EQ((Args{"p", "\x81 z"}), Split("p \x81 z"));
  // A lone lead byte at the end is copied alone.
  EXPECT_EQ((Args{"p", "a\x81"}), Split("p a\x81"));
}

TEST(CmdLine, OneAllocationAndFailure) {
  long before = Mem_AllocationCount();
  int32_t argc = 0;
  char** argv = CmdLine_Split("p a b c", &argc);
  EXPECT_EQ(1, Mem_AllocationCount() - before);
  EXPECT_EQ(4, argc);
  CmdLine_Free(argv);
  Mem_FailAfter(0);
  EXPECT_EQ(nullptr, CmdLine_Split("p a", &argc));
  Mem_ClearFault();
}

std::string g_logged;

void RecordingSink(const char* format, va_list args) {
  char buffer[kDebugLogBufferSize];
  DebugLog_Format(buffer, sizeof(buffer), format, args);
  g_logged += buffer;
}

TEST(CmdLine, ArgumentsGoToTheDebugLog) {
  g_logged.clear();
  DebugLog_SetSink(RecordingSink);
  int32_t argc = 0;
  char** argv = CmdLine_Split("qwilpad.exe メモ.txt", &argc);
  CmdLine_Log(argc, argv);
  CmdLine_Free(argv);
  DebugLog_SetSink(nullptr);
  EXPECT_EQ("argv[ 0]=qwilpad.exe\r\nargv[ 1]=メモ.txt\r\n", g_logged);
}

TEST(DebugLog, DefaultSinkCutsAt1023BytesBetweenCharacters) {
  char buffer[kDebugLogBufferSize];
  std::string kanji;
  for (int i = 0; i < 600; ++i) kanji += "漢";
  auto format = [&](const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    int32_t n = DebugLog_Format(buffer, sizeof(buffer), fmt, args);
    va_end(args);
    return n;
  };
  EXPECT_EQ(1022, format("%s", kanji.c_str()));
  EXPECT_EQ(1023, format("x%s", kanji.c_str()));
  EXPECT_EQ(std::string(buffer).size(), 1023u);
  EXPECT_EQ(15, format("%s(%d) : %s \r\n", "a.cpp", 7, "m"));
  EXPECT_STREQ("a.cpp(7) : m \r\n", buffer);
  g_logged.clear();
  EXPECT_NE(nullptr, DebugLog_SetSink(RecordingSink));
  QWIL_LOG("printing failed");
  DebugLog_SetSink(nullptr);
  EXPECT_NE(std::string::npos, g_logged.find("cmdline_test.cpp("));
  EXPECT_NE(std::string::npos, g_logged.find(") : printing failed \r\n"));
}

}  // namespace
