// SPDX-License-Identifier: MIT
#include "AtomicFile.h"

#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <unistd.h>

namespace zelmor {

namespace {

bool SyncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace

bool WriteFileAtomically(const QString& path, const std::string& bytes, std::string& error) {
    QSaveFile file(path);
    auto fail = [&](const QString& reason) {
        error = (path + QStringLiteral(": ") + reason).toStdString();
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) ||
        !file.flush())
        return fail(file.errorString());
    if (::fsync(file.handle()) != 0)
        return fail(QStringLiteral("the data could not be flushed to disk"));
    if (!file.commit())
        return fail(file.errorString());
    SyncFolder(QFileInfo(path).absolutePath()); // the rename is durable once the folder is flushed
    return true;
}

} // namespace zelmor
