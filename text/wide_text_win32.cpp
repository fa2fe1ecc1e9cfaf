#include "text/wide_text.h"

#include <windows.h>

std::wstring toWide(unsigned codePage, std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int wideLength = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
  if (wideLength <= 0) return {};
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), wideLength);
  return wide;
}

std::string fromWide(unsigned codePage, std::wstring_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  // UTF-8 takes neither flag nor default character.
  const bool utf8 = codePage == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* unmappable = utf8 ? nullptr : "?";
  const int bytes =
      WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, unmappable, nullptr);
  if (bytes <= 0) return {};
  std::string narrow(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(codePage, flags, text.data(), length, narrow.data(), bytes, unmappable,
                      nullptr);
  return narrow;
}
