#include <windows.h>

#include "os/system_error.h"
#include "tools/zort-read/journal_file.h"

namespace {

// One WriteFile call: the rows go in whole or not at all.
bool writeOnce(HANDLE file, const std::string& text, DWORD& failure) {
  DWORD written = 0;
  const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  failure = ok ? (written == text.size() ? 0 : ERROR_DISK_FULL) : GetLastError();
  return failure == 0;
}

// size bytes at offset, or fewer at the file's end.
std::string readAt(HANDLE file, LONGLONG offset, DWORD size) {
  std::string text(size, '\0');
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD got = 0;
  if (!ReadFile(file, text.data(), size, &got, &at)) got = 0;
  text.resize(got);
  return text;
}

bool isSharingViolation(DWORD failure) {
  return failure == ERROR_SHARING_VIOLATION || failure == ERROR_LOCK_VIOLATION;
}

// FILE_APPEND_DATA without FILE_WRITE_DATA: every write lands at the end of
// the file, even when other processes append at the same time.
JournalAppend appendToExisting(const std::string& path, const std::string& header,
                               const std::string& rows, DWORD& failure) {
  const HANDLE file = CreateFileA(path.c_str(), FILE_READ_DATA | FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    failure = GetLastError();
    return isSharingViolation(failure) ? JournalAppend::kLocked : JournalAppend::kFailed;
  }
  JournalAppend appended = JournalAppend::kFailed;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) {
    failure = GetLastError();
  } else {
    std::string text = rows;
    bool foreign = false;
    if (size.QuadPart == 0) {
      text = header + rows;
    } else {
      foreign = readAt(file, 0, static_cast<DWORD>(header.size())) != header;
      if (!foreign && readAt(file, size.QuadPart - 2, 2) != "\r\n") text = "\r\n" + rows;
    }
    if (foreign)
      appended = JournalAppend::kForeign;
    else if (writeOnce(file, text, failure))
      appended = JournalAppend::kWritten;
  }
  CloseHandle(file);
  return appended;
}

// A new journal is written whole into a file beside it and then moved to
// its name, which fails if another process made the journal meanwhile.
bool createJournal(const std::string& path, const std::string& text, DWORD& failure) {
  const std::string temporary = path + "." + std::to_string(GetCurrentProcessId()) + ".new";
  const HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    failure = GetLastError();
    return false;
  }
  const bool written = writeOnce(file, text, failure);
  CloseHandle(file);
  bool moved = false;
  if (written) {
    moved = MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    failure = moved ? 0 : GetLastError();
  }
  if (!moved) DeleteFileA(temporary.c_str());
  return moved;
}

}  // namespace

JournalAppend appendJournalRows(const std::string& path, const std::string& header,
                                const std::string& rows, std::string& error) {
  DWORD failure = 0;
  // Twice at most: a journal another process makes between our two looks is
  // then appended to.
  for (int attempt = 0; attempt < 2; ++attempt) {
    const JournalAppend appended = appendToExisting(path, header, rows, failure);
    if (appended != JournalAppend::kFailed) return appended;
    if (failure != ERROR_FILE_NOT_FOUND) break;
    if (createJournal(path, header + rows, failure)) return JournalAppend::kWritten;
    if (failure != ERROR_ALREADY_EXISTS && failure != ERROR_FILE_EXISTS) break;
  }
  error = systemErrorText(failure);
  return JournalAppend::kFailed;
}

bool readFileText(const std::string& path, std::string& text) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  text.clear();
  char chunk[4096];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(file, chunk, sizeof chunk, &got, nullptr) != FALSE) && got > 0)
    text.append(chunk, got);
  CloseHandle(file);
  return ok;
}

bool removeJournalFile(const std::string& path, std::string& error) {
  if (DeleteFileA(path.c_str())) return true;
  error = systemErrorText(GetLastError());
  return false;
}
