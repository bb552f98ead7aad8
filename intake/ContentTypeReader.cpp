// SPDX-License-Identifier: GPL-3.0-or-later
#include "intake/ContentTypeReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStringList>

#include <sys/stat.h>

namespace {

QString nonFileTypeName(mode_t mode)
{
    if (S_ISCHR(mode))
        return QStringLiteral("inode/chardevice");
    if (S_ISBLK(mode))
        return QStringLiteral("inode/blockdevice");
    if (S_ISFIFO(mode))
        return QStringLiteral("inode/fifo");
    if (S_ISSOCK(mode))
        return QStringLiteral("inode/socket");
    return QStringLiteral("application/octet-stream");
}

QMimeType packageType(const QMimeDatabase& database, const QString& path)
{
    // By name only: a package's content is a folder tree, which the database cannot sniff.
    const auto byName = database.mimeTypesForFileName(path);
    return byName.isEmpty() ? database.mimeTypeForName(QStringLiteral("application/octet-stream")) : byName.first();
}

QMimeType regularFileType(const QMimeDatabase& database, const QString& path)
{
    QFile file(path);
    // When the file cannot be opened its name decides alone. The database peeks at the content only when the name
    // is unknown or ambiguous, so an empty "photo.png" is still a PNG picture.
    (void)file.open(QIODevice::ReadOnly);
    return database.mimeTypeForFileNameAndData(path, &file);
}

} // namespace

bool hasPackageExtension(const QString& fileName)
{
    static const QStringList extensions { QStringLiteral("app"), QStringLiteral("bundle"), QStringLiteral("framework"),
        QStringLiteral("plugin"), QStringLiteral("kext") };
    const auto dot = fileName.lastIndexOf(u'.');
    return dot > 0 && extensions.contains(fileName.mid(dot + 1), Qt::CaseInsensitive);
}

std::optional<QMimeType> contentTypeOf(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    // A folder chosen as "…/Foo.app/" is still named Foo.app.
    const auto cleanPath = QDir::cleanPath(path);
    struct stat status { };
    // stat, not lstat: a link shows the kind of what it leads to, judged by the link's own name first, as file
    // managers do; a dangling link leads nowhere and has no kind.
    if (::stat(QFile::encodeName(cleanPath).constData(), &status) != 0)
        return std::nullopt;

    const QMimeDatabase database;
    QMimeType type;
    if (S_ISDIR(status.st_mode))
        type = hasPackageExtension(QFileInfo(cleanPath).fileName())
            ? packageType(database, cleanPath)
            : database.mimeTypeForName(QStringLiteral("inode/directory"));
    else if (S_ISREG(status.st_mode))
        type = regularFileType(database, cleanPath);
    else
        type = database.mimeTypeForName(nonFileTypeName(status.st_mode));
    if (!type.isValid())
        return std::nullopt;
    return type;
}
