// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace zelmor {

// The operating-system services the language and layout manager needs. Contract: every call returns
// at once and never throws. Locale tags look like "de-DE" and are "en-US" when the system gives
// none. Folders are absolute paths without a trailing separator; they need not exist yet. The
// caller owns the service and keeps it alive as long as the manager that uses it.
class TI18nPlatform {
public:
    virtual ~TI18nPlatform() = default;

    // Language of the user interface.
    virtual QString UILocaleTag() const = 0;
    // Locale of the keyboard layout active now.
    virtual QString KeyboardLocaleTag() const = 0;
    // The user's settings folder of this program (it holds "settings.json").
    virtual QString SettingsFolder() const = 0;
    // The folder of the running program.
    virtual QString ProgramFolder() const = 0;
    virtual bool FileExists(const QString& path) const = 0;
};

} // namespace zelmor
