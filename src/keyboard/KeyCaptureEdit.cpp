// SPDX-License-Identifier: MIT
#include "KeyCaptureEdit.h"

#include "KeyPressTranslation.h"

#include <QKeyEvent>

namespace zelmor {

TKeyCaptureEdit::TKeyCaptureEdit(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true);
    setFocusPolicy(Qt::StrongFocus);
}

int TKeyCaptureEdit::HIDForVirtualKey(int key) const {
    return FKeyMappingList ? FKeyMappingList->VKToHID(key) : (key & 0xFF);
}

THIDKeyConfig TKeyCaptureEdit::ChordFor(int hid, TShiftState shift) const {
    THIDKeyConfig chord{};
    // A row without a usable code counts as a key the table does not know.
    chord.Keys[0] = hid >= 0 && hid <= 0xFF ? static_cast<std::uint8_t>(hid) : 0;
    chord.Modifiers = ModifiersFromShiftState(shift);
    return chord;
}

void TKeyCaptureEdit::KeyDown(int key, QStringView keyChar, TShiftState shift) {
    int hid = 0;
    if (key != 0)
        hid = HIDForVirtualKey(key);
    else if (!keyChar.isEmpty())
        hid = FKeyMappingList ? FKeyMappingList->CharToHIDSmart(keyChar, shift & ssShift) : 0;
    else
        return;
    FKeyCombo = ChordFor(hid, shift);
    UpdateDisplay();
}

void TKeyCaptureEdit::HandleVirtualKeyDown(int key, TShiftState shift) {
    if (key == 0)
        return;
    FKeyCombo = ChordFor(HIDForVirtualKey(key), shift);
    setText(VirtualKeyComboName(key, shift));
    Q_EMIT OnKeyComboChanged(this, FKeyCombo);
}

void TKeyCaptureEdit::SetKeyCombo(const THIDKeyConfig& value) {
    FKeyCombo = value;
    UpdateDisplay();
    Q_EMIT OnKeyComboChanged(this, FKeyCombo);
}

void TKeyCaptureEdit::ClearKeyCombo() {
    SetKeyCombo(THIDKeyConfig{});
}

void TKeyCaptureEdit::SetKeyMappingList(std::shared_ptr<const TKeyMappingList> mapping) {
    FKeyMappingList = std::move(mapping);
    UpdateDisplay();
}

void TKeyCaptureEdit::SetDisplayLang(const QString& lang) {
    if (lang == FLang)
        return;
    FLang = lang;
    UpdateDisplay();
}

void TKeyCaptureEdit::UpdateDisplay() {
    setText(KeyComboToText(FKeyCombo, FKeyMappingList.get(), FLang));
}

bool TKeyCaptureEdit::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // Every chord pressed here is meant for the capture, not for a shortcut of the window.
        event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        if (keyEvent->key() == Qt::Key_Tab || keyEvent->key() == Qt::Key_Backtab) {
            HandleVirtualKeyDown(0x09, KeyPressFromEvent(*keyEvent).Shift);
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void TKeyCaptureEdit::keyPressEvent(QKeyEvent* event) {
    const TKeyPress press = KeyPressFromEvent(*event);
    KeyDown(press.VK, press.Char, press.Shift);
    event->accept();
}

} // namespace zelmor
