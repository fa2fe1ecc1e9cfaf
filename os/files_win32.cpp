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

unsigned long currentProcessNumber() { return GetCurrentProcessId(); }
