#pragma once
#include "host/Time.h"

class Interface;

namespace kiln {

// Seconds of the whole frame a time falls in: frames by integer division.
float WholeFrameTime(TimeValue ticks, Interface* ip);
// Seconds of an exact time, fractions of a frame included.
float ExactTime(TimeValue ticks, Interface* ip);

}  // namespace kiln
