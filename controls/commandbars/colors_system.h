// What the toolkit reads of the running desktop when nothing overrides it.
#pragma once

#include "controls/commandbars/colors.h"

// The system colour of that classic index.
COLORREF DefaultSysColor(int index);
// Bits per pixel of the primary screen (32 without a screen).
int DefaultScreenDepth();
