#include "protocol/frame.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> hexBytes(const std::string& hex) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

struct ReferenceVectors {
  std::vector<std::string> frames;                          // ":..." with the LRC last
  std::vector<std::pair<std::string, std::string>> lrcs;   // bytes, LRC
  std::vector<std::string> bad;
};

// protocol/testdata/modbus-ascii-lrc.txt: frames and LRCs of the Modbus ASCII
// convention taken from the test suites of independent Modbus libraries
// (pymodbus, goburrow/modbus, minimalmodbus); the file names its sources.
ReferenceVectors loadReferenceVectors() {
  ReferenceVectors vectors;
  std::ifstream in(ZORT_REFERENCE_VECTORS);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string kind, first, second;
    fields >> kind >> first >> second;
    if (kind == "frame") vectors.frames.push_back(first);
    if (kind == "lrc") vectors.lrcs.emplace_back(first, second);
    if (kind == "bad") vectors.bad.push_back(first);
  }
  return vectors;
}

TEST(Lrc, AgreesWithPublishedModbusAsciiVectors) {
  const ReferenceVectors vectors = loadReferenceVectors();
  ASSERT_FALSE(vectors.frames.empty()) << "reference vectors not found";
  ASSERT_FALSE(vectors.lrcs.empty());
  for (const auto& frame : vectors.frames) {
    SCOPED_TRACE(frame);
    const auto bytes = hexBytes(frame.substr(1));
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(computeLrc(bytes.data(), bytes.size() - 1), bytes.back());
  }
  for (const auto& [hex, lrc] : vectors.lrcs) {
    SCOPED_TRACE(hex);
    const auto bytes = hexBytes(hex);
    EXPECT_EQ(computeLrc(bytes.data(), bytes.size()), hexBytes(lrc).at(0));
  }
}

TEST(Decoder, AcceptsTheLongReferenceFramesAndRejectsTheBadOne) {
  const ReferenceVectors vectors = loadReferenceVectors();
  std::array<uint8_t, 256> out{};
  for (const auto& frame : vectors.frames) {
    const std::string line = frame + "\r\n";
    SCOPED_TRACE(line);
    const auto result = decodeReplyFrame(line.data(), line.size(), out.data(), out.size());
    if (line.size() < 12) {
      EXPECT_EQ(result.status, kStatusBadFormat);  // too short for a reply
      continue;
    }
    ASSERT_EQ(result.status, kStatusOk);
    EXPECT_EQ(result.length, (line.size() - 3) / 2);
    EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + result.length),
              hexBytes(frame.substr(1)));
    EXPECT_EQ(out[result.length], 0) << "a NUL follows the decoded bytes";
  }
  ASSERT_FALSE(vectors.bad.empty());
  for (const auto& frame : vectors.bad) {
    const std::string line = frame + "\r\n";
    EXPECT_EQ(decodeReplyFrame(line.data(), line.size(), out.data(), out.size()).status,
              kStatusBadFormat);
  }
}

TEST(RequestFrame, EachParameterCodeGivesItsFrame) {
  const std::pair<uint8_t, const char*> cases[] = {
      {0x41, ":00020041380085\r\n"}, {0x42, ":00020042380084\r\n"},
      {0x62, ":00020062380064\r\n"}, {0x40, ":00020040380086\r\n"},
      {0x49, ":0002004938007D\r\n"}, {0x46, ":00020046380080\r\n"},
      {0x43, ":00020043380083\r\n"}, {0xFF, ":000200FF3800C7\r\n"},
  };
  for (const auto& [code, expected] : cases) {
    SCOPED_TRACE(expected);
    const RequestFrame frame = buildRequestFrame(code);
    EXPECT_EQ(std::string(frame.data(), frame.size()), expected);
  }
}

TEST(RequestFrame, DecodesAsAValidFrame) {
  for (int code = 0; code < 256; ++code) {
    const RequestFrame frame = buildRequestFrame(static_cast<uint8_t>(code));
    std::array<uint8_t, 16> out{};
    const auto result = decodeReplyFrame(frame.data(), frame.size(), out.data(), out.size());
    ASSERT_EQ(result.status, kStatusOk) << code;
    EXPECT_EQ(out[3], code);
  }
}

struct DecodeCase {
  const char* name;
  std::string characters;
  StatusCode status;
  size_t length;
};

const DecodeCase kDecodeCases[] = {
    {"shortest accepted (12)", ":0000000000\r\n", kStatusOk, 5},
    {"eleven characters", ":00000000\r\n\n", kStatusBadFormat, 0},
    {"no colon", "00020041380085\r\n", kStatusBadFormat, 0},
    {"colon late", " :020041380085\r\n", kStatusBadFormat, 0},
    {"LF only", ":00020041380085\n\n", kStatusBadFormat, 0},
    {"CR LF swapped", ":00020041380085\n\r", kStatusBadFormat, 0},
    {"wrong LRC", ":00020041380086\r\n", kStatusBadFormat, 0},
    {"lowercase digits fail the sum", ":0A0b0c0d0e0F0F6C\r\n", kStatusBadFormat, 0},
    {"stray odd digit ignored", ":000200413800850\r\n", kStatusOk, 7},
    {"trailing noise", ":00020041380085\r\nxx", kStatusBadFormat, 0},
};

class Decoder : public testing::TestWithParam<DecodeCase> {};

TEST_P(Decoder, ChecksShapeAndLrc) {
  const DecodeCase& c = GetParam();
  std::array<uint8_t, 64> out{};
  const auto result = decodeReplyFrame(c.characters.data(), c.characters.size(), out.data(),
                                       out.size());
  EXPECT_EQ(result.status, c.status);
  EXPECT_EQ(result.length, c.length);
}

INSTANTIATE_TEST_SUITE_P(Cases, Decoder, testing::ValuesIn(kDecodeCases),
                         [](const auto& info) {
                           std::string name;
                           for (char c : std::string(info.param.name))
                             name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

TEST(Decoder, TheLongestReceivableReplyFitsOneShareOfTheStore) {
  // 512 characters: ":" + 254 digit pairs + one stray digit + CR LF.
  std::string frame = ":";
  std::vector<uint8_t> bytes(253, 0x11);
  bytes.push_back(computeLrc(bytes.data(), bytes.size()));
  for (uint8_t b : bytes) {
    std::array<char, 3> pair{};
    std::snprintf(pair.data(), pair.size(), "%02X", b);
    frame += pair.data();
  }
  frame += "0\r\n";
  ASSERT_EQ(frame.size(), kMaxReplyCharacters);
  std::array<uint8_t, 256> out{};
  const auto result = decodeReplyFrame(frame.data(), frame.size(), out.data(), out.size());
  EXPECT_EQ(result.status, kStatusOk);
  EXPECT_EQ(result.length, 254u);
  EXPECT_EQ(out[254], 0);
}

TEST(Decoder, NeverWritesPastTheDestination) {
  const std::string frame = ":00020041380085\r\n";  // 7 bytes + NUL
  std::array<uint8_t, 10> out{};
  out.fill(0xEE);
  EXPECT_EQ(decodeReplyFrame(frame.data(), frame.size(), out.data(), 7).status,
            kStatusBadFormat);
  EXPECT_EQ(out[0], 0xEE);
  EXPECT_EQ(decodeReplyFrame(frame.data(), frame.size(), out.data(), 8).status, kStatusOk);
  EXPECT_EQ(out[8], 0xEE);
}

}  // namespace
