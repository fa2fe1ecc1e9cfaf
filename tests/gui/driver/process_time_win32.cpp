#include "tests/gui/driver/process_time.h"

#include <psapi.h>

namespace {

double toMs(const FILETIME& time) {
  ULARGE_INTEGER value{};
  value.LowPart = time.dwLowDateTime;
  value.HighPart = time.dwHighDateTime;
  return static_cast<double>(value.QuadPart) / 10000.0;  // 100 ns units
}

// The process that owns a window, opened for queries; null on failure.
HANDLE openWindowProcess(HWND window, DWORD access) {
  DWORD processId = 0;
  if (GetWindowThreadProcessId(window, &processId) == 0 || processId == 0) return nullptr;
  return OpenProcess(access, FALSE, processId);
}

}  // namespace

bool processTimeMs(HWND window, double& milliseconds) {
  HANDLE process = openWindowProcess(window, PROCESS_QUERY_LIMITED_INFORMATION);
  if (process == nullptr) return false;
  FILETIME created{}, exited{}, kernel{}, user{};
  const bool got = GetProcessTimes(process, &created, &exited, &kernel, &user) != 0;
  CloseHandle(process);
  if (got) milliseconds = toMs(kernel) + toMs(user);
  return got;
}

bool processMemory(HWND window, ProcessMemory& memory) {
  HANDLE process = openWindowProcess(window, PROCESS_QUERY_INFORMATION | PROCESS_VM_READ);
  if (process == nullptr) return false;
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  DWORD handles = 0;
  const bool got =
      GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof(counters)) != 0 &&
      GetProcessHandleCount(process, &handles) != 0;
  CloseHandle(process);
  if (!got) return false;
  memory.workingSetBytes = counters.WorkingSetSize;
  memory.privateBytes = counters.PrivateUsage;
  memory.handles = handles;
  return true;
}
