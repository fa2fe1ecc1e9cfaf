// The instrument zort-sim plays when no scenario file is given.
#pragma once

// A scenario text in the file format: all six parameters answered, no
// misbehaviour.
extern const char* const kDefaultScenario;
