// SPDX-License-Identifier: MIT
// What the emulated adapter keeps across restarts: its stored profile-set blob and its language.
#pragma once

#include "model/ByteRecord.h"

#include <string>

namespace zelmor::emu {

class TAdapterState {
public:
    // An empty path keeps the state in memory only. Otherwise the file is read when it exists (a
    // damaged file raises std::runtime_error) and rewritten atomically after every change.
    explicit TAdapterState(std::string path);

    bool HasProfileSet() const { return !FProfileSet.empty(); }
    const TBytes& ProfileSet() const { return FProfileSet; }
    int Language() const { return FLanguage; }

    void StoreProfileSet(TBytes blob);
    void SetLanguage(int language);
    // Factory state: no profile set, language 0.
    void Reset();

private:
    void Save() const;

    std::string FPath;
    TBytes FProfileSet;
    int FLanguage = 0;
};

} // namespace zelmor::emu
