#include <windows.h>
#include <shellapi.h>

#include <string>

#include "os/command_line.h"
#include "text/wide_text.h"

std::vector<std::string> commandLineArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(fromWide(CP_UTF8, wide[i]));
  LocalFree(wide);
  return arguments;
}
