// Runs a program as a child process for tests, with its standard output and
// standard error captured, and a time limit.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct ProcessResult {
  int exitCode = -1;  // -1: ended abnormally or could not start; -2: killed at the time-out
  std::string out;
  std::string err;
};

struct ProcessOptions {
  // "NAME=value" sets a variable of the inherited environment, "NAME" alone
  // removes it.
  std::vector<std::string> environment;
  std::string workingDirectory;  // "" keeps the current one
  int timeoutMs = 60000;
  // Standard output and error to /dev/null instead of being captured.
  bool discardOutput = false;
};

// How to start a child: its streams are files (by path) or descriptors.
struct SpawnSpec {
  std::vector<std::string> argv;         // argv[0]: a path, or a name looked up in PATH
  std::vector<std::string> environment;  // "NAME=value", the child's whole environment
  std::string directory;                 // "" keeps the current one
  std::string stdinPath = "/dev/null";
  std::string stdoutPath = "/dev/null";  // created or truncated
  std::string stderrPath = "/dev/null";
  int stdoutFd = -1;  // used instead of stdoutPath when not -1
  int stderrFd = -1;  // used instead of stderrPath when not -1
  int extraFd = -1;   // passed on as file descriptor 3 when not -1
};

// Starts the child; its process id, or -1 with error set.
pid_t spawnProcess(const SpawnSpec& spec, std::string& error);

// Waits up to timeoutMs: the exit code, -1 for an abnormal end, -2 when it
// is still running (it is then left running).
int waitExit(pid_t pid, int timeoutMs);

// arguments[0] is the program (a path, or a name looked up in PATH).
ProcessResult runProcess(const std::vector<std::string>& arguments, const ProcessOptions& options);

// Starts the program in the background with its output to /dev/null;
// returns its process id, or -1.
pid_t startProcess(const std::vector<std::string>& arguments, const ProcessOptions& options);

// Waits up to timeoutMs for a started process; kills it at the time-out.
// Returns its exit code, -1 for an abnormal end, -2 for a time-out.
int waitProcess(pid_t pid, int timeoutMs);

// The environment of this process with the changes of ProcessOptions.
std::vector<std::string> changedEnvironment(const std::vector<std::string>& changes);
