#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
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

namespace {

// The appends hold a file's lock for one check and one write; a lock held
// longer belongs to another program that keeps the file.
constexpr int kLockWaitMs = 500;
constexpr int kLockStepMs = 10;

// false when another holds the lock past the wait; a file system without
// locks is written unlocked.
bool lockForAppend(int fd) {
  for (int waited = 0;; waited += kLockStepMs) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return true;
    if (waited >= kLockWaitMs) return false;
    const timespec step = {0, kLockStepMs * 1000L * 1000L};
    nanosleep(&step, nullptr);
  }
}

// size bytes at offset, or fewer at the file's end.
std::string readAt(int fd, off_t offset, size_t size) {
  std::string text(size, '\0');
  const ssize_t got = pread(fd, text.data(), size, offset);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

}  // namespace

OsResult appendUnderHead(const std::string& path, std::string_view head, std::string_view lineEnd,
                         std::string_view text, bool& foreign) {
  foreign = false;
  const int fd = open(path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
  if (fd < 0) return lastOsFailure();
  if (!lockForAppend(fd)) return closeAfter(fd, osFailure(EWOULDBLOCK));
  struct stat info {};
  if (fstat(fd, &info) != 0) return closeAfter(fd, lastOsFailure());
  std::string whole;
  if (info.st_size == 0) {
    whole = head;
  } else if (readAt(fd, 0, head.size()) != head) {
    foreign = true;
    return closeAfter(fd, osSuccess());
  } else if (readAt(fd, info.st_size - static_cast<off_t>(lineEnd.size()), lineEnd.size()) !=
             lineEnd) {
    whole = lineEnd;
  }
  whole.append(text);
  return closeAfter(fd, writeOnce(fd, whole));
}

OsResult readFileContent(const std::string& path, std::string& content) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return lastOsFailure();
  content.clear();
  char block[4096];
  ssize_t got = 0;
  while ((got = read(fd, block, sizeof block)) > 0) content.append(block, static_cast<size_t>(got));
  return closeAfter(fd, got == 0 ? osSuccess() : lastOsFailure());
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

bool fileIsHeld(const OsResult& result) { return result.error == EWOULDBLOCK; }

unsigned long currentProcessNumber() { return static_cast<unsigned long>(getpid()); }
