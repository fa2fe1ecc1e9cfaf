#include "tests/gui/gui_steps.h"

#include <gtest/gtest.h>
#include <iconv.h>

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
    {"text 540", "OK!"},
};

const std::vector<Step> kLabels = {
    {"text 773", "Версия ПО"},     {"text 774", "Сборка"},
    {"text 775", "Контр. сумма"},  {"text 776", "ДУ (мм)"},
    {"text 777", "Сетевой адрес"}, {"text 778", "Зав. N "},
};

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream stream(text);
  while (std::getline(stream, part, separator)) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.push_back("");
  return parts;
}

std::string toCp1251(const std::string& utf8) {
  iconv_t converter = iconv_open("CP1251", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) return "<no iconv>";
  std::string input = utf8;
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
                 const std::vector<std::string>& simArguments) {
  std::string error;
  started_ = startIdentSession(rig, name, simArguments, session_, error);
  EXPECT_TRUE(started_) << error;
}

Session::~Session() { stopIdentSession(session_); }
