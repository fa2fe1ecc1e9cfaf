#include <windows.h>

#include "os/files.h"
#include "text/wide_text.h"

namespace {

std::wstring wide(const std::string& path) { return toWide(CP_UTF8, path); }

// One WriteFile call: the text goes in whole, or the failure is told.
OsResult writeOnce(HANDLE file, std::string_view text) {
  DWORD written = 0;
  if (!WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
    return lastOsFailure();
  return written == text.size() ? osSuccess() : osFailure(ERROR_DISK_FULL);
}

OsResult closeAfter(HANDLE file, OsResult written) {
  if (!CloseHandle(file) && written.ok()) return lastOsFailure();
  return written;
}

}  // namespace

OsResult createFileExclusive(const std::string& path, std::string_view content) {
  const std::wstring name = wide(path);
  const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return lastOsFailure();
  OsResult result = closeAfter(file, writeOnce(file, content));
  if (!result.ok()) DeleteFileW(name.c_str());
  return result;
}

// FILE_APPEND_DATA alone: every write lands at the end of the file, even
// when other processes append at the same time.
OsResult appendToFile(const std::string& path, std::string_view leadWhenEmpty,
                      std::string_view text) {
  const HANDLE file = CreateFileW(wide(path).c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return lastOsFailure();
  LARGE_INTEGER size{};
  const bool empty = GetFileSizeEx(file, &size) && size.QuadPart == 0;
  if (!empty || leadWhenEmpty.empty()) return closeAfter(file, writeOnce(file, text));
  std::string whole(leadWhenEmpty);
  whole.append(text);
  return closeAfter(file, writeOnce(file, whole));
}

namespace {

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

}  // namespace

// FILE_APPEND_DATA without FILE_WRITE_DATA: every write lands at the end of
// the file, even when other processes append at the same time.
OsResult appendUnderHead(const std::string& path, std::string_view head, std::string_view lineEnd,
                         std::string_view text, bool& foreign) {
  foreign = false;
  const HANDLE file = CreateFileW(wide(path).c_str(), FILE_READ_DATA | FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return lastOsFailure();
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) return closeAfter(file, lastOsFailure());
  std::string whole;
  if (size.QuadPart == 0) {
    whole = head;
  } else if (readAt(file, 0, static_cast<DWORD>(head.size())) != head) {
    foreign = true;
    return closeAfter(file, osSuccess());
  } else if (readAt(file, size.QuadPart - static_cast<LONGLONG>(lineEnd.size()),
                    static_cast<DWORD>(lineEnd.size())) != lineEnd) {
    whole = lineEnd;
  }
  whole.append(text);
  return closeAfter(file, writeOnce(file, whole));
}

OsResult readFileContent(const std::string& path, std::string& content) {
  const HANDLE file = CreateFileW(wide(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return lastOsFailure();
  content.clear();
  char block[4096];
  DWORD got = 0;
  BOOL read = FALSE;
  while ((read = ReadFile(file, block, sizeof block, &got, nullptr)) && got > 0)
    content.append(block, got);
  return closeAfter(file, read ? osSuccess() : lastOsFailure());
}

OsResult replaceFile(const std::string& from, const std::string& to) {
  if (!MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return lastOsFailure();
  return osSuccess();
}

// Without MOVEFILE_REPLACE_EXISTING the move fails when the name is taken.
OsResult moveIntoPlace(const std::string& from, const std::string& to) {
  if (!MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_WRITE_THROUGH))
    return lastOsFailure();
  return osSuccess();
}

OsResult removeFile(const std::string& path) {
  if (!DeleteFileW(wide(path).c_str())) return lastOsFailure();
  return osSuccess();
}

bool fileExists(const OsResult& result) {
  return result.error == ERROR_FILE_EXISTS || result.error == ERROR_ALREADY_EXISTS;
}

bool fileIsMissing(const OsResult& result) {
  return result.error == ERROR_FILE_NOT_FOUND;
}

bool fileIsHeld(const OsResult& result) {
  return result.error == ERROR_SHARING_VIOLATION || result.error == ERROR_LOCK_VIOLATION;
}

unsigned long currentProcessNumber() { return GetCurrentProcessId(); }
