// The serial ports Windows knows: the COM names among its DOS device names.
#include <windows.h>

#include "serial/port_backend.h"

namespace {

size_t queryDosDevices(void*, char* buffer, size_t size, bool* tooSmall) {
  const DWORD room = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
  const DWORD length = QueryDosDeviceA(nullptr, buffer, room);
  *tooSmall = length == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER;
  return length;
}

}  // namespace

uint32_t backendListPorts(PortNameCallback callback, void* context) {
  return queryDeviceList(queryDosDevices, nullptr, callback, context);
}
