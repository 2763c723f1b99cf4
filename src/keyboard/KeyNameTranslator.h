// SPDX-License-Identifier: MIT
#pragma once

#include <QTranslator>

namespace zelmor {

// The German names of keys and modifier words. Installed with QCoreApplication::installTranslator
// while the user interface is German.
class TKeyNameTranslator : public QTranslator {
    Q_OBJECT
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }
};

} // namespace zelmor
