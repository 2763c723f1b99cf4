// SPDX-License-Identifier: MIT
#include "keyboard/I18nManager.h"
#include "FakeI18nPlatform.h"
#include "KeyboardTestFiles.h"
#include "keyboard/DataFiles.h"
#include "keyboard/KeyboardDataError.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <set>

using namespace zelmor;

namespace {

// A manager on a fake system: German interface, British keyboard, files only where the test says.
class I18nManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FDir.isValid());
        FPlatform.UILocale = QStringLiteral("de-AT");
        FPlatform.KeyboardLocale = QStringLiteral("en-GB");
        FPlatform.Settings = FDir.filePath(QStringLiteral("config/ZelmorMX"));
        FPlatform.Program = FDir.filePath(QStringLiteral("bin"));
        // Only the test's own files exist, whatever the build tree's data folder holds.
        FPlatform.Exists = [this](const QString& path) {
            return path.startsWith(FDir.path() + QLatin1Char('/')) && QFileInfo(path).isFile();
        };
        FManager = std::make_unique<TI18nManager>(FPlatform);
    }
    // For tests that read the shipped data or the fixtures.
    void AllowFilesEverywhere() {
        FPlatform.Exists = [](const QString& path) { return QFileInfo(path).isFile(); };
    }
    QString Path(const char* name) const { return FDir.filePath(QLatin1String(name)); }
    QString ErrorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const TKeyboardDataError& error) {
            return QString::fromStdString(error.what());
        }
        return QStringLiteral("(no error)");
    }

    QTemporaryDir FDir;
    TFakeI18nPlatform FPlatform;
    std::unique_ptr<TI18nManager> FManager;
};

} // namespace

TEST(Lang2Of, Table) {
    const std::pair<const char16_t*, QString> cases[] = {
        {u"DE-at", "de"}, {u"", "en"}, {u"x", "x"}, {u"fr", "fr"}, {u"en-US", "en"},
    };
    for (const auto& [tag, lang2] : cases)
        EXPECT_EQ(Lang2Of(tag), lang2);
}

TEST(LayoutFileForLocale, Table) {
    const std::pair<const char16_t*, const char*> cases[] = {
        {u"en-GB", "en_gb"}, {u"en_gb", "en_gb"}, {u"EN-gb", "en_gb"}, {u"en-IE", "en_us"},
        {u"en-US", "en_us"}, {u"en", "en_us"},    {u"", "en_us"},      {u"de-CH", "de"},
        {u"de", "de"},       {u"fr-CA", "fr"},    {u"it-IT", "it"},    {u"es-MX", "es"},
        {u"nl-NL", "en_us"}, {u"pt-BR", "en_us"},
    };
    for (const auto& [tag, file] : cases)
        EXPECT_EQ(LayoutFileForLocale(tag),
                  QStringLiteral("keyboard_layout_%1_windows.json").arg(QLatin1String(file)))
            << QString::fromUtf16(tag).toStdString();
}

TEST(LayoutShortName, Table) {
    const std::pair<const char16_t*, QString> cases[] = {
        {u"keyboard_layout_en_gb_windows.json", "en_gb"},
        {u"/usr/share/zelmor-mx/KEYBOARD_LAYOUT_DE_WINDOWS.JSON", "de"},
        {u"C:\\Program Files\\Zelmor\\keyboard_layout_fr.windows.json", "fr"},
        {u"keyboard_layout_.json", "en_us"},
        {u"", "en_us"},
        {u"my_layout", "my_layout"},
    };
    for (const auto& [file, name] : cases)
        EXPECT_EQ(LayoutShortName(file), name) << QString::fromUtf16(file).toStdString();
}

TEST_F(I18nManagerTest, StartsFromTheSystem) {
    EXPECT_EQ(FManager->LangTag(), QStringLiteral("de-AT"));
    EXPECT_EQ(FManager->Lang2(), QStringLiteral("de"));
    EXPECT_EQ(FManager->KeyboardLayoutFile(), QStringLiteral("keyboard_layout_en_gb_windows.json"));
    EXPECT_EQ(FManager->SettingsPath(), Path("config/ZelmorMX/settings.json"));
    EXPECT_EQ(FManager->ConsumerKeysFile(), QStringLiteral("consumer_keys.json"));
}

TEST_F(I18nManagerTest, SettingsRoundTrip) {
    FManager->SetLanguage(QStringLiteral("fr-CH"));
    FManager->SetKeyboardLayoutFile(QStringLiteral("tastatur_ü.json"));
    FManager->SaveSettings(); // creates the missing folder
    const QByteArray bytes = ReadBytes(FManager->SettingsPath());
    EXPECT_EQ(bytes, QByteArray("\xEF\xBB\xBF{\"ui\":{\"language\":\"fr-CH\"},\"keyboard\":{\"layout\":"
                                "\"tastatur_\\u00fc.json\"}}"));
    EXPECT_EQ(QDir(Path("config/ZelmorMX")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"settings.json"});

    TI18nManager reloaded(FPlatform);
    reloaded.LoadSettings();
    EXPECT_EQ(reloaded.LangTag(), QStringLiteral("fr-CH"));
    EXPECT_EQ(reloaded.Lang2(), QStringLiteral("fr"));
    EXPECT_EQ(reloaded.KeyboardLayoutFile(), QStringLiteral("tastatur_ü.json"));

    // Saving again replaces the file.
    reloaded.SetLanguage(QStringLiteral("en"));
    reloaded.SaveSettings();
    FManager->LoadSettings();
    EXPECT_EQ(FManager->LangTag(), QStringLiteral("en"));
}

TEST_F(I18nManagerTest, SettingsFileForms) {
    struct Case {
        const char* Name;
        QByteArray Bytes;
        QString LangTag, Lang2, Layout;
    };
    const QString gb = QStringLiteral("keyboard_layout_en_gb_windows.json");
    const Case cases[] = {
        {"not JSON: unchanged", "{\"ui\":", "it", "it", "x.json"},
        {"empty: unchanged", "", "it", "it", "x.json"},
        {"no members: unchanged", "{}", "it", "it", "x.json"},
        {"without byte-order mark", "{\"ui\":{\"language\":\"es-ES\"}}", "es-ES", "es", "x.json"},
        {"ui without language: the system's", "{\"ui\":{}}", "de-AT", "de", "x.json"},
        {"language not a string: the system's", "{\"ui\":{\"language\":7}}", "de-AT", "de", "x.json"},
        {"ui not an object: ignored", "{\"ui\":\"fr\"}", "it", "it", "x.json"},
        {"empty language: the system's", "{\"ui\":{\"language\":\"\"}}", "de-AT", "de", "x.json"},
        {"keyboard without layout: the system's", "{\"keyboard\":{\"layout\":null}}", "it", "it", gb},
        {"layout read", "\xEF\xBB\xBF{\"keyboard\":{\"layout\":\"other.json\"}}", "it", "it", "other.json"},
    };
    const QString path = Path("settings.json");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        FManager->SetLanguage(QStringLiteral("it"));
        FManager->SetKeyboardLayoutFile(QStringLiteral("x.json"));
        WriteBytes(path, c.Bytes);
        FManager->LoadSettings(path);
        EXPECT_EQ(FManager->LangTag(), c.LangTag);
        EXPECT_EQ(FManager->Lang2(), c.Lang2);
        EXPECT_EQ(FManager->KeyboardLayoutFile(), c.Layout);
    }
}

TEST_F(I18nManagerTest, SettingsFileErrors) {
    FManager->LoadSettings(Path("missing.json")); // a missing file is no error
    EXPECT_EQ(FManager->LangTag(), QStringLiteral("de-AT"));

    WriteBytes(Path("settings.json"), "[1, 2]");
    EXPECT_EQ(ErrorOf([&] { FManager->LoadSettings(Path("settings.json")); }),
              QStringLiteral("\"%1\" does not hold a JSON object.").arg(Path("settings.json")));

    WriteBytes(Path("blocker"), "a file where the folder should be");
    EXPECT_TRUE(
        ErrorOf([&] { FManager->SaveSettings(Path("blocker/settings.json")); })
            .startsWith(
                QStringLiteral("Cannot save the settings to \"%1\": ").arg(Path("blocker/settings.json"))));
}

TEST_F(I18nManagerTest, KeymapFollowsTheActiveLayout) {
    QStringList reloads;
    FManager->SetOnReloadKeymap([&](const QString& path) { reloads << path; });
    QDir().mkpath(Path("bin"));
    WriteBytes(Path("bin/keyboard_layout_en_gb_windows.json"), "{}");
    WriteBytes(Path("bin/keyboard_layout_en_us_windows.json"), "{}");

    WriteBytes(Path("settings.json"), "{\"keyboard\":{\"layout\":\"keyboard_layout_de_windows.json\"}}");
    FManager->LoadSettings(Path("settings.json"));
    EXPECT_EQ(FManager->KeyboardLayoutFile(), QStringLiteral("keyboard_layout_de_windows.json"));
    FManager->ApplyKeymap();
    EXPECT_EQ(FManager->KeyboardLayoutFile(), QStringLiteral("keyboard_layout_en_gb_windows.json"));
    EXPECT_EQ(reloads, QStringList{Path("bin/keyboard_layout_en_gb_windows.json")});

    // A layout without file falls back to US English.
    FPlatform.KeyboardLocale = QStringLiteral("fr-FR");
    FManager->ApplyKeymap();
    EXPECT_EQ(reloads.last(), Path("bin/keyboard_layout_en_us_windows.json"));
}

TEST_F(I18nManagerTest, KeymapWithoutAnyFileKeepsTheTable) {
    int calls = 0;
    FManager->SetOnReloadKeymap([&](const QString&) { ++calls; });
    FPlatform.Exists = [](const QString&) { return false; };
    FManager->ApplyKeymap();
    EXPECT_EQ(calls, 0);

    // Without callback no file is looked for.
    TI18nManager silent(FPlatform);
    FPlatform.Exists = nullptr;
    silent.ApplyKeymap();
}

TEST_F(I18nManagerTest, DataFolderOrder) {
    const QStringList folders = DataFolders(FPlatform);
    ASSERT_EQ(folders.size(), 3);
    EXPECT_EQ(folders[0], Path("bin"));
    EXPECT_EQ(folders[1], Path("share/zelmor-mx"));
    EXPECT_EQ(folders[2], QStringLiteral(ZELMOR_BINARY_DIR "/data"));

    std::set<QString> existing{Path("share/zelmor-mx/a.json"),
                               QStringLiteral(ZELMOR_BINARY_DIR "/data/a.json"), Path("abs.json")};
    FPlatform.Exists = [&](const QString& path) { return existing.count(path) > 0; };
    EXPECT_EQ(FindDataFile(QStringLiteral("a.json"), FPlatform), Path("share/zelmor-mx/a.json"));
    EXPECT_EQ(FindDataFile(Path("abs.json"), FPlatform), Path("abs.json"));
    EXPECT_EQ(FindDataFile(QStringLiteral("b.json"), FPlatform), QString());
}

TEST_F(I18nManagerTest, ApplyAllInOrder) {
    QStringList calls;
    FManager->SetOnApplyUI([&](const QString& lang2) { calls << "ui " + lang2; });
    FManager->SetOnReloadKeymap(
        [&](const QString& path) { calls << "keymap " + QFileInfo(path).fileName(); });
    FManager->SetOnCategoriesChanged([&] { calls << "categories"; });
    AllowFilesEverywhere();
    FManager->SetConsumerKeysFile(FixturePath("consumer_keys.json"));
    FPlatform.Program = QStringLiteral(ZELMOR_SOURCE_DIR "/data");
    FManager->SetLanguage(QStringLiteral("en"));
    FManager->ApplyAll();
    EXPECT_EQ(calls, (QStringList{"ui en", "keymap keyboard_layout_en_gb_windows.json", "categories"}));
}

TEST_F(I18nManagerTest, ConsumerCatalogue) {
    AllowFilesEverywhere();
    FManager->SetConsumerKeysFile(FixturePath("consumer_keys.json"));
    FManager->ApplyConsumerLabels(); // German display language
    const auto& categories = FManager->Categories();
    ASSERT_EQ(categories.size(), 3u);
    EXPECT_EQ(categories[0].CategoryID, QStringLiteral("media"));
    EXPECT_EQ(categories[0].LabelText, QStringLiteral("Medien"));
    EXPECT_EQ(categories[0].Description, QStringLiteral("Wiedergabe steuern"));
    ASSERT_EQ(categories[0].Keys.size(), 3u);
    EXPECT_EQ(categories[0].Keys[0].LabelText, QStringLiteral("Wiedergabe/Pause"));
    EXPECT_EQ(categories[0].Keys[0].UsageCode, 205);
    EXPECT_EQ(categories[0].Keys[1].LabelText, QStringLiteral("12:233"));  // no labels
    EXPECT_EQ(categories[0].Keys[2].UsagePage, 255);                       // 300 clamped
    EXPECT_EQ(categories[0].Keys[2].UsageCode, 0);                         // -5 clamped
    EXPECT_EQ(categories[0].Keys[2].LabelText, QStringLiteral("Bizarre")); // only member
    EXPECT_EQ(categories[1].LabelText, QStringLiteral("Système"));         // neither de nor en: first member
    EXPECT_EQ(categories[1].Description, QString());
    EXPECT_EQ(categories[1].Keys[0].LabelText, QStringLiteral("Sleep")); // empty German: English
    EXPECT_EQ(categories[2].CategoryID, QString());
    EXPECT_EQ(categories[2].LabelText, QString());

    FManager->SetLanguage(QStringLiteral("en-GB"));
    FManager->ApplyConsumerLabels();
    EXPECT_EQ(FManager->Categories()[0].LabelText, QStringLiteral("Media"));
}

TEST_F(I18nManagerTest, ConsumerCatalogueErrorsKeepTheOldOne) {
    AllowFilesEverywhere();
    FManager->SetConsumerKeysFile(FixturePath("consumer_keys.json"));
    FManager->ApplyConsumerLabels();
    int changes = 0;
    FManager->SetOnCategoriesChanged([&] { ++changes; });
    const QString path = Path("consumer_keys.json");
    FManager->SetConsumerKeysFile(path);
    struct Case {
        QByteArray Bytes;
        QString Error;
    };
    const Case cases[] = {
        {R"({"consumer_keys": [{"category_id": "a", "keys": []}, 5]})", "Element 1 is not a JSON object."},
        {R"({"consumer_keys": [{"category_id": "media"}]})", "Category \"media\" does not contain any keys."},
        {R"({"consumer_keys": [{"category_id": "vol", "keys": {}}]})",
         "Category \"vol\" does not contain any keys."},
        {R"({"consumer_keys": [{"category_id": "vol", "keys": [{}, {}, []]}]})",
         "Key 2 in category \"vol\" is not a JSON object."},
        {R"([])", QStringLiteral("\"%1\" does not hold a JSON object.").arg(path)},
        {R"({"consumer_keys": [)", "(no error)"},
        {R"({"consumer_keys": {}})", "(no error)"},
        {R"({"other": []})", "(no error)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Bytes.toStdString());
        WriteBytes(path, c.Bytes);
        EXPECT_EQ(ErrorOf([&] { FManager->ApplyConsumerLabels(); }), c.Error);
        EXPECT_EQ(FManager->Categories().size(), 3u);
    }
    QFile::remove(path);
    FManager->ApplyConsumerLabels(); // missing: nothing changes
    EXPECT_EQ(FManager->Categories().size(), 3u);
    EXPECT_EQ(changes, 0);
}

TEST(PickLocalizedText, Table) {
    const auto labels = TJson::parse(R"({"fr": "Bonjour", "en": "Hello", "de": "", "it": 5})");
    const auto numberFirst = TJson::parse(R"({"x": 42, "y": "text"})");
    EXPECT_EQ(PickLocalizedText(&labels, u"en-US", u"en"), QStringLiteral("Hello"));
    EXPECT_EQ(PickLocalizedText(&labels, u"FR", u"en"), QStringLiteral("Bonjour"));
    EXPECT_EQ(PickLocalizedText(&labels, u"de", u"en"), QStringLiteral("Hello")); // empty German
    EXPECT_EQ(PickLocalizedText(&labels, u"de"), QStringLiteral("Bonjour"));      // no fallback: first member
    EXPECT_EQ(PickLocalizedText(&labels, u"it", u"xx"), QStringLiteral("Bonjour")); // 5 is no string
    EXPECT_EQ(PickLocalizedText(&numberFirst, u"de", u"en"), QStringLiteral("42"));
    const auto empty = TJson::object(), text = TJson("plain");
    EXPECT_EQ(PickLocalizedText(&empty, u"de", u"en"), QString());
    EXPECT_EQ(PickLocalizedText(&text, u"de", u"en"), QString());
    EXPECT_EQ(PickLocalizedText(nullptr, u"de", u"en"), QString());
}

TEST_F(I18nManagerTest, SecondKeyMapStrictForm) {
    WriteBytes(Path("map.json"), R"({"mapping": [
        {"vk": 65, "hid": 4, "label": "A", "modifier": 0},
        {"vk": 160, "hid": 225, "label": "LShift", "modifier": 2},
        {"vk": 1, "hid": 300, "label": "too big", "modifier": 1},
        {"vk": 70000, "hid": 9, "label": "F"},
        {"vk": 65, "hid": 5, "label": 7},
        "not a row"]})");
    FManager->LoadKeyMapsFromJSON(Path("map.json"));
    std::uint8_t hid = 0;
    ASSERT_TRUE(FManager->TryMapVKToHID(65, hid));
    EXPECT_EQ(hid, 5); // a later row wins
    EXPECT_FALSE(FManager->TryMapVKToHID(1, hid));
    EXPECT_FALSE(FManager->TryMapVKToHID(70000 & 0xFFFF, hid));
    EXPECT_EQ(FManager->LabelForHID(4), QStringLiteral("A"));
    EXPECT_EQ(FManager->LabelForHID(9), QStringLiteral("F"));
    EXPECT_EQ(FManager->LabelForHID(5), QString());
    EXPECT_EQ(FManager->LabelForHID(255), QString()); // hid 300 added nothing
    EXPECT_EQ(FManager->ModifierMaskForHID(225), 2);
    EXPECT_EQ(FManager->KeyMap().ModifierHIDBits().size(), 2u);

    WriteBytes(Path("map.json"), "not json");
    FManager->LoadKeyMapsFromJSON(Path("map.json"));
    EXPECT_TRUE(FManager->KeyMap().VKToHIDMap().empty());
}

TEST_F(I18nManagerTest, SecondKeyMapClampingForm) {
    WriteBytes(Path("map.json"), R"([
        {"vk": 1, "hid": 300},
        {"vk": -4, "hid": 10, "labels": {"de": "Zehn", "en": "Ten"}, "modifier_bit": 999},
        {"vk": 2, "labels": {"en": "no hid"}},
        {"vk": 3, "hid": 11, "labels": {"fr": "Onze"}}])");
    FManager->SetLanguage(QStringLiteral("en"));
    FManager->LoadVKToHIDAndLabelsFromJSON(Path("map.json"));
    std::uint8_t hid = 0;
    ASSERT_TRUE(FManager->TryMapVKToHID(1, hid));
    EXPECT_EQ(hid, 255);
    EXPECT_EQ(FManager->LabelForHID(255), QStringLiteral("HID 0xFF"));
    ASSERT_TRUE(FManager->TryMapVKToHID(0, hid));
    EXPECT_EQ(hid, 10);
    EXPECT_EQ(FManager->LabelForHID(10), QStringLiteral("Ten"));
    EXPECT_EQ(FManager->ModifierMaskForHID(10), 255);
    EXPECT_FALSE(FManager->TryMapVKToHID(2, hid));
    EXPECT_EQ(FManager->LabelForHID(11), QStringLiteral("Onze"));

    // "key_mapping" is preferred to "mapping"; an object with neither gives empty maps.
    WriteBytes(Path("map.json"),
               R"({"key_mapping": [{"vk": 5, "hid": 6}], "mapping": [{"vk": 7, "hid": 8}]})");
    FManager->LoadVKToHIDAndLabelsFromJSON(Path("map.json"));
    EXPECT_EQ(FManager->KeyMap().VKToHIDMap(), (std::map<std::uint16_t, std::uint8_t>{{5, 6}}));
    EXPECT_EQ(FManager->LabelForHID(6), QStringLiteral("HID 0x06"));
    WriteBytes(Path("map.json"), R"({"mapping": [{"vk": 7, "hid": 8}]})");
    FManager->LoadVKToHIDAndLabelsFromJSON(Path("map.json"));
    EXPECT_EQ(FManager->KeyMap().VKToHIDMap(), (std::map<std::uint16_t, std::uint8_t>{{7, 8}}));
    FManager->LoadVKToHIDAndLabelsFromJSON(Path("missing.json"));
    EXPECT_TRUE(FManager->KeyMap().VKToHIDMap().empty());
}
