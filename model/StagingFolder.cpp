// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/StagingFolder.h"

#include "model/TreeRemoval.h"

#include <QDir>
#include <cstdlib>
#include <sys/stat.h>

namespace {
bool canNameFolder(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}
} // namespace

std::unique_ptr<StagingFolder> StagingFolder::create(const QString& temporaryDirectory, const QString& baseName)
{
    if (!canNameFolder(baseName))
        return nullptr;
    // mkdtemp makes the folder owner-only, so other users cannot read or plant files in the staged copy.
    QByteArray pattern = QFile::encodeName(QDir(temporaryDirectory).filePath(QStringLiteral("velbrook-XXXXXX")));
    if (!::mkdtemp(pattern.data()))
        return nullptr;
    const QString jobFolder = QFile::decodeName(pattern);
    const QString path = jobFolder + QLatin1Char('/') + baseName;
    std::unique_ptr<StagingFolder> folder(new StagingFolder(jobFolder, path));
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0)
        return nullptr; // the destructor removes the job folder
    return folder;
}

StagingFolder::StagingFolder(QString jobFolder, QString path)
    : m_jobFolder(std::move(jobFolder))
    , m_path(std::move(path))
{ }

StagingFolder::~StagingFolder()
{
    remove();
}

void StagingFolder::remove()
{
    if (m_removed)
        return;
    m_removed = true;
    removeTree(QFile::encodeName(m_jobFolder).toStdString());
}
