// The instrument's line as Windows' serial driver takes it: the DCB and the
// time-outs every open applies (port_win32.cpp), each made by a function of
// its own, so that they can be checked against the driver's rules without a
// device.
#pragma once

#include <windows.h>

// The characters a driver would send for XON/XOFF flow control. No flow
// control is used, but the driver refuses a DCB whose two are equal.
constexpr char kXonCharacter = 0x11;
constexpr char kXoffCharacter = 0x13;

// The settings to hand to SetCommState, made from the driver's own (what
// GetCommState gave; a zeroed DCB when it gave nothing), with the mode
// string converted onto them by BuildCommDCBA (its result not looked at: it
// changes only the fields the string names) and then, whatever those were:
// 1200 baud, 8 data bits, no parity, one stop bit (the line of kLineMode);
// binary; no flow control of any kind, DTR and RTS on; no abort on error,
// no NUL stripping, no error character; XON 0x11, XOFF 0x13. Every other
// field (the XON/XOFF limits, EofChar, EvtChar) stays the driver's.
DCB instrumentLineSettings(const DCB& current, const char* mode);

// Reads return on the first character that has arrived, or after 40 ms with
// none (ReadIntervalTimeout and ReadTotalTimeoutMultiplier MAXDWORD,
// ReadTotalTimeoutConstant 40: the combination documented for exactly
// that); a write of n characters gives up after 1000 + 10 n ms.
COMMTIMEOUTS instrumentTimeouts();
