// SPDX-License-Identifier: MIT
// The profile blob reader and its structural check on arbitrary bytes. Besides memory safety the
// target checks that both agree on which blobs are readable and that a read profile survives a
// second trip through the writer unchanged.
#include "model/ProfileBlob.h"

#include <cstdlib>

using namespace zelmor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TByteView bytes(data, size);
    TProfile profile{};
    const bool readable = profile.FromV2Blob(bytes);
    std::string message;
    if (readable != ValidateProfileBlob(bytes, message) || readable != message.empty())
        std::abort();
    if (readable) {
        TProfile again{};
        if (!again.FromV2Blob(profile.ToV2Blob()) || !(again.ToV2Blob() == profile.ToV2Blob()))
            std::abort();
    }
    TSwitchBehavior behavior{};
    if (DecodeSwitchBehavior(bytes, behavior) && EncodeSwitchBehavior(behavior).size() > size)
        std::abort(); // the encoding never needs more bytes than the decoder consumed
    return 0;
}
