#include "protocol/frame.h"

#include <gtest/gtest.h>
