// The machine's name: one file per platform.
#pragma once

#include <string>

// UTF-8; "" when the system tells none.
std::string hostName();
