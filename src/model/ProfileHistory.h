// SPDX-License-Identifier: MIT
#pragma once

#include "Profile.h"

#include <vector>

namespace zelmor {

// Undo and redo for the profile being edited: a linear list of whole-profile snapshots with a cursor
// on the snapshot that matches the profile as shown. At most MaxVersions snapshots are kept.
class TProfileHistory {
public:
    static constexpr int MaxVersions = 100;

    void LoadInitial(const TProfile& profile);
    // Records a snapshot unless it equals the one at the cursor; discards the redo branch.
    void AddVersion(const TProfile& profile);
    bool CanUndo() const { return FCursor > 0; }
    bool CanRedo() const { return FCursor < static_cast<int>(FVersions.size()) - 1; }
    // Move the cursor and copy its snapshot into Profile; false (Profile untouched) when impossible.
    bool Undo(TProfile& profile);
    bool Redo(TProfile& profile);
    void Clear();

    int Count() const { return static_cast<int>(FVersions.size()); }
    int Cursor() const { return FCursor; }
    const TProfile& At(int index) const { return FVersions.at(static_cast<std::size_t>(index)); }

private:
    std::vector<TProfile> FVersions;
    int FCursor = -1;
};

} // namespace zelmor
