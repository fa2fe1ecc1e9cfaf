// The system's words for errno codes, as messages show them.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "os/system_error.h"

namespace {

TEST(SystemError, GivesTheSystemsWordsWithoutALineEnd) {
  EXPECT_EQ(systemErrorText(ENOENT), "No such file or directory");
  EXPECT_EQ(systemErrorText(EACCES), "Permission denied");
  errno = ENOTTY;
  EXPECT_EQ(systemErrorText(lastSystemError()), "Inappropriate ioctl for device");
}

TEST(SystemError, CutsALongTextToItsBufferAndEndsIt) {
  char text[8];
  systemErrorText(ENOENT, text, sizeof text);
  EXPECT_STREQ(text, "No such");
  systemErrorText(ENOENT, text, 0);  // writes nothing
}

TEST(SystemError, NamesACodeTheSystemDoesNotKnow) {
  const std::string text = systemErrorText(99999);
  EXPECT_FALSE(text.empty());
  EXPECT_NE(text.find("99999"), std::string::npos) << text;
}

}  // namespace
