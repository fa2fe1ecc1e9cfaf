// The serial ports Windows knows: the COM names among its DOS device names.
#include <windows.h>

#include <vector>

#include "serial/port_backend.h"

namespace {

constexpr DWORD kFirstListSize = 65535;
// A list larger than this is not a device list.
constexpr DWORD kLargestListSize = 64u * 1024u * 1024u;

}  // namespace

uint32_t backendListPorts(PortNameCallback callback, void* context) {
  // A machine with many devices has a list longer than 65535 bytes, and the
  // query then fails with ERROR_INSUFFICIENT_BUFFER: ask again with more room
  // instead of reporting no port.
  std::vector<char> list(kFirstListSize);
  for (;;) {
    const DWORD length = QueryDosDeviceA(nullptr, list.data(), static_cast<DWORD>(list.size()));
    if (length != 0) return walkDeviceList(list.data(), length, callback, context);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || list.size() >= kLargestListSize) return 0;
    list.resize(list.size() * 2);
  }
}
