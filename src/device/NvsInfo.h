// SPDX-License-Identifier: MIT
// How full the adapter's profile store is, as its storage line reports it.
#pragma once

#include <cstdint>
#include <string_view>

namespace zelmor {

struct TNvsInfo {
    std::uint32_t Used = 0;
    std::uint32_t Free = 0;
    std::uint32_t Total = 0;
    bool Valid = false;     // the numbers were read and are consistent
    std::int32_t Error = 0; // 0, one of the codes below, or the adapter's own error code
};

// Failure codes of a storage query; any other value of TNvsInfo::Error is the adapter's own code.
enum TNvsError : std::int32_t {
    nvsNoPort = -1,      // no port, or it is closed and cannot be reopened
    nvsNotSent = -2,     // the request was not written
    nvsNoLine = -3,      // no complete line in time
    nvsBadLine = -4,     // the line does not begin with "*NVS" or has no space
    nvsLineTooLong = -5, // the line grew beyond the limit
    nvsBadNumbers = -6,  // not three numbers, total 0, or used above total
    nvsQueryFailed = -7, // the query failed without a more specific code
    nvsBadErrorCode = -8 // an error reply whose code is not hexadecimal
};

constexpr std::size_t MaxNvsLineLength = 128;

// Reads one storage line ("*NVS used,free,total" in hexadecimal, or "*NVS E<code>"); the result is
// Valid on success and carries the error code otherwise.
TNvsInfo ParseNvsLine(std::string_view line);

} // namespace zelmor
