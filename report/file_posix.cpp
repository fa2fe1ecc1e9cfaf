#include <cstdio>
#include <string>

#include "report/report_file.h"

FILE* createFile(const std::string& path) { return std::fopen(path.c_str(), "wb"); }

bool replaceFile(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

void removeFile(const std::string& path) { std::remove(path.c_str()); }
