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

// A source file, a destination folder, and the fake image tool's script (see tests/model/fake_image_tool.cpp), in
// which RUNS names a file counting the tool's runs and GO one the tool waits for.
struct Workspace {
    QTemporaryDir root;
    std::shared_ptr<ScriptedChooser> chooser = std::make_shared<ScriptedChooser>(); // answers source, destination

    Workspace()
    {
        TestFiles::writeFile(path(QStringLiteral("destination/.keep")), {});
        TestFiles::writeFile(sourcePath(), "content\n");
        chooser->sourceAnswer = { true, QUrl::fromLocalFile(sourcePath()) };
        chooser->destinationAnswer = { true, destinationUrl() };
    }
    [[nodiscard]] QString path(const QString& relative) const { return root.filePath(relative); }
    [[nodiscard]] QString sourcePath() const { return path(QStringLiteral("source.txt")); }
    [[nodiscard]] QString destinationPath() const { return path(QStringLiteral("destination")); }
    [[nodiscard]] QString imagePath() const { return path(QStringLiteral("destination/source.iso")); }
    [[nodiscard]] QUrl destinationUrl() const { return QUrl::fromLocalFile(destinationPath()); }
    void script(QByteArray commands) const
    {
        commands.replace("RUNS", path(QStringLiteral("runs")).toUtf8())
            .replace("GO", path(QStringLiteral("go")).toUtf8());
        TestFiles::writeFile(path(QStringLiteral("script")), commands);
        qputenv("VELBROOK_FAKE_TOOL_SCRIPT", path(QStringLiteral("script")).toLocal8Bit());
    }
    void letToolGo() const { TestFiles::writeFile(path(QStringLiteral("go")), {}); }
    [[nodiscard]] int toolRuns() const { return int(TestFiles::readFile(path(QStringLiteral("runs"))).count("argc ")); }
};

// The child of `root` with that object name; a misspelt name crashes the test at once.
template <typename Part = QWidget> Part* part(const QWidget& root, const char* name)
{
    return root.findChild<Part*>(QLatin1String(name));
}

// Drags and drops `urls` onto `widget`'s centre as Qt's window does: to the widget under the point, or the nearest
// parent of it that takes drops. Returns whether the drop was accepted.
inline bool dropUrls(QWidget& widget, const QList<QUrl>& urls)
{
    const QPoint position = widget.mapTo(widget.window(), widget.rect().center());
    QWidget* target = widget.window()->childAt(position);
    while (target && !target->acceptDrops())
        target = target->parentWidget();
    QMimeData mimeData;
    mimeData.setUrls(urls);
    const QPoint local = target ? target->mapFrom(widget.window(), position) : QPoint();
    QDragEnterEvent enter(local, Qt::CopyAction, &mimeData, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(local), Qt::CopyAction, &mimeData, Qt::LeftButton, Qt::NoModifier);
    return target && std::ranges::all_of(std::initializer_list<QDropEvent*> { &enter, &drop }, [target](auto* event) {
        event->setAccepted(false);
        QApplication::sendEvent(target, event);
        return event->isAccepted();
    });
}

// Runs `drive` on the file dialog about to open, inside the dialog's own loop; a dialog it leaves open, as a failed
// check does, is rejected, so a broken test ends instead of waiting forever.
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
