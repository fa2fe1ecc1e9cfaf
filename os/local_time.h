// The local date and time, to the second, for report names and journal
// rows. One file per platform.
#pragma once

struct LocalTime {
  int year, month, day, hour, minute, second;
};

LocalTime localTimeNow();
