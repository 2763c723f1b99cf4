// SPDX-License-Identifier: MIT
// While an object of this type lives, the calling thread's sleeps end as close to their time as the
// system allows (the kernel's default lets a sleep run some 50 microseconds late, which adds up over
// the pauses between the 64-byte pieces of a profile-set transfer).
#pragma once

namespace zelmor {

class TPreciseTimers {
public:
    TPreciseTimers();
    ~TPreciseTimers();
    TPreciseTimers(const TPreciseTimers&) = delete;
    TPreciseTimers& operator=(const TPreciseTimers&) = delete;

private:
    long FPrevious = -1; // the thread's setting before, when it was changed
};

} // namespace zelmor
