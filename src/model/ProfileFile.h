// SPDX-License-Identifier: MIT
// The profile file (*.profj): the editor's whole profile list as one JSON array of profile objects.
#pragma once

#include "Profile.h"

#include <QString>

#include <string>
#include <vector>

namespace zelmor {

inline constexpr const char* DamagedProfileFileMessage =
    "Fehler: Datei beschädigt. Starte mit leerer Profil-Liste.";
inline constexpr const char* ProfileLoadErrorPrefix = "Fehler beim Laden der Profile: ";

struct TProfileFileLoad {
    enum TOutcome {
        Loaded,  // every element was read
        NoFile,  // the file does not exist: an empty list, no message
        Damaged, // not a JSON array: an empty list and DamagedProfileFileMessage
        Failed   // an element could not be read: earlier entries read, later ones cleared, Message says why
    };
    TOutcome Outcome = Loaded;
    std::vector<TProfile> Profiles;
    std::string Message; // the text to show the user; empty for Loaded and NoFile
};

// Reads a profile file. A byte-order mark selects UTF-8 or UTF-16; without one the file is
// Windows-1252. The list has one entry per array element.
TProfileFileLoad LoadProfilesFromFile(const QString& path);

// Reads the bytes of a profile file; LoadProfilesFromFile reads the file and calls this.
TProfileFileLoad ReadProfileList(const std::string& bytes);

// The file's bytes: compact ASCII JSON followed by CR LF, no byte-order mark.
std::string RenderProfileFile(const std::vector<TProfile>& profiles);

// Writes the list atomically, replacing an existing file. Returns false with the reason in Error.
bool SaveProfilesToFile(const QString& path, const std::vector<TProfile>& profiles, std::string& error);

} // namespace zelmor
