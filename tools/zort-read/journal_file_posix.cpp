#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "os/system_error.h"
#include "tools/zort-read/journal_file.h"

namespace {

constexpr mode_t kJournalMode = 0666;  // less the umask, as any new file

// One write call: the row goes in whole or, failing, the reason is in errno.
bool writeOnce(int fd, const std::string& text) {
  errno = 0;
  const ssize_t written = write(fd, text.data(), text.size());
  if (written == static_cast<ssize_t>(text.size())) return true;
  if (errno == 0) errno = EIO;  // a short write: the disk is full
  return false;
}

bool appendToOpen(int fd, const std::string& header, const std::string& row, int& failure) {
  struct stat info {};
  const bool empty = fstat(fd, &info) == 0 && info.st_size == 0;
  const bool written = writeOnce(fd, empty ? header + row : row);
  failure = written ? 0 : errno;
  close(fd);
  return written;
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
  return appendToOpen(direct, text, "", failure);
}

}  // namespace

bool appendJournalRow(const std::string& path, const std::string& header, const std::string& row,
                      std::string& error) {
  int failure = 0;
  // Twice at most: a journal another process makes between our two looks is
  // then appended to.
  for (int attempt = 0; attempt < 2; ++attempt) {
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd >= 0) {
      if (appendToOpen(fd, header, row, failure)) return true;
      break;
    }
    failure = errno;
    if (failure != ENOENT) break;
    if (createJournal(path, header + row, failure)) return true;
    if (failure != EEXIST) break;
  }
  error = systemErrorText(static_cast<SystemErrorCode>(failure));
  return false;
}
