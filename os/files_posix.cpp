#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "os/files.h"

namespace {

constexpr mode_t kNewFileMode = 0666;  // less the umask, as any new file

// One write call: the text goes in whole, or the failure is told.
OsResult writeOnce(int fd, std::string_view text) {
  errno = 0;
  const ssize_t written = write(fd, text.data(), text.size());
  if (written == static_cast<ssize_t>(text.size())) return osSuccess();
  return osFailure(errno == 0 ? ENOSPC : errno);  // a short write: the disk is full
}

OsResult closeAfter(int fd, OsResult written) {
  if (close(fd) != 0 && written.ok()) return lastOsFailure();
  return written;
}

}  // namespace

OsResult createFileExclusive(const std::string& path, std::string_view content) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
  if (fd < 0) return lastOsFailure();
  OsResult result = closeAfter(fd, writeOnce(fd, content));
  if (!result.ok()) unlink(path.c_str());
  return result;
}

OsResult appendToFile(const std::string& path, std::string_view leadWhenEmpty,
                      std::string_view text) {
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) return lastOsFailure();
  struct stat info {};
  const bool empty = fstat(fd, &info) == 0 && info.st_size == 0;
  if (!empty || leadWhenEmpty.empty()) return closeAfter(fd, writeOnce(fd, text));
  std::string whole(leadWhenEmpty);
  whole.append(text);
  return closeAfter(fd, writeOnce(fd, whole));
}

OsResult replaceFile(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) return lastOsFailure();
  return osSuccess();
}

// A link under the new name fails with EEXIST when the name is taken, which
// rename would replace. Where the file system has no links (FAT), the name
// is taken by an exclusive create and the content copied across.
OsResult moveIntoPlace(const std::string& from, const std::string& to) {
  if (link(from.c_str(), to.c_str()) == 0) {
    unlink(from.c_str());
    return osSuccess();
  }
  const int failure = errno;
  if (failure != EPERM && failure != ENOTSUP && failure != EXDEV) return osFailure(failure);
  const int source = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (source < 0) return lastOsFailure();
  std::string content;
  char block[4096];
  for (ssize_t got; (got = read(source, block, sizeof block)) > 0;)
    content.append(block, static_cast<size_t>(got));
  close(source);
  OsResult result = createFileExclusive(to, content);
  if (result.ok()) unlink(from.c_str());
  return result;
}

OsResult removeFile(const std::string& path) {
  if (unlink(path.c_str()) != 0) return lastOsFailure();
  return osSuccess();
}

bool fileExists(const OsResult& result) { return result.error == EEXIST; }

bool fileIsMissing(const OsResult& result) { return result.error == ENOENT; }

unsigned long currentProcessNumber() { return static_cast<unsigned long>(getpid()); }
