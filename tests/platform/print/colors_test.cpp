// Windows colour values as the company records hold them.

#include <gtest/gtest.h>

#include "platform/print/colors.h"

using namespace platform::print;

TEST(ColorsTest, PlainValuesAreBlueGreenRed) {
  EXPECT_EQ(ColorToQColor(0x000000FF), QColor(255, 0, 0));
  EXPECT_EQ(ColorToQColor(0x0000FF00), QColor(0, 255, 0));
  EXPECT_EQ(ColorToQColor(0x00FF0000), QColor(0, 0, 255));
  EXPECT_EQ(ColorToQColor(0x00123456), QColor(0x56, 0x34, 0x12));
  EXPECT_EQ(ColorToQColor(clWhite), QColor(Qt::white));
}

TEST(ColorsTest, SystemColoursTakeTheStandardScheme) {
  EXPECT_EQ(ColorToQColor(clWindowText), QColor(Qt::black));
  EXPECT_EQ(ColorToQColor(clWindow), QColor(Qt::white));
  EXPECT_EQ(ColorToQColor(clBtnFace), QColor(0xF0, 0xF0, 0xF0));
  EXPECT_EQ(ColorToQColor(clSystemColor | 13), QColor(0x33, 0x99, 0xFF));  // highlight
}

TEST(ColorsTest, SpecialAndUnknownValuesPrintBlack) {
  EXPECT_EQ(ColorToQColor(clNone), QColor(Qt::black));
  EXPECT_EQ(ColorToQColor(clDefault), QColor(Qt::black));
  EXPECT_EQ(ColorToQColor(clSystemColor | 200), QColor(Qt::black));
  EXPECT_EQ(ColorToQColor(static_cast<TColor>(0xFFFFFFFF)), QColor(Qt::black));
}
