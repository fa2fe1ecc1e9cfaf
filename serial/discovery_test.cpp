#include "serial/discovery.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "serial/windows_port_sources.h"

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

// What counts as a serial port's name: "COM", then a digit or one of
// ":;<=>?" (the six characters after the digits); only those four bytes
// decide, and the name is taken whole.
TEST(SerialPortName, AcceptsEveryComNumberAPortCanHave) {
  for (int number = 1; number <= 256; ++number) {
    const std::string name = "COM" + std::to_string(number);
    EXPECT_TRUE(isSerialPortName(name.c_str())) << name;
  }
  EXPECT_TRUE(isSerialPortName("COM0"));
}

TEST(SerialPortName, TheFourthByteIsADigitOrOneOfTheSixAfterThem) {
  const std::string accepted = "0123456789:;<=>?";
  for (int byte = 1; byte < 256; ++byte) {
    const char name[] = {'C', 'O', 'M', static_cast<char>(byte), '\0'};
    SCOPED_TRACE(byte);
    EXPECT_EQ(isSerialPortName(name), accepted.find(static_cast<char>(byte)) != std::string::npos);
  }
}

TEST(SerialPortName, TheFirstThreeBytesAreExactlyCapitalCom) {
  for (size_t position = 0; position < 3; ++position) {
    for (int byte = 1; byte < 256; ++byte) {
      char name[] = "COM1";
      if (name[position] == static_cast<char>(byte)) continue;
      name[position] = static_cast<char>(byte);
      SCOPED_TRACE(name);
      EXPECT_FALSE(isSerialPortName(name));
    }
  }
  for (const char* name : {"com1", "Com1", "cOM1", "coM12"}) EXPECT_FALSE(isSerialPortName(name)) << name;
}

TEST(SerialPortName, RefusesShortNamesAndOtherPrefixes) {
  for (const char* name : {"", "C", "CO", "COM", "LPT1", "AUX", "CNCA0", "XCOM1", " COM1", "_COM1",
                           "COMX", "COM-1", "COM 1"})
    EXPECT_FALSE(isSerialPortName(name)) << name;
  EXPECT_FALSE(isSerialPortName(nullptr));
}

// The list holds plain names; the namespace is added only to open a port.
TEST(SerialPortName, RefusesDeviceNamespaceForms) {
  for (const char* name : {"\\\\.\\COM1", "\\\\?\\COM12", "\\??\\COM3", "\\Device\\Serial0",
                           "Global\\COM1", "//./COM1"})
    EXPECT_FALSE(isSerialPortName(name)) << name;
}

// Whatever follows the fourth byte is not looked at: the name passes whole.
TEST(SerialPortName, WhatFollowsTheFourthByteDoesNotDecide) {
  for (const char* name : {"COM12", "COM1X", "COM1 ", "COM1:", "COM9-USB", "COM3\xFF"})
    EXPECT_TRUE(isSerialPortName(name)) << name;
  for (const char* name : {"COMX1", "COM/1", "COM@12"}) EXPECT_FALSE(isSerialPortName(name)) << name;
  std::vector<std::string> reported;
  const std::string list = names({"COM1X", "COM12", "LPT1"});
  EXPECT_EQ(walkDeviceList(list.data(), list.size(), collect, &reported), 2u);
  EXPECT_EQ(reported, (std::vector<std::string>{"COM1X", "COM12"})) << "reported whole";
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

// ---------------------------------------------------------------------------
// Windows' three sources, merged.

std::vector<std::string> namesOf(const std::vector<PortInfo>& ports) {
  std::vector<std::string> names;
  for (const auto& port : ports) names.push_back(port.name);
  return names;
}

TEST(PortSourceMerge, EachPortOnceInNaturalOrder) {
  PortSources sources;
  // Device names as QueryDosDeviceA lists them: the system's order.
  sources.deviceNames = {"COM12", "COM3", "LPT1", "COM1"};
  // SERIALCOMM: an adapter plugged in later, ports both sources know (in
  // another spelling, with a stray space), and a value that is no port.
  sources.registryNames = {"COM7", "COM3", "com12", "COM1 ", "Serial0", "COM10"};
  const std::vector<PortInfo> ports = mergePortSources(sources);
  EXPECT_EQ(namesOf(ports),
            (std::vector<std::string>{"COM1", "COM3", "COM7", "COM10", "COM12"}));
  for (const auto& port : ports) EXPECT_EQ(port.description, "") << port.name;
}

TEST(PortSourceMerge, EitherSourceAloneListsItsPorts) {
  PortSources onlyRegistry;
  onlyRegistry.registryNames = {"COM4", "COM2"};
  EXPECT_EQ(namesOf(mergePortSources(onlyRegistry)), (std::vector<std::string>{"COM2", "COM4"}));
  PortSources onlyDevices;
  onlyDevices.deviceNames = {"COM9", "COM9"};
  EXPECT_EQ(namesOf(mergePortSources(onlyDevices)), (std::vector<std::string>{"COM9"}));
  EXPECT_TRUE(mergePortSources(PortSources{}).empty());
}

TEST(PortSourceMerge, DescribesEachPortByItsDevicesFriendlyName) {
  PortSources sources;
  sources.deviceNames = {"COM1", "COM7", "COM4"};
  sources.registryNames = {"COM12"};
  sources.friendlyNames = {
      {"COM7", "USB-SERIAL CH340 (COM7)"},
      {"COM12", "Стандартный модем по соединению Bluetooth (COM12)"},
      {"COM1", "Последовательный порт (COM1)"},
      {"COM30", "A device whose port is not listed (COM30)"},
      {"LPT1", "Порт принтера (LPT1)"},
  };
  const std::vector<PortInfo> ports = mergePortSources(sources);
  ASSERT_EQ(ports.size(), 4u);
  EXPECT_EQ(portEntryText(ports[0]), "COM1  Последовательный порт");
  EXPECT_EQ(portEntryText(ports[1]), "COM4") << "a port with no device named stands alone";
  EXPECT_EQ(portEntryText(ports[2]), "COM7  USB-SERIAL CH340");
  EXPECT_EQ(portEntryText(ports[3]), "COM12  Стандартный модем по соединению Bluetooth");
}

// --all leaves out what a Bluetooth link or a modem serves; the list keeps
// them, described as ever.
TEST(PortSourceMerge, KnowsBluetoothLinksAndModemsWhichReadingAllLeavesOut) {
  PortSources sources;
  sources.deviceNames = {"COM1", "COM3", "COM4", "COM5"};
  sources.friendlyNames = {
      {"COM3", "Standard Serial over Bluetooth link (COM3)", PortDevice::kBluetooth},
      // A modem's name comes from the Modem class; its Ports entry has none.
      {"COM4", "", PortDevice::kSerial},
      {"COM4", "Стандартный модем (COM4)", PortDevice::kModem},
      {"COM5", "USB Serial Port (COM5)", PortDevice::kSerial},
  };
  const std::vector<PortInfo> ports = mergePortSources(sources);
  ASSERT_EQ(namesOf(ports), (std::vector<std::string>{"COM1", "COM3", "COM4", "COM5"}));
  const std::vector<PortDevice> devices = {PortDevice::kSerial, PortDevice::kBluetooth,
                                           PortDevice::kModem, PortDevice::kSerial};
  const std::vector<bool> readWithAll = {true, false, false, true};
  for (size_t i = 0; i < ports.size(); ++i) {
    EXPECT_EQ(ports[i].device, devices[i]) << ports[i].name;
    EXPECT_EQ(isReadWithAllPorts(ports[i]), readWithAll[i]) << ports[i].name;
  }
  EXPECT_EQ(portEntryText(ports[1]), "COM3  Standard Serial over Bluetooth link");
  EXPECT_EQ(portEntryText(ports[2]), "COM4  Стандартный модем");
}

struct OrderCase {
  const char* name;
  const char* before;
  const char* after;
};

const OrderCase kOrderCases[] = {
    {"OneDigitBeforeTwo", "COM2", "COM10"},
    {"ByValue", "COM9", "COM12"},
    {"SameLength", "COM12", "COM21"},
    {"LongNumbers", "COM99999999999999999998", "COM99999999999999999999"},
    {"LeadingZerosDoNotCount", "COM02", "COM3"},
    {"EqualValueByBytes", "COM01", "COM1"},
    {"ColonAfterDigits", "COM9", "COM:"},
    {"PrefixFirst", "COM", "COM1"},
    {"DevicePaths", "/dev/ttyUSB2", "/dev/ttyUSB10"},
};

class NaturalOrderTest : public testing::TestWithParam<OrderCase> {};

TEST_P(NaturalOrderTest, ComesFirst) {
  const OrderCase& c = GetParam();
  EXPECT_TRUE(naturalLess(c.before, c.after));
  EXPECT_FALSE(naturalLess(c.after, c.before));
  EXPECT_FALSE(naturalLess(c.before, c.before));
}

INSTANTIATE_TEST_SUITE_P(Names, NaturalOrderTest, testing::ValuesIn(kOrderCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct TrimCase {
  const char* name;
  const char* friendly;
  const char* port;
  const char* description;
};

const TrimCase kTrimCases[] = {
    {"PortSuffix", "USB-SERIAL CH340 (COM7)", "COM7", "USB-SERIAL CH340"},
    {"OtherCase", "Communications Port (com1)", "COM1", "Communications Port"},
    {"AnotherPortsSuffixStays", "Bridge (COM3)", "COM13", "Bridge (COM3)"},
    {"LongerNumberStays", "Bridge (COM13)", "COM3", "Bridge (COM13)"},
    {"NoSuffix", "Intel(R) Active Management Technology - SOL", "COM3",
     "Intel(R) Active Management Technology - SOL"},
    {"SpacesAndControls", "  Adapter\t\r\n(COM4) ", "COM4", "Adapter"},
    {"OnlyTheSuffix", "(COM4)", "COM4", ""},
    {"Empty", "", "COM4", ""},
};

class DescriptionTest : public testing::TestWithParam<TrimCase> {};

TEST_P(DescriptionTest, IsTheFriendlyNameWithoutItsPort) {
  const TrimCase& c = GetParam();
  EXPECT_EQ(trimmedDescription(c.friendly, c.port), c.description);
}

INSTANTIATE_TEST_SUITE_P(FriendlyNames, DescriptionTest, testing::ValuesIn(kTrimCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PortEntry, NamesThePortFirstAndGivesItBack) {
  const PortInfo linux = {"/dev/ttyUSB0", "USB Serial", "1a86:7523",
                          "usb-1a86_USB_Serial-if00-port0"};
  EXPECT_EQ(portEntryText(linux),
            "/dev/ttyUSB0  1a86:7523 USB Serial  (usb-1a86_USB_Serial-if00-port0)");
  EXPECT_EQ(portEntryText({"/dev/ttyACM0", "", "", "usb-x-if00"}), "/dev/ttyACM0  (usb-x-if00)");
  EXPECT_EQ(portEntryText({"/dev/ttyS0", "", "", ""}), "/dev/ttyS0");
  for (const char* entry : {"COM7  USB-SERIAL CH340", "COM7", "COM7  A  B"})
    EXPECT_EQ(portNameOfEntry(entry), "COM7") << entry;
  EXPECT_EQ(portNameOfEntry(""), "");
}

}  // namespace
