// End-to-end tests of zort-ident.exe under Wine: the real program on a
// private X display, COM1 served by zort-sim, worked by zort-drive.exe
// through window messages (and once by a real X click). One rig for the
// whole program, since every Wine start costs time.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/gui/child_process.h"
#include "tests/gui/ident_session.h"
#include "tests/gui/gui_rig.h"
#include "tests/gui/gui_steps.h"
#include "tests/support/golden_texts.h"
#include "tests/support/line_mode.h"
#include "tests/gui/gui_test_main.h"

namespace {

constexpr int kExitTimeoutMs = 30000;
const char* const kCaption = golden::kCaption.c_str();

// The golden status texts as the driver's steps take them.
const std::array<const char*, 11> kStatus = [] {
  std::array<const char*, 11> texts{};
  for (size_t code = 0; code < texts.size(); ++code) texts[code] = golden::statusText(code).c_str();
  return texts;
}();

const std::vector<Step> kEmptyValues = {
    {"text 517", ""}, {"text 518", ""}, {"text 519", ""},
    {"text 522", ""}, {"text 520", ""}, {"text 521", ""},
};

// ---------------------------------------------------------------------------

TEST(GuiDialog, InitialViewShowsThePortListAndTheLabels) {
  Session session(*gRig, "initial-view", unpaced());
  ASSERT_TRUE(session.started());
  const std::vector<std::string> results =
      runSteps(session.get(), concat({
                                  {"find 20000", "ok"},
                                  {"text 0", kCaption},
                                  {"items 513", nullptr},
                                  {"visible 513", "1"},
                                  {"visible 539", "1"},
                                  {"text 539", "Открыт"},
                                  {"visible 514", "1"},
                                  {"text 514", "Выбрать"},
                                  {"checked 514", "0"},
                                  {"visible 515", "0"},
                                  {"text 515", "Читать"},
                                  {"visible 516", "0"},
                                  {"text 516", "В файл"},
                                  {"text 540", ""},
                              }, concat(kLabels, {
                                  {"text 517", ""},
                                  {"text 522", ""},
                                  {"closebox", "ok"},
                                  {"wait-gone 10000", "ok"},
                              })));
  const std::vector<std::string> ports = split(results[2], '|');
  EXPECT_NE(std::find(ports.begin(), ports.end(), "COM1"), ports.end()) << results[2];
  EXPECT_NE(std::find(ports.begin(), ports.end(), "COM2"), ports.end()) << results[2];
  EXPECT_EQ(waitIdentExit(session.get(), kExitTimeoutMs), 0);
}

// Esc, Enter and the close box end the program the same way.
struct CloseCase {
  const char* name;
  const char* command;
};

class GuiClose : public ::testing::TestWithParam<CloseCase> {};

TEST_P(GuiClose, EndsWithExitCodeZeroAndTheJoinTrace) {
  Session session(*gRig, std::string("close-") + GetParam().name, unpaced());
  ASSERT_TRUE(session.started());
  runSteps(session.get(), {{"find 20000", "ok"}, {GetParam().command, "ok"},
                           {"wait-gone 10000", "ok"}});
  EXPECT_EQ(waitIdentExit(session.get(), kExitTimeoutMs), 0);
  // No worker was started: the flags word holds QuitRequested alone.
  EXPECT_EQ(identStderr(session.get()), "join thread=80000000 ");
  EXPECT_EQ(identStdout(session.get()), " MStarts ");
}

const CloseCase kCloseCases[] = {
    {"Esc", "key esc"},
    {"Enter", "key enter"},
    {"CloseBox", "closebox"},
};

INSTANTIATE_TEST_SUITE_P(Ways, GuiClose, ::testing::ValuesIn(kCloseCases),
                         [](const auto& info) { return std::string(info.param.name); });

// While the dialog has COM1 open, the line's settings are the instrument's,
// with distinct XON/XOFF characters (tests/support/line_mode.h).
TEST(GuiDialog, AnOpenPortIs1200Baud8N1WithoutFlowControlAndDistinctXonXoff) {
  Session session(*gRig, "line-mode", unpaced());
  ASSERT_TRUE(session.started());
  const int line = openLineWithOtherSettings(session.get().sim.linePath);
  ASSERT_GE(line, 0) << session.get().sim.linePath;
  runSteps(session.get(), concat(kOpenCom1, {{"text 540", kStatus[0]}}));
  EXPECT_EQ(instrumentLineDifferences(line), "");
  runSteps(session.get(), {{"closebox", "ok"}});
}

TEST(GuiDialog, OpenCloseAndAFailedOpenSwitchTheViews) {
  Session session(*gRig, "open-close", unpaced());
  ASSERT_TRUE(session.started());
  runSteps(session.get(),
           concat({// "Выбрать" with nothing chosen opens the empty name
                   {"find 20000", "ok"},
                   {"click 514", "ok"},
                   {"text 540", kStatus[2]},
                   {"checked 514", "1"},
                   {"visible 515", "0"},
                   {"click 514", "ok"},
                   {"checked 514", "0"}},
                  concat(kOpenCom1, {
                      {"text 514", "COM1"},
                      {"checked 514", "1"},
                      {"visible 515", "1"},
                      {"visible 513", "0"},
                      {"visible 539", "1"},
                      {"visible 516", "0"},
                      // close: back to the selection view
                      {"click 514", "ok"},
                      {"text 514", "Выбрать"},
                      {"checked 514", "0"},
                      {"visible 513", "1"},
                      {"visible 539", "0"},
                      {"visible 515", "0"},
                      // open again
                      {"select 513 COM1", nullptr},
                      {"click 514", "ok"},
                      {"text 540", kStatus[0]},
                      {"checked 514", "1"},
                      {"visible 515", "1"},
                      {"click 514", "ok"},
                      // a port that cannot be opened still enters the connection view
                      {"select 513 COM2", nullptr},
                      {"click 514", "ok"},
                      {"text 540", kStatus[2]},
                      {"text 514", "COM2"},
                      {"checked 514", "1"},
                      {"visible 515", "0"},
                      {"visible 539", "1"},
                      {"click 514", "ok"},
                      {"text 514", "Выбрать"},
                      {"checked 514", "0"},
                      {"visible 513", "1"},
                      {"closebox", "ok"},
                  })));
  EXPECT_EQ(waitIdentExit(session.get(), kExitTimeoutMs), 0);
}

// Every element of seen appears in shown, in the same order.
bool isSubsequence(const std::vector<std::string>& seen, const std::vector<std::string>& shown) {
  size_t at = 0;
  for (const auto& text : seen) {
    while (at < shown.size() && shown[at] != text) ++at;
    if (at == shown.size()) return false;
    ++at;
  }
  return true;
}

struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// "left top right bottom", as the driver's rect gives it.
ScreenRect parseRect(const std::string& text) {
  ScreenRect rect;
  EXPECT_EQ(std::sscanf(text.c_str(), "%d %d %d %d", &rect.left, &rect.top, &rect.right,
                        &rect.bottom),
            4)
      << text;
  return rect;
}

// The part of the screen a window covers (its driver rect), as a PNG.
void takeScreenshot(const std::string& windowRect, const std::string& path) {
  const ScreenRect r = parseRect(windowRect);
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::filesystem::remove(path);
  ChildSpec shot;
  shot.argv = {"import", "-window", "root", "-crop",
               std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + "+" +
                   std::to_string(r.left) + "+" + std::to_string(r.top),
               "+repage", path};
  shot.environment = gRig->environment;
  std::string error;
  EXPECT_EQ(runChild(shot, 30000, error), 0) << error;
  EXPECT_GT(std::filesystem::exists(path) ? std::filesystem::file_size(path) : 0, 1000u) << path;
}

// A whole paced read, the report, the idle worker and the screenshot.
TEST(GuiRead, ReadsShowsExportsAndThenIdles) {
  Session session(*gRig, "read", paced());
  ASSERT_TRUE(session.started());
  std::vector<std::string> results = runSteps(
      session.get(), concat(kOpenCom1, {
                                           {"click 515", "ok"},
                                           {std::string("watch 540 515 ") + kCycleWaitMs, nullptr},
                                           {"checked 515", "0"},
                                           {"text 540", ""},
                                           {"visible 516", "1"},
                                           {"checked 516", "0"},
                                           {"rect 0", nullptr},
                                       }));
  // The watcher looks every few milliseconds: it sees the texts in the
  // order shown but may miss one that stands only a moment (the open's
  // "OK!" before the worker's first text, the last progress text before
  // the empty line). Every text it saw is one the cycle shows, in order,
  // and it saw every text that stands for a parameter's time.
  const std::vector<std::string> texts = split(results[5], '|');
  std::vector<std::string> shownTexts = {golden::statusText(0), golden::kWaitingText};
  shownTexts.insert(shownTexts.end(), golden::kProgressTexts.begin(), golden::kProgressTexts.end());
  shownTexts.push_back("");
  EXPECT_TRUE(isSubsequence(texts, shownTexts)) << results[5];
  // All but the open's text, the last progress text and the empty line.
  for (size_t i = 1; i + 2 < shownTexts.size(); ++i)
    EXPECT_NE(std::find(texts.begin(), texts.end(), shownTexts[i]), texts.end())
        << shownTexts[i] << " in " << results[5];
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), "") << results[5];
  runSteps(session.get(), kDefaultValues);

  // The screenshot of the dialog after a successful read.
  takeScreenshot(results[10], ZORT_SCREENSHOT);

  // A value typed before the export goes into the report; the name keeps
  // the serial number as read.
  const std::time_t before = std::time(nullptr);
  runSteps(session.get(), {{"settext 522 EDITED-1", "ok"},
                           {"settext 518 9999", "ok"},
                           {"click 516", "ok"},
                           {"text 540", ""},
                           {"visible 516", "1"}});
  const std::time_t after = std::time(nullptr);
  std::vector<std::string> reports;
  for (const auto& entry : std::filesystem::directory_iterator(session.get().directory + "/work"))
    reports.push_back(entry.path().filename().string());
  ASSERT_EQ(reports.size(), 1u) << "the work folder holds exactly the report";
  const std::regex pattern("ZT-004217_([ 123][0-9])-([01][0-9])-([0-9]{4})_([0-9]{2})_([0-9]{2})_([0-9]{2})\\.txt");
  std::smatch match;
  ASSERT_TRUE(std::regex_match(reports[0], match, pattern)) << reports[0];
  std::tm stamp{};
  stamp.tm_mday = std::stoi(match[1]);
  stamp.tm_mon = std::stoi(match[2]) - 1;
  stamp.tm_year = std::stoi(match[3]) - 1900;
  stamp.tm_hour = std::stoi(match[4]);
  stamp.tm_min = std::stoi(match[5]);
  stamp.tm_sec = std::stoi(match[6]);
  stamp.tm_isdst = -1;
  const std::time_t named = std::mktime(&stamp);
  EXPECT_GE(named, before - 1) << reports[0];
  EXPECT_LE(named, after + 1) << reports[0];
  EXPECT_EQ(match[1].str()[0] == ' ', std::stoi(match[1]) < 10) << "the day is padded with a space";
  EXPECT_EQ(readWholeFile(session.get().directory + "/work/" + reports[0]),
            golden::toCp1251("Версия ПО= 22;\r\n"
                     "Сборка= 9999;\r\n"
                     "Контр. сумма= 72C0;\r\n"
                     "Сетевой адрес= 1;\r\n"
                     "ДУ (мм)= 50;\r\n"
                     "Зав. N = EDITED-1;\r\n"));

  // The idle worker: no processor time to speak of over 10 s.
  std::ifstream command("/proc/" + std::to_string(identPid(session.get())) + "/cmdline");
  std::string commandLine((std::istreambuf_iterator<char>(command)), std::istreambuf_iterator<char>());
  ASSERT_NE(commandLine.find("zort-ident.exe"), std::string::npos) << "not the dialog's process";
  // The pointer goes off the dialog first: resting on a button, it costs
  // some 240 ms over 10 s of Wine's own polling (movePointerToTheCorner).
  std::string pointerError;
  ASSERT_TRUE(movePointerToTheCorner(*gRig, pointerError)) << pointerError;
  const double unixBefore = unixCpuMs(session.get());
  // The driver's own figure (GetProcessTimes) is shown for comparison only:
  // Wine 8 does not account another process's times.
  results = runSteps(session.get(), {{"cpu 10000", nullptr}});
  const double unixUsed = unixCpuMs(session.get()) - unixBefore;
  ASSERT_GE(unixBefore, 0.0) << "no /proc entry for the dialog's process";
  std::printf("idle over 10 s: %.0f ms (/proc), %s ms (GetProcessTimes)\n", unixUsed,
              results[0].c_str());
  EXPECT_LT(unixUsed, 50.0) << "processor time of the idle program over 10 s, ms";

  runSteps(session.get(), {{"key enter", "ok"}, {"wait-gone 10000", "ok"}});
  EXPECT_EQ(waitIdentExit(session.get(), kExitTimeoutMs), 0);
  EXPECT_EQ(identStdout(session.get()), " sStarts!=81  Started  ZZZ =16, X=72c0  MStarts  Ends! ");
  EXPECT_EQ(identStderr(session.get()), "join thread=80000080 ");
}

// Pressing Read again during a paced cycle; a third press clears Busy but
// starts nothing new.
struct CancelCase {
  const char* name;
  int extraPresses;  // after the press that starts the cycle
};

class GuiCancel : public ::testing::TestWithParam<CancelCase> {};

TEST_P(GuiCancel, StopsAfterTheParameterInProgress) {
  Session session(*gRig, std::string("cancel-") + GetParam().name, paced());
  ASSERT_TRUE(session.started());
  std::vector<Step> steps = concat(kOpenCom1, {{"click 515", "ok"},
                                               {"wait-text 540 10000 " + golden::kProgressTexts[0], "ok"}});
  for (int i = 0; i < GetParam().extraPresses; ++i) steps.push_back({"click 515", "ok"});
  steps.push_back({std::string("watch-until 540 ") + kCycleWaitMs + " " + golden::statusText(10), nullptr});
  const size_t watch = steps.size() - 1;
  const std::vector<std::string> results = runSteps(session.get(), steps);
  const std::vector<std::string> texts = split(results[watch], '|');
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), kStatus[10]) << results[watch];
  // "прервано на N%" stands only for a moment before "прервано"; whatever
  // was seen before it is progress of the parameters read.
  for (size_t i = 0; i + 1 < texts.size(); ++i)
    EXPECT_TRUE(texts[i].rfind(golden::kProgressStart, 0) == 0 ||
                texts[i].rfind(golden::kInterruptedStart, 0) == 0)
        << results[watch];
  const size_t served = simRequests(session.get()).size();
  EXPECT_LT(served, 6u) << "the cycle stopped early";
  // Nothing new starts afterwards.
  runSteps(session.get(), {{"sleep 1500", "ok"},
                           {"checked 515", "0"},
                           {"visible 516", "0"},
                           {"text 540", kStatus[10]},
                           {"closebox", "ok"}});
  EXPECT_EQ(simRequests(session.get()).size(), served);
  EXPECT_EQ(waitIdentExit(session.get(), kExitTimeoutMs), 0);
}

const CancelCase kCancelCases[] = {
    {"SecondPress", 1},
    {"ThirdPress", 2},
};

INSTANTIATE_TEST_SUITE_P(Presses, GuiCancel, ::testing::ValuesIn(kCancelCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GuiRead, ACycleWithoutAnswerLeavesTheValuesEmpty) {
  // The first request for A is answered, the second is not.
  const std::string scenario = scenarioFile(*gRig, "no-answer", defaultScenario(*gRig) + "\nA silent\n");
  Session session(*gRig, "no-answer", {"--char-ms", "0", "--scenario", scenario});
  ASSERT_TRUE(session.started());
  runSteps(session.get(),
           concat(concat(kOpenCom1, {{"click 515", "ok"},
                                     {std::string("wait-checked 515 0 ") + kCycleWaitMs, "ok"},
                                     {"visible 516", "1"}}),
                  concat(kDefaultValues, concat({{"click 515", "ok"},
                                                 {std::string("wait-checked 515 0 ") + kCycleWaitMs, "ok"},
                                                 {"text 540", kStatus[7]},
                                                 {"visible 516", "0"}},
                                                concat(kEmptyValues, {{"closebox", "ok"}})))));
  EXPECT_EQ(waitIdentExit(session.get(), kExitTimeoutMs), 0);
}

// Closing the port from the dialog during a cycle: the dialog answers at
// once, the cycle ends with a status code, and the port is given back.
TEST(GuiRead, ClosingThePortDuringACycleEndsItWithASendFailure) {
  Session session(*gRig, "close-during-cycle", paced());
  ASSERT_TRUE(session.started());
  runSteps(session.get(),
           concat(kOpenCom1,
                  concat({{"click 515", "ok"},
                          {"wait-text 540 10000 " + golden::kProgressTexts[0], "ok"},
                          {"click 514", "ok"},
                          {"text 514", "Выбрать"},
                          {"visible 513", "1"},
                          {std::string("wait-checked 515 0 ") + kCycleWaitMs, "ok"},
                          {"text 540", kStatus[6]},
                          {"visible 516", "0"},
                          // the port was released: it opens and reads again
                          {"select 513 COM1", nullptr},
                          {"click 514", "ok"},
                          {"text 540", kStatus[0]},
                          {"click 515", "ok"},
                          {std::string("wait-checked 515 0 ") + kCycleWaitMs, "ok"},
                          {"text 540", ""}},
                         concat(kDefaultValues, {{"closebox", "ok"}}))));
  EXPECT_EQ(waitIdentExit(session.get(), kExitTimeoutMs), 0);
}

TEST(GuiRead, ClosingTheDialogDuringACycleWaitsForIt) {
  Session session(*gRig, "quit-during-cycle", paced());
  ASSERT_TRUE(session.started());
  runSteps(session.get(), concat(kOpenCom1, {{"click 515", "ok"},
                                             {"wait-text 540 10000 " + golden::kProgressTexts[0], "ok"},
                                             {"closebox", "ok"},
                                             // the dialog goes at once
                                             {"wait-gone 2000", "ok"}}));
  EXPECT_EQ(waitIdentExit(session.get(), kExitTimeoutMs), 0);
  EXPECT_EQ(simRequests(session.get()).size(), 6u) << "the cycle ran to its end";
  const std::string out = identStdout(session.get());
  const size_t shellEnd = out.find(" MStarts ");
  const size_t workerEnd = out.find(" Ends! ");
  ASSERT_NE(shellEnd, std::string::npos) << out;
  ASSERT_NE(workerEnd, std::string::npos) << out;
  EXPECT_LT(shellEnd, workerEnd) << out;
  EXPECT_EQ(identStderr(session.get()), "join thread=80000080 ");
}

std::vector<std::string> filesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
    names.push_back(entry.path().filename().string());
  return names;
}

// A function: kOpenCom1 lives in another file, whose globals may not be made yet.
std::vector<Step> readAndExport() {
  return concat(kOpenCom1, {{"click 515", "ok"},
                            {std::string("wait-checked 515 0 ") + kCycleWaitMs, "ok"},
                            {"visible 516", "1"},
                            {"click 516", "ok"}});
}

// A folder the current one cannot keep a report in (it has gone): the report
// goes into Documents, and the status line says so; with no Documents to
// write to either, it says that nothing was written.
TEST(GuiRead, AReportTheFolderCannotTakeGoesIntoDocumentsOrSaysSo) {
  Session session(*gRig, "export-fails", unpaced());
  ASSERT_TRUE(session.started());
  const std::string documents = session.get().directory + "/documents";
  {
    DocumentsFolder nowhere(*gRig, documents + "/not-there");
    ASSERT_TRUE(nowhere.pointed());
    runSteps(session.get(), concat(kOpenCom1, {{"click 515", "ok"},
                                               {std::string("wait-checked 515 0 ") + kCycleWaitMs, "ok"},
                                               {"visible 516", "1"}}));
    // The program's current folder goes away under it.
    std::filesystem::remove_all(session.get().directory + "/work");
    runSteps(session.get(), {{"click 516", "ok"},
                             {"text 540", kStatus[9]},
                             {"text 522", "ZT-004217"}});
  }
  std::filesystem::create_directories(documents);
  DocumentsFolder folder(*gRig, documents);
  ASSERT_TRUE(folder.pointed());
  runSteps(session.get(), {{"click 516", "ok"},
                           {"text 540", golden::kSavedToDocumentsText.c_str()},
                           {"closebox", "ok"}});
  EXPECT_EQ(waitIdentExit(session.get(), kExitTimeoutMs), 0);
  const std::vector<std::string> reports = filesIn(documents);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].rfind("ZT-004217_", 0), 0u) << reports[0];
}

// Started from inside the user's temporary folder, as Explorer starts a
// program opened inside a zip: the report goes into Documents, not into a
// folder Windows deletes later.
TEST(GuiRead, StartedInsideTheTemporaryFolderTheReportGoesIntoDocuments) {
  const std::string temporary = temporaryFolder(*gRig);
  ASSERT_FALSE(temporary.empty());
  const std::string unpacked = temporary + "/Temp1_zort-ident-1.0.0-win64.zip";
  std::filesystem::remove_all(unpacked);
  Session session(*gRig, "export-temporary", unpaced(), unpacked);
  ASSERT_TRUE(session.started());
  const std::string documents = session.get().directory + "/documents";
  std::filesystem::create_directories(documents);
  DocumentsFolder folder(*gRig, documents);
  ASSERT_TRUE(folder.pointed());
  runSteps(session.get(), concat(readAndExport(),
                                 {{"text 540", golden::kSavedToDocumentsText.c_str()},
                                  {"closebox", "ok"}}));
  EXPECT_EQ(waitIdentExit(session.get(), kExitTimeoutMs), 0);
  EXPECT_TRUE(filesIn(unpacked).empty()) << "nothing in the temporary folder";
  EXPECT_EQ(filesIn(documents).size(), 1u);
  std::filesystem::remove_all(unpacked);
}

// A serial number that is no file name: the report still lands in the
// program's folder, its name made safe, the serial number kept whole.
TEST(GuiRead, ASerialNumberThatIsNoFileNameStillNamesAFileInTheFolder) {
  const std::string serial = "..\\\\x/y:z*1?2\"3<4>5|6-and-a-tail-longer-than-fifteen";
  const std::string scenario = withLine(*gRig, "@ type=11 text=" + serial);
  Session session(*gRig, "odd-serial", {"--char-ms", "0", "--scenario",
                                 scenarioFile(*gRig, "odd-serial", scenario)});
  ASSERT_TRUE(session.started());
  runSteps(session.get(), concat(kOpenCom1, {{"click 515", "ok"},
                                             {std::string("wait-checked 515 0 ") + kCycleWaitMs, "ok"},
                                             {"text 540", ""},
                                             {"text 522", "..\\x/y:z*1?2\"3<4>5|6-and-a-tail-longer-than-fifteen"},
                                             {"click 516", "ok"},
                                             {"text 540", ""},
                                             {"closebox", "ok"}}));
  EXPECT_EQ(waitIdentExit(session.get(), kExitTimeoutMs), 0);
  std::vector<std::string> reports;
  for (const auto& entry : std::filesystem::directory_iterator(session.get().directory + "/work"))
    reports.push_back(entry.path().filename().string());
  ASSERT_EQ(reports.size(), 1u) << "exactly one file, in the program's folder";
  const std::regex pattern(
      "\\.\\._x_y_z_1_2_3_4_5_6-and-a-tail-longer-than-fifteen_[ 123][0-9]-[01][0-9]-[0-9]{4}"
      "_[0-9]{2}_[0-9]{2}_[0-9]{2}\\.txt");
  EXPECT_TRUE(std::regex_match(reports[0], pattern)) << reports[0];
}

// The line hung up in the middle of a reply, as a USB adapter pulled out:
// the cycle ends with a status code, the dialog stays usable and closes.
TEST(GuiRead, ALineHungUpInTheMiddleOfAReplyEndsTheCycle) {
  const std::string scenario = scenarioFile(*gRig, "hangup", withLine(*gRig, "b type=3 value=72C0 hangup=12"));
  Session session(*gRig, "hangup", {"--char-ms", "0", "--scenario", scenario});
  ASSERT_TRUE(session.started());
  const std::vector<std::string> results =
      runSteps(session.get(), concat(kOpenCom1, {{"click 515", "ok"},
                                                 {std::string("wait-checked 515 0 ") + kCycleWaitMs, "ok"},
                                                 {"text 540", nullptr},
                                                 {"visible 516", "0"},
                                                 // a failed cycle shows no value
                                                 {"text 517", ""},
                                                 {"text 519", ""},
                                                 {"click 514", "ok"},
                                                 {"text 514", "Выбрать"},
                                                 {"closebox", "ok"}}));
  ASSERT_GT(results.size(), 6u);
  EXPECT_TRUE(results[6] == kStatus[8] || results[6] == kStatus[7]) << results[6];
  EXPECT_EQ(waitIdentExit(session.get(), kExitTimeoutMs), 0);
}

// A person's click: real X pointer events at the buttons' places.
TEST(GuiDialog, AnswersRealClicks) {
  Session session(*gRig, "real-click", unpaced());
  ASSERT_TRUE(session.started());
  auto clickAt = [&](const std::string& rect) {
    int left = 0, top = 0, right = 0, bottom = 0;
    ASSERT_EQ(std::sscanf(rect.c_str(), "%d %d %d %d", &left, &top, &right, &bottom), 4) << rect;
    ChildSpec launch;
    launch.argv = {"xdotool", "mousemove", "--sync", std::to_string((left + right) / 2),
                 std::to_string((top + bottom) / 2), "click", "1"};
    launch.environment = gRig->environment;
    std::string error;
    EXPECT_EQ(runChild(launch, 20000, error), 0) << error;
  };
  std::vector<std::string> results =
      runSteps(session.get(), {{"find 20000", "ok"}, {"select 513 COM1", nullptr}, {"rect 514", nullptr}});

  ChildSpec search;
  search.argv = {"xdotool", "search", "--name", kCaption};
  search.environment = gRig->environment;
  search.stdoutPath = session.get().directory + "/xdotool-search.out";
  std::string error;
  EXPECT_EQ(runChild(search, 20000, error), 0) << "no X window named " << kCaption << " " << error;
  EXPECT_FALSE(readWholeFile(search.stdoutPath).empty());

  clickAt(results[2]);
  results = runSteps(session.get(), {{"text 540", kStatus[0]}, {"checked 514", "1"}, {"rect 515", nullptr}});
  clickAt(results[2]);
  runSteps(session.get(), concat({{std::string("wait-checked 515 0 ") + kCycleWaitMs, "ok"},
                                  {"text 540", ""}},
                                 concat(kDefaultValues, {{"closebox", "ok"}})));
  EXPECT_EQ(waitIdentExit(session.get(), kExitTimeoutMs), 0);
}

// The desktop's scaling (LogPixels, as Windows' display settings set it):
// the dialog is laid out again at 144 DPI, half as large again, every text
// in its field, rather than stretched. Screenshots of both after a read.
void setDesktopDpi(int dpi) {
  ChildSpec reg = wineCommand(*gRig, {"reg", "add", "HKCU\\Control Panel\\Desktop", "/v",
                                      "LogPixels", "/t", "REG_DWORD", "/d", std::to_string(dpi),
                                      "/f"});
  reg.stdoutPath = "/dev/null";
  std::string error;
  ASSERT_EQ(runChild(reg, 60000, error), 0) << error;
}

// The dialog's rect and the rects of a label and of its value field after a read.
std::vector<std::string> readAndMeasure(int dpi) {
  setDesktopDpi(dpi);
  Session session(*gRig, "dpi-" + std::to_string(dpi), unpaced());
  EXPECT_TRUE(session.started());
  std::vector<std::string> results = runSteps(
      session.get(),
      concat(concat(kOpenCom1, {{"click 515", "ok"},
                                {std::string("wait-checked 515 0 ") + kCycleWaitMs, "ok"}}),
             concat(kDefaultValues, {{"rect 0", nullptr}, {"rect 522", nullptr}})));
  const size_t rects = results.size() - 2;
  takeScreenshot(results[rects], std::string(ZORT_SCREENSHOT_DIR) + "/zort-ident-" +
                                     std::to_string(dpi) + "dpi.png");
  runSteps(session.get(), {{"closebox", "ok"}});
  EXPECT_EQ(waitIdentExit(session.get(), kExitTimeoutMs), 0);
  return {results[rects], results[rects + 1]};
}

TEST(GuiDesktop, At144DpiTheDialogIsLaidOutHalfAsLargeAgain) {
  const std::vector<std::string> at96 = readAndMeasure(96);
  const std::vector<std::string> at144 = readAndMeasure(144);
  setDesktopDpi(96);  // as the other tests expect it
  ASSERT_EQ(at96.size(), 2u);
  ASSERT_EQ(at144.size(), 2u);
  const ScreenRect dialog96 = parseRect(at96[0]), dialog144 = parseRect(at144[0]);
  const ScreenRect serial96 = parseRect(at96[1]), serial144 = parseRect(at144[1]);
  const double width96 = dialog96.right - dialog96.left;
  const double field96 = serial96.right - serial96.left;
  ASSERT_GT(width96, 0.0);
  ASSERT_GT(field96, 0.0);
  // The client area grows with the font; the frame and caption less so.
  EXPECT_NEAR((dialog144.right - dialog144.left) / width96, 1.5, 0.1) << at96[0] << " / " << at144[0];
  EXPECT_NEAR((serial144.right - serial144.left) / field96, 1.5, 0.1) << at96[1] << " / " << at144[1];
}

}  // namespace
