// SPDX-License-Identifier: MIT
#include "keyboard/KeyCaptureEdit.h"
#include "KeyboardTestFiles.h"
#include "keyboard/KeyCaptureCloseGuard.h"

#include <QAction>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace zelmor;

// Fontconfig keeps a cache for the life of the process; the leak checker of sanitizer builds is
// told so instead of reporting it.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace {

// A window with two capture controls on the German layout; the first one has the focus.
class KeyCaptureEditTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "keyboard_gui_tests";
        static char* argv[] = {name, nullptr};
        if (QApplication::instance() == nullptr)
            new QApplication(argc, argv);
    }

    void SetUp() override {
        auto german = std::make_shared<TKeyMappingList>();
        german->LoadFromJSON(ShippedDataPath(QStringLiteral("keyboard_layout_de_windows.json")));
        FGerman = german;
        auto* layout = new QVBoxLayout(&FWindow);
        FEdit = new TKeyCaptureEdit(&FWindow);
        FOther = new TKeyCaptureEdit(&FWindow);
        layout->addWidget(FEdit);
        layout->addWidget(FOther);
        FEdit->SetKeyMappingList(FGerman);
        FWindow.show();
        FWindow.activateWindow();
        FEdit->setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&FWindow));
        ASSERT_TRUE(FEdit->hasFocus());
    }

    void Type(Qt::Key key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::sendKeyEvent(QTest::Press, FEdit, key, text, modifiers);
        QTest::sendKeyEvent(QTest::Release, FEdit, key, text, modifiers);
    }

    std::shared_ptr<const TKeyMappingList> FGerman;
    QWidget FWindow;
    TKeyCaptureEdit* FEdit = nullptr;
    TKeyCaptureEdit* FOther = nullptr;
};

} // namespace

TEST_F(KeyCaptureEditTest, StartsEmptyReadOnlyAndGerman) {
    TKeyCaptureEdit edit;
    EXPECT_TRUE(edit.isReadOnly());
    EXPECT_EQ(edit.focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(edit.DisplayLang(), QStringLiteral("de"));
    EXPECT_EQ(edit.KeyCombo().Modifiers, 0);
    EXPECT_EQ(edit.KeyCombo().Keys[0], 0);
}

TEST_F(KeyCaptureEditTest, CapturesRealKeyEvents) {
    struct Case {
        const char* Name;
        Qt::Key Key;
        QString Text;
        Qt::KeyboardModifiers Modifiers;
        std::uint8_t ChordModifiers, ChordKey;
        QString Shown;
    };
    const Case cases[] = {
        {"letter with Ctrl and Shift", Qt::Key_A, "A", Qt::ControlModifier | Qt::ShiftModifier, 0x03, 0x04,
         "Shift+Ctrl+A"},
        {"German Z where US has Y", Qt::Key_Z, "z", Qt::NoModifier, 0, 0x1C, "Z"},
        {"digit", Qt::Key_7, "7", Qt::AltModifier, 0x04, 0x24, "Alt+7"},
        {"sharp s", Qt::Key_ssharp, "ß", Qt::NoModifier, 0, 0x2D, "ß"},
        {"shifted umlaut", Qt::Key_Adiaeresis, "Ä", Qt::ShiftModifier, 0x02, 0x34, "Shift+Ä"},
        {"number sign", Qt::Key_NumberSign, "#", Qt::ControlModifier, 0x01, 0x32, "Ctrl+#"},
        {"shifted digit arrives as its character", Qt::Key_Exclam, "!", Qt::ShiftModifier, 0x02, 0x1E,
         "Shift+1"},
        {"dead circumflex", Qt::Key_Dead_Circumflex, "", Qt::NoModifier, 0, 0x35, "^"},
        {"function key", Qt::Key_F5, "", Qt::NoModifier, 0, 0x3E, "F5"},
        {"AltGr character the table only knows with AltGr", Qt::Key_At, "@",
         Qt::ControlModifier | Qt::AltModifier, 0x05, 0, "Ctrl+Alt+"},
        {"unknown key with Alt", Qt::Key_Clear, "", Qt::AltModifier, 0x04, 0, "Alt+"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Type(c.Key, c.Text, c.Modifiers);
        EXPECT_EQ(FEdit->KeyCombo().Modifiers, c.ChordModifiers);
        EXPECT_EQ(FEdit->KeyCombo().Keys[0], c.ChordKey);
        EXPECT_EQ(FEdit->text(), c.Shown);
        EXPECT_TRUE(FEdit->hasFocus());
    }
}

TEST_F(KeyCaptureEditTest, KeyWithoutCodeOrCharacterChangesNothing) {
    QTest::keyClick(FEdit, Qt::Key_B);
    Type(Qt::Key_VolumeUp, "");
    EXPECT_EQ(FEdit->KeyCombo().Keys[0], 0x05);
    EXPECT_EQ(FEdit->text(), QStringLiteral("B"));
}

TEST_F(KeyCaptureEditTest, WithoutTableTheLowByteIsStored) {
    FOther->setFocus();
    QTest::keyClick(FOther, Qt::Key_A);
    EXPECT_EQ(FOther->KeyCombo().Keys[0], 65);
    EXPECT_EQ(FOther->text(), QStringLiteral("[HID 65]"));
    QTest::keyClick(FOther, Qt::Key_ssharp); // characters need a table
    EXPECT_EQ(FOther->KeyCombo().Keys[0], 0);
}

TEST_F(KeyCaptureEditTest, TabIsCapturedInsteadOfMovingTheFocus) {
    QSignalSpy changed(FEdit, &TKeyCaptureEdit::OnKeyComboChanged);
    QTest::keyClick(FEdit, Qt::Key_Tab);
    EXPECT_TRUE(FEdit->hasFocus());
    EXPECT_EQ(FEdit->text(), QStringLiteral("Tab"));
    EXPECT_EQ(FEdit->KeyCombo().Keys[0], 0x2B);
    QTest::keyClick(FEdit, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(FEdit->hasFocus());
    EXPECT_EQ(FEdit->text(), QStringLiteral("Shift + Tab"));
    EXPECT_EQ(FEdit->KeyCombo().Modifiers, 0x02);
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(1).at(0).value<TKeyCaptureEdit*>(), FEdit);
}

TEST_F(KeyCaptureEditTest, ClosingWhileCapturingCapturesAltF4) {
    TKeyCaptureCloseGuard guard;
    FWindow.installEventFilter(&guard);
    QSignalSpy changed(FEdit, &TKeyCaptureEdit::OnKeyComboChanged);
    EXPECT_FALSE(FWindow.close());
    EXPECT_TRUE(FWindow.isVisible());
    EXPECT_EQ(FEdit->text(), QStringLiteral("Alt + F4"));
    EXPECT_EQ(FEdit->KeyCombo().Modifiers, 0x04);
    EXPECT_EQ(FEdit->KeyCombo().Keys[0], 0x3D);
    EXPECT_EQ(changed.count(), 1);

    // With the focus elsewhere the window closes.
    auto* plain = new QLineEdit(&FWindow);
    FWindow.layout()->addWidget(plain);
    plain->show();
    plain->setFocus();
    EXPECT_TRUE(FWindow.close());
}

TEST_F(KeyCaptureEditTest, ShortcutsDoNotFireWhileCapturing) {
    QAction save(&FWindow);
    save.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    FWindow.addAction(&save);
    QSignalSpy triggered(&save, &QAction::triggered);
    QTest::keyClick(FEdit, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(triggered.count(), 0);
    EXPECT_EQ(FEdit->text(), QStringLiteral("Ctrl+S"));
    // The shortcut itself works elsewhere, so the check above means something.
    auto* plain = new QLineEdit(&FWindow);
    FWindow.layout()->addWidget(plain);
    plain->show();
    plain->setFocus();
    QTest::keyClick(plain, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(triggered.count(), 1);
}

TEST_F(KeyCaptureEditTest, ChordAndLanguageChanges) {
    QSignalSpy changed(FEdit, &TKeyCaptureEdit::OnKeyComboChanged);
    QSignalSpy textChanged(FEdit, &QLineEdit::textChanged);
    THIDKeyConfig ctrl{};
    ctrl.Modifiers = 0x02;
    ctrl.Keys[0] = 0xE0;
    FEdit->SetKeyCombo(ctrl);
    EXPECT_EQ(FEdit->text(), QStringLiteral("Shift+Strg links"));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(1).value<THIDKeyConfig>().Keys[0], 0xE0);

    FEdit->SetDisplayLang(QStringLiteral("en"));
    EXPECT_EQ(FEdit->text(), QStringLiteral("Shift+Left Ctrl"));
    const qsizetype textChanges = textChanged.count();
    FEdit->SetDisplayLang(QStringLiteral("en"));
    EXPECT_EQ(textChanged.count(), textChanges);

    QTest::keyClick(FEdit, Qt::Key_A); // a key press does not report the chord
    EXPECT_EQ(changed.count(), 1);

    FEdit->ClearKeyCombo();
    EXPECT_EQ(FEdit->text(), QString());
    EXPECT_EQ(changed.count(), 2);
    FEdit->HandleVirtualKeyDown(0, ssAlt); // no key: nothing
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(KeyCaptureEditTest, ReplacedTableStaysAliveWhileHeld) {
    QTest::keyClick(FEdit, Qt::Key_Z);
    std::weak_ptr<const TKeyMappingList> old = FGerman;
    FGerman.reset();
    EXPECT_FALSE(old.expired()); // the control still holds it
    FEdit->UpdateDisplay();
    EXPECT_EQ(FEdit->text(), QStringLiteral("Z"));

    auto us = std::make_shared<TKeyMappingList>();
    us->LoadFromJSON(ShippedDataPath(QStringLiteral("keyboard_layout_en_us_windows.json")));
    FEdit->SetKeyMappingList(us);
    EXPECT_TRUE(old.expired());
    EXPECT_EQ(FEdit->text(), QStringLiteral("Y")); // the same key on the US layout
    QTest::keyClick(FEdit, Qt::Key_Z);
    EXPECT_EQ(FEdit->KeyCombo().Keys[0], 0x1D);
}
