#include "tests/gui/driver/process_time.h"

namespace {

double toMs(const FILETIME& time) {
  ULARGE_INTEGER value{};
  value.LowPart = time.dwLowDateTime;
  value.HighPart = time.dwHighDateTime;
  return static_cast<double>(value.QuadPart) / 10000.0;  // 100 ns units
}

}  // namespace

bool processTimeMs(HWND window, double& milliseconds) {
  DWORD processId = 0;
  if (GetWindowThreadProcessId(window, &processId) == 0 || processId == 0) return false;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) return false;
  FILETIME created{}, exited{}, kernel{}, user{};
  const bool got = GetProcessTimes(process, &created, &exited, &kernel, &user) != 0;
  CloseHandle(process);
  if (got) milliseconds = toMs(kernel) + toMs(user);
  return got;
}
