// SPDX-License-Identifier: MIT
#pragma once

#include "keyboard/I18nPlatform.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace zelmor {

// Answers only what a test has set up; any other call fails the test.
struct TFakeI18nPlatform : TI18nPlatform {
    std::optional<QString> UILocale, KeyboardLocale, Settings, Program;
    std::function<bool(const QString&)> Exists;

    QString UILocaleTag() const override { return Expect(UILocale, "UILocaleTag"); }
    QString KeyboardLocaleTag() const override { return Expect(KeyboardLocale, "KeyboardLocaleTag"); }
    QString SettingsFolder() const override { return Expect(Settings, "SettingsFolder"); }
    QString ProgramFolder() const override { return Expect(Program, "ProgramFolder"); }
    bool FileExists(const QString& path) const override {
        if (!Exists) {
            ADD_FAILURE() << "unexpected FileExists(" << path.toStdString() << ")";
            return false;
        }
        return Exists(path);
    }

private:
    static QString Expect(const std::optional<QString>& value, const char* call) {
        if (!value)
            ADD_FAILURE() << "unexpected call of " << call;
        return value.value_or(QString());
    }
};

} // namespace zelmor
