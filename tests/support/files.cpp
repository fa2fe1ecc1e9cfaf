#include "tests/support/files.h"

#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace {

std::string temporaryPattern(const char* nameHint) {
  const char* directory = getenv("TMPDIR");
  if (directory == nullptr || *directory == '\0') directory = "/tmp";
  return std::string(directory) + "/" + nameHint + "-XXXXXX";
}

}  // namespace

std::string readWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

bool writeWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << bytes;
  return static_cast<bool>(file.flush());
}

std::string writeTemporaryFile(const std::string& text, const char* nameHint) {
  std::string path = temporaryPattern(nameHint);
  const int fd = mkstemp(path.data());
  if (fd < 0) return "";
  close(fd);
  if (!writeWholeFile(path, text)) {
    unlink(path.c_str());
    return "";
  }
  return path;
}

std::string makeTemporaryDirectory(const char* nameHint) {
  std::string pattern = temporaryPattern(nameHint);
  return mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

std::vector<std::string> filesIn(const std::string& directory) {
  std::vector<std::string> names;
  if (DIR* folder = opendir(directory.c_str())) {
    while (const dirent* entry = readdir(folder)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(folder);
  }
  return names;
}

void removeDirectory(const std::string& directory) {
  if (directory.empty()) return;
  for (const auto& name : filesIn(directory)) unlink((directory + "/" + name).c_str());
  rmdir(directory.c_str());
}
