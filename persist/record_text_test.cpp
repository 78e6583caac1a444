#include "persist/record_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "persist/memory_stream.h"
#include "persist/settings_text.h"

namespace orvik {
namespace {

// The lines a writer produced, without their CR LF.
std::vector<std::string> Lines(const MemoryWriter& writer) {
  std::vector<std::string> lines;
  std::string text(writer.bytes().begin(), writer.bytes().end());
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

// A load state over text (the BEGIN line already consumed by the caller).
struct Text {
  explicit Text(std::string t) : text(std::move(t)), reader(text.c_str(), text.size() + 1) {}
  LoadState* state() { return reader.state(); }
  std::string text;
  MemoryReader reader;
};

std::string Remaining(Text& t) {
  SettingsLineBuffer buffer;
  const char* line = ReadSettingsLine(t.state(), buffer);
  return line != nullptr ? line : "<end>";
}

TEST(NumRecord, FixedModeWritesValueWithIndentOnly) {
  MemoryWriter w(4096);
  NumRecord r;
  r.value = 0.25;
  long bytes = WriteNumRecord(w.state(), 1, "LUMINOUS", r);
  EXPECT_EQ(Lines(w), (std::vector<std::string>{" BEGIN NUM LUMINOUS", " VALUE 0.25", " END"}));
  EXPECT_EQ(bytes, static_cast<long>(w.size() - 3));  // CR LF count one byte more per line
}

TEST(NumRecord, PositionModeWritesNoValueAndLoadingKeepsTheValue) {
  MemoryWriter w(4096);
  NumRecord r;
  r.value = 0.75;
  r.animateMode = 1;  // XPOS
  r.hasReference[0] = true;
  std::strcpy(r.reference[0].item.name, "Cube");
  WriteNumRecord(w.state(), 0, "K", r);
  EXPECT_EQ(Lines(w), (std::vector<std::string>{"BEGIN NUM K", " ANIMATE XPOS", " REF1ITEM",
                                                "OBJECT 1 1 4 @Cube", "END"}));

  Text t(std::string(w.bytes().begin(), w.bytes().end()).substr(13));
  NumRecord loaded;
  loaded.value = 0.1;
  EXPECT_EQ(ReadNumRecord(t.state(), loaded), nullptr);
  EXPECT_DOUBLE_EQ(loaded.value, 0.1);
  EXPECT_EQ(loaded.animateMode, 1);
  ASSERT_TRUE(loaded.hasReference[0]);
  EXPECT_STREQ(loaded.reference[0].item.name, "Cube");
}

TEST(NumRecord, LoadedValuesAreClampedThenRoundedHalfUp) {
  auto load = [](const char* line, NumRecord r) {
    Text t(std::string(line) + "\nEND\n");
    EXPECT_EQ(ReadNumRecord(t.state(), r), nullptr);
    return r.value;
  };
  NumRecord percent;
  percent.maximum = 1.0;
  EXPECT_DOUBLE_EQ(load("VALUE 150", percent), 150.0);
  percent.clampHigh = true;
  EXPECT_DOUBLE_EQ(load("VALUE 150", percent), 1.0);

  NumRecord integer;
  integer.integerDisplay = true;
  EXPECT_DOUBLE_EQ(load("VALUE 2.6", integer), 3.0);
  EXPECT_DOUBLE_EQ(load("VALUE -2.5", integer), -2.0);
  integer.clampLow = true;
  integer.minimum = 0.0;
  EXPECT_DOUBLE_EQ(load("VALUE -2.5", integer), 0.0);
  EXPECT_DOUBLE_EQ(load("VALUE text", NumRecord{}), 0.0);
}

TEST(NumRecord, ReaderResetsTheModeAndSkipsUnknownKeywordsAndLines) {
  NumRecord r;
  r.animateMode = 5;
  r.hasReference[1] = true;
  Text t("ANIMATE WOBBLE\nCOLOUR 3\n# comment inside\nVALUE 0.5\nEND\nAFTER\n");
  EXPECT_EQ(ReadNumRecord(t.state(), r), nullptr);
  EXPECT_EQ(r.animateMode, 0);
  EXPECT_FALSE(r.hasReference[1]);
  EXPECT_DOUBLE_EQ(r.value, 0.5);
  EXPECT_EQ(Remaining(t), "AFTER");  // the record's END was consumed, nothing more
}

TEST(NumRecord, FailuresKeepWhatWasReadBefore) {
  NumRecord r;
  Text missingValue("LINEAR 2\nVALUE\nEND\n");
  EXPECT_STREQ(ReadNumRecord(missingValue.state(), r), kMsgBadToken);
  EXPECT_DOUBLE_EQ(r.linearRate, 2.0);

  NumRecord s;
  Text cut("ANIMATE YPOS\nVALUE 3\n");
  EXPECT_STREQ(ReadNumRecord(cut.state(), s), kMsgEndOfFile);
  EXPECT_EQ(s.animateMode, 2);
  EXPECT_DOUBLE_EQ(s.value, 3.0);

  Text empty("");
  EXPECT_STREQ(ReadNumRecord(empty.state(), s), kMsgEndOfFile);
}

TEST(NumRecord, ReferencesAsItemLinesBonesAndTheOlderForms) {
  NumRecord r;
  Text t(
      "ANIMATE SEPARATION\n"
      "REF1ITEM\n"
      "PARENT 2 3 3 @Arm\n"
      "BONE 1 1 5 @Elbow\n"
      "REF2 @Old Name@\n"
      "END\n");
  EXPECT_EQ(ReadNumRecord(t.state(), r), nullptr);
  ASSERT_TRUE(r.hasReference[0]);
  EXPECT_EQ(r.reference[0].item.type, kItemBone);
  EXPECT_STREQ(r.reference[0].item.name, "Elbow");
  ASSERT_TRUE(r.reference[0].hasParent);
  EXPECT_STREQ(r.reference[0].parent.name, "Arm");
  EXPECT_EQ(r.reference[0].parent.type, kItemObject);
  EXPECT_EQ(r.reference[0].parent.cloneIndex, 2);
  EXPECT_EQ(r.reference[0].parent.count, 3);
  ASSERT_TRUE(r.hasReference[1]);
  EXPECT_STREQ(r.reference[1].item.name, "Old Name");
  EXPECT_EQ(r.reference[1].item.type, kItemObject);
  EXPECT_EQ(r.reference[1].item.cloneIndex, 1);
}

TEST(NumRecord, AMissingItemLineAfterRef1ItemDoesNotSwallowTheEndLine) {
  NumRecord r;
  Text t("REF1ITEM\nEND\nNEXT\n");
  EXPECT_EQ(ReadNumRecord(t.state(), r), nullptr);
  EXPECT_FALSE(r.hasReference[0]);
  EXPECT_EQ(Remaining(t), "NEXT");
}

TEST(ColorRecord, ComponentsAreReadUnclamped) {
  ColorRecord r{7, 7, 7};
  Text t("BLUE 300\nRED -4\nEND\n");
  EXPECT_EQ(ReadColorRecord(t.state(), r), nullptr);
  EXPECT_EQ(r.red, -4);
  EXPECT_EQ(r.green, 7);
  EXPECT_EQ(r.blue, 300);
}

TEST(StringRecord, CountedTextSurvivesBlanksAndEmptyTextWritesNothing) {
  MemoryWriter w(4096);
  StringRecord r;
  std::strcpy(r.text, "two  words @ and more");
  WriteStringRecord(w.state(), 1, "NAME", r);
  EXPECT_EQ(Lines(w), (std::vector<std::string>{" BEGIN STRING NAME",
                                                "  STRING2 21 @two  words @ and more", " END"}));
  StringRecord empty;
  MemoryWriter none(4096);
  EXPECT_EQ(WriteStringRecord(none.state(), 1, "NAME", empty), 0);
  EXPECT_EQ(none.size(), 0u);

  auto load = [](const char* line) {
    StringRecord s;
    Text t(std::string(line) + "\nEND\n");
    EXPECT_EQ(ReadStringRecord(t.state(), s), nullptr);
    return std::string(s.text);
  };
  EXPECT_EQ(load("STRING2 3 @hello"), "hel");
  EXPECT_EQ(load("STRING2 99 @hi"), "hi");
  EXPECT_EQ(load("STRING @old form@ignored"), "old form");
}

TEST(StringRecord, LineBreaksInsideATextCannotStartARecordOfTheirOwn) {
  MemoryWriter w(4096);
  StringRecord r;
  std::strcpy(r.text, "x\r\nEND\nBEGIN NUM LUMINOUS\tok");
  WriteStringRecord(w.state(), 0, "NAME", r);
  EXPECT_EQ(Lines(w), (std::vector<std::string>{"BEGIN STRING NAME",
                                                " STRING2 28 @x  END BEGIN NUM LUMINOUS\tok",
                                                "END"}));
}

TEST(ImageNameRecord, StoresContentRelativeNamesAndEndOfDataIsNoError) {
  char out[600];
  MakeContentRelative("C:\\Content\\Images\\wood.tga", "C:\\Content", out, sizeof out);
  EXPECT_STREQ(out, "Images\\wood.tga");
  MakeContentRelative("/content/images/wood.png", "/content/", out, sizeof out);
  EXPECT_STREQ(out, "images/wood.png");
  MakeContentRelative("/contents/wood.png", "/content", out, sizeof out);
  EXPECT_STREQ(out, "/contents/wood.png");
  std::string longName = "/x/" + std::string(600, 'n');
  MakeContentRelative(longName.c_str(), "", out, sizeof out);
  EXPECT_EQ(std::strlen(out), 511u);

  ImageNameRecord loaded;
  Text t("IMAGENAME 4 @wood\nFILENAME 5 @a.png\n");
  EXPECT_EQ(ReadImageNameRecord(t.state(), loaded), nullptr);
  EXPECT_STREQ(loaded.imageName, "wood");
  EXPECT_STREQ(loaded.fileName, "a.png");
}

TEST(RadioRecord, OutOfRangeSelectionsKeepTheFormerOne) {
  auto load = [](const char* text, int former) {
    RadioRecord r{former, 3};
    Text t(text);
    const char* message = ReadRadioRecord(t.state(), r);
    return std::make_pair(r.selection, message ? std::string(message) : std::string());
  };
  EXPECT_EQ(load("SELECTION 2\nEND\n", 0), std::make_pair(2, std::string()));
  EXPECT_EQ(load("SELECTION 7\nEND\n", 1), std::make_pair(1, std::string()));
  EXPECT_EQ(load("SELECTION -1\nEND\n", 1), std::make_pair(1, std::string()));
  EXPECT_EQ(load("", 1), std::make_pair(1, std::string(kMsgNoLine)));
  EXPECT_EQ(load("CHOICE 2\nEND\n", 1), std::make_pair(1, std::string(kMsgNoSelection)));
  EXPECT_EQ(load("SELECTION\nEND\n", 1), std::make_pair(1, std::string(kMsgBadToken)));
}

TEST(ListBoxRecord, RowsOutsideTheListAreIgnoredAndTheEndMustNameTheKey) {
  MemoryWriter w(4096);
  ListBoxRecord r;
  r.selected[0] = r.selected[511] = 1;
  WriteListBoxRecord(w.state(), 1, "ROWS", r);
  EXPECT_EQ(Lines(w), (std::vector<std::string>{" BEGIN LISTBOX ROWS", "  SEL 0", "  SEL 511",
                                                " END LISTBOX ROWS"}));

  ListBoxRecord loaded;
  loaded.selected[5] = 1;  // cleared by the reader
  Text t("SEL 3\nSEL 600\nSEL -1\nEND LISTBOX ROWS\n");
  EXPECT_EQ(ReadListBoxRecord(t.state(), "ROWS", loaded), nullptr);
  int count = 0;
  for (uint8_t f : loaded.selected) count += f;
  EXPECT_EQ(count, 1);
  EXPECT_EQ(loaded.selected[3], 1);

  Text wrong("SEL 1\nEND LISTBOX OTHER\n");
  EXPECT_STREQ(ReadListBoxRecord(wrong.state(), "ROWS", loaded), kMsgWrongEndName);
  EXPECT_EQ(loaded.selected[1], 1);
  Text bare("END\n");
  EXPECT_STREQ(ReadListBoxRecord(bare.state(), "ROWS", loaded), kMsgBadToken);
}

TEST(ItemRecord, EntriesBonesAndTheListLimits) {
  MemoryWriter w(4096);
  ItemRecord r;
  ItemReference light;
  light.item.type = kItemLight;
  light.item.cloneIndex = 2;
  light.item.count = 3;
  std::strcpy(light.item.name, "Light");
  ItemReference bone;
  bone.item.type = kItemBone;
  std::strcpy(bone.item.name, "Elbow");
  bone.hasParent = true;
  std::strcpy(bone.parent.name, "Arm");
  r.entries = {light, bone};
  WriteItemRecord(w.state(), 1, "LIGHTS", r);
  EXPECT_EQ(Lines(w), (std::vector<std::string>{" BEGIN ITEM LIGHTS", " LIGHT 2 3 5 @Light",
                                                " PARENT 1 1 3 @Arm", " BONE 1 1 5 @Elbow",
                                                " END"}));
  MemoryWriter none(64);
  EXPECT_EQ(WriteItemRecord(none.state(), 1, "LIGHTS", ItemRecord{}), 0);

  std::string text(w.bytes().begin(), w.bytes().end());
  Text t(text.substr(text.find("\r\n") + 2));
  ItemRecord loaded;
  EXPECT_EQ(ReadItemRecord(t.state(), loaded), nullptr);
  ASSERT_EQ(loaded.entries.size(), 2u);
  EXPECT_STREQ(loaded.entries[0].item.name, "Light");
  EXPECT_EQ(loaded.entries[0].item.cloneIndex, 2);
  EXPECT_EQ(loaded.entries[1].item.type, kItemBone);
  EXPECT_STREQ(loaded.entries[1].parent.name, "Arm");

  // 5000 entries of 9-byte names: the 4096-byte pool takes 409 (10 bytes each).
  std::string many;
  for (int i = 0; i < 5000; ++i) many += "OBJECT 1 1 9 @Something\n";
  Text big(many + "END\n");
  EXPECT_EQ(ReadItemRecord(big.state(), loaded), nullptr);
  EXPECT_EQ(loaded.entries.size(), 409u);
  std::string shortNames;
  for (int i = 0; i < 5000; ++i) shortNames += "OBJECT 1 1 0 @\n";
  Text limit(shortNames + "END\n");
  EXPECT_EQ(ReadItemRecord(limit.state(), loaded), nullptr);
  EXPECT_EQ(loaded.entries.size(), 4096u);
}

TEST(ButtonRecord, YesSetsABitAnythingElseClearsIt) {
  ButtonRecord r{kButtonHighlighted};
  Text t("CHECKED YES\nHIGHLIGHTED yes\nEND\n");
  EXPECT_EQ(ReadButtonRecord(t.state(), r), nullptr);
  EXPECT_EQ(r.state, kButtonChecked);
}

}  // namespace
}  // namespace orvik
