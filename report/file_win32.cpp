#include <windows.h>

#include <cstdio>
#include <string>

#include "report/report_file.h"
#include "text/wide_text.h"

FILE* createFile(const std::string& path) {
  return _wfopen(toWide(CP_UTF8, path).c_str(), L"wb");
}

bool replaceFile(const std::string& from, const std::string& to) {
  // rename() of the C runtime refuses an existing target on Windows.
  return MoveFileExW(toWide(CP_UTF8, from).c_str(), toWide(CP_UTF8, to).c_str(),
                     MOVEFILE_REPLACE_EXISTING) != 0;
}

void removeFile(const std::string& path) { DeleteFileW(toWide(CP_UTF8, path).c_str()); }
