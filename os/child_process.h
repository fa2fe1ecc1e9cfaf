// Child processes on POSIX (child_process_posix.cpp): start one with its
// standard streams redirected, read the first line it prints before a
// deadline, wait for it or stop it, always reaping it. zort-read starts zort-sim with it (--simulate); the
// native tests start every program they run with it (tests/support).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct SpawnSpec {
  std::vector<std::string> argv;         // argv[0]: a path, or a name looked up in PATH
  std::vector<std::string> environment;  // "NAME=value": the child's whole environment; empty: this process's
  std::string directory;                 // "" keeps the current one
  std::string stdinPath = "/dev/null";
  std::string stdoutPath = "/dev/null";  // created or truncated
  std::string stderrPath = "/dev/null";
  int stdinFd = -1;   // used instead of stdinPath when not -1
  int stdoutFd = -1;  // used instead of stdoutPath when not -1
  int stderrFd = -1;  // used instead of stderrPath when not -1
  int extraFd = -1;   // passed on as file descriptor 3 when not -1
  // A process group of its own: a terminal's Ctrl-C, which goes to the
  // foreground group, does not reach the child.
  bool ownProcessGroup = false;
};

// Starts the child with no blocked signals and the default handling of the
// signals it is stopped with; its process id, or -1 with error set.
pid_t spawnProcess(const SpawnSpec& spec, std::string& error);

// Waits up to timeoutMs: the exit code, -1 for an abnormal end, -2 when it
// is still running (it is then left running).
int waitExit(pid_t pid, int timeoutMs);

// SIGTERM, then SIGKILL if it has not ended within graceMs; always reaped.
// The exit code, or -1 when it did not end normally by itself.
int stopProcess(pid_t pid, int graceMs);

// Reads up to the first "\n" from fd within timeoutMs; the line without it.
// false with a reason in error (time-out, or the output ended first).
bool readFirstLine(int fd, int timeoutMs, std::string& line, std::string& error);

// The clock the time-outs run on, in ms.
long long monotonicMs();

// The folder of this program's own file ("." when it cannot be told).
std::string ownProgramDirectory();
