#include <windows.h>

#include "os/system_error.h"
#include "text/wide_text.h"
#include "tools/zort-read/journal_file.h"

namespace {

// One WriteFile call: the row goes in whole or not at all.
bool writeOnce(HANDLE file, const std::string& text, DWORD& failure) {
  DWORD written = 0;
  const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  failure = ok ? (written == text.size() ? 0 : ERROR_DISK_FULL) : GetLastError();
  return failure == 0;
}

// FILE_APPEND_DATA alone: every write lands at the end of the file, even
// when other processes append at the same time.
bool appendToExisting(const std::string& path, const std::string& header, const std::string& row,
                      DWORD& failure) {
  const HANDLE file = CreateFileW(toWide(CP_UTF8, path).c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    failure = GetLastError();
    return false;
  }
  LARGE_INTEGER size{};
  const bool empty = GetFileSizeEx(file, &size) && size.QuadPart == 0;
  const bool written = writeOnce(file, empty ? header + row : row, failure);
  CloseHandle(file);
  return written;
}

// A new journal is written whole into a file beside it and then moved to
// its name, which fails if another process made the journal meanwhile.
bool createJournal(const std::string& path, const std::string& text, DWORD& failure) {
  const std::wstring temporary =
      toWide(CP_UTF8, path + "." + std::to_string(GetCurrentProcessId()) + ".new");
  const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    failure = GetLastError();
    return false;
  }
  const bool written = writeOnce(file, text, failure);
  CloseHandle(file);
  bool moved = false;
  if (written) {
    moved = MoveFileExW(temporary.c_str(), toWide(CP_UTF8, path).c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    failure = moved ? 0 : GetLastError();
  }
  if (!moved) DeleteFileW(temporary.c_str());
  return moved;
}

}  // namespace

bool appendJournalRow(const std::string& path, const std::string& header, const std::string& row,
                      std::string& error) {
  DWORD failure = 0;
  // Twice at most: a journal another process makes between our two looks is
  // then appended to.
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (appendToExisting(path, header, row, failure)) return true;
    if (failure != ERROR_FILE_NOT_FOUND) break;
    if (createJournal(path, header + row, failure)) return true;
    if (failure != ERROR_ALREADY_EXISTS && failure != ERROR_FILE_EXISTS) break;
  }
  error = systemErrorText(failure);
  return false;
}
