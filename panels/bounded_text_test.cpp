#include "panels/bounded_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace orvik {
namespace {

TEST(BoundedText, NeverWritesPastTheEnd) {
  char buf[8];
  std::memset(buf, 'X', sizeof buf);
  EXPECT_EQ(CopyText(buf, 5, "abcdefgh"), 4u);
  EXPECT_STREQ(buf, "abcd");
  EXPECT_EQ(buf[5], 'X');
  EXPECT_EQ(CopyText(buf, sizeof buf, nullptr), 0u);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(CopyText(buf, 0, "abc"), 0u);
  EXPECT_EQ(CopyTextLimited(buf, sizeof buf, "hello", 3), 3u);
  EXPECT_STREQ(buf, "hel");
  // A field cut onto itself.
  char self[16] = "overlapping";
  CopyTextLimited(self, sizeof self, self, 4);
  EXPECT_STREQ(self, "over");
}

TEST(BoundedText, FormattingIsCutAndTerminated) {
  char buf[10];
  EXPECT_EQ(FormatText(buf, sizeof buf, "%s-%d", "abcdefgh", 12345), 9u);
  EXPECT_STREQ(buf, "abcdefgh-");
  EXPECT_EQ(FormatText(buf, sizeof buf, "%d", 42), 2u);
  EXPECT_STREQ(buf, "42");
}

}  // namespace
}  // namespace orvik
