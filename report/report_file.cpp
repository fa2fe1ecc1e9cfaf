#include "report/report_file.h"

#include <algorithm>
#include <string>

#include "os/files.h"
#include "text/cp1251.h"

namespace {

// "<name>_2.txt" up to "<name>_<this>.txt": the names a kept report may
// take before the write is given up as failed.
constexpr int kMaxReportCopies = 1000;

std::string joinPath(std::string_view directory, std::string_view name) {
  std::string path(directory);
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path.push_back('/');
  path.append(name);
  return path;
}

// "name.txt" as "name_2.txt" for copy 2; copy 1 is the name itself.
std::string copyName(const std::string& name, int copy) {
  if (copy == 1) return name;
  const size_t dot = std::min(name.rfind('.'), name.size());
  return name.substr(0, dot) + "_" + std::to_string(copy) + name.substr(dot);
}

}  // namespace

ReportWrite writeReportFile(std::string_view directory, std::string_view cp1251Name,
                            std::string_view text, ExistingReport existing) {
  const std::string name = cp1251ToUtf8(cp1251Name);
  ReportWrite write = {kStatusOk, joinPath(directory, name), {}};
  if (existing == ExistingReport::kReplace) {
    write.system = replaceFileContent(write.path, text);
  } else {
    for (int copy = 1; copy <= kMaxReportCopies; ++copy) {
      write.path = joinPath(directory, copyName(name, copy));
      write.system = publishNewFile(write.path, text);
      if (!fileExists(write.system)) break;
    }
  }
  if (!write.system.ok()) write.status = kStatusWriteFileFailed;
  return write;
}
