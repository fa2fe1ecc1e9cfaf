// The Linux listing from a made-up /dev and /sys, laid out as the kernel and
// udev lay them out for a USB adapter, a CDC-ACM device and a motherboard
// UART.
#include "serial/discovery_posix.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

void link(const fs::path& at, const std::string& target) {
  fs::create_directories(at.parent_path());
  fs::create_directory_symlink(target, at);
}

class FakeSystem : public testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("zort-discovery-" + std::to_string(getpid()) + "-" +
             testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    dev_ = root_ / "dev";
    sys_ = root_ / "sys";
    fs::create_directories(dev_);
    fs::create_directories(sys_ / "class/tty");
  }
  void TearDown() override { fs::remove_all(root_); }

  // A USB device at sys/devices/.../usbPath with its attributes; the tty sits
  // in its interface folder, as usb-serial and cdc-acm put it.
  void addUsbPort(const std::string& tty, const std::string& usbPath, const std::string& vendor,
                  const std::string& product, const std::string& productName,
                  const std::string& ttyBelowInterface) {
    const fs::path usb = sys_ / "devices/pci0000:00/0000:00:14.0" / usbPath;
    writeFile(usb / "idVendor", vendor + "\n");
    writeFile(usb / "idProduct", product + "\n");
    if (!productName.empty()) writeFile(usb / "product", productName + "\n");
    const fs::path device = usb / (usbPath.substr(usbPath.rfind('/') + 1) + ":1.0") /
                            ttyBelowInterface;
    fs::create_directories(device);
    fs::create_directories(sys_ / "class/tty" / tty);
    link(sys_ / "class/tty" / tty / "device", fs::relative(device, sys_ / "class/tty" / tty));
    writeFile(dev_ / tty, "");
  }

  fs::path root_, dev_, sys_;
};

std::vector<PortInfo> listed(const fs::path& dev, const fs::path& sys) {
  std::vector<PortInfo> ports;
  listPortsUnder(dev.string(), sys.string(), ports);
  return ports;
}

TEST_F(FakeSystem, DescribesUsbAdaptersByVendorProductAndById) {
  addUsbPort("ttyUSB0", "usb1/1-1", "1a86", "7523", "USB Serial", "ttyUSB0");
  addUsbPort("ttyUSB10", "usb1/1-2", "0403", "6001", "FT232R \xD0\xAF USB UART\x01", "ttyUSB10");
  addUsbPort("ttyUSB2", "usb2/2-1", "067b", "2303", "", "ttyUSB2");
  // cdc-acm: the tty's device is the interface itself.
  addUsbPort("ttyACM0", "usb1/1-3", "2341", "0043", "Arduino Uno", "");
  link(dev_ / "serial/by-id/usb-1a86_USB_Serial-if00-port0", "../../ttyUSB0");
  link(dev_ / "serial/by-id/usb-Arduino_Uno_1234-if00", "../../ttyACM0");
  // The motherboard's UART (its device is a platform device), and a ttyS
  // node with nothing behind it.
  fs::create_directories(sys_ / "devices/platform/serial8250/tty/ttyS0");
  link(sys_ / "class/tty/ttyS0/device", "../../../devices/platform/serial8250");
  writeFile(dev_ / "ttyS0", "");
  writeFile(dev_ / "ttyS1", "");
  writeFile(dev_ / "tty0", "");

  const std::vector<PortInfo> ports = listed(dev_, sys_);
  std::vector<std::string> entries;
  for (const auto& port : ports) entries.push_back(portEntryText(port));
  const std::string d = dev_.string();
  EXPECT_EQ(entries, (std::vector<std::string>{
                         d + "/ttyS0",
                         d + "/ttyUSB0  1a86:7523 USB Serial  (usb-1a86_USB_Serial-if00-port0)",
                         d + "/ttyUSB2  067b:2303",
                         d + "/ttyUSB10  0403:6001 FT232R \xD0\xAF USB UART?",
                         d + "/ttyACM0  2341:0043 Arduino Uno  (usb-Arduino_Uno_1234-if00)",
                     }));
}

TEST_F(FakeSystem, NoSysfsStillListsTheDevices) {
  writeFile(dev_ / "ttyUSB3", "");
  writeFile(dev_ / "ttyACM1", "");
  const std::vector<PortInfo> ports = listed(dev_, root_ / "no-sys");
  ASSERT_EQ(ports.size(), 2u);
  EXPECT_EQ(portEntryText(ports[0]), dev_.string() + "/ttyUSB3");
  EXPECT_EQ(portEntryText(ports[1]), dev_.string() + "/ttyACM1");
  EXPECT_TRUE(listed(root_ / "no-dev", sys_).empty());
}

}  // namespace
