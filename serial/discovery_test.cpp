#include "serial/discovery.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

namespace {

void collect(void* context, const char* name) {
  static_cast<std::vector<std::string>*>(context)->push_back(name);
}

struct ListCase {
  const char* name;
  std::string list;  // names with their NULs, as the system hands them over
  std::vector<std::string> reported;
};

// Built from pieces so the NULs stay in.
std::string names(std::initializer_list<const char*> parts) {
  std::string list;
  for (const char* part : parts) {
    list += part;
    list.push_back('\0');
  }
  list.push_back('\0');
  return list;
}

const ListCase kListCases[] = {
    {"MixedDevices", names({"COM1", "LPT1", "COM10", "COMX"}), {"COM1", "COM10"}},
    {"ColonAfterCom", names({"COM:", "COM?", "COM/", "COM@"}), {"COM:", "COM?"}},
    {"ShortNames", names({"CO", "C", "COM", "COM3"}), {"COM3"}},
    {"LowercaseIsNoPort", names({"com1", "Com2", "COM2"}), {"COM2"}},
    {"KeepsSystemOrderAndDuplicates", names({"COM9", "COM2", "COM9"}), {"COM9", "COM2", "COM9"}},
    {"Empty", std::string(2, '\0'), {}},
    {"NothingAfterEmptyName", std::string("COM1\0\0COM2\0\0", 12), {"COM1"}},
    // The list ends at its size even without its closing empty name, and a
    // name cut off by the end is not read past it.
    {"UnterminatedLastName", std::string("COM1\0COM2", 9), {"COM1"}},
};

class DeviceListTest : public testing::TestWithParam<ListCase> {};

TEST_P(DeviceListTest, ReportsTheSerialPortsInOrder) {
  const ListCase& c = GetParam();
  std::vector<std::string> reported;
  const uint32_t count = walkDeviceList(c.list.data(), c.list.size(), collect, &reported);
  EXPECT_EQ(reported, c.reported);
  EXPECT_EQ(count, c.reported.size());
}

INSTANTIATE_TEST_SUITE_P(Lists, DeviceListTest, testing::ValuesIn(kListCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SerialPortName, TestsTheHighNibbleOfTheFourthByte) {
  for (int byte = 1; byte < 256; ++byte) {
    const char name[] = {'C', 'O', 'M', static_cast<char>(byte), '\0'};
    SCOPED_TRACE(byte);
    EXPECT_EQ(isSerialPortName(name), (byte & 0xF0) == 0x30);
  }
  EXPECT_FALSE(isSerialPortName(nullptr));
  EXPECT_FALSE(isSerialPortName(""));
}

TEST(PortEnumeration, ReportsOnlyExistingSerialDevices) {
  std::vector<std::string> reported;
  const uint32_t count = enumeratePorts(collect, &reported);
  EXPECT_EQ(count, reported.size());
  if (reported.empty()) GTEST_SKIP() << "this machine has no serial port to list";
  for (const auto& name : reported) {
    SCOPED_TRACE(name);
    struct stat info{};
    ASSERT_EQ(stat(name.c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    EXPECT_TRUE(name.rfind("/dev/ttyS", 0) == 0 || name.rfind("/dev/ttyUSB", 0) == 0 ||
                name.rfind("/dev/ttyACM", 0) == 0);
  }
}

// A device list as a system with many devices hands it over: it fails as
// QueryDosDeviceA does with ERROR_INSUFFICIENT_BUFFER until the room fits.
struct LargeSystem {
  std::string list;
  std::vector<size_t> asked;
  bool failHard = false;  // fails for any room, not for want of it
};

size_t queryLarge(void* context, char* buffer, size_t size, bool* tooSmall) {
  auto& system = *static_cast<LargeSystem*>(context);
  system.asked.push_back(size);
  *tooSmall = !system.failHard && system.list.size() > size;
  if (system.failHard || system.list.size() > size) return 0;
  system.list.copy(buffer, system.list.size());
  return system.list.size();
}

LargeSystem systemWithManyDevices() {
  LargeSystem system;
  for (int i = 0; i < 9000; ++i) system.list += "HarddiskVolumeShadowCopy" + std::to_string(i) + '\0';
  system.list += std::string("COM3") + '\0' + "COM12" + '\0' + '\0';
  return system;
}

TEST(DeviceListQuery, GrowsTheRoomUntilTheListFits) {
  LargeSystem system = systemWithManyDevices();
  ASSERT_GT(system.list.size(), 65535u * 2);
  std::vector<std::string> reported;
  EXPECT_EQ(queryDeviceList(queryLarge, &system, collect, &reported), 2u);
  EXPECT_EQ(reported, (std::vector<std::string>{"COM3", "COM12"}));
  EXPECT_EQ(system.asked, (std::vector<size_t>{65535, 131070, 262140}));
}

TEST(DeviceListQuery, AFailedQueryReportsNoPort) {
  LargeSystem system = systemWithManyDevices();
  system.failHard = true;
  std::vector<std::string> reported;
  EXPECT_EQ(queryDeviceList(queryLarge, &system, collect, &reported), 0u);
  EXPECT_TRUE(reported.empty());
  EXPECT_EQ(system.asked.size(), 1u) << "only a list that does not fit is asked for again";
}

}  // namespace
