#include "persist/settings_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include <string>
#include <vector>

#include "persist/memory_stream.h"

namespace orvik {
namespace {

// Every significant line of text, as ReadSettingsLine returns them.
std::vector<std::string> SignificantLines(const std::string& text) {
  MemoryReader reader(text.c_str(), text.size() + 1);
  std::vector<std::string> lines;
  SettingsLineBuffer buffer;
  while (const char* line = ReadSettingsLine(reader.state(), buffer)) lines.emplace_back(line);
  return lines;
}

TEST(ReadSettingsLine, SkipsCommentsAndBlankLinesAndTrimsBlanks) {
  auto lines = SignificantLines(
      "# comment\r\n"
      "   \r\n"
      "  % percent comment\n"
      "/ slash comment\n"
      "\t BEGIN NUM KEY \t \r\n"
      "VALUE 0.5\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "BEGIN NUM KEY");
  EXPECT_EQ(lines[1], "VALUE 0.5");
}

TEST(ReadSettingsLine, LongLineIsCutAt253AndTheRestIsTheNextLine) {
  std::string longLine(253, 'a');
  longLine += "REST OF IT";
  auto lines = SignificantLines(longLine + "\nNEXT\n");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], std::string(253, 'a'));
  EXPECT_EQ(lines[1], "REST OF IT");
  EXPECT_EQ(lines[2], "NEXT");
}

TEST(ReadSettingsLine, TabsInsideALineAreBlanksNotLineBreaks) {
  auto lines = SignificantLines("VALUE\t0.25\n");
  ASSERT_EQ(lines.size(), 1u);
  TokenBuffer word;
  EXPECT_EQ(GetToken(lines[0].c_str(), word, 2), 0);
  EXPECT_STREQ(word, "0.25");
}

TEST(ReadSettingsLine, ManyBlankLinesInARowDoNotEndTheData) {
  std::string blanks;
  for (int i = 0; i < 40; ++i) blanks += "\r\n";
  auto lines = SignificantLines("FIRST\r\n" + blanks + "SECOND\r\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], "SECOND");
}

// A state that hands over every byte, line breaks included, and reads 0 at
// the end for ever (as a host's text stream does).
struct ByteStream {
  std::string text;
  size_t position = 0;
  static int Read(void* context, char* buffer, int length) {
    auto* s = static_cast<ByteStream*>(context);
    size_t n = std::min(static_cast<size_t>(length), s->text.size() - s->position);
    std::memcpy(buffer, s->text.data() + s->position, n);
    s->position += n;
    return static_cast<int>(n);
  }
};

TEST(ReadSettingsLine, ByteStreamsWithLineBreaksReadTheSameLines) {
  ByteStream stream{"FIRST\n\n\r\n  # note\r\nSECOND LINE\r\n\n"};
  LoadState state{&stream, ByteStream::Read};
  ResetParsePosition();
  SettingsLineBuffer buffer;
  const char* line = ReadSettingsLine(&state, buffer);
  ASSERT_NE(line, nullptr);
  EXPECT_STREQ(line, "FIRST");
  line = ReadSettingsLine(&state, buffer);
  ASSERT_NE(line, nullptr);
  EXPECT_STREQ(line, "SECOND LINE");
  EXPECT_STREQ(LastSettingsLine(), "SECOND LINE");  // no line break kept in front
  EXPECT_EQ(ReadSettingsLine(&state, buffer), nullptr);
}

TEST(ReadSettingsLine, CountsLinesAndRemembersTheLastLineRead) {
  ResetParsePosition();
  std::string text = "# header\nVALUE 1\n";
  MemoryReader reader(text.c_str(), text.size() + 1);
  SettingsLineBuffer buffer;
  ASSERT_NE(ReadSettingsLine(reader.state(), buffer), nullptr);
  EXPECT_EQ(ParseLineNumber(), 3);  // the counter starts at 1, raised before each line
  char position[128];
  FormatParsePosition(position, sizeof position);
  EXPECT_STREQ(position, "Line 3: VALUE 1");

  std::string longLine(200, 'x');
  MemoryReader longReader(longLine.c_str(), longLine.size() + 1);
  ASSERT_NE(ReadSettingsLine(longReader.state(), buffer), nullptr);
  FormatParsePosition(position, sizeof position);
  EXPECT_EQ(std::string(position), "Line 4: " + std::string(100, 'x'));
}

TEST(ReadSettingsLine, NoStateOrEmptyDataIsTheEnd) {
  SettingsLineBuffer buffer;
  EXPECT_EQ(ReadSettingsLine(nullptr, buffer), nullptr);
  MemoryReader empty("", 0);
  EXPECT_EQ(ReadSettingsLine(empty.state(), buffer), nullptr);
}

TEST(GetToken, WordsByNumberAndEveryFailure) {
  TokenBuffer out;
  EXPECT_EQ(GetToken(" BEGIN\tNUM  KEY\r\n", out, 3), 0);
  EXPECT_STREQ(out, "KEY");
  EXPECT_EQ(GetToken("BEGIN NUM", out, 3), 1);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(GetToken("BEGIN", out, 0), 1);
  EXPECT_EQ(GetToken(nullptr, out, 1), 1);
  EXPECT_EQ(GetToken("BEGIN", nullptr, 0, 1), 1);
  char small[4];
  EXPECT_EQ(GetToken("ABCDEFGH", small, 1), 0);
  EXPECT_STREQ(small, "ABC");
}

TEST(GetDelimitedText, TextBetweenTheFirstTwoAts) {
  char out[16];
  GetDelimitedText("STRING @two words@ rest", out, sizeof out);
  EXPECT_STREQ(out, "two words");
  GetDelimitedText("REF1 @open to the end", out, sizeof out);
  EXPECT_STREQ(out, "open to the end");
  GetDelimitedText("STRING @@x@", out, sizeof out);
  EXPECT_STREQ(out, "");
  GetDelimitedText("STRING none", out, sizeof out);
  EXPECT_STREQ(out, "");
  GetDelimitedText("S @a text longer than the buffer@", out, sizeof out);
  EXPECT_STREQ(out, "a text longer t");
}

TEST(GetCountedText, TakesTheCountedCharactersNoMoreThanPresentOr255) {
  char out[300];
  ASSERT_TRUE(GetCountedText("STRING2 3 @hello", out, sizeof out));
  EXPECT_STREQ(out, "hel");
  ASSERT_TRUE(GetCountedText("STRING2 99 @hi", out, sizeof out));
  EXPECT_STREQ(out, "hi");
  ASSERT_TRUE(GetCountedText("STRING2 7 @a @ b c", out, sizeof out));
  EXPECT_STREQ(out, "a @ b c");
  ASSERT_TRUE(GetCountedText("STRING2 -4 @abc", out, sizeof out));
  EXPECT_STREQ(out, "");
  std::string line = "STRING2 400 @" + std::string(280, 'z');
  ASSERT_TRUE(GetCountedText(line.c_str(), out, sizeof out));
  EXPECT_EQ(std::string(out), std::string(255, 'z'));

  std::strcpy(out, "kept");
  EXPECT_FALSE(GetCountedText("STRING2", out, sizeof out));
  EXPECT_FALSE(GetCountedText("STRING2 5 hello", out, sizeof out));
  EXPECT_STREQ(out, "kept");
}

TEST(TextNumbers, NonNumbersReadAsZeroAndExtremesSaturate) {
  EXPECT_EQ(TextToInt("abc"), 0);
  EXPECT_EQ(TextToInt("99999999999999999999"), INT_MAX);
  EXPECT_EQ(TextToLong("-12x"), -12);
  EXPECT_DOUBLE_EQ(TextToDouble("2.5e1"), 25.0);
  EXPECT_DOUBLE_EQ(TextToDouble("nan"), 0.0);
  EXPECT_DOUBLE_EQ(TextToDouble("1e999"), 0.0);
}

TEST(MemoryStreams, WriterEndsLinesWithCrLfAndReaderStopsAtLineBreaks) {
  MemoryWriter writer(64);
  EXPECT_EQ(WriteSettingsLine(writer.state(), "VALUE %d", 5), 8);
  EXPECT_EQ(std::string(writer.bytes().begin(), writer.bytes().end()), "VALUE 5\r\n");

  std::string text = "AB\r\nC";
  MemoryReader reader(text.c_str(), text.size() + 1);
  char out[8] = {};
  EXPECT_EQ(reader.state()->read(reader.state()->context, out, 8), 2);
  EXPECT_STREQ(out, "AB");
  EXPECT_EQ(reader.state()->read(reader.state()->context, out, 8), 0);  // the LF
  EXPECT_EQ(reader.state()->read(reader.state()->context, out, 1), 1);
  EXPECT_EQ(out[0], 'C');
  EXPECT_EQ(reader.state()->read(reader.state()->context, out, 8), -1);  // at the last byte
}

TEST(MemoryStreams, WriterRefusesLinesPastItsCapacityAndSaysSo) {
  MemoryWriter writer(12);
  WriteSettingsLine(writer.state(), "12345");  // 7 bytes with CR LF
  EXPECT_FALSE(writer.overflowed());
  WriteSettingsLine(writer.state(), "67890");
  EXPECT_TRUE(writer.overflowed());
  EXPECT_EQ(writer.size(), 7u);
  WriteSettingsLine(writer.state(), "1");  // nothing after an overflow
  EXPECT_EQ(writer.size(), 7u);
}

}  // namespace
}  // namespace orvik
