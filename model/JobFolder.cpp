// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/JobFolder.h"

#include "model/TreeRemoval.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr auto jobPrefix = "velbrook-job-";
// A folder is made under this name and renamed to the job name only once it is locked, so a sweep running
// at the same time never sees an unlocked job folder that is still alive.
constexpr auto newPrefix = "velbrook-new-";
// A folder still under its new name that is this old belongs to a run killed while it was making it.
constexpr time_t abandonedNewFolderSeconds = 60;

bool canNameFolder(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

// `what` has the path as %1.
QString errorText(const char* what, const QString& path, int error = errno)
{
    return QCoreApplication::translate("JobFolder", "%1: %2")
        .arg(QCoreApplication::translate("JobFolder", what).arg(path), QString::fromLocal8Bit(std::strerror(error)));
}

UniqueFd lockFolder(int parentFd, const char* name)
{
    UniqueFd fd(::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (fd.valid() && ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
        fd.reset();
    return fd;
}

} // namespace

QString temporaryDirectory()
{
    const QByteArray fromEnvironment = qgetenv("TMPDIR");
    if (fromEnvironment.startsWith('/')) {
        struct stat status { };
        if (::stat(fromEnvironment.constData(), &status) == 0 && S_ISDIR(status.st_mode))
            return QDir::cleanPath(QFile::decodeName(fromEnvironment));
    }
    return QStringLiteral("/tmp");
}

std::unique_ptr<JobFolder> JobFolder::create(const QString& parentDirectory, const QString& baseName, QString* error)
{
    const auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return nullptr;
    };
    if (!canNameFolder(baseName))
        return fail(QCoreApplication::translate("JobFolder", "\"%1\" cannot name a folder").arg(baseName));

    // mkdtemp makes the folder owner-only, so other users cannot read or plant files in the staged copy.
    QByteArray pattern = QFile::encodeName(parentDirectory) + '/' + newPrefix + "XXXXXX";
    if (!::mkdtemp(pattern.data()))
        return fail(errorText(QT_TRANSLATE_NOOP("JobFolder", "cannot create a folder in %1"), parentDirectory));
    const QByteArray newName = pattern.mid(pattern.lastIndexOf('/') + 1);
    const QByteArray jobName = jobPrefix + newName.mid(int(std::strlen(newPrefix)));
    const UniqueFd parent(::open(QFile::encodeName(parentDirectory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    UniqueFd lock = parent.valid() ? lockFolder(parent.get(), newName.constData()) : UniqueFd();
    if (!lock.valid()
        || ::renameat2(parent.get(), newName.constData(), parent.get(), jobName.constData(), RENAME_NOREPLACE) != 0) {
        const int saved = errno;
        removeTree(pattern.toStdString());
        return fail(errorText(QT_TRANSLATE_NOOP("JobFolder", "cannot create a folder in %1"), parentDirectory, saved));
    }

    const QString path = parentDirectory + QLatin1Char('/') + QFile::decodeName(jobName);
    const QString stagingPath = path + QLatin1Char('/') + baseName;
    std::unique_ptr<JobFolder> folder(new JobFolder(path, stagingPath, std::move(lock)));
    // 0777 under the umask: these become the image root's permissions, readable by everyone as on any disc.
    if (::mkdir(QFile::encodeName(stagingPath).constData(), 0777) != 0)
        return fail(errorText(
            QT_TRANSLATE_NOOP("JobFolder", "cannot create %1"), stagingPath)); // the destructor removes the job folder
    return folder;
}

JobFolder::JobFolder(QString path, QString stagingPath, UniqueFd lock)
    : m_path(std::move(path))
    , m_stagingPath(std::move(stagingPath))
    , m_lock(std::move(lock))
{ }

JobFolder::~JobFolder()
{
    remove();
}

void JobFolder::remove()
{
    if (!m_lock.valid())
        return;
    // Removed while still locked, so no sweep can start on it halfway.
    removeTree(QFile::encodeName(m_path).toStdString());
    m_lock.reset();
}

int removeStaleJobFolders(const QString& directory)
{
    const QByteArray encoded = QFile::encodeName(directory);
    const UniqueFd parent(::open(encoded.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR* dir = parent.valid() ? ::fdopendir(::dup(parent.get())) : nullptr;
    if (!dir)
        return 0;
    std::vector<std::string> candidates;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.starts_with(jobPrefix) || name.starts_with(newPrefix))
            candidates.push_back(name);
    }
    ::closedir(dir);

    int removed = 0;
    const time_t now = std::time(nullptr);
    for (const auto& name : candidates) {
        struct stat status { };
        if (::fstatat(parent.get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(status.st_mode)
            || status.st_uid != ::getuid())
            continue;
        if (name.starts_with(newPrefix) && now - status.st_mtime < abandonedNewFolderSeconds)
            continue;
        const UniqueFd lock = lockFolder(parent.get(), name.c_str());
        if (!lock.valid())
            continue; // a live job
        if (removeTree(encoded.toStdString() + '/' + name))
            ++removed;
    }
    return removed;
}
