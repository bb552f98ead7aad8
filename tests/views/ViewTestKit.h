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

// A source, a destination, and a fake tool script (tests/model/fake_image_tool.cpp); RUNS counts runs, GO holds it.
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

// Whether a drop on `widget`'s centre is taken, sent as Qt's window does: to the nearest widget there taking drops.
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

// Runs `drive` in the next file dialog's loop, then rejects it if still open, so a failed check cannot hang the test.
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
