// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Scaffolding for the widget tests: a workspace for the fake image tool, named controls, drops and file dialogs.

#include "ScriptedChooser.h"
#include "TestFiles.h"

#include <QtTest>
#include <QtWidgets>
#include <functional>

namespace ViewTestKit {

constexpr int exportTimeout = 15000;

// A source file, a destination folder, and the script the fake image tool follows (its commands are listed in
// tests/model/fake_image_tool.cpp). "record RUNS" in a script counts the tool's runs; "wait-for GO" holds it.
class Workspace {
public:
    Workspace()
    {
        TestFiles::writeFile(path(QStringLiteral("destination/.keep")), {});
        TestFiles::writeFile(sourcePath(), "content\n");
        chooser->sourceAnswer = { true, sourceUrl() };
        chooser->destinationAnswer = { true, destinationUrl() };
    }
    [[nodiscard]] QString path(const QString& relative) const { return m_root.filePath(relative); }
    [[nodiscard]] QString sourcePath() const { return path(QStringLiteral("source.txt")); }
    [[nodiscard]] QString destinationPath() const { return path(QStringLiteral("destination")); }
    [[nodiscard]] QString imagePath() const { return path(QStringLiteral("destination/source.iso")); }
    [[nodiscard]] QUrl sourceUrl() const { return QUrl::fromLocalFile(sourcePath()); }
    [[nodiscard]] QUrl destinationUrl() const { return QUrl::fromLocalFile(destinationPath()); }

    void script(QByteArray commands)
    {
        commands.replace("RUNS", path(QStringLiteral("runs")).toUtf8())
            .replace("GO", path(QStringLiteral("go")).toUtf8());
        TestFiles::writeFile(path(QStringLiteral("script")), commands);
        qputenv("VELBROOK_FAKE_TOOL_SCRIPT", path(QStringLiteral("script")).toLocal8Bit());
    }
    void letToolGo() const { TestFiles::writeFile(path(QStringLiteral("go")), {}); }
    [[nodiscard]] int toolRuns() const { return int(TestFiles::readFile(path(QStringLiteral("runs"))).count("argc ")); }

    // Answers the model's dialogs with the source and the destination.
    std::shared_ptr<ScriptedChooser> chooser = std::make_shared<ScriptedChooser>();

private:
    QTemporaryDir m_root;
};

// The child of `root` with that object name; a misspelt name crashes the test at once.
template <typename Part = QWidget> Part* part(const QWidget& root, const char* name)
{
    return root.findChild<Part*>(QLatin1String(name));
}

// Delivers a drag and drop of `urls` onto `widget`'s centre as Qt's window does: to the widget under the point,
// or the nearest parent of it that takes drops. Returns whether the drop was accepted.
inline bool dropUrls(QWidget& widget, const QList<QUrl>& urls)
{
    const QPoint position = widget.mapTo(widget.window(), widget.rect().center());
    QWidget* target = widget.window()->childAt(position);
    while (target && !target->acceptDrops())
        target = target->parentWidget();
    if (!target)
        return false;
    QMimeData mimeData;
    mimeData.setUrls(urls);
    const QPoint local = target->mapFrom(widget.window(), position);
    QDragEnterEvent enter(local, Qt::CopyAction, &mimeData, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(local), Qt::CopyAction, &mimeData, Qt::LeftButton, Qt::NoModifier);
    for (QDropEvent* event : { static_cast<QDropEvent*>(&enter), &drop }) {
        event->setAccepted(false);
        QApplication::sendEvent(target, event);
        if (!event->isAccepted())
            return false;
    }
    return true;
}

// Runs `drive` on the file dialog about to open, from inside the dialog's own event loop. A dialog the step
// left open, as a failed check does, is rejected, so a broken test ends instead of waiting on it forever.
inline void whenDialogOpens(const std::function<void(QFileDialog&)>& drive)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, drive] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop(); // the step's own waiting must not run it again
        poll->deleteLater();
        drive(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    poll->start(20);
}

} // namespace ViewTestKit
