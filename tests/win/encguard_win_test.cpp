// Files that are not in Shift_JIS in the real main window: read-only with their
// encoding in the status bar and their bytes kept through typing and saving;
// the question before they become writable; the conversion to Shift_JIS with
// its list of what code page 932 cannot hold and both answers to it.
#include <gtest/gtest.h>

#include "app/encguard.h"
#include "win/dialogscript.h"
#include "win/mainhost.h"

namespace {

constexpr int kEncodingPart = 5;

std::wstring FromCodePage(UINT codePage, const std::string& bytes) {
  std::wstring text(bytes.size(), L'\0');
  const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0],
                                    static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(n > 0 ? n : 0));
  return text;
}

const std::string kUtf8 = u8"日本語の\r\ntext";

TEST(EncodingGuard, Utf8FileStaysReadOnlyAndUnsavedUntilTheUserSaysSo) {
  WinTestDir dir;
  const std::string path = dir / "u.txt";
  ASSERT_TRUE(WinTest_WriteFile(path, kUtf8));
  MainHost host(dir);
  ASSERT_TRUE(host.Create({path}));
  EXPECT_TRUE(TextEditor_GetReadOnly(host.Editor()));
  EXPECT_EQ("UTF-8", host.Status(kEncodingPart));
  host.Type("x\x82\xA0");
  EXPECT_EQ(kUtf8, WinTest_EditorText(host.Editor())) << "nothing is converted, nothing typed";
  {
    DialogScript script;
    script.Press(IDOK).Press(IDOK).Press(IDNO);
    EXPECT_EQ(0, host.Command(IDM_SAVE));
    EXPECT_EQ(0, host.Command(IDM_SAVEAS));
    host.Command(IDM_READONLY);
    ASSERT_EQ(3u, script.seen.size());
    EXPECT_EQ(kEncGuardCaption, script.seen[0].title);
    EXPECT_NE(std::string::npos, script.seen[2].text.find("Shift_JIS として編集しますか")) << script.seen[2].text;
    EXPECT_TRUE(script.AllAnswered());
  }
  EXPECT_TRUE(TextEditor_GetReadOnly(host.Editor())) << "No keeps it read-only";
  EXPECT_EQ(kUtf8, WinTest_ReadFile(path));
  {
    DialogScript script;
    script.Press(IDYES);
    host.Command(IDM_READONLY);
    EXPECT_FALSE(TextEditor_GetReadOnly(host.Editor()));
    host.Type("x");
    EXPECT_EQ(1, host.Command(IDM_SAVE));
    EXPECT_EQ(1u, script.seen.size()) << "asked once; the save asks nothing";
  }
  EXPECT_EQ("x" + kUtf8, WinTest_ReadFile(path)) << "the bytes as they were, edited as Shift_JIS";

  // Another document replaces a guarded one without the read-only it had.
  ASSERT_TRUE(WinTest_WriteFile(path, kUtf8));
  EXPECT_EQ(1, host.Command(IDM_RELOAD));
  EXPECT_TRUE(TextEditor_GetReadOnly(host.Editor()));
  EXPECT_EQ(1, host.Command(IDM_NEW));
  EXPECT_FALSE(TextEditor_GetReadOnly(host.Editor()));
  EXPECT_EQ("Shift_JIS", host.Status(kEncodingPart));
}

// Converted, the text is a new modified document, untitled or under the file's
// name; the file is written only by the save, in Shift_JIS that reads back as
// the same text.
TEST(EncodingGuard, ConversionGivesShiftJisThatReadsBackAsTheSameText) {
  WinTestDir dir;
  const std::string path = dir / "le.txt";
  const std::wstring text = L"あいう\r\n漢字①㈱ ～〜";
  const std::string le = std::string("\xFF\xFE") +
                         std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  ASSERT_TRUE(WinTest_WriteFile(path, le));
  MainHost host(dir);
  ASSERT_TRUE(host.Create({path}));
  EXPECT_EQ("UTF-16 LE (BOM)", host.Status(kEncodingPart));
  const std::string sjis = "\x82\xA0\x82\xA2\x82\xA4\r\n\x8A\xBF\x8E\x9A\x87\x40\x87\x8A \x81\x60\x81\x60";
  {
    DialogScript script;
    script.Press(IDNO);
    EXPECT_EQ(1, host.Command(IDM_REOPENSJIS));
    ASSERT_EQ(1u, script.seen.size()) << "nothing to list: only the name is asked";
    EXPECT_NE(std::string::npos, script.seen[0].text.find(path)) << script.seen[0].text;
  }
  EXPECT_EQ(sjis, WinTest_EditorText(host.Editor()));
  EXPECT_FALSE(TextEditor_GetReadOnly(host.Editor()));
  EXPECT_TRUE(TextEditor_GetModified(host.Editor()));
  EXPECT_EQ("[無題.txt *] - ", host.Title());
  EXPECT_EQ("Shift_JIS", host.Status(kEncodingPart));
  EXPECT_EQ(le, WinTest_ReadFile(path)) << "the file is not touched";
  {
    DialogScript script;
    script.ChooseFile(dir / "out.txt");
    EXPECT_EQ(1, host.Command(IDM_SAVEAS));
  }
  EXPECT_EQ(sjis, WinTest_ReadFile(dir / "out.txt"));
  EXPECT_EQ(L"あいう\r\n漢字①㈱ ～～", FromCodePage(932, WinTest_ReadFile(dir / "out.txt")));

  // Under the file's own name, the save writes the file over.
  {
    DialogScript script;
    script.ChooseFile(path).Press(IDYES);
    EXPECT_EQ(1, host.Command(IDM_OPEN));
    EXPECT_EQ(1, host.Command(IDM_REOPENSJIS));
    EXPECT_TRUE(script.AllAnswered());
  }
  EXPECT_EQ("[le.txt *] - " + path, host.Title());
  EXPECT_EQ(le, WinTest_ReadFile(path));
  EXPECT_EQ(1, host.Command(IDM_SAVE));
  EXPECT_EQ(sjis, WinTest_ReadFile(path));
}

// What code page 932 cannot hold is listed first; No leaves the document as it
// was, Yes converts it with "?" in their places.
TEST(EncodingGuard, UnconvertibleCharactersAreListedAndReplacedOnlyWhenChosen) {
  WinTestDir dir;
  const std::string path = dir / "emoji.txt";
  const std::string utf8 = u8"a©\n😀b\n\n한";
  ASSERT_TRUE(WinTest_WriteFile(path, utf8));
  MainHost host(dir);
  ASSERT_TRUE(host.Create({path}));
  {
    DialogScript script;
    script.Press(IDNO);
    EXPECT_EQ(0, host.Command(IDM_REOPENSJIS));
    ASSERT_EQ(1u, script.seen.size());
    EXPECT_EQ(kEncConvertCaption, script.seen[0].title);
    const std::string& list = script.seen[0].text;
    EXPECT_NE(std::string::npos, list.find("表せない文字が 3 個あります。")) << list;
    EXPECT_NE(std::string::npos, list.find("1 行目: U+00A9\n    2 行目: U+1F600\n    4 行目: U+D55C")) << list;
  }
  const std::string asRead = u8"a©\r\n😀b\r\n\r\n한";
  EXPECT_EQ(asRead, WinTest_EditorText(host.Editor())) << "the bytes as they were read";
  EXPECT_TRUE(TextEditor_GetReadOnly(host.Editor()));
  EXPECT_EQ("UTF-8", host.Status(kEncodingPart));
  {
    DialogScript script;
    script.Press(IDYES).Press(IDNO);
    EXPECT_EQ(1, host.Command(IDM_REOPENSJIS));
    EXPECT_TRUE(script.AllAnswered());
  }
  EXPECT_EQ("a?\r\n?b\r\n\r\n?", WinTest_EditorText(host.Editor()));
  EXPECT_EQ(utf8, WinTest_ReadFile(path));
}

}  // namespace
