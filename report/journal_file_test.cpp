// The journal on disk: its header, a torn last row, a journal of another
// format, and a journal another process holds locked.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/files.h"
#include "report/journal_keeping.h"

namespace {

const std::string kShortHeader = "\xEF\xBB\xBFtime;port\r\n";
const std::string kRowA = "t1;a\r\n";
const std::string kRowB = "t2;b\r\n";

class JournalFileTest : public testing::Test {
 protected:
  void SetUp() override {
    directory = makeTemporaryDirectory("zort-journal");
    ASSERT_FALSE(directory.empty());
    journal = directory + "/journal.csv";
  }
  void TearDown() override {
    if (lockFd >= 0) close(lockFd);
    removeDirectory(directory);
  }
  JournalKept append(const std::string& rows) {
    const JournalKeeping keeping = keepJournalRow(journal, kShortHeader, rows);
    EXPECT_TRUE(keeping.kept != JournalKept::kFailed) << keeping.reason;
    return keeping.kept;
  }
  // Another process's hold on the journal: an exclusive lock of its own.
  void holdJournal() {
    lockFd = open(journal.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(lockFd, 0);
    ASSERT_EQ(flock(lockFd, LOCK_EX), 0);
  }
  void letGo() {
    close(lockFd);
    lockFd = -1;
  }

  std::string directory;
  std::string journal;
  int lockFd = -1;
};

TEST_F(JournalFileTest, ANewJournalGetsTheHeaderThenRowsAreAppended) {
  EXPECT_EQ(append(kRowA), JournalKept::kInJournal);
  EXPECT_EQ(append(kRowB), JournalKept::kInJournal);
  EXPECT_EQ(readWholeFile(journal), kShortHeader + kRowA + kRowB);
  EXPECT_EQ(filesIn(directory).size(), 1u) << "no temporary file left";
}

TEST_F(JournalFileTest, AnEmptyFileGetsTheHeader) {
  ASSERT_TRUE(writeWholeFile(journal, ""));
  EXPECT_EQ(append(kRowA), JournalKept::kInJournal);
  EXPECT_EQ(readWholeFile(journal), kShortHeader + kRowA);
}

// A row cut short (the disk filled, the power went) stays as it is; the
// next row starts on a line of its own.
TEST_F(JournalFileTest, ATornLastRowIsEndedBeforeTheNextRow) {
  ASSERT_TRUE(writeWholeFile(journal, kShortHeader + kRowA + "t2;cut sh"));
  EXPECT_EQ(append(kRowB), JournalKept::kInJournal);
  EXPECT_EQ(readWholeFile(journal), kShortHeader + kRowA + "t2;cut sh\r\n" + kRowB);
  ASSERT_TRUE(writeWholeFile(journal, kShortHeader + "t1;a\r"));
  EXPECT_EQ(append(kRowB), JournalKept::kInJournal);
  EXPECT_EQ(readWholeFile(journal), kShortHeader + "t1;a\r\r\n" + kRowB);
}

// Not a byte of a journal of another format changes, nor its time.
TEST_F(JournalFileTest, AJournalOfAnotherFormatIsLeftUntouched) {
  for (const std::string& other :
       {std::string("\xEF\xBB\xBFtime;port;match\r\nt0;x;1\r\n"), std::string("time;port\r\n"),
        std::string("\xEF\xBB\xBFti")}) {
    ASSERT_TRUE(writeWholeFile(journal, other));
    ASSERT_EQ(chmod(journal.c_str(), 0644), 0);
    struct stat before {};
    ASSERT_EQ(stat(journal.c_str(), &before), 0);
    usleep(20 * 1000);
    EXPECT_EQ(append(kRowA), JournalKept::kForeign);
    struct stat after {};
    ASSERT_EQ(stat(journal.c_str(), &after), 0);
    EXPECT_EQ(readWholeFile(journal), other);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(after.st_size, before.st_size);
  }
}

// While another program holds the journal the rows go to the side file;
// the first row that reaches the journal again brings them along, in order.
TEST_F(JournalFileTest, RowsWaitBesideALockedJournalAndFollowInOrder) {
  ASSERT_EQ(append(kRowA), JournalKept::kInJournal);
  holdJournal();
  const std::string pending = pendingJournalPath(journal);
  EXPECT_EQ(pending, journal + ".pending.csv");
  EXPECT_EQ(keepJournalRow(journal, kShortHeader, kRowB).kept, JournalKept::kPending);
  EXPECT_EQ(keepJournalRow(journal, kShortHeader, "t3;c\r\n").kept, JournalKept::kPending);
  EXPECT_EQ(readWholeFile(journal), kShortHeader + kRowA);
  EXPECT_EQ(readWholeFile(pending), kShortHeader + kRowB + "t3;c\r\n");
  letGo();

  const JournalKeeping keeping = keepJournalRow(journal, kShortHeader, "t4;d\r\n");
  EXPECT_EQ(keeping.kept, JournalKept::kInJournal);
  EXPECT_EQ(keeping.movedRows, 2u);
  EXPECT_EQ(readWholeFile(journal), kShortHeader + kRowA + kRowB + "t3;c\r\n" + "t4;d\r\n");
  EXPECT_EQ(access(pending.c_str(), F_OK), -1) << "the side file is gone";
}

size_t occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = 0; (at = text.find(part, at)) != std::string::npos; at += part.size()) ++count;
  return count;
}

// Several zort-read processes whose rows reach the journal at the same
// moment: the side file's rows are moved by one of them, once, and every
// process's own row is there too.
TEST_F(JournalFileTest, SeveralProcessesMoveTheSideFileOnce) {
  constexpr int kProcesses = 6;
  const std::vector<std::string> setAside = {"p1;x\r\n", "p2;y\r\n", "p3;z\r\n"};
  for (int round = 0; round < 5; ++round) {
    ASSERT_TRUE(writeWholeFile(journal, kShortHeader));
    ASSERT_TRUE(writeWholeFile(pendingJournalPath(journal),
                               kShortHeader + setAside[0] + setAside[1] + setAside[2]));
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < kProcesses; ++i) {
      const pid_t child = fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        close(start[1]);
        char go;
        (void)!read(start[0], &go, 1);  // all start when the pipe closes
        const JournalKeeping keeping =
            keepJournalRow(journal, kShortHeader, "c" + std::to_string(i) + ";own\r\n");
        _exit(keeping.kept == JournalKept::kInJournal ? 0 : 1);
      }
      children.push_back(child);
    }
    close(start[0]);
    close(start[1]);
    for (const pid_t child : children) {
      int status = 0;
      ASSERT_EQ(waitpid(child, &status, 0), child);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::string text = readWholeFile(journal);
    for (const std::string& row : setAside) EXPECT_EQ(occurrences(text, row), 1u) << text;
    for (int i = 0; i < kProcesses; ++i)
      EXPECT_EQ(occurrences(text, "c" + std::to_string(i) + ";own\r\n"), 1u) << text;
    EXPECT_EQ(filesIn(directory).size(), 1u) << "neither the side file nor a moved one is left";
  }
}

// A side file taken to be moved while the journal is still held goes back
// under its name, with the new row after its rows.
TEST_F(JournalFileTest, ASideFileTakenWhileTheJournalIsHeldGoesBack) {
  ASSERT_EQ(append(kRowA), JournalKept::kInJournal);
  holdJournal();
  EXPECT_EQ(keepJournalRow(journal, kShortHeader, kRowB).kept, JournalKept::kPending);
  EXPECT_EQ(keepJournalRow(journal, kShortHeader, "t3;c\r\n").kept, JournalKept::kPending);
  EXPECT_EQ(readWholeFile(pendingJournalPath(journal)), kShortHeader + kRowB + "t3;c\r\n");
  EXPECT_EQ(filesIn(directory).size(), 2u) << "the journal and its side file, nothing else";
}

TEST_F(JournalFileTest, ASideFileOfAnotherFormatIsNeitherMovedNorRemoved) {
  const std::string pending = pendingJournalPath(journal);
  ASSERT_TRUE(writeWholeFile(pending, "someone else's\r\n"));
  const JournalKeeping keeping = keepJournalRow(journal, kShortHeader, kRowA);
  EXPECT_EQ(keeping.kept, JournalKept::kInJournal);
  EXPECT_EQ(keeping.movedRows, 0u);
  EXPECT_EQ(readWholeFile(journal), kShortHeader + kRowA);
  EXPECT_EQ(readWholeFile(pending), "someone else's\r\n");
}

TEST_F(JournalFileTest, AJournalOfAnotherFormatIsToldApart) {
  ASSERT_TRUE(writeWholeFile(journal, "time;port;match\r\n"));
  EXPECT_EQ(keepJournalRow(journal, kShortHeader, kRowA).kept, JournalKept::kForeign);
  EXPECT_EQ(access(pendingJournalPath(journal).c_str(), F_OK), -1) << "nothing set aside";
}

}  // namespace
