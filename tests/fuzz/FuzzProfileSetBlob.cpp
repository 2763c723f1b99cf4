// SPDX-License-Identifier: MIT
// The profile-set blob reader and its check on arbitrary bytes: memory safety, agreement between
// the two on which blobs are readable, and a stable second trip through the writer.
#include "model/ProfileSetBlob.h"

#include <cstdlib>

using namespace zelmor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TByteView bytes(data, size);
    TProfileSet set{};
    const bool readable = set.FromBlob(bytes);
    std::string message;
    const bool valid = ValidateProfileSetBlob(bytes, message);
    if (readable != valid || valid != message.empty())
        std::abort();
    if (set.ProfileCount > MaxProfilesInSet ||
        (set.ProfileCount > 0 && set.ActiveProfileIndex >= set.ProfileCount))
        std::abort();
    if (readable) {
        const TBytes written = set.ToBlob();
        TProfileSet again{};
        if (!again.FromBlob(written) || again.ToBlob() != written)
            std::abort();
    }
    return 0;
}
