// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Scaffolding for the widget tests: a chooser that answers as told, a shell-script image tool, and a
// drop delivered the way a window delivers it.

#include "ScriptedChooser.h"
#include "views/Desktop.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QMimeData>
#include <QPalette>
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

// A desktop that only writes down what the window asked of it; an announcement as the line's object name and
// the text assistive technologies would read then.
class RecordingDesktop : public Desktop {
public:
    QStringList shownInFolder;
    QStringList notifications;
    QStringList announcements;

    void showInFolder(const QString& path) override { shownInFolder << path; }
    void notify(const QString& summary, const QString& body) override { notifications << summary + u'|' + body; }
    void announce(QWidget& line) override
    {
        announcements << line.objectName() + u'|'
                + QAccessible::queryAccessibleInterface(&line)->text(QAccessible::Name);
    }
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

// A dark palette as a desktop's dark theme gives one: every group set, disabled text dimmed.
inline QPalette darkPalette()
{
    QPalette dark;
    const auto set = [&dark](QPalette::ColorRole role, const QColor& active, const QColor& disabled) {
        dark.setColor(QPalette::Active, role, active);
        dark.setColor(QPalette::Inactive, role, active);
        dark.setColor(QPalette::Disabled, role, disabled);
    };
    set(QPalette::Window, QColor(45, 45, 45), QColor(45, 45, 45));
    set(QPalette::WindowText, QColor(235, 235, 235), QColor(120, 120, 120));
    set(QPalette::Base, QColor(30, 30, 30), QColor(45, 45, 45));
    set(QPalette::AlternateBase, QColor(40, 40, 40), QColor(45, 45, 45));
    set(QPalette::Text, QColor(235, 235, 235), QColor(110, 110, 110));
    set(QPalette::PlaceholderText, QColor(150, 150, 150), QColor(100, 100, 100));
    set(QPalette::Button, QColor(55, 55, 55), QColor(50, 50, 50));
    set(QPalette::ButtonText, QColor(235, 235, 235), QColor(120, 120, 120));
    set(QPalette::Highlight, QColor(53, 132, 228), QColor(70, 70, 70));
    set(QPalette::HighlightedText, Qt::white, QColor(150, 150, 150));
    set(QPalette::Link, QColor(120, 174, 237), QColor(100, 100, 100));
    set(QPalette::LinkVisited, QColor(160, 140, 230), QColor(100, 100, 100));
    set(QPalette::ToolTipBase, QColor(30, 30, 30), QColor(30, 30, 30));
    set(QPalette::ToolTipText, QColor(235, 235, 235), QColor(235, 235, 235));
    set(QPalette::Light, QColor(85, 85, 85), QColor(60, 60, 60));
    set(QPalette::Midlight, QColor(70, 70, 70), QColor(55, 55, 55));
    set(QPalette::Mid, QColor(40, 40, 40), QColor(40, 40, 40));
    set(QPalette::Dark, QColor(25, 25, 25), QColor(25, 25, 25));
    set(QPalette::Shadow, QColor(10, 10, 10), QColor(10, 10, 10));
    return dark;
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
