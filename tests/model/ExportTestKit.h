// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared scaffolding for tests that run whole exports through the fake image tool.

#include "HeldStaging.h"
#include "ScriptedChooser.h"
#include "TestFiles.h"
#include "model/ExportModel.h"

#include <QDir>
#include <QDirIterator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <sys/stat.h>

namespace ExportTestKit {

using namespace TestFiles;
using namespace Qt::StringLiterals;

constexpr auto everyEntry = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

// A scratch area for one test: its own temporary and cache folders for staging, a source area, a destination
// and a script for the fake tool.
class Workspace {
public:
    Workspace()
    {
        for (const QString& folder : { u"tmp"_s, u"cache"_s, u"sources"_s, u"destination"_s })
            QDir().mkpath(path(folder));
        qputenv("TMPDIR", QFile::encodeName(path(u"tmp"_s)));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(path(u"cache"_s)));
    }
    ~Workspace() { qunsetenv("TMPDIR"), qunsetenv("XDG_CACHE_HOME"); }

    [[nodiscard]] QString path(const QString& relative) const { return m_root.filePath(relative); }
    [[nodiscard]] QString sourcePath(const QString& name) const { return path(u"sources/"_s + name); }
    [[nodiscard]] QString destinationPath() const { return path(u"destination"_s); }

    // Whatever staging left in the temporary and cache folders.
    [[nodiscard]] QStringList leftovers() const
    {
        QStringList found = QDir(path(u"tmp"_s)).entryList(everyEntry);
        QDirIterator cache(path(u"cache"_s), everyEntry, QDirIterator::Subdirectories);
        while (cache.hasNext())
            if (QFileInfo(cache.next()).fileName().startsWith(u"velbrook-"_s))
                found << cache.fileName();
        return found;
    }
    [[nodiscard]] QStringList destinationEntries() const { return QDir(destinationPath()).entryList(everyEntry); }

    // Makes the fake tool follow `lines` in every export started from now on.
    void setToolScript(const QStringList& lines)
    {
        const QString scriptPath = path(u"script"_s);
        writeFile(scriptPath, lines.join(QLatin1Char('\n')).toUtf8() + '\n');
        qputenv("VELBROOK_FAKE_TOOL_SCRIPT", QFile::encodeName(scriptPath));
    }

    void touch(const QString& relative) const { writeFile(path(relative), {}); }

private:
    QTemporaryDir m_root;
};

// A model wired to a scripted chooser, by default running the fake tool.
struct TestModel {
    std::shared_ptr<ScriptedChooser> chooser = std::make_shared<ScriptedChooser>();
    std::shared_ptr<ExportModel> model;

    explicit TestModel(
        const QString& toolPath = QStringLiteral(FAKE_TOOL_PATH), StagingStep staging = platformStaging())
        : model(ExportModel::create(toolPath, chooser, std::move(staging)))
    { }

    void choose(const QString& source, const QString& destination)
    {
        chooser->sourceAnswer = { true, QUrl::fromLocalFile(source) };
        model->selectSource();
        chooser->destinationAnswer = { true, QUrl::fromLocalFile(destination) };
        model->selectDestination();
    }
};

inline void waitUntilIdle(ExportModel& model)
{
    QTRY_VERIFY_WITH_TIMEOUT(!model.exportInProgress() && !model.stagingInProgress(), 15000);
}

// Bytes, mode and modification time: what an export must never change in the source.
inline QByteArray fingerprint(const QString& path)
{
    const struct stat status = statusOf(path);
    return readFile(path) + ' ' + QByteArray::number(status.st_mode) + ' '
        + QByteArray::number(qint64(status.st_mtim.tv_sec)) + '.' + QByteArray::number(qint64(status.st_mtim.tv_nsec));
}

// Whether the process whose id `pidFile` holds has ended.
inline bool processIsGone(const QString& pidFile)
{
    const pid_t pid = readFile(pidFile).toInt();
    return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH;
}

} // namespace ExportTestKit
