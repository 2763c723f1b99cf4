// SPDX-License-Identifier: MIT
// The profile sets the emulated adapter ships with, offered by "*GETPROFSETLIST" and stored by
// "*SETPROFSET n".
#pragma once

#include "model/Profile.h"

#include <string>
#include <vector>

namespace zelmor::emu {

struct TFactorySet {
    int Id = 0;
    std::string Name;
    TProfileSet Set;
};

const std::vector<TFactorySet>& FactoryProfileSets();
// The set with this identifier, or nullptr.
const TFactorySet* FindFactorySet(int id);

} // namespace zelmor::emu
