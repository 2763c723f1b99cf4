// SPDX-License-Identifier: MIT
#include "DataFiles.h"

#include "I18nPlatform.h"

#include <QDir>

namespace zelmor {

QStringList DataFolders(const TI18nPlatform& platform) {
    QStringList folders;
    if (const QString program = platform.ProgramFolder(); !program.isEmpty()) {
        folders << program;
        folders << QDir::cleanPath(program + QStringLiteral("/../share/zelmor-mx"));
    }
    folders << QStringLiteral(ZELMOR_BUILD_DATA_DIR);
    return folders;
}

QString FindDataFile(const QString& name, const TI18nPlatform& platform) {
    if (name.isEmpty())
        return {};
    if (QDir::isAbsolutePath(name))
        return platform.FileExists(name) ? name : QString();
    for (const QString& folder : DataFolders(platform)) {
        const QString path = folder + QLatin1Char('/') + name;
        if (platform.FileExists(path))
            return path;
    }
    return {};
}

} // namespace zelmor
