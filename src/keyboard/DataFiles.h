// SPDX-License-Identifier: MIT
// Where the keyboard layouts and the consumer-key catalogue are found (docs/keyboard-data.md).
#pragma once

#include <QString>
#include <QStringList>

namespace zelmor {

class TI18nPlatform;

// The program's folder, the shared data folder of an installation (../share/zelmor-mx beside the
// program's folder) and the data folder of the build tree, in this order.
QStringList DataFolders(const TI18nPlatform& platform);

// The first existing file of that name in the data folders; an absolute name is taken as it is.
// Empty when there is none.
QString FindDataFile(const QString& name, const TI18nPlatform& platform);

} // namespace zelmor
