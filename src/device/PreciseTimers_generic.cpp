// SPDX-License-Identifier: MIT
// Platforms without a per-thread timer slack: sleeps keep the system's precision.
#include "PreciseTimers.h"

namespace zelmor {

TPreciseTimers::TPreciseTimers() = default;
TPreciseTimers::~TPreciseTimers() = default;

} // namespace zelmor
