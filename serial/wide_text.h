// UTF-16, as Windows' W functions take and give texts, and UTF-8, as the
// program keeps the system's own texts. Windows only.
#pragma once

#include <string>
#include <string_view>

std::string utf8FromWide(std::wstring_view wide);
std::wstring wideFromUtf8(std::string_view utf8);
