#include "protocol/reply_parser.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "protocol/frame.h"
#include "protocol/trace.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A decoded reply: 5 header bytes, flags, the texts, then body (type and
// value bytes), and the LRC byte last, as the decoder leaves it.
Bytes reply(uint8_t flags, const std::string& texts, const Bytes& body) {
  Bytes bytes = {0x00, 0x02, 0x00, 0x41, 0x38, flags};
  for (const char c : texts) bytes.push_back(static_cast<uint8_t>(c));
  for (const uint8_t b : body) bytes.push_back(b);
  bytes.push_back(computeLrc(bytes.data(), bytes.size()));
  return bytes;
}

// The usual layout: no second text, an empty first text.
Bytes simple(const Bytes& body) { return reply(0x00, std::string(1, '\0'), body); }

ReplySlot slotOf(const Bytes& bytes) {
  return {static_cast<uint16_t>(bytes.size()), bytes.data(), kStatusOk};
}

class ReplyParser : public testing::Test {
 protected:
  void SetUp() override {
    for (auto& result : results_) setValueText(result, "old");
  }
  std::string text(size_t position) const { return std::string(valueText(results_[position])); }
  ResultStore results_{};
};

struct ValueCase {
  const char* name;
  size_t position;
  Bytes body;  // type byte and value bytes
  const char* expected;
};

const ValueCase kValueCases[] = {
    {"type 1 unsigned byte", 1, {1, 0xFF}, "255"},
    {"type 2 signed byte", 1, {2, 0xFF}, "-1"},
    {"type 2 positive", 4, {2, 0x7F}, "127"},
    {"type 3 at the checksum is hex padded to 4", 2, {3, 0x01, 0x02}, " 102"},
    {"type 3 elsewhere is decimal", 1, {3, 0x01, 0x02}, "258"},
    {"type 3 at the checksum, four digits", 2, {3, 0x72, 0xC0}, "72C0"},
    {"type 4 is big-endian unsigned", 2, {4, 0xFF, 0xFE}, "65534"},
    {"type 5 unsigned 32-bit", 3, {5, 0xFF, 0xFF, 0xFF, 0xFE}, "4294967294"},
    {"type 6 signed 32-bit", 3, {6, 0xFF, 0xFF, 0xFF, 0xFE}, "-2"},
    {"type 7 little-endian single", 4, {7, 0x00, 0x00, 0x80, 0x3F}, "1.000000"},
    {"type 7 negative fraction", 4, {7, 0x00, 0x00, 0x20, 0xC0}, "-2.500000"},
    {"type 7 not a number", 4, {7, 0x00, 0x00, 0xC0, 0x7F}, "nan"},
    {"type 7 negative not a number", 4, {7, 0x01, 0x00, 0xC0, 0xFF}, "nan"},
    {"type 7 infinite", 4, {7, 0x00, 0x00, 0x80, 0x7F}, "inf"},
    {"type 7 negative infinite", 4, {7, 0x00, 0x00, 0x80, 0xFF}, "-inf"},
    {"type 11 text", 3, {11, 'Z', 'T', '-', '7', 0}, "ZT-7"},
    {"type 11 empty text", 3, {11, 0}, ""},
    {"type 12 mapped code", 5, {12, 0xAA, 0xBB, 3}, "8"},
    {"type 13 mapped code", 5, {13, 0, 0, 0}, "1"},
    {"type 13 last code", 5, {13, 0, 0, 8}, "3"},
    {"type 12 code outside the map", 5, {12, 0, 0, 9}, ""},
    {"type 13 code 255", 5, {13, 0, 0, 0xFF}, ""},
    {"type 14 skips two bytes", 1, {14, 0xEE, 0xEE, 0x00, 0x01, 0x00, 0x00}, "65536"},
    {"type 8 writes nothing", 1, {8}, "old"},
    {"type 9 writes nothing", 1, {9, 1, 2, 3}, "old"},
    {"type 10 writes nothing", 1, {10}, "old"},
    {"type 0 writes nothing", 1, {0}, "old"},
    {"type 15 writes nothing", 1, {15}, "old"},
    {"type 255 writes nothing", 1, {255, 1}, "old"},
};

class ReplyParserValues : public ReplyParser, public testing::WithParamInterface<ValueCase> {};

TEST_P(ReplyParserValues, FormatsTheValueText) {
  const ValueCase& c = GetParam();
  Bytes body = c.body;
  while (body.size() < 3) body.push_back(0);  // keep the reply at 10 bytes or more
  const Bytes bytes = simple(body);
  EXPECT_EQ(formatParameter(slotOf(bytes), c.position, results_), kStatusOk);
  EXPECT_EQ(text(c.position), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Types, ReplyParserValues, testing::ValuesIn(kValueCases),
                         [](const auto& info) {
                           std::string name;
                           for (char ch : std::string(info.param.name))
                             name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                           return name;
                         });

TEST_F(ReplyParser, TextsAreSkippedByTheFlags) {
  // First text with flag clear: the type byte follows its NUL.
  Bytes bytes = reply(0x00, std::string("name\0", 5), {4, 0x00, 0x32});
  EXPECT_EQ(formatParameter(slotOf(bytes), 4, results_), kStatusOk);
  EXPECT_EQ(text(4), "50");
  // Flag set: a second text follows, also skipped.
  bytes = reply(0x01, std::string("name\0unit\0", 10), {4, 0x00, 0x33});
  EXPECT_EQ(formatParameter(slotOf(bytes), 4, results_), kStatusOk);
  EXPECT_EQ(text(4), "51");
  // Flag set, second text empty; other flag bits are not looked at.
  bytes = reply(0xFF, std::string("\0\0", 2), {1, 7, 0});
  EXPECT_EQ(formatParameter(slotOf(bytes), 4, results_), kStatusOk);
  EXPECT_EQ(text(4), "7");
}

TEST_F(ReplyParser, LongTextsAreCutAt63) {
  Bytes body = {11};
  body.insert(body.end(), 100, 'S');
  body.push_back(0);
  const Bytes bytes = simple(body);
  EXPECT_EQ(formatParameter(slotOf(bytes), 3, results_), kStatusOk);
  EXPECT_EQ(text(3), std::string(63, 'S'));
}

struct MalformedCase {
  const char* name;
  Bytes bytes;  // the whole decoded reply, LRC included
};

// Replies whose fields reach the LRC byte or beyond: nothing outside the
// reply may be read and no text is written.
std::vector<MalformedCase> malformedCases() {
  return {
      {"nine bytes", {0, 2, 0, 0x41, 0x38, 0, 0, 1, 0}},
      {"value cut short", simple({5, 0xFF, 0xFF})},
      {"type 14 cut short", simple({14, 0, 0, 1, 2, 3})},
      {"type 12 without its code", simple({12, 0})},
      {"type byte missing", reply(0x00, std::string("abc\0", 4), {})},
      {"first text runs into the LRC", reply(0x00, "abcdef", {})},
      {"second text runs into the LRC", reply(0x01, std::string("a\0bcdef", 7), {})},
      {"type 11 text without NUL", simple({11, 'A', 'B', 'C'})},
  };
}

TEST_F(ReplyParser, MalformedRepliesGive8AndWriteNothing) {
  for (const auto& c : malformedCases()) {
    SCOPED_TRACE(c.name);
    for (size_t position = 0; position < kParameterCount; ++position)
      EXPECT_EQ(formatParameter(slotOf(c.bytes), position, results_), kStatusBadFormat);
    for (size_t position = 0; position < kParameterCount; ++position)
      EXPECT_EQ(text(position), "old");
  }
}

TEST_F(ReplyParser, ReadsNothingBeyondTheSlotLength) {
  // The bytes after the slot's length hold what would be a valid value; the
  // parser must stop at the LRC byte (the last counted one).
  Bytes bytes = simple({5, 0x00, 0x00});
  const uint16_t length = static_cast<uint16_t>(bytes.size());
  bytes.insert(bytes.end(), {0x00, 0x01});
  const ReplySlot slot = {length, bytes.data(), kStatusOk};
  EXPECT_EQ(formatParameter(slot, 1, results_), kStatusBadFormat);
  EXPECT_EQ(text(1), "old");
}

class ChecksumPreset : public ReplyParser {
 protected:
  std::string formatVersion(uint8_t version) {
    FILE* capture = std::tmpfile();
    redirectTrace(kTraceOut, capture);
    const Bytes bytes = simple({1, version, 0});
    EXPECT_EQ(formatParameter(slotOf(bytes), kSoftwareVersionPosition, results_), kStatusOk);
    redirectTrace(kTraceOut, stdout);
    std::rewind(capture);
    std::string trace(128, '\0');
    trace.resize(std::fread(trace.data(), 1, trace.size(), capture));
    std::fclose(capture);
    return trace;
  }
};

TEST_F(ChecksumPreset, VersionsAbove20PresetTheChecksum) {
  const struct {
    uint8_t version;
    const char* checksum;
    const char* trace;
  } cases[] = {
      {20, "old", " ZZZ =14, X=a819 "}, {21, "A819", " ZZZ =15, X=a819 "},
      {22, "72C0", " ZZZ =16, X=72c0 "}, {23, "37B5", " ZZZ =17, X=37b5 "},
      {255, "A819", " ZZZ =ff, X=a819 "}, {0, "old", " ZZZ =0, X=a819 "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    SetUp();
    EXPECT_EQ(formatVersion(c.version), c.trace);
    EXPECT_EQ(text(kSoftwareVersionPosition), std::to_string(c.version));
    EXPECT_EQ(text(kChecksumPosition), c.checksum);
  }
}

TEST_F(ChecksumPreset, OnlyTypeOneAtTheVersionPosition) {
  Bytes bytes = simple({1, 22, 0});
  EXPECT_EQ(formatParameter(slotOf(bytes), 1, results_), kStatusOk);
  EXPECT_EQ(text(kChecksumPosition), "old");
  bytes = simple({4, 0, 22});
  EXPECT_EQ(formatParameter(slotOf(bytes), kSoftwareVersionPosition, results_), kStatusOk);
  EXPECT_EQ(text(kChecksumPosition), "old");
}

TEST_F(ChecksumPreset, TheChecksumsOwnReplyOverwritesThePresetUnlessItWritesNothing) {
  formatVersion(23);
  Bytes bytes = simple({8, 0, 0});
  EXPECT_EQ(formatParameter(slotOf(bytes), kChecksumPosition, results_), kStatusOk);
  EXPECT_EQ(text(kChecksumPosition), "37B5");
  bytes = simple({3, 0xBE, 0xEF});
  EXPECT_EQ(formatParameter(slotOf(bytes), kChecksumPosition, results_), kStatusOk);
  EXPECT_EQ(text(kChecksumPosition), "BEEF");
}

}  // namespace
