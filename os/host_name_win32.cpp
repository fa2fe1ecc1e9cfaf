#include <windows.h>

#include <array>

#include "os/host_name.h"
#include "text/wide_text.h"

std::string hostName() {
  std::array<wchar_t, MAX_COMPUTERNAME_LENGTH + 1> name{};
  DWORD size = static_cast<DWORD>(name.size());
  if (!GetComputerNameW(name.data(), &size)) return "";
  return fromWide(CP_UTF8, std::wstring_view(name.data(), size));
}
