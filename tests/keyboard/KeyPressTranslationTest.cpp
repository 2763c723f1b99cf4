// SPDX-License-Identifier: MIT
#include "keyboard/KeyPressTranslation.h"

#include <QInputDevice>
#include <QKeyEvent>
#include <gtest/gtest.h>

using namespace zelmor;

TEST(KeyPressFromEvent, Table) {
    struct Case {
        int Key;
        Qt::KeyboardModifiers Modifiers;
        QString Text;
        int VK;
        QString Char;
        TShiftState Shift;
    };
    const Case cases[] = {
        {Qt::Key_A, Qt::NoModifier, "a", 0x41, "", 0},
        {Qt::Key_Z, Qt::ShiftModifier | Qt::ControlModifier, "\x1A", 0x5A, "", ssShift | ssCtrl},
        {Qt::Key_7, Qt::AltModifier, "7", 0x37, "", ssAlt},
        {Qt::Key_7, Qt::KeypadModifier, "7", 0x67, "", 0},
        {Qt::Key_Asterisk, Qt::KeypadModifier, "*", 0x6A, "", 0},
        {Qt::Key_Comma, Qt::KeypadModifier, ",", 0x6E, "", 0},
        {Qt::Key_Enter, Qt::KeypadModifier, "\r", 0x0D, "", 0},
        {Qt::Key_F1, Qt::NoModifier, "", 0x70, "", 0},
        {Qt::Key_F24, Qt::NoModifier, "", 0x87, "", 0},
        {Qt::Key_Home, Qt::NoModifier, "", 0x24, "", 0},
        {Qt::Key_Delete, Qt::NoModifier, "", 0x2E, "", 0},
        {Qt::Key_Backspace, Qt::NoModifier, "\b", 0x08, "", 0},
        {Qt::Key_Escape, Qt::NoModifier, "\x1B", 0x1B, "", 0},
        {Qt::Key_Space, Qt::NoModifier, " ", 0x20, "", 0},
        {Qt::Key_NumLock, Qt::NoModifier, "", 0x90, "", 0},
        // Qt reports a modifier key's own press as held (X11 delivers the state before the press).
        {Qt::Key_Shift, Qt::NoModifier, "", 0xA0, "", ssShift},
        {Qt::Key_Control, Qt::NoModifier, "", 0xA2, "", ssCtrl},
        {Qt::Key_Alt, Qt::NoModifier, "", 0xA4, "", ssAlt},
        {Qt::Key_AltGr, Qt::NoModifier, "", 0xA5, "", 0},
        {Qt::Key_Super_L, Qt::NoModifier, "", 0x5B, "", 0},
        {Qt::Key_Menu, Qt::NoModifier, "", 0x5D, "", 0},
        // Keys without a virtual-key code arrive as their character.
        {Qt::Key_ssharp, Qt::NoModifier, "ß", 0, "ß", 0},
        {Qt::Key_Exclam, Qt::ShiftModifier, "!", 0, "!", ssShift},
        {Qt::Key_Adiaeresis, Qt::ShiftModifier, "Ä", 0, "Ä", ssShift},
        {Qt::Key_NumberSign, Qt::NoModifier, "#", 0, "#", 0},
        {Qt::Key_Comma, Qt::NoModifier, ",", 0, ",", 0},
        // With Ctrl the text is a control code or nothing; the key code stands in.
        {Qt::Key_Adiaeresis, Qt::ControlModifier, "", 0, "ä", ssCtrl},
        {Qt::Key_BracketLeft, Qt::ControlModifier, "\x1B", 0, "[", ssCtrl},
        {Qt::Key_Dead_Circumflex, Qt::NoModifier, "", 0, "^", 0},
        {Qt::Key_Dead_Grave, Qt::ShiftModifier, "", 0, "`", ssShift},
        {Qt::Key_Dead_Acute, Qt::NoModifier, "", 0, "\u00B4", 0},
        {Qt::Key_unknown, Qt::NoModifier, "", 0, "", 0},
        {Qt::Key_VolumeUp, Qt::NoModifier, "", 0, "", 0},
    };
    // Without a GUI application Qt would make (and never free) a primary keyboard for the events.
    const QInputDevice keyboard(QStringLiteral("test keyboard"), 1, QInputDevice::DeviceType::Keyboard);
    for (const Case& c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.Key, c.Modifiers, 0, 0, 0, c.Text, false, 1, &keyboard);
        const TKeyPress press = KeyPressFromEvent(event);
        SCOPED_TRACE(QKeySequence(c.Key).toString().toStdString());
        EXPECT_EQ(press.VK, c.VK);
        EXPECT_EQ(press.Char, c.Char);
        EXPECT_EQ(press.Shift, c.Shift);
    }
}
