// SPDX-License-Identifier: MIT
// Which keyboard layout describes the user's keyboard, which language captions are shown in, and
// the catalogue of consumer-control keys; the user's choices live in "settings.json".
#pragma once

#include "ConsumerCatalogue.h"
#include "VirtualKeyMap.h"

#include <QString>
#include <QStringView>

#include <functional>
#include <vector>

namespace zelmor {

class TI18nPlatform;

using TI18nApplyUIProc = std::function<void(const QString& lang2)>;
using TI18nReloadKeymapProc = std::function<void(const QString& layoutPath)>;
using TI18nCategoriesChangedProc = std::function<void()>;

// Two-letter lower-case language of a tag ("DE-at" -> "de"); "en" for an empty tag.
QString Lang2Of(QStringView tag);
// The layout file for a locale tag: German, British or US English, French, Italian, Spanish; US
// English for any other language.
QString LayoutFileForLocale(QStringView tag);
// The layout's name on the main window's badge: "keyboard_layout_en_gb_windows.json" -> "en_gb".
QString LayoutShortName(QStringView fileName);

class TI18nManager {
public:
    // Language and layout from the system; the platform must outlive the manager.
    explicit TI18nManager(const TI18nPlatform& platform);

    const QString& LangTag() const { return FLangTag; }
    const QString& Lang2() const { return FLang2; }
    const QString& KeyboardLayoutFile() const { return FKeyboardLayoutFile; }
    const QString& SettingsPath() const { return FSettingsPath; }
    const QString& ConsumerKeysFile() const { return FConsumerKeysFile; }
    const std::vector<TConsumerCategory>& Categories() const { return FCategories; }
    const TVirtualKeyMap& KeyMap() const { return FKeyMap; }

    void SetOnApplyUI(TI18nApplyUIProc proc) { FOnApplyUI = std::move(proc); }
    void SetOnReloadKeymap(TI18nReloadKeymapProc proc) { FOnReloadKeymap = std::move(proc); }
    void SetOnCategoriesChanged(TI18nCategoriesChangedProc proc) { FOnCategoriesChanged = std::move(proc); }

    void DetectFromOS();
    void SetLanguage(const QString& langTagOr2);
    void SetKeyboardLayoutFile(const QString& fileName) { FKeyboardLayoutFile = fileName; }
    void SetKeyboardLayoutByLocale(const QString& langTagOr2);
    void SetConsumerKeysFile(const QString& fileName) { FConsumerKeysFile = fileName; }

    // Reads the settings file (the default one for an empty path). A missing file or text that is
    // not JSON changes nothing; a language or layout the file leaves empty comes from the system.
    // Throws TKeyboardDataError when the file cannot be read or its root is not an object.
    void LoadSettings(const QString& filePath = {});
    // Replaces the settings file atomically: UTF-8 with byte-order mark, non-ASCII as \u escapes.
    // Throws TKeyboardDataError when it cannot be written.
    void SaveSettings(const QString& filePath = {}) const;

    void ApplyAll();
    void ApplyUI();
    // Takes the layout of the system's active keyboard and hands its file (the US English file
    // when that is missing) to the reload-keymap callback; with neither file, nothing happens.
    void ApplyKeymap();
    // Rebuilds the catalogue in the display language. A missing file, text that is not JSON or an
    // object without "consumer_keys" array keep the old catalogue; so does a faulty catalogue,
    // which throws TKeyboardDataError with the reason.
    void ApplyConsumerLabels();

    void LoadKeyMapsFromJSON(const QString& fileName);
    void LoadVKToHIDAndLabelsFromJSON(const QString& fileName);
    bool TryMapVKToHID(std::uint16_t vk, std::uint8_t& hid) const { return FKeyMap.TryMapVKToHID(vk, hid); }
    QString LabelForHID(std::uint8_t hid) const { return FKeyMap.LabelForHID(hid); }
    std::uint8_t ModifierMaskForHID(std::uint8_t hid) const { return FKeyMap.ModifierMaskForHID(hid); }

private:
    // The parsed file, or a discarded value when it is missing or not JSON.
    TJson ReadIfExists(const QString& path) const;

    const TI18nPlatform& FPlatform;
    QString FLangTag;
    QString FLang2;
    QString FKeyboardLayoutFile;
    QString FSettingsPath;
    QString FConsumerKeysFile;
    TVirtualKeyMap FKeyMap;
    std::vector<TConsumerCategory> FCategories;
    TI18nApplyUIProc FOnApplyUI;
    TI18nReloadKeymapProc FOnReloadKeymap;
    TI18nCategoriesChangedProc FOnCategoriesChanged;
};

} // namespace zelmor
