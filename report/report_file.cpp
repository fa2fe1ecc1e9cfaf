#include "report/report_file.h"

#include <cstdio>
#include <string>

#include "report/report.h"
#include "text/cp1251.h"

namespace {

std::string joinPath(std::string_view directory, std::string_view name) {
  std::string path(directory);
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path.push_back('/');
  path.append(name);
  return path;
}

bool writeWhole(const std::string& path, std::string_view text) {
  // Binary mode: the lines end in CR LF on every platform, untranslated.
  FILE* file = createFile(path);
  if (file == nullptr) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  const bool flushed = std::fflush(file) == 0;
  const bool closed = std::fclose(file) == 0;
  return written && flushed && closed;
}

}  // namespace

StatusCode writeReportFile(std::string_view directory, std::string_view cp1251Name,
                           std::string_view text) {
  const std::string path = joinPath(directory, cp1251ToUtf8(cp1251Name));
  const std::string temporary = path + ".part";
  if (!writeWhole(temporary, text) || !replaceFile(temporary, path)) {
    removeFile(temporary);
    return kStatusWriteFileFailed;
  }
  return kStatusOk;
}
