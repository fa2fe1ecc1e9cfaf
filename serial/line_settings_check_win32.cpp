// zort-line-check.exe (Windows build; serial_wine_tests runs it under Wine):
// the DCB and the time-outs the port layer hands to the driver, checked
// against the rules Microsoft documents for SetCommState, the DCB and
// COMMTIMEOUTS. Wine itself enforces none of them (it takes equal XON and
// XOFF characters and fBinary 0), so the rules are checked here, on the
// settings made from several states a driver may be in. The rules must also
// reject the settings the layer once made (a zeroed DCB converted by
// BuildCommDCBA alone), or the check proves nothing.
//
// With a COM port (on a line that answers, zort-sim's) it also opens the port
// the way the programs do, reads the settings and time-outs back, and
// measures reads with the time-outs applied and with MAXDWORD/0/40, which the
// layer used before: a read with nothing to read, and the reads of a reply.
//
// Prints a line per failed rule and per measurement; exits 0 when all hold.
#include <windows.h>

#include <array>
#include <cstdio>
#include <cstring>

#include "os/thread.h"
#include "protocol/frame.h"
#include "serial/line_settings_win32.h"
#include "serial/port.h"
#include "serial/port_backend.h"

namespace {

int gFailures = 0;

void fail(const char* what, const char* detail) {
  std::printf("FAILED: %s (%s)\n", what, detail);
  ++gFailures;
}

// One documented rule on the DCB to be handed to SetCommState; current is
// the driver's DCB it was made from.
struct DcbRule {
  const char* name;
  bool (*holds)(const DCB& made, const DCB& current);
};

bool validSize(const DCB& made, const DCB&) { return made.DCBlength == sizeof(DCB); }

// "Windows does not support nonbinary mode transfers, so this member must be TRUE."
bool binary(const DCB& made, const DCB&) { return made.fBinary == TRUE; }

// "SetCommState fails if the XonChar member is equal to the XoffChar member."
bool distinctXonXoff(const DCB& made, const DCB&) { return made.XonChar != made.XoffChar; }

bool standardXonXoff(const DCB& made, const DCB&) {
  return made.XonChar == 0x11 && made.XoffChar == 0x13;
}

// 5 data bits with 2 stop bits, and 6 to 8 with 1.5, are invalid.
bool validFrame(const DCB& made, const DCB&) {
  if (made.ByteSize < 5 || made.ByteSize > 8) return false;
  if (made.ByteSize == 5 && made.StopBits == TWOSTOPBITS) return false;
  if (made.ByteSize > 5 && made.StopBits == ONE5STOPBITS) return false;
  return made.Parity <= SPACEPARITY && made.StopBits <= TWOSTOPBITS;
}

bool instrumentFrame(const DCB& made, const DCB&) {
  return made.BaudRate == CBR_1200 && made.ByteSize == 8 && made.Parity == NOPARITY &&
         made.StopBits == ONESTOPBIT && made.fParity == FALSE;
}

bool noFlowControl(const DCB& made, const DCB&) {
  return !made.fOutxCtsFlow && !made.fOutxDsrFlow && !made.fDsrSensitivity && !made.fOutX &&
         !made.fInX;
}

// Enabled, not handshake or toggle: the lines stay up, nothing waits on them.
bool controlLinesEnabled(const DCB& made, const DCB&) {
  return made.fDtrControl == DTR_CONTROL_ENABLE && made.fRtsControl == RTS_CONTROL_ENABLE;
}

// With fAbortOnError every read and write fails after a line error until
// ClearCommError; fNull drops NUL characters; fErrorChar replaces bad ones.
bool noAbortNoNullNoErrorChar(const DCB& made, const DCB&) {
  return !made.fAbortOnError && !made.fNull && !made.fErrorChar;
}

// What the mode does not name stays as the driver has it.
bool driversOwnFieldsKept(const DCB& made, const DCB& current) {
  return made.XonLim == current.XonLim && made.XoffLim == current.XoffLim &&
         made.ErrorChar == current.ErrorChar && made.EofChar == current.EofChar &&
         made.EvtChar == current.EvtChar;
}

constexpr std::array<DcbRule, 10> kDcbRules = {{
    {"DCBlength is the size of a DCB", validSize},
    {"fBinary is TRUE", binary},
    {"XonChar differs from XoffChar", distinctXonXoff},
    {"XON is 0x11 and XOFF 0x13", standardXonXoff},
    {"data and stop bits form a valid frame", validFrame},
    {"1200 baud, 8 data bits, no parity, one stop bit", instrumentFrame},
    {"no flow control of any kind", noFlowControl},
    {"DTR and RTS enabled", controlLinesEnabled},
    {"fAbortOnError, fNull and fErrorChar cleared", noAbortNoNullNoErrorChar},
    {"XON/XOFF limits and special characters stay the driver's", driversOwnFieldsKept},
}};

// Which rules the DCB breaks, one per line into broken; the number broken.
int brokenRules(const DCB& made, const DCB& current, char* broken, size_t size) {
  int count = 0;
  broken[0] = '\0';
  for (const DcbRule& rule : kDcbRules) {
    if (rule.holds(made, current)) continue;
    ++count;
    const size_t used = std::strlen(broken);
    std::snprintf(broken + used, size - used, "%s%s", used == 0 ? "" : "; ", rule.name);
  }
  return count;
}

DCB zeroedDcb() {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  return dcb;
}

// As a driver reports a port fresh from boot.
DCB freshDriverDcb() {
  DCB dcb = zeroedDcb();
  dcb.BaudRate = CBR_9600;
  dcb.ByteSize = 8;
  dcb.fBinary = TRUE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.XonLim = 2048;
  dcb.XoffLim = 512;
  dcb.XonChar = 0x11;
  dcb.XoffChar = 0x13;
  return dcb;
}

// As another program may have left it: every kind of flow control, 7E2, the
// error handling on, equal XON/XOFF characters.
DCB usedDriverDcb() {
  DCB dcb = zeroedDcb();
  dcb.BaudRate = CBR_19200;
  dcb.ByteSize = 7;
  dcb.Parity = EVENPARITY;
  dcb.StopBits = TWOSTOPBITS;
  dcb.fParity = TRUE;
  dcb.fOutxCtsFlow = TRUE;
  dcb.fOutxDsrFlow = TRUE;
  dcb.fDsrSensitivity = TRUE;
  dcb.fOutX = TRUE;
  dcb.fInX = TRUE;
  dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
  dcb.fRtsControl = RTS_CONTROL_TOGGLE;
  dcb.fAbortOnError = TRUE;
  dcb.fNull = TRUE;
  dcb.fErrorChar = TRUE;
  dcb.XonLim = 100;
  dcb.XoffLim = 200;
  dcb.ErrorChar = '?';
  dcb.EofChar = 0x1A;
  dcb.EvtChar = '\n';
  return dcb;
}

DCB wrongLengthDcb() {
  DCB dcb = freshDriverDcb();
  dcb.DCBlength = 0;
  return dcb;
}

struct DriverState {
  const char* name;
  DCB (*make)();
};

constexpr std::array<DriverState, 4> kDriverStates = {{
    {"a zeroed DCB", zeroedDcb},
    {"a driver fresh from boot", freshDriverDcb},
    {"a driver left with flow control and 7E2", usedDriverDcb},
    {"a DCB of length 0", wrongLengthDcb},
}};

void checkLineSettings() {
  std::array<char, 512> broken{};
  for (const DriverState& state : kDriverStates) {
    const DCB current = state.make();
    const DCB made = instrumentLineSettings(current, kLineMode);
    if (brokenRules(made, current, broken.data(), broken.size()) != 0)
      fail(state.name, broken.data());
  }
  // The old making: the conversion alone, on a zeroed DCB.
  DCB old = zeroedDcb();
  (void)BuildCommDCBA(kLineMode, &old);
  const int oldBroken = brokenRules(old, zeroedDcb(), broken.data(), broken.size());
  std::printf("the conversion alone breaks: %s\n", broken.data());
  if (oldBroken == 0 || old.fBinary || old.XonChar != old.XoffChar)
    fail("the rules reject a DCB converted by BuildCommDCBA alone", broken.data());
  // The explicit line is the mode string's own.
  const DCB made = instrumentLineSettings(zeroedDcb(), kLineMode);
  if (old.BaudRate != made.BaudRate || old.ByteSize != made.ByteSize ||
      old.Parity != made.Parity || old.StopBits != made.StopBits)
    fail("the explicit line is the one kLineMode names", kLineMode);
}

bool sameTimeouts(const COMMTIMEOUTS& a, const COMMTIMEOUTS& b) {
  return a.ReadIntervalTimeout == b.ReadIntervalTimeout &&
         a.ReadTotalTimeoutMultiplier == b.ReadTotalTimeoutMultiplier &&
         a.ReadTotalTimeoutConstant == b.ReadTotalTimeoutConstant &&
         a.WriteTotalTimeoutMultiplier == b.WriteTotalTimeoutMultiplier &&
         a.WriteTotalTimeoutConstant == b.WriteTotalTimeoutConstant;
}

// The combination COMMTIMEOUTS documents for "return what has arrived, or
// the first character, or nothing after the constant".
bool returnsOnFirstCharacter(const COMMTIMEOUTS& timeouts) {
  return timeouts.ReadIntervalTimeout == MAXDWORD &&
         timeouts.ReadTotalTimeoutMultiplier == MAXDWORD &&
         timeouts.ReadTotalTimeoutConstant > 0 && timeouts.ReadTotalTimeoutConstant < MAXDWORD;
}

COMMTIMEOUTS formerTimeouts() {
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.ReadTotalTimeoutConstant = 40;
  return timeouts;
}

void checkTimeouts() {
  const COMMTIMEOUTS timeouts = instrumentTimeouts();
  if (!returnsOnFirstCharacter(timeouts)) fail("reads use the documented combination", "");
  if (timeouts.ReadTotalTimeoutConstant != 40) fail("a read waits at most 40 ms", "");
  if (timeouts.WriteTotalTimeoutConstant != 1000 || timeouts.WriteTotalTimeoutMultiplier != 10)
    fail("a write gives up after 1 s + 10 ms a character", "");
  if (returnsOnFirstCharacter(formerTimeouts()))
    fail("the rule rejects MAXDWORD/0/40", "");
}

double nowMs() {
  LARGE_INTEGER counter{};
  LARGE_INTEGER frequency{};
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// One request to the line and its reply read until silence, timed; prints
// what the reads took and returns false when they broke a promise.
bool measureReads(const char* label, PortHandle handle) {
  std::array<char, 16> scratch{};
  size_t got = 0;
  double start = nowMs();
  if (!backendRead(handle, scratch.data(), scratch.size(), &got) || got != 0) return false;
  const double silentMs = nowMs() - start;

  backendPurge(handle);
  const RequestFrame frame = buildRequestFrame(0x46);
  size_t written = 0;
  if (!backendWrite(handle, frame.data(), frame.size(), &written) || written != frame.size())
    return false;
  sleepMilliseconds(193);
  std::array<char, 512> reply{};
  size_t count = 0;
  int reads = 0;
  double firstReadMs = -1;
  double lastReadMs = 0;
  start = nowMs();
  for (;;) {
    const double readStart = nowMs();
    if (!backendRead(handle, reply.data() + count, reply.size() - count, &got)) return false;
    lastReadMs = nowMs() - readStart;
    if (firstReadMs < 0) firstReadMs = lastReadMs;
    ++reads;
    if (got == 0 || count + got >= reply.size()) break;
    count += got;
  }
  const double receiveMs = nowMs() - start;
  std::printf("%s: a read of nothing %.1f ms; a reply of %u characters in %d reads, the first "
              "%.1f ms, the last (empty) %.1f ms, all %.1f ms\n",
              label, silentMs, static_cast<unsigned>(count), reads, firstReadMs, lastReadMs,
              receiveMs);
  // A read with nothing has waited the 40 ms (less a timer tick); a read
  // with the reply already there takes less than the wait.
  return silentMs >= 30 && silentMs < 400 && count > 0 && lastReadMs >= 30 && lastReadMs < 400;
}

void checkPort(const char* name) {
  PortConnection connection;
  const StatusCode status = openPort(connection, name, kLineMode);
  if (status != kStatusOk) {
    fail("the port opens", openFailureText(connection));
    return;
  }
  raiseControlLines(connection);
  const HANDLE handle = reinterpret_cast<HANDLE>(connection.handle.load());
  DCB applied{};
  applied.DCBlength = sizeof applied;
  if (!GetCommState(handle, &applied)) {
    fail("GetCommState after the open", "");
  } else {
    std::printf("applied: %lu baud, %u data bits, parity %u, stop %u, XON 0x%02X, XOFF 0x%02X, "
                "outX %u inX %u CTS %u DSR %u DTR %u RTS %u\n",
                static_cast<unsigned long>(applied.BaudRate), applied.ByteSize, applied.Parity,
                applied.StopBits, static_cast<unsigned char>(applied.XonChar),
                static_cast<unsigned char>(applied.XoffChar), applied.fOutX, applied.fInX,
                applied.fOutxCtsFlow, applied.fOutxDsrFlow, applied.fDtrControl,
                applied.fRtsControl);
    const DCB none = applied;
    if (!instrumentFrame(applied, none) || !standardXonXoff(applied, none) ||
        !noFlowControl(applied, none))
      fail("the driver holds the instrument's line", "");
  }
  COMMTIMEOUTS timeouts{};
  if (!GetCommTimeouts(handle, &timeouts) || !sameTimeouts(timeouts, instrumentTimeouts()))
    fail("the driver holds the time-outs", "");

  if (!measureReads("MAXDWORD/MAXDWORD/40", connection.handle.load()))
    fail("reads with MAXDWORD/MAXDWORD/40", "");
  COMMTIMEOUTS former = formerTimeouts();
  if (!SetCommTimeouts(handle, &former) || !measureReads("MAXDWORD/0/40", connection.handle.load()))
    fail("reads with MAXDWORD/0/40", "");
  closePort(connection);
}

}  // namespace

int main(int argc, char** argv) {
  checkLineSettings();
  checkTimeouts();
  if (argc > 1) checkPort(argv[1]);
  std::printf("%d failed\n", gFailures);
  return gFailures == 0 ? 0 : 1;
}
