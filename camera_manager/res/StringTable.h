#pragma once

// The camera manager's own resource strings (English), which the program registers at start
// and the English language library exports.

#include "platform/win/ResourceStrings.h"

extern const ResourceString managerStrings[];
extern const size_t managerStringCount;
