#include "tools/zort-sim/request_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string request(uint8_t code) {
  const RequestFrame frame = buildRequestFrame(code);
  return std::string(frame.data(), frame.size());
}

std::vector<int> feedAll(RequestReader& reader, const std::string& stream) {
  std::vector<int> codes;
  for (const char c : stream) {
    const ArrivedRequest arrived = feedRequestCharacter(reader, c, 0);
    if (arrived.complete) codes.push_back(arrived.code);
  }
  return codes;
}

struct StreamCase {
  const char* name;
  std::string stream;
  std::vector<int> codes;
};

void PrintTo(const StreamCase& c, std::ostream* out) { *out << c.name; }

class RequestStreams : public ::testing::TestWithParam<StreamCase> {};

TEST_P(RequestStreams, FindsExactlyTheValidFrames) {
  RequestReader reader;
  EXPECT_EQ(feedAll(reader, GetParam().stream), GetParam().codes);
}

const StreamCase kStreams[] = {
    {"the six requests", request(0x41) + request(0x42) + request(0x62) + request(0x40) +
                             request(0x49) + request(0x46),
     {0x41, 0x42, 0x62, 0x40, 0x49, 0x46}},
    {"any code byte", request(0x00) + request(0xC6) + request(0xFF), {0x00, 0xC6, 0xFF}},
    {"noise between frames", "xx\r\n" + request(0x41) + std::string("\0zz", 3) + request(0x42), {0x41, 0x42}},
    {"cut-off frame then a good one", ":000200" + request(0x41), {0x41}},
    {"lowercase digits", ":0002004a38007c\r\n" + request(0x4A), {0x4A}},
    {"wrong LRC", ":00020041380086\r\n", {}},
    {"wrong fixed bytes", ":00030041380084\r\n", {}},
    {"LF missing", ":00020041380085\r" + request(0x46), {0x46}},
    {"reply-shaped frame", ":0002004138000116\r\n", {}},
};
INSTANTIATE_TEST_SUITE_P(All, RequestStreams, ::testing::ValuesIn(kStreams),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (char& c : name)
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

TEST(RequestReader, ReportsTheArrivalOfTheFramesColon) {
  RequestReader reader;
  const std::string frame = request(0x49);
  feedRequestCharacter(reader, 'x', 5);
  ArrivedRequest arrived;
  for (size_t i = 0; i < frame.size(); ++i)
    arrived = feedRequestCharacter(reader, frame[i], 100 + static_cast<int64_t>(i) * 10);
  ASSERT_TRUE(arrived.complete);
  EXPECT_EQ(arrived.code, 0x49);
  EXPECT_EQ(arrived.firstArrivalNs, 100);
}

}  // namespace
