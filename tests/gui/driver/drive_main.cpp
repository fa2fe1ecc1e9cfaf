// zort-drive.exe: works the zort-ident dialog as a user would, through window
// messages. Reads one command a line from standard input and prints one line
// for each, "<command> => <result>", in UTF-8:
//   find MS                     wait up to MS for the dialog        ok | timeout
//   text ID                     the control's text (ID 0: the dialog)
//   visible ID / checked ID     1 or 0
//   unicode ID                  1 when the window is a Unicode window, else 0
//   items ID                    the combo box's entries, joined by "|"
//   dropdown ID / closeup ID    drop the combo box's list down (CBN_DROPDOWN), close it
//   serialcomm-add NAME         NAME as a value under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM
//   serialcomm-remove NAME      that value removed                  ok | failed
//   device-add NAME ENUM ports|modem FRIENDLY   a device entry of that class for
//                               port NAME, enumerated by ENUM      ok | failed
//   device-remove NAME ENUM     that entry removed                  ok | failed
//   devicechange arrival|removal|nodes   WM_DEVICECHANGE to every top-level window
//   select ID NAME              choose NAME in the combo box        index | missing
//   click ID                    BM_CLICK on a visible button        ok | hidden | hung
//   settext ID TEXT             replace a field's text, as typing would
//   type ID TEXT                post TEXT's characters to a field, as typed    ok | failed
//   wait-text ID MS TEXT        until the control shows TEXT        ok | timeout:<text>
//   wait-checked ID STATE MS    until BM_GETCHECK gives STATE       ok | timeout
//   watch ID BUTTON MS          every text ID shows until BUTTON is unchecked, "|"-joined
//   watch-until ID MS TEXT      every text ID shows until it shows TEXT
//   rect ID                     left top right bottom on the screen
//   key esc|enter               a typed key for the focused control
//   closebox                    the caption's close box (SC_CLOSE)
//   wait-gone MS                until the dialog has gone           ok | timeout
//   cpu MS                      processor time the dialog's process uses in MS
//   cpu-total                   processor time it has used since it started
//   memory                      "working=<bytes> private=<bytes> handles=<n>" of the dialog's process
//   mark / elapsed              a stopwatch: elapsed gives the ms since the last mark
//   sleep MS
//   hold PATH                   opens the file as Excel holds a workbook: read and
//                               write, others may only read        ok | failed:<code>
//   wait-file MS PATH           until PATH exists                   ok | timeout
//   release                     closes the file held                ok
// A line that names a control the dialog lacks prints "no-control".
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <dbt.h>

#include "tests/gui/driver/device_events.h"
#include "tests/gui/driver/dialog_access.h"
#include "tests/gui/driver/process_time.h"

namespace {

constexpr DWORD kPollMs = 2;

// The stopwatch of mark / elapsed.
LARGE_INTEGER mark{};

// The file of hold, until release.
HANDLE held = INVALID_HANDLE_VALUE;

std::wstring wideOf(const std::string& utf8) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring wide(length > 0 ? static_cast<size_t>(length) : 1, L'\0');
  if (length > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), length);
  return wide;
}

struct Command {
  std::string verb;
  std::vector<std::string> words;  // after the verb
};

Command parse(const std::string& line) {
  Command command;
  std::istringstream stream(line);
  stream >> command.verb;
  std::string word;
  while (stream >> word) command.words.push_back(word);
  return command;
}

// The text after the first `count` words following the verb.
std::string tail(const std::string& line, size_t count) {
  size_t at = 0;
  for (size_t i = 0; i <= count; ++i) {
    at = line.find_first_not_of(' ', at);
    if (at == std::string::npos) return {};
    at = line.find(' ', at);
    if (at == std::string::npos) return {};
  }
  return line.substr(at + 1);
}

int number(const Command& command, size_t index) {
  return index < command.words.size() ? std::atoi(command.words[index].c_str()) : 0;
}

// The dialog counts as there once it is shown, which follows its
// initialisation: its controls exist and hold their first texts.
bool waitFor(DWORD timeoutMs, HWND& dialog) {
  const DWORD start = GetTickCount();
  for (;;) {
    dialog = findDialog();
    if (dialog != nullptr && IsWindowVisible(dialog)) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(20);
  }
}

std::string textResult(HWND window) {
  std::string text;
  return readText(window, text) ? text : "hung";
}

// Every text the control shows, in turn, until the button is unchecked (or,
// with no button, until the control shows `until`).
std::string watchTexts(HWND control, HWND button, const std::string& until, DWORD timeoutMs) {
  std::string seen;
  std::string last;
  bool first = true;
  const DWORD start = GetTickCount();
  auto record = [&](const std::string& text) {
    if (!first && text == last) return;
    if (!first) seen += "|";
    seen += text;
    last = text;
    first = false;
  };
  for (;;) {
    std::string text;
    if (readText(control, text)) record(text);
    if (button == nullptr && !first && last == until) return seen;
    if (button != nullptr && checkState(button) == BST_UNCHECKED) {
      // The text may have changed once more just before the button.
      if (readText(control, text)) record(text);
      return seen;
    }
    if (GetTickCount() - start >= timeoutMs) return seen + "|<timeout>";
    Sleep(kPollMs);
  }
}

std::string run(const std::string& line, HWND& dialog) {
  const Command command = parse(line);
  const std::string& verb = command.verb;
  if (verb == "find") return waitFor(number(command, 0), dialog) ? "ok" : "timeout";
  if (verb == "mark") {
    QueryPerformanceCounter(&mark);
    return "ok";
  }
  if (verb == "elapsed") {
    LARGE_INTEGER now{}, frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "%.1f",
                  1000.0 * static_cast<double>(now.QuadPart - mark.QuadPart) /
                      static_cast<double>(frequency.QuadPart));
    return buffer;
  }
  if (verb == "sleep") {
    Sleep(number(command, 0));
    return "ok";
  }
  if (verb == "hold") {
    held = CreateFileW(wideOf(tail(line, 0)).c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return held != INVALID_HANDLE_VALUE ? "ok" : "failed:" + std::to_string(GetLastError());
  }
  if (verb == "release") {
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    held = INVALID_HANDLE_VALUE;
    return "ok";
  }
  if (verb == "wait-file") {
    const std::wstring path = wideOf(tail(line, 1));
    const DWORD start = GetTickCount();
    while (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
      if (GetTickCount() - start >= static_cast<DWORD>(number(command, 0))) return "timeout";
      Sleep(kPollMs);
    }
    return "ok";
  }
  if (verb == "wait-gone") {
    const DWORD start = GetTickCount();
    while (findDialog() != nullptr) {
      if (GetTickCount() - start >= static_cast<DWORD>(number(command, 0))) return "timeout";
      Sleep(20);
    }
    return "ok";
  }
  if (verb == "serialcomm-add" || verb == "serialcomm-remove") {
    const std::string name = command.words.empty() ? "" : command.words[0];
    const bool done = verb == "serialcomm-add" ? addSerialCommPort(name) : removeSerialCommPort(name);
    return done ? "ok" : "failed";
  }
  if (verb == "device-add" && command.words.size() >= 4)
    return addDeviceEntry(command.words[0], command.words[1], command.words[2] == "modem",
                          tail(line, 3))
               ? "ok"
               : "failed";
  if (verb == "device-remove" && command.words.size() >= 2)
    return removeDeviceEntry(command.words[0], command.words[1]) ? "ok" : "failed";
  if (verb == "devicechange") {
    const std::string kind = command.words.empty() ? "" : command.words[0];
    const WPARAM event = kind == "arrival"   ? DBT_DEVICEARRIVAL
                         : kind == "removal" ? DBT_DEVICEREMOVECOMPLETE
                                             : DBT_DEVNODES_CHANGED;
    return broadcastDeviceChange(event) ? "ok" : "failed";
  }
  if ((dialog == nullptr || !IsWindow(dialog)) && !waitFor(0, dialog)) return "no-dialog";
  if (verb == "key") {
    const std::string key = command.words.empty() ? "" : command.words[0];
    const WORD code = key == "esc" ? VK_ESCAPE : key == "enter" ? VK_RETURN : 0;
    return code != 0 && pressKey(dialog, code) ? "ok" : "failed";
  }
  if (verb == "closebox")
    return PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0) ? "ok" : "failed";
  if (verb == "cpu-total") {
    double total = 0;
    if (!processTimeMs(dialog, total)) return "unavailable";
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "%.1f", total);
    return buffer;
  }
  if (verb == "memory") {
    ProcessMemory memory{};
    if (!processMemory(dialog, memory)) return "unavailable";
    char buffer[128];
    std::snprintf(buffer, sizeof(buffer), "working=%llu private=%llu handles=%lu",
                  memory.workingSetBytes, memory.privateBytes, memory.handles);
    return buffer;
  }
  if (verb == "cpu") {
    double before = 0, after = 0;
    if (!processTimeMs(dialog, before)) return "unavailable";
    Sleep(number(command, 0));
    if (!processTimeMs(dialog, after)) return "unavailable";
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "%.1f", after - before);
    return buffer;
  }

  const int id = number(command, 0);
  HWND control = id == 0 ? dialog : controlOf(dialog, id);
  if (control == nullptr) return "no-control";
  if (verb == "text") return textResult(control);
  if (verb == "visible") return IsWindowVisible(control) ? "1" : "0";
  if (verb == "unicode") return IsWindowUnicode(control) ? "1" : "0";
  if (verb == "checked") return std::to_string(checkState(control));
  if (verb == "items") {
    std::vector<std::string> items;
    if (!listItems(control, items)) return "hung";
    std::string joined;
    for (size_t i = 0; i < items.size(); ++i) joined += (i ? "|" : "") + items[i];
    return joined;
  }
  if (verb == "dropdown" || verb == "closeup")
    return showDropDown(control, verb == "dropdown") ? "ok" : "hung";
  if (verb == "select") {
    const int index = selectItem(dialog, control, tail(line, 1));
    return index < 0 ? "missing" : std::to_string(index);
  }
  if (verb == "click") {
    if (!IsWindowVisible(control)) return "hidden";
    return clickButton(control) ? "ok" : "hung";
  }
  if (verb == "settext") return writeText(control, tail(line, 1)) ? "ok" : "hung";
  if (verb == "type") return typeText(control, tail(line, 1)) ? "ok" : "failed";
  if (verb == "wait-text") {
    const std::string wanted = tail(line, 2);
    const DWORD start = GetTickCount();
    for (;;) {
      std::string text;
      const bool answered = readText(control, text);
      if (answered && text == wanted) return "ok";
      if (GetTickCount() - start >= static_cast<DWORD>(number(command, 1)))
        return "timeout:" + (answered ? text : std::string("hung"));
      Sleep(kPollMs);
    }
  }
  if (verb == "wait-checked") {
    const DWORD start = GetTickCount();
    while (checkState(control) != number(command, 1)) {
      if (GetTickCount() - start >= static_cast<DWORD>(number(command, 2))) return "timeout";
      Sleep(kPollMs);
    }
    return "ok";
  }
  if (verb == "watch") {
    HWND button = controlOf(dialog, number(command, 1));
    if (button == nullptr) return "no-control";
    return watchTexts(control, button, "", number(command, 2));
  }
  if (verb == "watch-until") return watchTexts(control, nullptr, tail(line, 2), number(command, 1));
  if (verb == "rect") {
    RECT r{};
    if (!GetWindowRect(control, &r)) return "failed";
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) +
           " " + std::to_string(r.bottom);
  }
  return "unknown-command";
}

}  // namespace

int main() {
  HWND dialog = nullptr;
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const std::string result = run(line, dialog);
    std::printf("%s => %s\n", line.c_str(), result.c_str());
    std::fflush(stdout);
  }
  return 0;
}
