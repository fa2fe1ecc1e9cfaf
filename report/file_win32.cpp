#include <windows.h>

#include <string>

#include "report/report_file.h"

bool replaceFile(const std::string& from, const std::string& to) {
  // rename() of the C runtime refuses an existing target on Windows.
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}
