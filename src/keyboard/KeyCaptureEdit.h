// SPDX-License-Identifier: MIT
#pragma once

#include "KeyMappingList.h"
#include "KeyText.h"
#include "model/Profile.h"

#include <QLineEdit>

#include <memory>

namespace zelmor {

// A read-only line edit that captures one key press with its modifiers as a HID key chord and
// shows it as text. Tab is captured too instead of moving the focus, and application shortcuts do
// not fire while the control has the focus.
class TKeyCaptureEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TKeyCaptureEdit(QWidget* parent = nullptr);

    const THIDKeyConfig& KeyCombo() const { return FKeyCombo; }
    const QString& DisplayLang() const { return FLang; }

    // Captures a key press: a virtual key through the table (its low byte without table), else a
    // character through the table; shows the chord. Neither: nothing happens.
    void KeyDown(int key, QStringView keyChar, TShiftState shift);
    // Captures a virtual key the window passes on (Tab, Alt+F4), shows its name and reports the chord.
    void HandleVirtualKeyDown(int key, TShiftState shift);
    void SetKeyCombo(const THIDKeyConfig& value);
    void ClearKeyCombo();
    // The shared table of the current layout; the control keeps it alive while it holds it.
    void SetKeyMappingList(std::shared_ptr<const TKeyMappingList> mapping);
    void SetDisplayLang(const QString& lang);
    void UpdateDisplay();

Q_SIGNALS:
    void OnKeyComboChanged(zelmor::TKeyCaptureEdit* sender, const zelmor::THIDKeyConfig& newKeyCombo);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    THIDKeyConfig ChordFor(int hid, TShiftState shift) const;
    int HIDForVirtualKey(int key) const;

    THIDKeyConfig FKeyCombo{};
    QString FLang = QStringLiteral("de");
    std::shared_ptr<const TKeyMappingList> FKeyMappingList;
};

} // namespace zelmor
