// The local date and time, to the second, for report names and journal
// rows. One file per platform.
#pragma once

struct LocalTime {
  int year, month, day, hour, minute, second;
};

LocalTime localTimeNow();

// The local time with its distance from UTC (the journal's, and the
// station's JSON).
struct ZonedTime {
  LocalTime local;
  int utcOffsetMinutes;  // +180 in Moscow
};

ZonedTime zonedTimeNow();
