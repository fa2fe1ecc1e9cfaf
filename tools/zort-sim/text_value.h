// TEXT values of the scenario file: UTF-8 characters become Windows-1251
// bytes; the escapes \r \n \t \s (space) \\ and \xNN give exact bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The Windows-1251 byte of a Unicode code point, or -1 if it has none.
int windows1251Byte(uint32_t codePoint);

// Decodes a TEXT value into bytes. Returns "" on success, otherwise the reason
// (a malformed escape, bad UTF-8, or a character Windows-1251 cannot hold).
std::string decodeTextValue(std::string_view text, std::string& bytes);

// Decodes hexadecimal digit pairs (either case, no separators). Returns "" on
// success, otherwise the reason.
std::string decodeHexBytes(std::string_view hex, std::string& bytes);
