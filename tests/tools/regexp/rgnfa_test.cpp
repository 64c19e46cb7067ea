#include "tools/regexp/rgnfa.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "rgtest.h"
#include "tools/charfold.h"

namespace {

// "to:type" for each transition of the state, in list order; 'c' consuming.
std::string ListOf(const nfa* re, int32_t s) {
  std::string out;
  for (const trans* t = re->table->states[s].head; t; t = t->next) {
    if (!out.empty()) out += " ";
    out += std::to_string(t->nTo) + (t->epsilon ? ":e" : ":c");
    if (t->type == NODE_CHAR) out += rgtest::CharText(t->ch);
  }
  return out;
}

TEST(RegexpAutomaton, WorkedExample) {
  nfa* re = regexp_compile("ab*", 0);
  ASSERT_NE(nullptr, re);
  ASSERT_EQ(5, re->table->num);
  EXPECT_EQ(1, re->count);
  EXPECT_EQ("2:ca", ListOf(re, 0));
  EXPECT_EQ("", ListOf(re, 1));
  EXPECT_EQ("3:e", ListOf(re, 2));
  EXPECT_EQ("4:cb 1:e", ListOf(re, 3));  // another «b» before leaving the loop
  EXPECT_EQ("3:e", ListOf(re, 4));
  EXPECT_TRUE(is_valid_state_table(re->table));
  nfa_free(re);

  re = regexp_compile("ab*?", 0);
  ASSERT_NE(nullptr, re);
  EXPECT_EQ("1:e 4:cb", ListOf(re, 3));  // leaving first
  nfa_free(re);

  re = regexp_compile("a|b|c", 0);
  ASSERT_NE(nullptr, re);
  EXPECT_EQ("1:ca 1:cb 1:cc", ListOf(re, 0));  // pattern order is preference order
  nfa_free(re);
}

void CountNodes(const tree* t, int64_t* concats, int64_t* stars) {
  if (!t) return;
  if (t->type == NODE_CONCAT) ++*concats;
  if (t->type == NODE_STAR || t->type == NODE_LAZY_STAR) ++*stars;
  CountNodes(t->left, concats, stars);
  CountNodes(t->right, concats, stars);
}

TEST(RegexpAutomaton, StateCountFollowsTheTree) {
  for (const char* p : {"", "a", "abc", "(a|b)*c", "a{2,4}?", "x(?=y)+z*?", "[a-z]+\\d{3}|^$"}) {
    int32_t groups = 0;
    tree* t = regexp_parse(p, &groups);
    ASSERT_NE(nullptr, t);
    int64_t concats = 0;
    int64_t stars = 0;
    CountNodes(t, &concats, &stars);
    nfa* re = nfa_build(t, groups, 0);
    ASSERT_NE(nullptr, re);
    EXPECT_EQ(2 + concats + 2 * stars, re->table->num) << p;
    EXPECT_EQ(groups + 1, re->count);
    EXPECT_TRUE(is_valid_nfa(re));
    nfa_free(re);
    tree_free(t);
  }
}

TEST(RegexpAutomaton, DeepTreesBuildWithoutRecursion) {
  std::string pattern;
  for (int i = 0; i < 30000; ++i) pattern += "a|";
  pattern += "b{1000}";
  nfa* re = regexp_compile(pattern.c_str(), 0);
  ASSERT_NE(nullptr, re);
  EXPECT_EQ("0,1", rgtest::SearchIn(re, "a"));
  nfa_free(re);
}

std::string FirstBytes(const nfa* re) {
  if (!re->start.bFirstBytes) return "any";
  std::string out;
  for (int b = 0; b < 256; ++b) {
    if (!re->start.firstBytes[b]) continue;
    char buf[8];
    std::snprintf(buf, sizeof(buf), b >= 0x21 && b < 0x7F ? "%c" : "#%02X", b);
    out += buf;
  }
  return out;
}

struct StartCase {
  const char* pattern;
  uint32_t flags;
  const char* first;
  bool anchored;
  const char* prefix;
  const char* required;  // in byte order
};

TEST(RegexpAutomaton, WhatMatchesMustStartWith) {
  const StartCase cases[] = {
      {"id=[0-9]+", 0, "i", false, "id=", "=di"},
      {"^abc", 0, "a", true, "", "abc"},
      {"a|^b", 0, "ab", false, "", ""},
      {"x*", 0, "any", false, "", ""},
      {"(?!a)b", 0, "any", false, "", ""},
      {"(?=a)b", 0, "a", false, "", "ab"},
      {"A", SF_IGNORECASE, "Aa", false, "", ""},  // two first bytes: neither is required
      {"A", SF_IGNOREWIDTH, "A#82", false, "", ""},
      {"ｶ", SF_IGNOREWIDTH, "#83#B6", false, "", ""},
      {"ア", 0, "#83", false, "ア", "\x83"},
      {"(a|b)*c", 0, "abc", false, "", "c"},
      {"a?b", 0, "ab", false, "", "b"},
      {"[^a]", 0, "#00", false, "", ""},
      {".", 0, "any", false, "", ""},
      {"$", 0, "any", false, "", ""},
  };
  for (const StartCase& c : cases) {
    nfa* re = regexp_compile(c.pattern, c.flags);
    ASSERT_NE(nullptr, re);
    if (std::string(c.first) == "#00") {
      EXPECT_TRUE(re->start.bFirstBytes && !re->start.firstBytes['a'] && re->start.firstBytes['b'] && re->start.firstBytes[0]) << c.pattern;
    } else {
      EXPECT_EQ(c.first, FirstBytes(re)) << c.pattern;
    }
    EXPECT_EQ(c.anchored, re->start.bAnchored) << c.pattern;
    EXPECT_EQ(c.prefix, std::string(reinterpret_cast<const char*>(re->start.prefix), static_cast<size_t>(re->start.nPrefix)))
        << c.pattern;
    std::string required(reinterpret_cast<const char*>(re->start.required), static_cast<size_t>(re->start.nRequired));
    std::sort(required.begin(), required.end());
    EXPECT_EQ(c.required, required) << c.pattern;
    nfa_free(re);
  }
}

}  // namespace
