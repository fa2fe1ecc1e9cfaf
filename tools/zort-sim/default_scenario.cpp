#include "tools/zort-sim/default_scenario.h"

// The texts are the instrument's own parameter names; the reader skips them.
const char* const kDefaultScenario =
    "# zort-sim built-in instrument: every parameter answered, no misbehaviour.\n"
    "# Software version 22 (which also presets the checksum 72C0).\n"
    "A type=1 value=16 text1=Version\n"
    "# Build 2025.\n"
    "B type=4 value=07E9 text1=Build\n"
    "# Checksum, shown in hexadecimal: 72C0.\n"
    "b type=3 value=72C0 text1=Checksum\n"
    "# Serial number.\n"
    "@ type=11 text=ZT-004217 text1=Serial\n"
    "# Nominal bore 50 mm (a second text: the unit).\n"
    "I type=4 value=0032 text1=Bore text2=mm\n"
    "# Network address 1.\n"
    "F type=1 value=01 text1=Address\n";
