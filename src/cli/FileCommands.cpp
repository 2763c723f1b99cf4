// SPDX-License-Identifier: MIT
// Commands that convert and check profile files and profile-set blobs without an adapter.
#include "CliCommands.h"

#include "model/AtomicFile.h"
#include "model/Cp1252.h"
#include "model/JsonText.h"
#include "model/ProfileFile.h"
#include "model/ProfileJson.h"
#include "model/ProfileSetBlob.h"

#include <QFile>

#include <algorithm>
#include <ostream>

namespace zelmor::cli {

namespace {

QString PathArg(const std::string& arg) {
    return QString::fromLocal8Bit(arg.c_str());
}

int Fail(TCliContext& context, const std::string& message) {
    context.Err << message << '\n';
    return ExitFailed;
}

bool ReadBytes(const std::string& path, TBytes& bytes, std::string& error) {
    QFile file(PathArg(path));
    if (!file.open(QIODevice::ReadOnly)) {
        error = path + ": " + file.errorString().toStdString();
        return false;
    }
    const QByteArray data = file.readAll();
    bytes.assign(data.begin(), data.end());
    return true;
}

// A profile file's list, or the loader's message. A file that does not exist is an error here:
// the loader's quiet empty list suits the editor, not a conversion.
bool LoadList(const std::string& path, std::vector<TProfile>& profiles, TCliContext& context) {
    const TProfileFileLoad load = LoadProfilesFromFile(PathArg(path));
    if (load.Outcome == TProfileFileLoad::NoFile) {
        Fail(context, path + ": no such file");
        return false;
    }
    if (!load.Message.empty()) {
        Fail(context, load.Message);
        return false;
    }
    profiles = load.Profiles;
    return true;
}

int Write(TCliContext& context, const std::string& path, const std::string& bytes) {
    std::string error;
    if (!WriteFileAtomically(PathArg(path), bytes, error))
        return Fail(context, error);
    return ExitOk;
}

int Encode(const std::vector<std::string>& rawArgs, TCliContext& context) {
    const TCliArgs args(rawArgs, {"id", "name", "active"}, {});
    args.ExpectPositionals(2);
    const auto id = args.IntValue("id", 0, 255).value_or(0);
    const auto active = args.IntValue("active", 0, 255).value_or(0);
    const TBytes name =
        Utf8ToCp1252(QString::fromLocal8Bit(args.Value("name").value_or("").c_str()).toStdString());
    if (name.size() > NameBytes)
        throw TUsageError("--name is longer than 16 bytes in Windows-1252");

    std::vector<TProfile> profiles;
    if (!LoadList(args.Positionals()[0], profiles, context))
        return ExitFailed;
    TProfileSet set{};
    set.ID = static_cast<std::uint8_t>(id);
    std::copy(name.begin(), name.end(), set.Name);
    set.ProfileCount = static_cast<std::uint8_t>(std::min<std::size_t>(profiles.size(), MaxProfilesInSet));
    std::copy_n(profiles.begin(), set.ProfileCount, set.Profiles);
    set.ActiveProfileIndex = static_cast<std::uint8_t>(active < set.ProfileCount ? active : 0);
    const TBytes blob = set.ToBlob();
    return Write(context, args.Positionals()[1], std::string(blob.begin(), blob.end()));
}

int Decode(const std::vector<std::string>& rawArgs, TCliContext& context) {
    const TCliArgs args(rawArgs, {}, {});
    args.ExpectPositionals(2);
    TBytes blob;
    std::string error;
    if (!ReadBytes(args.Positionals()[0], blob, error))
        return Fail(context, error);
    TProfileSet set{};
    if (!set.FromBlob(blob))
        return Fail(context, "Profile set could not be parsed.");
    return Write(context, args.Positionals()[1], ToCompactAscii(ToJSON(set)) + "\r\n");
}

int Check(const std::vector<std::string>& rawArgs, TCliContext& context) {
    const TCliArgs args(rawArgs, {}, {});
    args.ExpectPositionals(1);
    TBytes blob;
    std::string message;
    if (!ReadBytes(args.Positionals()[0], blob, message))
        return Fail(context, message);
    if (!ValidateProfileSetBlob(blob, message))
        return Fail(context, message);
    context.Out << "valid\n";
    return ExitOk;
}

int Normalize(const std::vector<std::string>& rawArgs, TCliContext& context) {
    const TCliArgs args(rawArgs, {}, {});
    args.ExpectPositionals(2);
    std::vector<TProfile> profiles;
    if (!LoadList(args.Positionals()[0], profiles, context))
        return ExitFailed;
    std::string error;
    if (!SaveProfilesToFile(PathArg(args.Positionals()[1]), profiles, error))
        return Fail(context, error);
    return ExitOk;
}

} // namespace

std::vector<TCliCommand> FileCommands() {
    return {
        {"encode", "IN.profj OUT.bin [--id N] [--name TEXT] [--active I]",
         "build a profile-set blob from the first ten profiles of a profile file", Encode},
        {"decode", "IN.bin OUT.json", "write a profile-set blob as the set's JSON object", Decode},
        {"check", "IN.bin", "check the structure of a profile-set blob", Check},
        {"normalize", "IN.profj OUT.profj", "read a profile file and write it in the standard form",
         Normalize},
    };
}

} // namespace zelmor::cli
