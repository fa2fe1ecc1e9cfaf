// Windows-1251 texts (the program's own and the instrument's) as UTF-8, on every
// platform.
#pragma once

#include <string>
#include <string_view>

// Every byte converts: ASCII as it is, 0x80..0xFF to its character, and the
// one byte 1251 leaves undefined (0x98) to U+FFFD.
std::string cp1251ToUtf8(std::string_view text);

// The program's own texts (labels, messages, progress) are Windows-1251 in
// the product builds, which store string literals in that code page; a
// compiler that keeps literals in UTF-8 (clang, the sanitizer build) leaves
// them UTF-8 already.
constexpr bool kProgramTextsAreCp1251 = sizeof("Ж") == 2;

std::string programTextToUtf8(std::string_view text);

// The number of characters a UTF-8 text shows (its non-continuation bytes).
size_t utf8Length(std::string_view text);
