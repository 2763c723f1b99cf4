// SPDX-License-Identifier: MIT
#pragma once

#include "I18nPlatform.h"

namespace zelmor {

// The services from Qt: QLocale::system() for the interface language, the input method's locale
// for the keyboard layout (the system locale when no GUI application runs), XDG configuration
// folder + "ZelmorMX" for the settings.
class TQtI18nPlatform : public TI18nPlatform {
public:
    QString UILocaleTag() const override;
    QString KeyboardLocaleTag() const override;
    QString SettingsFolder() const override;
    QString ProgramFolder() const override;
    bool FileExists(const QString& path) const override;
};

} // namespace zelmor
