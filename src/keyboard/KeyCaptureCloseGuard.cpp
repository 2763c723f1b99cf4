// SPDX-License-Identifier: MIT
#include "KeyCaptureCloseGuard.h"

#include "KeyCaptureEdit.h"

#include <QEvent>
#include <QWidget>

namespace zelmor {

bool TKeyCaptureCloseGuard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Close)
        return QObject::eventFilter(watched, event);
    auto* window = qobject_cast<QWidget*>(watched);
    auto* capture = window != nullptr ? qobject_cast<TKeyCaptureEdit*>(window->focusWidget()) : nullptr;
    if (capture == nullptr)
        return QObject::eventFilter(watched, event);
    capture->HandleVirtualKeyDown(115, ssAlt);
    event->ignore();
    return true;
}

} // namespace zelmor
