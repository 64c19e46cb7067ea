#include "tools/placement.h"

#include <gtest/gtest.h>

namespace {

const RECT kWork = {0, 0, 1280, 984};  // a taskbar below

struct Case {
  const char* what;
  SIZE window;
  POINT cursor;
  bool bCenter;
  POINT expected;
};

TEST(Placement, DialogsOpenUnderThePointerAndStayInsideTheWorkArea) {
  const Case cases[] = {
      {"caption's middle under the pointer", {300, 200}, {600, 400}, false, {450, 390}},
      {"whole window centred on the pointer", {300, 200}, {600, 400}, true, {450, 300}},
      {"bottom-right corner: touches the right and bottom edges", {300, 200}, {1279, 983}, false, {980, 784}},
      {"top-left corner: touches the left and top edges", {300, 200}, {0, 0}, false, {0, 0}},
      {"wider and taller than the work area: left and top edges win", {2000, 1200}, {1200, 900}, false, {0, 0}},
      {"odd sizes round the half down", {301, 201}, {600, 400}, true, {450, 300}},
  };
  for (const Case& c : cases) {
    POINT pt = Placement_AtCursor(c.window, c.cursor, 20, kWork, c.bCenter);
    EXPECT_EQ(c.expected.x, pt.x) << c.what;
    EXPECT_EQ(c.expected.y, pt.y) << c.what;
  }
}

TEST(Placement, AWorkAreaOffTheOriginAndExtremeValuesNeverOverflow) {
  // A second monitor left of the first: negative coordinates are ordinary.
  const RECT left = {-1920, 100, 0, 1180};
  POINT pt = Placement_AtCursor({400, 300}, {-5, 1179}, 20, left, false);
  EXPECT_EQ(-400, pt.x);
  EXPECT_EQ(880, pt.y);
  pt = Placement_AtCursor({INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MAX}, INT32_MAX, kWork, true);
  EXPECT_EQ(0, pt.x);
  EXPECT_EQ(0, pt.y);
  pt = Placement_AtCursor({-5, -5}, {INT32_MAX, INT32_MAX}, -1, kWork, false);
  EXPECT_EQ(kWork.right, pt.x);
  EXPECT_EQ(kWork.bottom, pt.y);
}

}  // namespace
