// SPDX-License-Identifier: MIT
#include "QtI18nPlatform.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputMethod>
#include <QLocale>
#include <QStandardPaths>

namespace zelmor {

namespace {

QString TagOf(const QLocale& locale) {
    if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage)
        return QStringLiteral("en-US");
    return locale.name().replace(QLatin1Char('_'), QLatin1Char('-'));
}

} // namespace

QString TQtI18nPlatform::UILocaleTag() const {
    return TagOf(QLocale::system());
}

QString TQtI18nPlatform::KeyboardLocaleTag() const {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return TagOf(QLocale::system());
    return TagOf(QGuiApplication::inputMethod()->locale());
}

QString TQtI18nPlatform::SettingsFolder() const {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/ZelmorMX");
}

QString TQtI18nPlatform::ProgramFolder() const {
    return QCoreApplication::instance() != nullptr ? QCoreApplication::applicationDirPath() : QString();
}

bool TQtI18nPlatform::FileExists(const QString& path) const {
    return QFileInfo(path).isFile();
}

} // namespace zelmor
