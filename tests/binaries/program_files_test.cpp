// The Windows programs as built: what they import, their manifest, their
// version resource and the dialog's icon, read from the .exe files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/binaries/pe_image.h"

namespace {

constexpr uint32_t kTypeGroupIcon = 14;
constexpr uint32_t kTypeVersion = 16;
constexpr uint32_t kTypeManifest = 24;

struct Program {
  const char* file;
  const char* description;  // FileDescription
  bool hasIcon;
};

const Program kPrograms[] = {
    {"zort-ident.exe", reinterpret_cast<const char*>(u8"Идентификация ЗОРТ"), true},
    {"zort-read.exe", reinterpret_cast<const char*>(u8"Идентификация ЗОРТ из командной строки"),
     false},
};

// DLLs every Windows installation has; a program that needs another is no
// longer the single file users copy.
const char* const kSystemDlls[] = {"kernel32.dll", "user32.dll",  "gdi32.dll",
                                   "msvcrt.dll",   "comctl32.dll", "advapi32.dll",
                                   "setupapi.dll", "shell32.dll",  "ole32.dll"};

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

class ProgramFileTest : public testing::TestWithParam<Program> {
 protected:
  void SetUp() override {
    const std::string path = std::string(ZORT_WINDOWS_BUILD_DIR) + "/" + GetParam().file;
    std::string error;
    if (readPeImage(path, image, error)) return;
    // Under CI the Windows build is part of the run: missing is a failure.
    if (std::getenv("CI") != nullptr && std::string(std::getenv("CI")) == "true")
      FAIL() << error;
    GTEST_SKIP() << error << " (build the Windows programs first)";
  }
  PeImage image;
};

TEST_P(ProgramFileTest, ImportsOnlyWindowsOwnDlls) {
  ASSERT_FALSE(image.importedDlls.empty());
  for (const std::string& dll : image.importedDlls) {
    SCOPED_TRACE(dll);
    EXPECT_NE(std::find(std::begin(kSystemDlls), std::end(kSystemDlls), lower(dll)),
              std::end(kSystemDlls));
  }
}

TEST_P(ProgramFileTest, CarriesTheManifest) {
  const PeResource* manifest = findResource(image, kTypeManifest, 1);
  ASSERT_NE(manifest, nullptr) << "no manifest (type 24, resource 1)";
  const std::string text(manifest->data.begin(), manifest->data.end());
  const char* const kEntries[] = {
      // visual styles
      R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")",
      R"(publicKeyToken="6595b64144ccf1df")",
      // never an elevation prompt
      R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)",
      // DPI: per monitor v2, and the older entry for Windows before 10 1703
      R"(<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2)",
      R"(<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>)",
      // Windows 7, 8, 8.1, 10 and 11
      "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
      "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
  };
  for (const char* entry : kEntries) {
    SCOPED_TRACE(entry);
    EXPECT_NE(text.find(entry), std::string::npos);
  }
  EXPECT_EQ(text.rfind("<?xml", 0), 0u) << "the manifest starts with its XML declaration";
}

TEST_P(ProgramFileTest, CarriesTheProjectVersion) {
  const PeResource* resource = findResource(image, kTypeVersion, 1);
  ASSERT_NE(resource, nullptr) << "no version resource";
  VersionInfo info;
  std::string error;
  ASSERT_TRUE(parseVersionInfo(resource->data, info, error)) << error;
  const uint16_t expected[4] = {ZORT_VERSION_MAJOR, ZORT_VERSION_MINOR, ZORT_VERSION_PATCH, 0};
  EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), info.fileVersion));
  EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), info.productVersion));
  auto value = [&](const std::string& key) {
    for (const auto& [name, text] : info.strings)
      if (name == key) return text;
    return std::string("<missing>");
  };
  EXPECT_EQ(value("FileVersion"), ZORT_VERSION);
  EXPECT_EQ(value("ProductVersion"), ZORT_VERSION);
  EXPECT_EQ(value("ProductName"), reinterpret_cast<const char*>(u8"ЗОРТ: идентификация"));
  EXPECT_EQ(value("FileDescription"), GetParam().description);
  EXPECT_EQ(value("OriginalFilename"), GetParam().file);
}

TEST_P(ProgramFileTest, TheDialogCarriesItsIconFrom16To256Pixels) {
  const PeResource* group = findResource(image, kTypeGroupIcon, 1);
  if (!GetParam().hasIcon) {
    EXPECT_EQ(group, nullptr);
    return;
  }
  ASSERT_NE(group, nullptr) << "no icon group 1";
  const auto sizes = groupIconSizes(group->data);
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    SCOPED_TRACE(size);
    EXPECT_NE(std::find(sizes.begin(), sizes.end(), std::make_pair(size, size)), sizes.end());
  }
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramFileTest, testing::ValuesIn(kPrograms),
                         [](const auto& info) {
                           std::string name = info.param.file;
                           name.erase(std::remove_if(name.begin(), name.end(),
                                                     [](char c) { return !std::isalnum(c); }),
                                      name.end());
                           return name;
                         });

}  // namespace
