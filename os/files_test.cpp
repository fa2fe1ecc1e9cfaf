// Files as os/ makes them: exclusive creation, appends in one write, moves
// that never replace, and temporary names nobody else uses.
#include "os/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>

#include "tests/support/files.h"

namespace {

class OsFiles : public testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE((directory_ = makeTemporaryDirectory()).empty()); }
  void TearDown() override {
    chmod(directory_.c_str(), 0700);
    removeDirectory(directory_);
  }
  std::string path(const std::string& name) const { return directory_ + "/" + name; }
  std::string read(const std::string& name) const { return readWholeFile(path(name)); }
  std::set<std::string> names() const {
    const auto files = filesIn(directory_);
    return {files.begin(), files.end()};
  }
  std::string directory_;
};

TEST_F(OsFiles, AnExclusiveCreateLeavesAFileThatIsThereAsItIs) {
  ASSERT_TRUE(createFileExclusive(path("a"), "first").ok());
  const OsResult second = createFileExclusive(path("a"), "second");
  EXPECT_FALSE(second.ok());
  EXPECT_TRUE(fileExists(second));
  EXPECT_EQ(second.reason, "File exists");
  EXPECT_EQ(read("a"), "first");
}

TEST_F(OsFiles, PublishingNeverReplacesAndLeavesNoTemporaryFile) {
  ASSERT_TRUE(publishNewFile(path("r.txt"), "one\r\n").ok());
  const OsResult again = publishNewFile(path("r.txt"), "two\r\n");
  EXPECT_TRUE(fileExists(again)) << again.reason;
  EXPECT_EQ(read("r.txt"), "one\r\n");
  EXPECT_EQ(names(), std::set<std::string>{"r.txt"});
}

TEST_F(OsFiles, ReplacingContentTakesTheNewBytesAndLeavesNoTemporaryFile) {
  ASSERT_TRUE(replaceFileContent(path("r.txt"), "old, longer content\n").ok());
  ASSERT_TRUE(replaceFileContent(path("r.txt"), "new").ok());
  EXPECT_EQ(read("r.txt"), "new");
  EXPECT_EQ(names(), std::set<std::string>{"r.txt"});
}

TEST_F(OsFiles, TemporaryNamesDifferWithinAProcessAndBetweenProcesses) {
  std::set<std::string> temporaries;
  for (int i = 0; i < 3; ++i) {
    std::string temporary;
    ASSERT_TRUE(writeTemporaryFile(path("r.txt"), "x", temporary).ok());
    EXPECT_EQ(temporary.rfind(path("r.txt."), 0), 0u) << temporary;
    temporaries.insert(temporary);
  }
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::string temporary;
    _exit(writeTemporaryFile(path("r.txt"), "y", temporary).ok() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(temporaries.size(), 3u);
  EXPECT_EQ(names().size(), 4u);
}

TEST_F(OsFiles, AnAppendGoesToTheEndAndAnEmptyFileGetsTheLeadFirst) {
  ASSERT_TRUE(createFileExclusive(path("j.csv"), "").ok());
  ASSERT_TRUE(appendToFile(path("j.csv"), "head\n", "row 1\n").ok());
  ASSERT_TRUE(appendToFile(path("j.csv"), "head\n", "row 2\n").ok());
  EXPECT_EQ(read("j.csv"), "head\nrow 1\nrow 2\n");
}

TEST_F(OsFiles, AnAppendToAMissingFileSaysSoAndMakesNone) {
  const OsResult result = appendToFile(path("none.csv"), "head\n", "row\n");
  EXPECT_TRUE(fileIsMissing(result));
  EXPECT_EQ(result.reason, "No such file or directory");
  EXPECT_TRUE(names().empty());
}

TEST_F(OsFiles, AFolderThatCannotBeWrittenGivesTheSystemsReason) {
  if (geteuid() == 0) {
    // root writes anywhere: a missing folder shows the failure instead.
    const OsResult result = publishNewFile(path("missing/r.txt"), "x");
    EXPECT_EQ(result.reason, "No such file or directory");
    return;
  }
  ASSERT_EQ(chmod(directory_.c_str(), 0500), 0);
  const OsResult result = publishNewFile(path("r.txt"), "x");
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(result.reason, "Permission denied");
}

TEST_F(OsFiles, AMoveIntoATakenNameLeavesBothFiles) {
  ASSERT_TRUE(createFileExclusive(path("from"), "new").ok());
  ASSERT_TRUE(createFileExclusive(path("to"), "old").ok());
  EXPECT_TRUE(fileExists(moveIntoPlace(path("from"), path("to"))));
  EXPECT_EQ(read("to"), "old");
  EXPECT_EQ(read("from"), "new");
  EXPECT_TRUE(removeFile(path("from")).ok());
  EXPECT_TRUE(fileIsMissing(removeFile(path("from"))));
}

}  // namespace
