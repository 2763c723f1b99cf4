// SPDX-License-Identifier: MIT
#include "ProfileFile.h"

#include "AtomicFile.h"
#include "JsonText.h"
#include "ProfileJson.h"

#include <QFile>

namespace zelmor {

namespace {

TProfileFileLoad Failed(TProfileFileLoad result, const std::string& reason) {
    result.Outcome = TProfileFileLoad::Failed;
    result.Message = ProfileLoadErrorPrefix + reason;
    return result;
}

} // namespace

TProfileFileLoad LoadProfilesFromFile(const QString& path) {
    if (!QFile::exists(path))
        return {TProfileFileLoad::NoFile, {}, {}};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failed({}, file.errorString().toStdString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFile::NoError)
        return Failed({}, file.errorString().toStdString());

    return ReadProfileList(bytes.toStdString());
}

TProfileFileLoad ReadProfileList(const std::string& bytes) {
    TProfileFileLoad result;
    const TJson document = ParseJson(DecodeTextFile(bytes));
    if (!document.is_array()) {
        result.Outcome = TProfileFileLoad::Damaged;
        result.Message = DamagedProfileFileMessage;
        return result;
    }

    // One working profile is cleared once and read element after element, as the editor always has:
    // payload bytes a behaviour does not use carry over from the element before.
    result.Profiles.assign(document.size(), TProfile{});
    TProfile working{};
    for (std::size_t i = 0; i < document.size(); ++i) {
        try {
            if (!document[i].is_object())
                throw TJsonError("element " + std::to_string(i + 1) + " is not a profile object");
            FromJSON(document[i], working);
        } catch (const TJsonError& error) {
            return Failed(std::move(result), error.what());
        }
        result.Profiles[i] = working;
    }
    return result;
}

std::string RenderProfileFile(const std::vector<TProfile>& profiles) {
    TJson array = TJson::array();
    for (const TProfile& profile : profiles)
        array.push_back(ToJSON(profile));
    return ToCompactAscii(array) + "\r\n";
}

bool SaveProfilesToFile(const QString& path, const std::vector<TProfile>& profiles, std::string& error) {
    return WriteFileAtomically(path, RenderProfileFile(profiles), error);
}

} // namespace zelmor
