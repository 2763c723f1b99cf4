// SPDX-License-Identifier: MIT
#include "AdapterState.h"

#include "HexText.h"

#include "model/AtomicFile.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zelmor::emu {

TAdapterState::TAdapterState(std::string path) : FPath(std::move(path)) {
    if (FPath.empty())
        return;
    std::ifstream file(FPath, std::ios::binary);
    if (!file)
        return;
    std::stringstream text;
    text << file.rdbuf();
    try {
        const auto json = nlohmann::json::parse(text.str());
        FLanguage = json.value("language", 0);
        FProfileSet = FromHex(json.value("profile_set", std::string()));
    } catch (const std::exception& error) {
        throw std::runtime_error("damaged state file " + FPath + ": " + error.what());
    }
}

void TAdapterState::StoreProfileSet(TBytes blob) {
    FProfileSet = std::move(blob);
    Save();
}

void TAdapterState::SetLanguage(int language) {
    FLanguage = language;
    Save();
}

void TAdapterState::Reset() {
    FProfileSet.clear();
    FLanguage = 0;
    Save();
}

void TAdapterState::Save() const {
    if (FPath.empty())
        return;
    const nlohmann::json json = {{"language", FLanguage}, {"profile_set", ToHex(FProfileSet)}};
    std::string error;
    if (!WriteFileAtomically(QString::fromStdString(FPath), json.dump() + "\n", error))
        throw std::runtime_error("cannot save the state file " + FPath + ": " + error);
}

} // namespace zelmor::emu
