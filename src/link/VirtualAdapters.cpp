// SPDX-License-Identifier: MIT
#include "VirtualAdapters.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <stdexcept>

namespace zelmor {
namespace {

constexpr qint64 MaxRegistrationBytes = 4096;

bool IsHexId(const std::string& text) {
    return text.size() == 4 &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isxdigit(c) != 0; });
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

bool IsValidInstance(const std::string& instance) {
    return !instance.empty() && instance.size() <= 64 && instance.front() != '.' &&
           std::all_of(instance.begin(), instance.end(), [](unsigned char c) {
               return std::isalnum(c) != 0 || c == '-' || c == '_' || c == '.';
           });
}

// The adapter with its identities in upper case, or nothing when a field is malformed.
std::optional<TVirtualAdapter> Normalised(const TVirtualAdapter& adapter) {
    if (!IsHexId(adapter.Vid) || !IsHexId(adapter.Pid) || !IsValidInstance(adapter.Instance) ||
        adapter.Port.empty() || adapter.Port.front() != '/')
        return std::nullopt;
    return TVirtualAdapter{Upper(adapter.Vid), Upper(adapter.Pid), adapter.Instance, adapter.Port};
}

std::optional<TVirtualAdapter> ReadRegistration(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxRegistrationBytes)
        return std::nullopt;
    const QByteArray bytes = file.read(MaxRegistrationBytes);
    const auto json =
        nlohmann::json::parse(bytes.constData(), bytes.constData() + bytes.size(), nullptr, false);
    if (!json.is_object())
        return std::nullopt;
    TVirtualAdapter adapter;
    for (auto [key, field] : {std::pair{"vid", &adapter.Vid}, std::pair{"pid", &adapter.Pid},
                              std::pair{"instance", &adapter.Instance}, std::pair{"port", &adapter.Port}}) {
        const auto it = json.find(key);
        if (it == json.end() || !it->is_string())
            return std::nullopt;
        *field = it->get<std::string>();
    }
    return Normalised(adapter);
}

QString RegistrationFile(const std::string& folder, const std::string& instance) {
    return QString::fromStdString(folder + '/' + instance + ".json");
}

} // namespace

bool PrepareVirtualAdapterFolder(const std::string& folder) {
    namespace fs = std::filesystem;
    const fs::path path(folder);
    std::error_code error;
    for (const fs::path& level : {path.parent_path(), path}) {
        if (fs::create_directory(level, error))
            fs::permissions(level, fs::perms::owner_all, fs::perm_options::replace, error);
    }
    return IsPrivateFolder(folder);
}

void RegisterVirtualAdapter(const TVirtualAdapter& adapter, const std::string& folder) {
    const auto normalised = Normalised(adapter);
    if (!normalised)
        throw std::runtime_error("Malformed virtual adapter registration for instance \"" + adapter.Instance +
                                 "\"");
    if (!PrepareVirtualAdapterFolder(folder))
        throw std::runtime_error("The folder " + folder + " is missing or not private to this user");
    nlohmann::ordered_json json;
    json["vid"] = normalised->Vid;
    json["pid"] = normalised->Pid;
    json["instance"] = normalised->Instance;
    json["port"] = normalised->Port;
    const std::string text = json.dump() + '\n';
    QSaveFile file(RegistrationFile(folder, normalised->Instance));
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), static_cast<qint64>(text.size())) < 0 ||
        !file.commit())
        throw std::runtime_error("Cannot register the virtual adapter: " + file.errorString().toStdString());
}

void UnregisterVirtualAdapter(const std::string& instance, const std::string& folder) {
    if (IsValidInstance(instance))
        QFile::remove(RegistrationFile(folder, instance));
}

std::vector<TVirtualAdapter> ListVirtualAdapters(const std::string& folder) {
    std::vector<TVirtualAdapter> adapters;
    if (!IsPrivateFolder(folder))
        return adapters;
    const QDir dir(QString::fromStdString(folder));
    for (const QString& name : dir.entryList({"*.json"}, QDir::Files | QDir::NoSymLinks, QDir::Name)) {
        if (auto adapter = ReadRegistration(dir.filePath(name)))
            adapters.push_back(*adapter);
    }
    return adapters;
}

std::vector<TSerialDeviceEntry> TVirtualAdapterRegistry::UsbSerialPorts() const {
    std::vector<TSerialDeviceEntry> entries;
    std::error_code error;
    for (const TVirtualAdapter& adapter : ListVirtualAdapters(FFolder)) {
        if (std::filesystem::exists(adapter.Port, error))
            entries.push_back(
                {"USB", "VID_" + adapter.Vid + "&PID_" + adapter.Pid, adapter.Instance, adapter.Port});
    }
    return entries;
}

std::vector<std::string> TVirtualAdapterRegistry::SerialPorts() const {
    std::vector<std::string> ports;
    for (const TSerialDeviceEntry& entry : UsbSerialPorts())
        ports.push_back(entry.Port);
    return ports;
}

} // namespace zelmor
