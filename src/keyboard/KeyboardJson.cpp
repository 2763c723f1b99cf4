// SPDX-License-Identifier: MIT
#include "KeyboardJson.h"

#include "KeyboardDataError.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <limits>

namespace zelmor {

TJson ReadJsonFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TKeyboardDataError(
            QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString()).toStdString());
    const QByteArray bytes = file.readAll();
    // The decoder drops a byte-order mark and turns malformed sequences into U+FFFD.
    QStringDecoder decoder(QStringConverter::encodingForData(bytes).value_or(QStringConverter::Utf8));
    const QString text = decoder.decode(bytes);
    return TJson::parse(text.toStdString(), nullptr, false);
}

const TJson* MemberOf(const TJson& object, const char* name) {
    if (!object.is_object())
        return nullptr;
    const auto it = object.find(name);
    if (it == object.end() || it->is_null())
        return nullptr;
    return &*it;
}

std::optional<std::int64_t> JsonInteger(const TJson& value) {
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        return static_cast<std::int64_t>(std::min<std::uint64_t>(
            number, static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())));
    }
    if (value.is_number_integer())
        return value.get<std::int64_t>();
    return std::nullopt;
}

std::int64_t Clamp(std::int64_t value, std::int64_t low, std::int64_t high) {
    return std::clamp(value, low, high);
}

std::optional<QString> JsonString(const TJson& value) {
    if (!value.is_string())
        return std::nullopt;
    return QString::fromStdString(value.get_ref<const std::string&>());
}

} // namespace zelmor
