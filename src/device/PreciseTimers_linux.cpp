// SPDX-License-Identifier: MIT
#include "PreciseTimers.h"

#include <sys/prctl.h>

namespace zelmor {

namespace {
constexpr unsigned long PreciseSlackNs = 1;
}

TPreciseTimers::TPreciseTimers() {
    const int previous = prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
    if (previous > 0 && prctl(PR_SET_TIMERSLACK, PreciseSlackNs, 0, 0, 0) == 0)
        FPrevious = previous;
}

TPreciseTimers::~TPreciseTimers() {
    if (FPrevious > 0)
        prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(FPrevious), 0, 0, 0);
}

} // namespace zelmor
