#include "tests/gui/gui_steps.h"

#include "tests/support/golden_texts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

std::vector<std::string> driveSteps(const GuiRig& rig, const IdentSession& session,
                                    const std::vector<Step>& steps) {
  std::vector<std::string> commands;
  for (const auto& step : steps) commands.push_back(step.command);
  const std::vector<std::string> results = drive(rig, session, commands);
  for (size_t i = 0; i < steps.size(); ++i) {
    if (steps[i].expected == nullptr) continue;
    EXPECT_EQ(results[i], steps[i].expected) << "step " << i << ": " << steps[i].command;
  }
  return results;
}

std::vector<Step> concat(std::vector<Step> first, const std::vector<Step>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

const std::vector<Step> kDefaultValues = {
    {"text 517", "22"},   {"text 518", "2025"}, {"text 519", "72C0"},
    {"text 522", "ZT-004217"}, {"text 520", "50"}, {"text 521", "1"},
};

const std::vector<Step> kOpenCom1 = {
    {"find 20000", "ok"},
    {"select 513 COM1", nullptr},
    {"click 514", "ok"},
    {"text 540", golden::statusText(0).c_str()},
};

const std::vector<Step> kLabels = [] {
  std::vector<Step> steps;
  for (size_t i = 0; i < golden::kLabelsInControlOrder.size(); ++i)
    steps.push_back({"text " + std::to_string(773 + i), golden::kLabelsInControlOrder[i].c_str()});
  return steps;
}();

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream stream(text);
  while (std::getline(stream, part, separator)) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.push_back("");
  return parts;
}

std::string defaultScenario(const GuiRig& rig) {
  const std::string path = rig.directory + "/default-scenario.txt";
  ChildSpec launch;
  launch.argv = {zortSimPath(), "--print-default"};
  launch.stdoutPath = path;
  std::string error;
  runChild(launch, 10000, error);
  return readWholeFile(path);
}

std::string withLine(const GuiRig& rig, const std::string& line) {
  const std::string code = line.substr(0, line.find(' ') + 1);
  std::istringstream lines(defaultScenario(rig));
  std::string scenario, each;
  while (std::getline(lines, each))
    if (each.rfind(code, 0) != 0) scenario += each + "\n";
  return scenario + line + "\n";
}

std::string scenarioFile(const GuiRig& rig, const std::string& name, const std::string& text) {
  const std::string directory = rig.directory + "/scenarios";
  std::filesystem::create_directories(directory);
  const std::string path = directory + "/" + name + ".txt";
  writeWholeFile(path, text);
  return path;
}

Session::Session(const GuiRig& rig, const std::string& name,
                 const std::vector<std::string>& simArguments, const std::string& workDirectory) {
  std::string error;
  started_ = startIdentSession(rig, name, simArguments, session_, error, workDirectory);
  EXPECT_TRUE(started_) << error;
}

namespace {

// drive_c/users/<user>: the one beside Public.
std::string userFolder(const GuiRig& rig) {
  const std::string users = rig.wine.prefix + "/drive_c/users";
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(users, ignored))
    if (entry.path().filename() != "Public") return entry.path().string();
  return {};
}

}  // namespace

DocumentsFolder::DocumentsFolder(const GuiRig& rig, const std::string& target) {
  const std::string user = userFolder(rig);
  EXPECT_FALSE(user.empty()) << "no user folder in " << rig.wine.prefix;
  if (user.empty()) return;
  const std::string link = user + "/Documents";
  std::error_code error;
  original_ = std::filesystem::read_symlink(link, error).string();
  EXPECT_FALSE(error) << link << " is no link";
  if (error) return;
  std::filesystem::remove(link, error);
  std::filesystem::create_directory_symlink(target, link, error);
  EXPECT_FALSE(error) << link << " -> " << target;
  if (!error) link_ = link;
}

DocumentsFolder::~DocumentsFolder() {
  if (link_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove(link_, ignored);
  std::filesystem::create_directory_symlink(original_, link_, ignored);
}

std::string temporaryFolder(const GuiRig& rig) {
  const std::string user = userFolder(rig);
  return user.empty() ? std::string() : user + "/Temp";
}

Session::~Session() { stopIdentSession(session_); }
