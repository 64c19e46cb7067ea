#include "tools/dlg/dyndlg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/memory.h"

namespace {

std::vector<uint16_t> Words(const DynDlgTemplate& t, const DynDlgItem* items) {
  int32_t bytes = DynDlg_Measure(&t, items);
  void* block = DynDlg_Create(&t, items);
  EXPECT_NE(nullptr, block);
  if (!block) return {};
  const uint16_t* w = static_cast<const uint16_t*>(block);
  std::vector<uint16_t> out(w, w + bytes / 2);
  DynDlg_Free(block);
  return out;
}

uint32_t Dword(const std::vector<uint16_t>& w, size_t i) { return w[i] | (uint32_t(w[i + 1]) << 16); }

DynDlgTemplate Plain() {
  DynDlgTemplate t = {};
  t.style = 0x80C80000;  // popup, caption, system menu
  t.dwExtendedStyle = 0x00000001;
  t.x = 10;
  t.y = -20;
  t.cx = 200;
  t.cy = 100;
  return t;
}

// Reads a name field as the platform does: 0, 0xFFFF + ordinal, or a string.
std::u16string ReadName(const std::vector<uint16_t>& w, size_t* i) {
  if (w[*i] == 0xFFFF) {
    std::u16string s = u"#" + std::u16string(1, static_cast<char16_t>(w[*i + 1]));
    *i += 2;
    return s;
  }
  std::u16string s;
  while (w[*i] != 0) s += static_cast<char16_t>(w[(*i)++]);
  ++*i;
  return s;
}

TEST(DynDlg, HeaderOnlyTemplates) {
  DynDlgTemplate t = Plain();
  std::vector<uint16_t> w = Words(t, nullptr);
  ASSERT_EQ(12u, w.size());  // 24 bytes: no padding, the count is even
  EXPECT_EQ(0x80C80000u, Dword(w, 0));
  EXPECT_EQ(1u, Dword(w, 2));
  EXPECT_EQ(0, w[4]);
  EXPECT_EQ(10, w[5]);
  EXPECT_EQ(static_cast<uint16_t>(-20), w[6]);
  EXPECT_EQ(200, w[7]);
  EXPECT_EQ(100, w[8]);
  EXPECT_EQ((std::vector<uint16_t>{0, 0, 0}), std::vector<uint16_t>(w.begin() + 9, w.end()));

  t.pszClass = u"X";  // a one-character class: two words, then the title, then padding
  w = Words(t, nullptr);
  ASSERT_EQ(14u, w.size());  // 28 bytes
  EXPECT_EQ((std::vector<uint16_t>{0, u'X', 0, 0, 0}), std::vector<uint16_t>(w.begin() + 9, w.end()));

  t.pszClass = nullptr;
  t.pszMenu = DynDlg_Ordinal(140);
  t.pszTitle = u"バージョン情報";
  w = Words(t, nullptr);
  size_t i = 9;
  EXPECT_EQ(u"#\u008C", ReadName(w, &i));
  EXPECT_EQ(u"", ReadName(w, &i));
  EXPECT_EQ(u"バージョン情報", ReadName(w, &i));
  EXPECT_EQ(i + (i % 2), w.size());
}

TEST(DynDlg, ItemsAreAlignedAndAlwaysChildren) {
  DynDlgTemplate t = Plain();
  t.style |= kDynDlgSetFont;
  t.font = u"ＭＳ Ｐゴシック";
  t.height = 9;
  t.pszTitle = u"About";
  const DynDlgItem items[5] = {
      {DynDlg_Ordinal(kDynDlgStatic), u"Qwilpad", 0x00000000, 0, 7, 7, 100, 8, 1001},
      {DynDlg_Ordinal(kDynDlgStatic), u"ab", 0x00000001, 0, 7, 20, 100, 8, 1002},
      {u"LinkLabel", nullptr, 0x10000000, 0, 7, 33, 100, 8, 1003},
      {DynDlg_Ordinal(kDynDlgStatic), DynDlg_Ordinal(1), 0x0000000E, 0, 7, 46, 20, 20, 1004},
      {DynDlg_Ordinal(kDynDlgButton), u"OK", 0x00010001, 0x4, 140, 80, 50, 14, 1},
  };
  t.cdit = 5;
  std::vector<uint16_t> w = Words(t, items);
  ASSERT_FALSE(w.empty());
  EXPECT_EQ(0u, w.size() % 2);
  size_t i = 9;
  ReadName(w, &i);  // menu
  ReadName(w, &i);  // class
  EXPECT_EQ(u"About", ReadName(w, &i));
  EXPECT_EQ(9, w[i++]);
  EXPECT_EQ(u"ＭＳ Ｐゴシック", ReadName(w, &i));
  const std::u16string classes[5] = {u"#\u0082", u"#\u0082", u"LinkLabel", u"#\u0082", u"#\u0080"};
  const std::u16string titles[5] = {u"Qwilpad", u"ab", u"", u"#\u0001", u"OK"};
  for (int k = 0; k < 5; ++k) {
    SCOPED_TRACE(k);
    if (i % 2) {
      EXPECT_EQ(0, w[i++]);  // padding to the 4-byte boundary
    }
    ASSERT_EQ(0u, (i * 2) % 4);
    EXPECT_EQ(items[k].style | kDynDlgChild, Dword(w, i));
    EXPECT_EQ(items[k].dwExtendedStyle, Dword(w, i + 2));
    EXPECT_EQ(static_cast<uint16_t>(items[k].x), w[i + 4]);
    EXPECT_EQ(static_cast<uint16_t>(items[k].cy), w[i + 7]);
    EXPECT_EQ(items[k].id, w[i + 8]);
    i += 9;
    EXPECT_EQ(classes[k], ReadName(w, &i));
    EXPECT_EQ(titles[k], ReadName(w, &i));
    EXPECT_EQ(0, w[i++]);  // no creation data
  }
  EXPECT_EQ(i + (i % 2), w.size());
}

TEST(DynDlg, DescriptionChecksAndFailure) {
  DynDlgTemplate t = Plain();
  EXPECT_TRUE(IsValidDynDlgTemplate(&t, nullptr));
  t.font = u"x";  // a font without the set-font style
  EXPECT_FALSE(IsValidDynDlgTemplate(&t, nullptr));
  t.style |= kDynDlgSetFont;
  EXPECT_TRUE(IsValidDynDlgTemplate(&t, nullptr));
  t.cdit = 1;
  EXPECT_FALSE(IsValidDynDlgTemplate(&t, nullptr));
  DynDlgItem item = {DynDlg_Ordinal(kDynDlgEdit), nullptr, 0, 0, 0, 0, -1, 10, 5};
  EXPECT_FALSE(IsValidDynDlgTemplate(&t, &item));
  item.cx = 10;
  EXPECT_TRUE(IsValidDynDlgTemplate(&t, &item));
  t.cy = -1;
  EXPECT_FALSE(IsValidDynDlgTemplate(&t, &item));
  t.cy = 10;
  Mem_FailAfter(0);
  EXPECT_EQ(nullptr, DynDlg_Create(&t, &item));
  Mem_ClearFault();
  DynDlg_Free(nullptr);
}

}  // namespace
