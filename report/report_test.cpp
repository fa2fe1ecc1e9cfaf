#include "report/report.h"

#include "report/report_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>


#include <cstdio>
#include <set>
#include <fstream>
#include <sstream>
#include <string>

#include "protocol/parameters.h"
#include "tests/support/files.h"
#include "tests/support/param_names.h"

namespace {

// The values of the simulated instrument, read.
ResultStore readValues() {
  ResultStore results{};
  const char* values[kParameterCount] = {"22", "2025", "72C0", "ZT-004217", "50", "1"};
  for (size_t position = 0; position < kParameterCount; ++position)
    setValueText(results[position], values[position]);
  return results;
}

TEST(ReportText, SixLinesInExportOrderWithTheDialogLabels) {
  const std::string report = buildReportText(reportLinesOf(readValues()));
  // Written as UTF-8 here, compiled to the dialog's Windows-1251 bytes.
  EXPECT_EQ(report,
            "Версия ПО= 22;\r\n"
            "Сборка= 2025;\r\n"
            "Контр. сумма= 72C0;\r\n"
            "Сетевой адрес= 1;\r\n"
            "ДУ (мм)= 50;\r\n"
            "Зав. N = ZT-004217;\r\n");
  EXPECT_EQ(static_cast<unsigned char>(report[0]), 0xC2u);  // "В" in Windows-1251
}

TEST(ReportText, FieldsAreCutAt59CharactersAndEmptyOnesKept) {
  ReportLines lines = reportLinesOf(readValues());
  lines[0] = {std::string(80, 'L'), std::string(70, 'v')};
  lines[1].value = "";
  const std::string report = buildReportText(lines);
  std::istringstream text(report);
  std::string first, second;
  std::getline(text, first);
  std::getline(text, second);
  EXPECT_EQ(first, std::string(59, 'L') + "= " + std::string(59, 'v') + ";\r");
  EXPECT_EQ(second, "Сборка= ;\r");
}

struct NameCase {
  const char* serial;
  LocalTime time;
  const char* expected;
};

const NameCase kNameCases[] = {
    {"57", {2026, 12, 5, 9, 4, 3}, "57_ 5-12-2026_09_04_03.txt"},
    {"ZT-004217", {2027, 1, 31, 23, 59, 58}, "ZT-004217_31-01-2027_23_59_58.txt"},
    {"", {2026, 6, 1, 0, 0, 0}, "_ 1-06-2026_00_00_00.txt"},
    {"a\\b/c:d*e?f\"g<h>i|j", {2026, 6, 1, 0, 0, 0}, "a_b_c_d_e_f_g_h_i_j_ 1-06-2026_00_00_00.txt"},
    {"..\\..\\x", {2026, 6, 1, 0, 0, 0}, ".._.._x_ 1-06-2026_00_00_00.txt"},
    {"tab\there\nnl", {2026, 6, 1, 0, 0, 0}, "tab_here_nl_ 1-06-2026_00_00_00.txt"},
    {"Зав№5", {2026, 6, 1, 0, 0, 0}, "Зав№5_ 1-06-2026_00_00_00.txt"},
};

class ReportFileName : public testing::TestWithParam<NameCase> {};

TEST_P(ReportFileName, IsBuiltFromTheSerialNumberAndTheLocalTime) {
  const NameCase& c = GetParam();
  EXPECT_EQ(buildReportFileName(c.serial, c.time), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReportFileName, testing::ValuesIn(kNameCases),
                         [](const auto& info) { return readableCaseName(info.index, info.param.expected); });

TEST(ReportFileName, SerialNumbersOfAnyLengthAreKeptWhole) {
  const std::string serial(200, '7');
  const std::string name = buildReportFileName(serial, {2026, 12, 10, 8, 0, 0});
  EXPECT_EQ(name, serial + "_10-12-2026_08_00_00.txt");
}

class ReportFileWrite : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zort-report-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    directory_ = pattern;
  }
  void TearDown() override {
    chmod(directory_.c_str(), 0700);
    std::system(("rm -rf '" + directory_ + "'").c_str());
  }
  std::string read(const std::string& name) const {
    std::ifstream in(directory_ + "/" + name, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
  }
  std::set<std::string> names() const {
    const auto files = filesIn(directory_);
    return {files.begin(), files.end()};
  }
  bool exists(const std::string& name) const {
    struct stat info {};
    return stat((directory_ + "/" + name).c_str(), &info) == 0;
  }
  std::string directory_;
};

TEST_F(ReportFileWrite, WritesTheExactBytesAndReplacesAnEarlierFile) {
  const std::string text = "a= 1;\r\nb= 2;\r\n";
  ASSERT_EQ(writeReportFile(directory_, "r.txt", "old, longer content\n", ExistingReport::kReplace)
                .status,
            kStatusOk);
  ASSERT_EQ(writeReportFile(directory_, "r.txt", text, ExistingReport::kReplace).status, kStatusOk);
  EXPECT_EQ(read("r.txt"), text);
  EXPECT_FALSE(exists("r.txt.part"));
  EXPECT_EQ(names(), std::set<std::string>{"r.txt"});
}

// zort-read's reports: a name that is taken, by this process or another,
// gives the next free "_2", "_3" name; the earlier files stay as they are.
TEST_F(ReportFileWrite, AKeptReportTakesTheNextFreeNameAndTellsIt) {
  ASSERT_EQ(writeReportFile(directory_, "r.txt", "one", ExistingReport::kKeep).status, kStatusOk);
  ASSERT_EQ(writeReportFile(directory_, "r.txt", "two", ExistingReport::kKeep).status, kStatusOk);
  const ReportWrite third = writeReportFile(directory_, "r.txt", "three", ExistingReport::kKeep);
  ASSERT_EQ(third.status, kStatusOk);
  EXPECT_EQ(third.path, directory_ + "/r_3.txt");
  EXPECT_EQ(read("r.txt"), "one");
  EXPECT_EQ(read("r_2.txt"), "two");
  EXPECT_EQ(read("r_3.txt"), "three");
  EXPECT_EQ(names(), (std::set<std::string>{"r.txt", "r_2.txt", "r_3.txt"}));
}

TEST_F(ReportFileWrite, AFailedWriteTellsTheSystemsReason) {
  const ReportWrite write =
      writeReportFile(directory_ + "/missing", "r.txt", "x", ExistingReport::kKeep);
  EXPECT_EQ(write.status, kStatusWriteFileFailed);
  EXPECT_EQ(write.system.reason, "No such file or directory");
  EXPECT_EQ(write.path, directory_ + "/missing/r.txt");
}

// The name comes in Windows-1251, as built; the file carries its characters
// (UTF-8 on Linux), not its bytes.
TEST_F(ReportFileWrite, ACyrillicNameNamesTheFileWithItsCharacters) {
  const std::string cp1251Name = "Зав№5_ 1-06-2026_00_00_00.txt";  // stored as Windows-1251
  ASSERT_EQ(cp1251Name.size(), 29u);
  ASSERT_EQ(writeReportFile(directory_, cp1251Name, "x= 1;\r\n", ExistingReport::kReplace).status,
            kStatusOk);
  EXPECT_EQ(read(reinterpret_cast<const char*>(u8"Зав№5_ 1-06-2026_00_00_00.txt")), "x= 1;\r\n");
  EXPECT_FALSE(exists(cp1251Name));
}

TEST_F(ReportFileWrite, AFolderThatCannotBeWrittenGives9AndNoFile) {
  if (geteuid() == 0) {
    // root writes anywhere: a missing folder shows the failure instead.
    EXPECT_EQ(
        writeReportFile(directory_ + "/missing", "r.txt", "x", ExistingReport::kReplace).status,
        kStatusWriteFileFailed);
    return;
  }
  ASSERT_EQ(chmod(directory_.c_str(), 0500), 0);
  EXPECT_EQ(writeReportFile(directory_, "r.txt", "x", ExistingReport::kReplace).status,
            kStatusWriteFileFailed);
  chmod(directory_.c_str(), 0700);
  EXPECT_FALSE(exists("r.txt"));
}

TEST_F(ReportFileWrite, AFailedMoveLeavesTheEarlierReportWhole) {
  // A folder in the way of the final name makes the move fail after the
  // temporary file was written.
  ASSERT_EQ(mkdir((directory_ + "/r.txt").c_str(), 0700), 0);
  ASSERT_EQ(mkdir((directory_ + "/r.txt/keep").c_str(), 0700), 0);
  EXPECT_EQ(writeReportFile(directory_, "r.txt", "new", ExistingReport::kReplace).status,
            kStatusWriteFileFailed);
  EXPECT_TRUE(exists("r.txt/keep"));
  EXPECT_FALSE(exists("r.txt.part"));
  EXPECT_EQ(names(), std::set<std::string>{"r.txt"});
}

}  // namespace
