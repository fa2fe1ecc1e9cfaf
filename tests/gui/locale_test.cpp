// zort-ident.exe and zort-read.exe on a Russian system (ANSI code page 1251)
// and on a Western one (1252): the same texts in the dialog, the same report
// bytes, the same file name for a Cyrillic serial number. Each locale has a
// rig of its own (display, Wine prefix), started by its first test.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "tests/gui/child_process.h"
#include "tests/gui/gui_rig.h"
#include "tests/gui/gui_steps.h"
#include "tests/support/golden_texts.h"
#include "tests/gui/ident_session.h"
#include "tests/support/sim_process.h"

namespace {

constexpr int kExitTimeoutMs = 30000;
constexpr int kReaderTimeoutMs = 60000;

struct LocaleCase {
  const char* name;  // also the rig's folder and the Wine prefix's name
  const char* locale;
};

void PrintTo(const LocaleCase& locale, std::ostream* out) { *out << locale.locale; }

const LocaleCase kLocales[] = {
    {"Russian1251", kRussianLocale},
    {"Western1252", kWesternLocale},
};

struct StartedRig {
  GuiRig rig;
  std::string error;  // why it did not start, "" when it did
};

std::map<std::string, std::unique_ptr<StartedRig>> gRigs;

// The locale's rig, started the first time; nullptr (with the reason in
// error) when it cannot start.
GuiRig* rigOf(const LocaleCase& locale, std::string& error) {
  std::unique_ptr<StartedRig>& slot = gRigs[locale.name];
  if (!slot) {
    slot = std::make_unique<StartedRig>();
    slot->rig.prefixName = std::string("locale-") + locale.name;
    slot->rig.wine.locale = locale.locale;
    const std::string directory = std::string(ZORT_GUI_RIG_DIR) + "/" + locale.name;
    std::filesystem::create_directories(directory);
    if (!startGuiRig(slot->rig, directory, ZORT_WINE_ROOT, slot->error) &&
        slot->error.empty())
      slot->error = "the rig did not start";
  }
  error = slot->error;
  return error.empty() ? &slot->rig : nullptr;
}

void stopRigs() {
  for (auto& [name, started] : gRigs) stopGuiRig(started->rig);
  gRigs.clear();
}

// The instrument with a Cyrillic serial number (sent in Windows-1251).
constexpr const char* kSerial = "ЗТ-№5";

std::string cyrillicSerialScenario(const GuiRig& rig) {
  const std::string line = std::string("@ type=11 text=") + kSerial;
  return scenarioFile(rig, "cyrillic-serial", withLine(rig, line));
}

// The report as both programs write it, in Windows-1251 on every system.
std::string expectedReport(const std::string& version, const std::string& build) {
  return golden::toCp1251("Версия ПО= " + version + ";\r\n" +
                  "Сборка= " + build + ";\r\n"
                  "Контр. сумма= 72C0;\r\n"
                  "Сетевой адрес= 1;\r\n"
                  "ДУ (мм)= 50;\r\n"
                  "Зав. N = " + kSerial + ";\r\n");
}

// The folder's one file: named after the serial number (in UTF-8, as Wine
// names files for Linux) and a date and time.
std::string onlyReportIn(const std::string& directory) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(directory))
    files.push_back(entry.path().filename().string());
  EXPECT_EQ(files.size(), 1u) << "the folder holds exactly the report";
  if (files.size() != 1) return {};
  const std::regex pattern(std::string(kSerial) +
                           "_[ 123][0-9]-[01][0-9]-[0-9]{4}_[0-9]{2}_[0-9]{2}_[0-9]{2}\\.txt");
  EXPECT_TRUE(std::regex_match(files[0], pattern)) << files[0];
  return files[0];
}

class LocaleTest : public testing::TestWithParam<LocaleCase> {
 protected:
  void SetUp() override {
    std::string error;
    rig_ = rigOf(GetParam(), error);
    ASSERT_NE(rig_, nullptr) << GetParam().locale << ": " << error;
  }
  std::vector<std::string> steps(const IdentSession& session, const std::vector<Step>& list) {
    return driveSteps(*rig_, session, list);
  }
  GuiRig* rig_ = nullptr;
};

TEST_P(LocaleTest, TheDialogShowsItsTextsAndAFailureInRussian) {
  Session session(*rig_, "initial-view", unpaced());
  ASSERT_TRUE(session.started());
  steps(session.get(), concat({
                           {"find 20000", "ok"},
                           {"text 0", "Tarvo02-p, Ostrel v.1.0"},
                           {"text 539", "Открыт"},
                           {"text 514", "Выбрать"},
                           {"text 515", "Читать"},
                           {"text 516", "В файл"},
                           {"text 65535", "Идентификация ЗОРТ"},
                           // Unicode windows keep any character typed or shown
                           {"unicode 0", "1"},
                           {"unicode 522", "1"},
                       }, concat(kLabels, {
                           // "Выбрать" with no port chosen: an open that fails
                           {"click 514", "ok"},
                           {"text 540", golden::statusText(2).c_str()},
                           {"closebox", "ok"},
                       })));
  EXPECT_EQ(waitIdentExit(session.get(), kExitTimeoutMs), 0);
}

// A read of an instrument whose serial number is Cyrillic; then values the
// user typed: Cyrillic, and a letter Windows-1251 lacks, which the report
// holds as "?". The report's bytes and name are the same on both systems.
TEST_P(LocaleTest, TheDialogShowsAndExportsCyrillicValues) {
  Session session(*rig_, "cyrillic-values",
                  {"--char-ms", "0", "--scenario", cyrillicSerialScenario(*rig_)});
  ASSERT_TRUE(session.started());
  steps(session.get(),
        concat(kOpenCom1, {
                              {"click 515", "ok"},
                              {std::string("wait-checked 515 0 ") + kCycleWaitMs, "ok"},
                              {"text 540", ""},
                              {"text 517", "22"},
                              {"text 522", kSerial},
                              // typed through the dialog's message loop
                              {"settext 518 ", "ok"},
                              {"type 518 Сборка-Ж1", "ok"},
                              {"wait-text 518 5000 Сборка-Ж1", "ok"},
                              {"settext 517 é2", "ok"},
                              {"text 517", "é2"},
                              {"click 516", "ok"},
                              {"text 540", ""},
                              {"closebox", "ok"},
                          }));
  EXPECT_EQ(waitIdentExit(session.get(), kExitTimeoutMs), 0);
  const std::string work = session.get().directory + "/work";
  const std::string report = onlyReportIn(work);
  if (!report.empty()) {
    EXPECT_EQ(readWholeFile(work + "/" + report), expectedReport("?2", "Сборка-Ж1"));
  }
}

// zort-read.exe prints UTF-8 whatever the system's code page, and its
// --report has the dialog's name and bytes.
TEST_P(LocaleTest, ZortReadPrintsUtf8AndWritesTheDialogsReport) {
  const GuiRig& rig = *rig_;
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(startSim(sim, {"--char-ms", "0", "--scenario", cyrillicSerialScenario(rig)}, error))
      << error;
  ASSERT_TRUE(connectComPort(rig.wine, "COM1", sim.linePath, error)) << error;
  const std::string folder = rig.directory + "/zort-read-report";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const ProcessResult result =
      runWineProgram(rig.wine, ZORT_READ_EXE, {"--report", windowsPath(folder), "COM1"},
                     kReaderTimeoutMs);
  stopSim(sim);
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            "Версия ПО:      22\n"
            "Сборка:         2025\n"
            "Контр. сумма:   72C0\n"
            "Сетевой адрес:  1\n"
            "ДУ (мм):        50\n"
            "Зав. N:         ЗТ-№5\n");
  const std::string report = onlyReportIn(folder);
  ASSERT_FALSE(report.empty());
  EXPECT_EQ(result.err, "zort-read: report " + windowsPath(folder) + "/" + report + "\n");
  EXPECT_EQ(readWholeFile(folder + "/" + report), expectedReport("22", "2025"));
}

// Cyrillic arguments keep their letters on a Western system too: the
// journal and the report folder are named as typed.
TEST_P(LocaleTest, ZortReadTakesCyrillicFileNamesAsTyped) {
  const GuiRig& rig = *rig_;
  SimProcess sim;
  std::string error;
  ASSERT_TRUE(startSim(sim, {"--char-ms", "0"}, error)) << error;
  ASSERT_TRUE(connectComPort(rig.wine, "COM1", sim.linePath, error)) << error;
  const std::string folder = rig.directory + "/zort-read-names";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder + "/отчёты");
  const ProcessResult result =
      runWineProgram(rig.wine, ZORT_READ_EXE,
                     {"--journal", "журнал.csv", "--report", "отчёты", "COM1"}, kReaderTimeoutMs,
                     folder);
  stopSim(sim);
  EXPECT_EQ(result.exitCode, 0) << result.err;
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"журнал.csv", "отчёты"}));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder + "/отчёты"),
                          std::filesystem::directory_iterator()),
            1)
      << "the report in the folder named as typed";
  // The journal's columns: ...;station;operator;port;verdict;status;text;...
  EXPECT_NE(readWholeFile(folder + "/журнал.csv").find(";COM1;pass;0;OK!;"), std::string::npos);
  EXPECT_NE(result.err.find("отчёты"), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(Locales, LocaleTest, testing::ValuesIn(kLocales),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const std::string missing = withMissingPrograms(
      missingRigTools(), {ZORT_IDENT_EXE, ZORT_DRIVE_EXE, ZORT_READ_EXE});
  if (!missing.empty()) return cannotRun("the locale tests need " + missing);
  const int result = RUN_ALL_TESTS();
  stopRigs();
  return result;
}
