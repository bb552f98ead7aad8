// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Scaffolding for the widget tests: a chooser that answers as told, a shell-script image tool, and a
// drop delivered the way a window delivers it.

#include "ScriptedChooser.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QMimeData>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <functional>

namespace ViewTestKit {

inline bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// A folder with a source file, a destination folder and an image tool written as a shell script.
// The model calls the tool as `tool makehybrid -o <image> <staged folder> -iso -joliet`, so "$3" is the image.
class ScriptWorkspace {
public:
    ScriptWorkspace()
    {
        QDir(m_root.path()).mkpath(QStringLiteral("destination"));
        writeFile(sourcePath(), "content\n");
    }

    [[nodiscard]] QString path(const QString& relative) const { return m_root.filePath(relative); }
    [[nodiscard]] QString sourcePath() const { return path(QStringLiteral("source.txt")); }
    [[nodiscard]] QString destinationPath() const { return path(QStringLiteral("destination")); }
    [[nodiscard]] QString imagePath() const { return path(QStringLiteral("destination/source.iso")); }
    [[nodiscard]] QString toolPath() const { return path(QStringLiteral("tool")); }
    [[nodiscard]] QUrl sourceUrl() const { return QUrl::fromLocalFile(sourcePath()); }
    [[nodiscard]] QUrl destinationUrl() const { return QUrl::fromLocalFile(destinationPath()); }

    // The tool logs each run, waits for the "go" file when `waitForGo`, prints `lines` lines one at a time,
    // makes an image of `imageSize` bytes, and exits with `exitCode`.
    void writeTool(int lines, qint64 imageSize, int exitCode, bool waitForGo = false)
    {
        const QString script
            = QStringLiteral("#!/bin/sh\n"
                             "echo run >> '%1'\n"
                             "%2"
                             "i=0\n"
                             "while [ $i -lt %3 ]; do echo step; sleep 0.05; i=$((i+1)); done\n"
                             "truncate -s %4 \"$3\"\n"
                             "exit %5\n")
                  .arg(path(QStringLiteral("runs")),
                      waitForGo
                          ? QStringLiteral("while [ ! -e '%1' ]; do sleep 0.02; done\n").arg(path(QStringLiteral("go")))
                          : QString())
                  .arg(lines)
                  .arg(imageSize)
                  .arg(exitCode);
        QVERIFY(writeFile(toolPath(), script.toUtf8()));
        QVERIFY(QFile::setPermissions(toolPath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }

    void letToolGo() { QVERIFY(writeFile(path(QStringLiteral("go")), {})); }

    [[nodiscard]] int toolRuns() const
    {
        QFile log(path(QStringLiteral("runs")));
        return log.open(QIODevice::ReadOnly) ? int(log.readAll().count('\n')) : 0;
    }

private:
    QTemporaryDir m_root;
};

// Delivers a drag and drop of `urls` at `position` in `window` as Qt's window does: to the widget under the
// point, or the nearest parent of it that takes drops. Returns whether the drop was accepted.
inline bool dropUrls(QWidget& window, const QPoint& position, const QList<QUrl>& urls)
{
    QWidget* target = window.childAt(position);
    if (!target)
        target = &window;
    while (target && !target->acceptDrops() && !target->isWindow())
        target = target->parentWidget();
    if (!target || !target->acceptDrops())
        return false;

    QMimeData mimeData;
    mimeData.setUrls(urls);
    const QPoint local = target->mapFrom(&window, position);
    QDragEnterEvent enter(local, Qt::CopyAction, &mimeData, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(local), Qt::CopyAction, &mimeData, Qt::LeftButton, Qt::NoModifier);
    drop.setAccepted(false);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

// The centre of `widget` in its window's coordinates.
inline QPoint centreInWindow(const QWidget& widget)
{
    return widget.mapTo(widget.window(), widget.rect().center());
}

// Runs `drive` on the file dialog the chooser is about to open, from inside the dialog's own event loop.
// A failed step rejects the dialog, so a broken test ends instead of waiting on a modal dialog forever.
inline void whenDialogOpens(const std::function<void(QFileDialog&)>& drive)
{
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, drive] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        const auto closeOnFailure = qScopeGuard([dialog] {
            if (dialog->isVisible())
                dialog->reject();
        });
        drive(*dialog);
    });
    poll->start();
}

} // namespace ViewTestKit
