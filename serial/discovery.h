// Finding the serial ports the system knows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The name lives only during the call.
using PortNameCallback = void (*)(void* context, const char* name);

// The device behind a port, where the system says what it is (Windows).
enum class PortDevice : uint8_t {
  kSerial,     // a serial port, or nothing known
  kBluetooth,  // a Bluetooth serial link (BTHENUM): opening it connects, for seconds
  kModem,      // a device of the Modem class: it answers requests of its own
};

// One serial port and what the system says of it. Every text is UTF-8; a
// field the system has nothing for is empty.
struct PortInfo {
  std::string name;         // what opens: "COM7", "/dev/ttyUSB0" (ASCII on Windows)
  std::string description;  // "USB-SERIAL CH340" (Windows: the device's friendly name
                            // without " (COM7)"); Linux: the USB product string
  std::string usbId;        // Linux: "1a86:7523", the USB vendor and product
  std::string byIdName;     // Linux: its name under /dev/serial/by-id
  PortDevice device = PortDevice::kSerial;
};

// Whether reading every port (zort-read --all) reads this one: not a
// Bluetooth link, which blocks while it connects, nor a modem, which would
// get the instrument's requests. Lists still show them.
bool isReadWithAllPorts(const PortInfo& port);

// Every serial port of the machine, each once, in natural order (COM2 before
// COM10). Windows: the COM devices of QueryDosDeviceA together with the
// values under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, described by the friendly
// names of the Ports and Modem devices. Linux: the serial devices under /dev,
// described from sysfs and /dev/serial/by-id.
std::vector<PortInfo> listPortDetails();

// The names of listPortDetails, in its order; returns the number reported.
uint32_t enumeratePorts(PortNameCallback callback, void* context);

// One port as the user sees it in a list: the name, then two spaces and what
// is known of it, e.g. "COM7  USB-SERIAL CH340" or
// "/dev/ttyUSB0  1a86:7523 USB Serial  (usb-1a86_USB_Serial-if00-port0)";
// the name alone when nothing is.
std::string portEntryText(const PortInfo& port);

// The port name an entry of portEntryText begins with (all of a text
// without two spaces in a row).
std::string_view portNameOfEntry(std::string_view entry);

// true when a comes before b as people count: digit runs compare as numbers
// ("COM2" < "COM10"), everything else byte by byte.
bool naturalLess(std::string_view a, std::string_view b);
