#include "os/files.h"

#include <atomic>

namespace {

// Taken names are passed over; this many in a row means something else is
// wrong (the folder cannot be written, say), and the last failure is told.
constexpr int kTemporaryNameAttempts = 100;

std::atomic<unsigned> gTemporaryCounter{0};

}  // namespace

std::string nameOfOurOwn(const std::string& besidePath, std::string_view ending) {
  return besidePath + "." + std::to_string(currentProcessNumber()) + "-" +
         std::to_string(gTemporaryCounter.fetch_add(1)) + std::string(ending);
}

OsResult writeTemporaryFile(const std::string& besidePath, std::string_view content,
                            std::string& temporaryPath) {
  OsResult result;
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    temporaryPath = nameOfOurOwn(besidePath, ".part");
    result = createFileExclusive(temporaryPath, content);
    if (!fileExists(result)) break;
  }
  if (!result.ok()) temporaryPath.clear();
  return result;
}

namespace {

// content into a temporary file beside path, which move then gives path's
// name; the temporary file goes when either step fails.
OsResult throughTemporaryFile(const std::string& path, std::string_view content,
                              OsResult (*move)(const std::string& from, const std::string& to)) {
  std::string temporary;
  OsResult result = writeTemporaryFile(path, content, temporary);
  if (!result.ok()) return result;
  result = move(temporary, path);
  if (!result.ok()) (void)removeFile(temporary);
  return result;
}

}  // namespace

OsResult publishNewFile(const std::string& path, std::string_view content) {
  return throughTemporaryFile(path, content, moveIntoPlace);
}

OsResult replaceFileContent(const std::string& path, std::string_view content) {
  return throughTemporaryFile(path, content, replaceFile);
}
