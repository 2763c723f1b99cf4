// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

namespace zelmor {

inline QString FixturePath(const char* name) {
    return QStringLiteral(KEYBOARD_FIXTURES "/") + QLatin1String(name);
}

// The six layout files shipped with the program, as kept in the source tree.
inline QString ShippedDataPath(const QString& name) {
    return QStringLiteral(ZELMOR_SOURCE_DIR "/data/") + name;
}

inline const QStringList ShippedLayouts{QStringLiteral("keyboard_layout_de_windows.json"),
                                        QStringLiteral("keyboard_layout_en_gb_windows.json"),
                                        QStringLiteral("keyboard_layout_en_us_windows.json"),
                                        QStringLiteral("keyboard_layout_fr_windows.json"),
                                        QStringLiteral("keyboard_layout_it_windows.json"),
                                        QStringLiteral("keyboard_layout_es_windows.json")};

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file " + path.toStdString());
}

inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace zelmor
