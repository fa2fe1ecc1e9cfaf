#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "os/system_error.h"
#include "tools/zort-read/journal_file.h"

namespace {

constexpr mode_t kJournalMode = 0666;  // less the umask, as any new file

// zort-read holds a journal's lock for one check and one write; a lock held
// longer belongs to another program that keeps the file.
constexpr int kLockWaitMs = 500;
constexpr int kLockStepMs = 10;

// One write call: the rows go in whole or, failing, the reason is in errno.
bool writeOnce(int fd, const std::string& text) {
  errno = 0;
  const ssize_t written = write(fd, text.data(), text.size());
  if (written == static_cast<ssize_t>(text.size())) return true;
  if (errno == 0) errno = EIO;  // a short write: the disk is full
  return false;
}

bool lockForAppend(int fd) {
  for (int waited = 0;; waited += kLockStepMs) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return true;  // no locks here: go on unlocked
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

JournalAppend appendToOpen(int fd, const std::string& header, const std::string& rows,
                           int& failure) {
  failure = 0;
  if (!lockForAppend(fd)) return JournalAppend::kLocked;
  struct stat info {};
  if (fstat(fd, &info) != 0) {
    failure = errno;
    return JournalAppend::kFailed;
  }
  std::string text = rows;
  if (info.st_size == 0) {
    text = header + rows;
  } else {
    if (readAt(fd, 0, header.size()) != header) return JournalAppend::kForeign;
    if (readAt(fd, info.st_size - 2, 2) != "\r\n") text = "\r\n" + rows;
  }
  if (writeOnce(fd, text)) return JournalAppend::kWritten;
  failure = errno;
  return JournalAppend::kFailed;
}

// A new journal is written whole into a temporary file beside it, which is
// then linked under the journal's name: no other process ever sees it
// without its header. link fails with EEXIST when another process made the
// journal meanwhile. Where the file system has no links (FAT), the journal
// is created exclusively and written in one call.
bool createJournal(const std::string& path, const std::string& text, int& failure) {
  std::string temporary = path + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) {
    failure = errno;
    return false;
  }
  const mode_t mask = umask(0);
  umask(mask);
  (void)fchmod(fd, kJournalMode & ~mask);
  const bool written = writeOnce(fd, text);
  failure = written ? 0 : errno;
  close(fd);
  bool made = false;
  if (written) {
    made = link(temporary.c_str(), path.c_str()) == 0;
    failure = made ? 0 : errno;
  }
  unlink(temporary.c_str());
  if (made || (failure != EPERM && failure != ENOTSUP && failure != EXDEV)) return made;
  const int direct = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC,
                          kJournalMode);
  if (direct < 0) {
    failure = errno;
    return false;
  }
  made = writeOnce(direct, text);
  failure = made ? 0 : errno;
  close(direct);
  return made;
}

}  // namespace

JournalAppend appendJournalRows(const std::string& path, const std::string& header,
                                const std::string& rows, std::string& error) {
  int failure = 0;
  // Twice at most: a journal another process makes between our two looks is
  // then appended to.
  for (int attempt = 0; attempt < 2; ++attempt) {
    const int fd = open(path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
    if (fd >= 0) {
      const JournalAppend appended = appendToOpen(fd, header, rows, failure);
      close(fd);
      if (appended != JournalAppend::kFailed) return appended;
      break;
    }
    failure = errno;
    if (failure != ENOENT) break;
    if (createJournal(path, header + rows, failure)) return JournalAppend::kWritten;
    if (failure != EEXIST) break;
  }
  error = systemErrorText(static_cast<SystemErrorCode>(failure));
  return JournalAppend::kFailed;
}

bool readFileText(const std::string& path, std::string& text) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  text.clear();
  char chunk[4096];
  ssize_t got = 0;
  while ((got = read(fd, chunk, sizeof chunk)) > 0) text.append(chunk, static_cast<size_t>(got));
  close(fd);
  return got == 0;
}

bool removeJournalFile(const std::string& path, std::string& error) {
  if (unlink(path.c_str()) == 0) return true;
  error = systemErrorText(static_cast<SystemErrorCode>(errno));
  return false;
}
