// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared scaffolding for tests that run whole exports through the fake image tool.

#include "ScriptedChooser.h"
#include "model/ExportModel.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>

namespace ExportTestKit {

inline void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A scratch area for one test: its own temporary directory for staging, a source area, a destination
// and a script for the fake tool.
class Workspace {
public:
    Workspace()
    {
        QDir root(m_root.path());
        root.mkpath(QStringLiteral("tmp"));
        root.mkpath(QStringLiteral("sources"));
        root.mkpath(QStringLiteral("destination"));
        qputenv("TMPDIR", QFile::encodeName(tempPath()));
    }
    ~Workspace() { qunsetenv("TMPDIR"); }

    [[nodiscard]] QString path(const QString& relative) const { return m_root.filePath(relative); }
    [[nodiscard]] QString tempPath() const { return m_root.filePath(QStringLiteral("tmp")); }
    [[nodiscard]] QString sourcePath(const QString& name) const { return path(QStringLiteral("sources/") + name); }
    [[nodiscard]] QString destinationPath() const { return path(QStringLiteral("destination")); }

    // Job folders still in the temporary directory.
    [[nodiscard]] QStringList leftovers() const
    {
        return QDir(tempPath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    // Makes the fake tool follow `lines` in every export started from now on.
    void setToolScript(const QStringList& lines, const QString& name = QStringLiteral("script"))
    {
        const QString scriptPath = path(name);
        writeFile(scriptPath, lines.join(QLatin1Char('\n')).toUtf8() + '\n');
        qputenv("VELBROOK_FAKE_TOOL_SCRIPT", QFile::encodeName(scriptPath));
    }

    void touch(const QString& relative) { writeFile(path(relative), {}); }

private:
    QTemporaryDir m_root;
};

// A model wired to a scripted chooser, by default running the fake tool.
struct TestModel {
    std::shared_ptr<ScriptedChooser> chooser = std::make_shared<ScriptedChooser>();
    std::shared_ptr<ExportModel> model;

    explicit TestModel(const QString& toolPath = QStringLiteral(FAKE_TOOL_PATH))
        : model(ExportModel::create(toolPath, chooser))
    { }

    void choose(const QString& source, const QString& destination)
    {
        chooser->sourceAnswer = { true, QUrl::fromLocalFile(source) };
        model->selectSource();
        chooser->destinationAnswer = { true, QUrl::fromLocalFile(destination) };
        model->selectDestination();
    }
};

} // namespace ExportTestKit
