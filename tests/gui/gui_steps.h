// What the GUI test programs share beyond the rig: driver steps checked
// against their expected results, simulator scenarios, a session that ends
// with its scope. Library zort_gui_steps (GoogleTest assertions).
#pragma once

#include <string>
#include <vector>

#include "tests/gui/gui_rig.h"
#include "tests/gui/ident_session.h"

// One driver command and the result it must give (nullptr: not checked).
struct Step {
  std::string command;
  const char* expected;
};

// Runs the commands in one driver run and checks each expected result; the
// results, in order.
std::vector<std::string> driveSteps(const GuiRig& rig, const IdentSession& session,
                                    const std::vector<Step>& steps);

std::vector<Step> concat(std::vector<Step> first, const std::vector<Step>& second);

// At 1200 baud a cycle takes some 3 s; this bounds a stuck program, not its speed.
constexpr const char* kCycleWaitMs = "30000";

// The values the simulator's default instrument gives, control by control.
extern const std::vector<Step> kDefaultValues;

// Finds the dialog, chooses COM1 and opens it.
extern const std::vector<Step> kOpenCom1;

// The six labels, as the string table holds them.
extern const std::vector<Step> kLabels;

std::vector<std::string> split(const std::string& text, char separator);

// The simulator's default instrument, as a scenario text.
std::string defaultScenario(const GuiRig& rig);
// The default instrument with the line of one code replaced.
std::string withLine(const GuiRig& rig, const std::string& line);
// Writes a scenario file under the rig's folder; its path.
std::string scenarioFile(const GuiRig& rig, const std::string& name, const std::string& text);

inline std::vector<std::string> paced() { return {}; }  // the simulator's 1200-baud pacing
inline std::vector<std::string> unpaced() { return {"--char-ms", "0"}; }

// The prefix's Documents folder (a link, to $HOME as Wine makes it) pointed
// at another folder while it lives, then back.
class DocumentsFolder {
 public:
  DocumentsFolder(const GuiRig& rig, const std::string& target);
  ~DocumentsFolder();
  DocumentsFolder(const DocumentsFolder&) = delete;
  DocumentsFolder& operator=(const DocumentsFolder&) = delete;
  bool pointed() const { return !link_.empty(); }

 private:
  std::string link_;
  std::string original_;
};

// The folder of the prefix's user that Windows names as the temporary one
// (GetTempPathW: C:\users\<user>\Temp).
std::string temporaryFolder(const GuiRig& rig);

// An IdentSession that is stopped when it goes out of scope.
class Session {
 public:
  Session(const GuiRig& rig, const std::string& name, const std::vector<std::string>& simArguments,
          const std::string& workDirectory = "");
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  bool started() const { return started_; }
  IdentSession& get() { return session_; }

 private:
  IdentSession session_;
  bool started_ = false;
};
