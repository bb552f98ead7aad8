// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Writing and reading the small files tests set up and inspect.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// In a namespace: Qt's types live in the global one, so a global helper would clash by argument lookup with
// any same-named helper elsewhere.
namespace TestFiles {

// Writes `bytes` to `path`, creating the folders on the way; false when any step fails. Callers that only set up
// may ignore it: what they wrote is read back by the checks that follow.
inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The whole content of `path`; empty when it cannot be read.
[[nodiscard]] inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The status of `path` itself, a link not followed; all zero when there is nothing there.
[[nodiscard]] inline struct stat statusOf(const QString& path)
{
    struct stat status { };
    ::lstat(QFile::encodeName(path).constData(), &status);
    return status;
}

// Leaves a socket at `path`, the kind of special file an export cannot stage.
inline bool makeSocket(const QString& path)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof(address.sun_path) - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool made = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return made;
}

} // namespace TestFiles
