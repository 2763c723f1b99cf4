// SPDX-License-Identifier: MIT
#include "ProfileHistory.h"

namespace zelmor {

void TProfileHistory::LoadInitial(const TProfile& profile) {
    Clear();
    FVersions.push_back(profile);
    FCursor = 0;
}

void TProfileHistory::AddVersion(const TProfile& profile) {
    if (FCursor >= 0 && FVersions[static_cast<std::size_t>(FCursor)] == profile)
        return;
    FVersions.resize(static_cast<std::size_t>(FCursor + 1));
    FVersions.push_back(profile);
    ++FCursor;
    if (Count() > MaxVersions) {
        FVersions.erase(FVersions.begin());
        --FCursor;
    }
}

bool TProfileHistory::Undo(TProfile& profile) {
    if (!CanUndo())
        return false;
    profile = FVersions[static_cast<std::size_t>(--FCursor)];
    return true;
}

bool TProfileHistory::Redo(TProfile& profile) {
    if (!CanRedo())
        return false;
    profile = FVersions[static_cast<std::size_t>(++FCursor)];
    return true;
}

void TProfileHistory::Clear() {
    FVersions.clear();
    FCursor = -1;
}

} // namespace zelmor
