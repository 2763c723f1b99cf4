// SPDX-License-Identifier: MIT
// The readers of the adapter's text replies on arbitrary bytes: system information (JSON), the
// storage line and the profile-set list. The first byte picks the reader.
#include "device/NvsInfo.h"
#include "device/ProfileSetList.h"
#include "device/SysInfo.h"

using namespace zelmor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 3) {
    case 0:
        try {
            ParseSysInfo(text);
        } catch (const TSysInfoParseError&) {
        }
        break;
    case 1:
        ParseNvsLine(text);
        break;
    default:
        ParseProfileSetList(text);
        break;
    }
    return 0;
}
