// The serial line's settings as a program under Wine left them: Wine copies
// a DCB onto the pseudo-terminal it maps a COM port to, so the termios seen
// from the simulator's side are what the program asked.
#pragma once

#include <string>

// Opens the line (a pty slave) and sets what no program of this project
// asks (9600 baud, XON/XOFF flow control with 0x01 and 0x02), so that only
// the program under test can put its own settings there. The descriptor,
// or -1.
int openLineWithOtherSettings(const std::string& linePath);

// "" when the line is at 1200 baud, 8 data bits, no parity, one stop bit,
// no flow control, with XON 0x11 and XOFF 0x13; otherwise what differs.
// Closes the descriptor.
std::string instrumentLineDifferences(int line);
