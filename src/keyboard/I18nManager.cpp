// SPDX-License-Identifier: MIT
#include "I18nManager.h"

#include "DataFiles.h"
#include "I18nPlatform.h"
#include "KeyboardDataError.h"
#include "model/AtomicFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace zelmor {

namespace {

const QString UsLayoutFile = QStringLiteral("keyboard_layout_en_us_windows.json");

[[noreturn]] void NotAnObject(const QString& path) {
    throw TKeyboardDataError(QStringLiteral("\"%1\" does not hold a JSON object.").arg(path).toStdString());
}

} // namespace

QString Lang2Of(QStringView tag) {
    if (tag.isEmpty())
        return QStringLiteral("en");
    return tag.left(2).toString().toLower();
}

QString LayoutFileForLocale(QStringView tag) {
    const QString lang2 = Lang2Of(tag);
    if (lang2 == u"en") {
        const QString low = tag.toString().toLower();
        return low.contains(u"-gb") || low.contains(u"_gb")
                   ? QStringLiteral("keyboard_layout_en_gb_windows.json")
                   : UsLayoutFile;
    }
    for (const char* language : {"de", "fr", "it", "es"})
        if (lang2 == QLatin1String(language))
            return QStringLiteral("keyboard_layout_%1_windows.json").arg(lang2);
    return UsLayoutFile;
}

QString LayoutShortName(QStringView fileName) {
    const qsizetype folderEnd = std::max(fileName.lastIndexOf(u'/'), fileName.lastIndexOf(u'\\'));
    QString name = fileName.mid(folderEnd + 1).toString().toLower();
    if (const qsizetype dot = name.lastIndexOf(u'.'); dot >= 0)
        name.truncate(dot);
    for (const char* part : {"keyboard_layout_", "_windows", ".windows"})
        name.remove(QLatin1String(part));
    return name.isEmpty() ? QStringLiteral("en_us") : name;
}

TI18nManager::TI18nManager(const TI18nPlatform& platform)
    : FPlatform(platform), FLangTag(platform.UILocaleTag()), FLang2(Lang2Of(FLangTag)),
      FKeyboardLayoutFile(LayoutFileForLocale(platform.KeyboardLocaleTag())),
      FSettingsPath(platform.SettingsFolder() + QStringLiteral("/settings.json")),
      FConsumerKeysFile(QStringLiteral("consumer_keys.json")) {}

void TI18nManager::DetectFromOS() {
    SetLanguage(FPlatform.UILocaleTag());
    SetKeyboardLayoutFile(LayoutFileForLocale(FPlatform.KeyboardLocaleTag()));
}

void TI18nManager::SetLanguage(const QString& langTagOr2) {
    FLangTag = langTagOr2;
    FLang2 = Lang2Of(langTagOr2);
}

void TI18nManager::SetKeyboardLayoutByLocale(const QString& langTagOr2) {
    FKeyboardLayoutFile = LayoutFileForLocale(langTagOr2);
}

TJson TI18nManager::ReadIfExists(const QString& path) const {
    if (!FPlatform.FileExists(path))
        return TJson(TJson::value_t::discarded);
    return ReadJsonFile(path);
}

void TI18nManager::LoadSettings(const QString& filePath) {
    const QString path = filePath.isEmpty() ? FSettingsPath : filePath;
    const TJson root = ReadIfExists(path);
    if (root.is_discarded())
        return;
    if (!root.is_object())
        NotAnObject(path);
    if (const TJson* ui = MemberOf(root, "ui"); ui != nullptr && ui->is_object()) {
        FLangTag.clear();
        if (const TJson* language = MemberOf(*ui, "language"); language != nullptr && language->is_string()) {
            FLangTag = *JsonString(*language);
            FLang2 = Lang2Of(FLangTag);
        }
    }
    if (const TJson* keyboard = MemberOf(root, "keyboard"); keyboard != nullptr && keyboard->is_object()) {
        const TJson* layout = MemberOf(*keyboard, "layout");
        FKeyboardLayoutFile = layout != nullptr ? JsonString(*layout).value_or(QString()) : QString();
    }
    if (FLangTag.isEmpty())
        SetLanguage(FPlatform.UILocaleTag());
    if (FKeyboardLayoutFile.isEmpty())
        FKeyboardLayoutFile = LayoutFileForLocale(FPlatform.KeyboardLocaleTag());
}

void TI18nManager::SaveSettings(const QString& filePath) const {
    TJson root = TJson::object();
    root["ui"]["language"] = FLangTag.toStdString();
    root["keyboard"]["layout"] = FKeyboardLayoutFile.toStdString();
    const QString path = filePath.isEmpty() ? FSettingsPath : filePath;
    std::string error = "the folder cannot be created";
    if (QDir().mkpath(QFileInfo(path).absolutePath()) &&
        WriteFileAtomically(path, "\xEF\xBB\xBF" + root.dump(-1, ' ', true), error))
        return;
    throw TKeyboardDataError(QStringLiteral("Cannot save the settings to \"%1\": %2")
                                 .arg(path, QString::fromStdString(error))
                                 .toStdString());
}

void TI18nManager::ApplyAll() {
    ApplyUI();
    ApplyKeymap();
    ApplyConsumerLabels();
}

void TI18nManager::ApplyUI() {
    if (FOnApplyUI)
        FOnApplyUI(FLang2);
}

void TI18nManager::ApplyKeymap() {
    FKeyboardLayoutFile = LayoutFileForLocale(FPlatform.KeyboardLocaleTag());
    if (!FOnReloadKeymap || FKeyboardLayoutFile.isEmpty())
        return;
    QString path = FindDataFile(FKeyboardLayoutFile, FPlatform);
    if (path.isEmpty())
        path = FindDataFile(UsLayoutFile, FPlatform);
    if (!path.isEmpty())
        FOnReloadKeymap(path);
}

void TI18nManager::ApplyConsumerLabels() {
    const QString path = FindDataFile(FConsumerKeysFile, FPlatform);
    if (path.isEmpty())
        return;
    const TJson root = ReadJsonFile(path);
    if (root.is_discarded())
        return;
    if (!root.is_object())
        NotAnObject(path);
    const TJson* categories = MemberOf(root, "consumer_keys");
    if (categories == nullptr || !categories->is_array())
        return;
    FCategories = BuildConsumerCatalogue(*categories, FLang2);
    if (FOnCategoriesChanged)
        FOnCategoriesChanged();
}

void TI18nManager::LoadKeyMapsFromJSON(const QString& fileName) {
    FKeyMap.Clear();
    FKeyMap.LoadKeyMaps(ReadIfExists(fileName));
}

void TI18nManager::LoadVKToHIDAndLabelsFromJSON(const QString& fileName) {
    FKeyMap.Clear();
    FKeyMap.LoadVKToHIDAndLabels(ReadIfExists(fileName), FLang2);
}

} // namespace zelmor
