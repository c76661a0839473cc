#pragma once

// touch/ProcessState.h: the one separator of the system. It never changes after start-up, so a
// reset has nothing to put back.

#include "touch/Separator.h"

inline Separator globalSeparator;
