// Writing a report into its file, through os/files.h.
#pragma once

#include <string>
#include <string_view>

#include "os/result.h"
#include "protocol/status.h"

// What a report meets under its name.
enum class ExistingReport {
  kReplace,  // the dialog: a second export in the same second replaces the first
  kKeep,     // zort-read: the report takes the next free name, "<name>_2.txt", "_3", ...
};

struct ReportWrite {
  StatusCode status;  // 0, or 9 when the file cannot be written
  std::string path;   // UTF-8: the file written, or the one that could not be
  OsResult system;    // why it could not, in the system's words
};

// Writes text to directory/name through a temporary file of a name of its
// own in the same folder, so a failed write never leaves a truncated report
// under the final name. directory is UTF-8, "" for the current one; the
// name is Windows-1251, as buildReportFileName gives it, and names the file
// with the same characters on every platform and code page. With kKeep no
// file is ever replaced, whichever process wrote it.
ReportWrite writeReportFile(std::string_view directory, std::string_view cp1251Name,
                            std::string_view text, ExistingReport existing);
