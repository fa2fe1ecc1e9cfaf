#include "tests/support/golden_texts.h"

#include <iconv.h>

namespace golden {

std::string toCp1251(const std::string& utf8Text) {
  iconv_t converter = iconv_open("CP1251", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) return "<no iconv>";
  std::string input = utf8Text;
  std::string output(input.size() * 2 + 1, '\0');
  char* in = input.data();
  char* out = output.data();
  size_t inLeft = input.size();
  size_t outLeft = output.size();
  iconv(converter, &in, &inLeft, &out, &outLeft);
  iconv_close(converter);
  output.resize(output.size() - outLeft);
  return output;
}

std::string programText(const std::string& utf8Text) {
  // This file is compiled like the programs' texts: one byte for "Ж" when
  // they are stored in Windows-1251.
  constexpr bool kProgramTextsAreCp1251 = sizeof("Ж") == 2;
  return kProgramTextsAreCp1251 ? toCp1251(utf8Text) : utf8Text;
}

}  // namespace golden
