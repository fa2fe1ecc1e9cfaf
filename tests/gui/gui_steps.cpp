#include "tests/gui/gui_steps.h"

#include <sstream>

GuiRig* gRig = nullptr;

std::vector<std::string> runSteps(const IdentSession& session, const std::vector<Step>& steps) {
  std::vector<std::string> commands;
  for (const auto& step : steps) commands.push_back(step.command);
  const std::vector<std::string> results = drive(*gRig, session, commands);
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

const std::vector<Step> kOpenCom1 = {
    {"find 20000", "ok"},
    {"select 513 COM1", nullptr},
    {"click 514", "ok"},
    {"text 540", "OK!"},
};

const std::vector<Step> kDefaultValues = {
    {"text 517", "22"},   {"text 518", "2025"}, {"text 519", "72C0"},
    {"text 522", "ZT-004217"}, {"text 520", "50"}, {"text 521", "1"},
};

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream stream(text);
  while (std::getline(stream, part, separator)) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.push_back("");
  return parts;
}

Session::Session(const std::string& name, const std::vector<std::string>& simArguments) {
  std::string error;
  started_ = startIdentSession(*gRig, name, simArguments, session_, error);
  EXPECT_TRUE(started_) << error;
}

Session::~Session() { stopIdentSession(session_); }

std::vector<std::string> paced() { return {}; }
std::vector<std::string> unpaced() { return {"--char-ms", "0"}; }
