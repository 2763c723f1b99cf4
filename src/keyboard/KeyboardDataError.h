// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>

namespace zelmor {

// A keyboard-layout, catalogue or settings file that cannot be used; the message is the text shown
// to the user.
struct TKeyboardDataError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

} // namespace zelmor
