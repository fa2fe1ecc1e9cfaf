#include "tools/zort-read/port_listing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::vector<PortInfo> kPorts = {
    {"/dev/ttyS0", "", "", ""},
    {"/dev/ttyUSB0", "USB \"Serial\"", "1a86:7523", "usb-1a86_USB_Serial-if00-port0"},
    {"COM7", "USB-SERIAL CH340", "", ""},
};

TEST(PortListing, OneEntryALine) {
  EXPECT_EQ(formatPortList(kPorts, false),
            "/dev/ttyS0\n"
            "/dev/ttyUSB0  1a86:7523 USB \"Serial\"  (usb-1a86_USB_Serial-if00-port0)\n"
            "COM7  USB-SERIAL CH340\n");
  EXPECT_EQ(formatPortList({}, false), "");
}

TEST(PortListing, JsonLinesWithNullForWhatIsNotKnown) {
  EXPECT_EQ(formatPortList(kPorts, true),
            "{\"port\": \"/dev/ttyS0\", \"description\": null, \"usb\": null, \"by_id\": null}\n"
            "{\"port\": \"/dev/ttyUSB0\", \"description\": \"USB \\\"Serial\\\"\", "
            "\"usb\": \"1a86:7523\", \"by_id\": \"usb-1a86_USB_Serial-if00-port0\"}\n"
            "{\"port\": \"COM7\", \"description\": \"USB-SERIAL CH340\", \"usb\": null, "
            "\"by_id\": null}\n");
}

}  // namespace
