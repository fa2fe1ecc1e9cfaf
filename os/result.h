// The outcome of a call to the operating system: success, or the system's
// error code together with its own words for it. Every call of os/ that may
// fail returns one, so that whoever tells the user of a failure can say why.
#pragma once

#include <string>

#include "os/system_error.h"

struct OsResult {
  SystemErrorCode error = 0;  // errno or a Windows error code; 0 on success
  std::string reason;         // systemErrorText(error), UTF-8; "" on success
  bool ok() const { return error == 0; }
};

inline OsResult osSuccess() { return {}; }

inline OsResult osFailure(SystemErrorCode code) { return {code, systemErrorText(code)}; }

// The calling thread's last error, read straight after the failing call.
inline OsResult lastOsFailure() { return osFailure(lastSystemError()); }
