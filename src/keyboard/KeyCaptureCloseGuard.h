// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

namespace zelmor {

// Installed on a window: a request to close the window while a key capture control has the focus
// is refused and captured as Alt+F4 instead, the chord that usually asks for it.
class TKeyCaptureCloseGuard : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace zelmor
