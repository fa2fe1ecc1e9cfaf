// Names for the cases of parameterised tests, so that test lists and CTest
// show what a case is instead of a dump of its bytes.
#pragma once

#include <cctype>
#include <string>
#include <string_view>

// "<index>_<text>" with every run of characters that cannot stand in a test
// name turned into one "_", at most 48 characters of the text; the index
// keeps names unique where two texts read alike.
inline std::string readableCaseName(size_t index, std::string_view text) {
  std::string name = std::to_string(index);
  name.push_back('_');
  bool gap = false;
  size_t taken = 0;
  for (const char c : text) {
    if (taken == 48) break;
    if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
      if (gap && name.back() != '_') name.push_back('_');
      name.push_back(c);
      gap = false;
      ++taken;
    } else {
      gap = true;
    }
  }
  if (name.back() == '_') name += "empty";
  return name;
}
