// Texts as Windows' W functions take them (UTF-16), converted from and to a
// code page named explicitly, never through the system's ANSI code page
// unless asked for (CP_ACP). Windows only.
#pragma once

#include <string>
#include <string_view>

// The program's own texts: Windows-1251, whatever the system's code page.
constexpr unsigned kProgramCodePage = 1251;

// Every byte converts (a byte the code page leaves undefined to a character
// of its own), so the text comes back unchanged from fromWide.
std::wstring toWide(unsigned codePage, std::string_view text);

// A character the code page cannot hold becomes "?" (no look-alike letter is
// put in its place); CP_UTF8 holds every one.
std::string fromWide(unsigned codePage, std::wstring_view text);
