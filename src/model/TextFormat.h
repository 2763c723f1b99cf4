// SPDX-License-Identifier: MIT
#pragma once

#include <cstdio>
#include <string>

namespace zelmor {

// printf-style formatting into a std::string, for the system's fixed message patterns.
template <typename... Args> std::string Format(const char* pattern, Args... args) {
    const int size = std::snprintf(nullptr, 0, pattern, args...);
    std::string text(static_cast<std::size_t>(size), '\0');
    std::snprintf(text.data(), text.size() + 1, pattern, args...);
    return text;
}

} // namespace zelmor
