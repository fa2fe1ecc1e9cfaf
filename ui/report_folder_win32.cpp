#include "ui/report_folder.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <string>

#include "text/wide_text.h"

namespace {

// A path in its long form, without a trailing separator; the path itself
// when the system cannot say (it may not exist).
std::wstring longPath(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  DWORD length = GetLongPathNameW(path.c_str(), full.data(), static_cast<DWORD>(full.size()));
  if (length >= full.size()) {
    full.resize(length);
    length = GetLongPathNameW(path.c_str(), full.data(), static_cast<DWORD>(full.size()));
  }
  std::wstring result = length > 0 && length < full.size() ? full.substr(0, length) : path;
  while (result.size() > 3 && (result.back() == L'\\' || result.back() == L'/')) result.pop_back();
  return result;
}

// A folder inside the other, or the other itself, compared as Windows
// compares names: without regard to case.
bool isInside(const std::wstring& path, const std::wstring& folder) {
  if (folder.empty() || path.size() < folder.size()) return false;
  if (CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                           static_cast<int>(folder.size()), TRUE) != CSTR_EQUAL)
    return false;
  return path.size() == folder.size() || path[folder.size()] == L'\\' ||
         path[folder.size()] == L'/' || folder.back() == L'\\';
}

std::wstring currentFolder() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return {};
  std::wstring folder(size, L'\0');
  const DWORD length = GetCurrentDirectoryW(size, folder.data());
  folder.resize(length < size ? length : 0);
  return folder;
}

}  // namespace

bool currentFolderIsTemporary() {
  wchar_t temporary[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, temporary);
  if (length == 0 || length > MAX_PATH) return false;
  const std::wstring current = currentFolder();
  if (current.empty()) return false;
  return isInside(longPath(current), longPath(temporary));
}

std::string documentsFolder() {
  PWSTR path = nullptr;
  std::string folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &path)) && path != nullptr)
    folder = fromWide(CP_UTF8, path);
  CoTaskMemFree(path);
  return folder;
}
