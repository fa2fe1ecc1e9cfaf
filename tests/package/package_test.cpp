// The release packages as a user gets them: scripts/package builds them into
// a temporary folder once; the zip and the .deb hold what they should, and
// the .deb unpacked into a temporary root reads the simulated instrument.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/process_run.h"
#include "tests/support/reader_cases.h"

namespace {

const std::string kVersion = ZORT_VERSION;
const std::string kZipName = "zort-ident-" + kVersion + "-win64.zip";
const std::string kDebName = "zort-tools_" + kVersion + "_amd64.deb";

ProcessResult run(const std::vector<std::string>& command, int timeoutMs = 60000) {
  ProcessOptions options;
  options.timeoutMs = timeoutMs;
  return runProcess(command, options);
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

class PackageTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    directory = makeTemporaryDirectory();
    ProcessOptions options;
    options.timeoutMs = 500000;
    options.environment = {std::string("ZORT_NATIVE_BUILD=") + ZORT_NATIVE_BUILD,
                           std::string("ZORT_WINDOWS_BUILD=") + ZORT_WINDOWS_BUILD};
    built = runProcess({ZORT_PACKAGE_SCRIPT, directory + "/dist"}, options);
  }
  static void TearDownTestSuite() {
    run({"rm", "-rf", directory});
  }
  void SetUp() override { ASSERT_EQ(built.exitCode, 0) << built.out << built.err; }

  static std::string package(const std::string& name) { return directory + "/dist/" + name; }

  static inline std::string directory;
  static inline ProcessResult built;
};

TEST_F(PackageTest, NamesThePackagesWithTheProjectVersion) {
  EXPECT_EQ(built.out, package(kZipName) + "\n" + package(kDebName) + "\n");
}

TEST_F(PackageTest, ZipHoldsTheTwoProgramsAndTheReadme) {
  const ProcessResult list = run({"unzip", "-Z1", package(kZipName)});
  ASSERT_EQ(list.exitCode, 0) << list.err;
  std::vector<std::string> files = linesOf(list.out);
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"README.txt", "zort-ident.exe", "zort-read.exe"}));
  const ProcessResult readme = run({"unzip", "-p", package(kZipName), "README.txt"});
  // For Notepad: a byte-order mark and CR LF; Russian first, then English.
  EXPECT_EQ(readme.out.rfind("\xEF\xBB\xBF", 0), 0u);
  EXPECT_NE(readme.out.find("zort-read.exe --journal"), std::string::npos);
  // Started from inside the zip, the programs run in a folder Windows deletes.
  EXPECT_NE(readme.out.find(reinterpret_cast<const char*>(u8"а не прямо из архива")),
            std::string::npos);
  EXPECT_NE(readme.out.find("not from inside the archive"), std::string::npos);
  EXPECT_LT(readme.out.find(reinterpret_cast<const char*>(u8"Русский")), readme.out.find("English"));
  EXPECT_EQ(readme.out.find("\n"), readme.out.find("\r\n") + 1) << "lines end with CR LF";
}

TEST_F(PackageTest, DebHoldsTheToolsAndTheirManPages) {
  const ProcessResult contents = run({"dpkg-deb", "-c", package(kDebName)});
  ASSERT_EQ(contents.exitCode, 0) << contents.err;
  std::vector<std::string> files;
  for (const auto& line : linesOf(contents.out)) {
    const std::string path = line.substr(line.rfind(' ') + 1);
    if (path.back() != '/') files.push_back(path);
  }
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"./usr/bin/zort-read", "./usr/bin/zort-sim",
                                             "./usr/share/man/man1/zort-read.1.gz",
                                             "./usr/share/man/man1/zort-sim.1.gz"}));
  const ProcessResult fields =
      run({"dpkg-deb", "-f", package(kDebName), "Package", "Version", "Architecture"});
  EXPECT_EQ(fields.out, "Package: zort-tools\nVersion: " + kVersion + "\nArchitecture: amd64\n");
  // apt resolves its dependencies on this system (simulated, nothing installed).
  const ProcessResult apt = run({"apt-get", "install", "--simulate", package(kDebName)});
  EXPECT_EQ(apt.exitCode, 0) << apt.out << apt.err;
}

TEST_F(PackageTest, InstalledToolsReadTheSimulatedInstrument) {
  const std::string root = directory + "/root";
  const ProcessResult unpacked = run({"dpkg", "-x", package(kDebName), root});
  ASSERT_EQ(unpacked.exitCode, 0) << unpacked.err;
  const ProcessResult read = run({root + "/usr/bin/zort-read", "--simulate"});
  EXPECT_EQ(read.exitCode, 0) << read.err;
  EXPECT_EQ(read.out, expectedValueLines());
  for (const char* page : {"zort-read", "zort-sim"}) {
    const ProcessResult man = run({"zcat", root + "/usr/share/man/man1/" + page + ".1.gz"});
    EXPECT_EQ(man.out.rfind(".TH ", 0), 0u) << page;
  }
}

}  // namespace
