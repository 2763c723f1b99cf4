// SPDX-License-Identifier: MIT
// The profile-file reader on arbitrary bytes (any encoding, any JSON): it must never crash, and a
// list it reads must be written and read back to the same profiles.
#include "model/ProfileFile.h"

#include <cstdlib>

using namespace zelmor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TProfileFileLoad load = ReadProfileList(std::string(reinterpret_cast<const char*>(data), size));
    if ((load.Outcome == TProfileFileLoad::Loaded) != load.Message.empty())
        std::abort();
    if (load.Outcome == TProfileFileLoad::Loaded) {
        const std::string written = RenderProfileFile(load.Profiles);
        const TProfileFileLoad again = ReadProfileList(written);
        if (again.Outcome != TProfileFileLoad::Loaded || RenderProfileFile(again.Profiles) != written)
            std::abort();
    }
    return 0;
}
