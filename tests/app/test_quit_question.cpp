// SPDX-License-Identifier: GPL-3.0-or-later
// Quit while an export runs: the question, and what each answer does to the export.

#include "TestFiles.h"
#include "ViewTestKit.h"
#include "app/MainWindow.h"
#include "app/VelbrookApp.h"
#include "model/ExportModel.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <cerrno>
#include <csignal>

using namespace ViewTestKit;

namespace {

// Answers the next question box with the button of that text, after checking what it asks.
void answerQuestionWith(const QString& buttonText, QString* question)
{
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, buttonText, question] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll->deleteLater();
        poll->stop();
        *question = box->text() + QLatin1Char('|') + box->defaultButton()->text();
        for (QAbstractButton* button : box->buttons())
            if (button->text() == buttonText)
                button->click();
    });
    poll->start();
}

} // namespace

class QuitQuestionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void quitAsksWhileAnExportRuns();
};

void QuitQuestionTest::quitAsksWhileAnExportRuns()
{
    QTemporaryDir scratch;
    const QString tmp = scratch.filePath(QStringLiteral("tmp"));
    QDir().mkpath(tmp);
    qputenv("TMPDIR", QFile::encodeName(tmp));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(tmp));
    TestFiles::writeFile(scratch.filePath(QStringLiteral("Data/file")), "x");
    QDir().mkpath(scratch.filePath(QStringLiteral("destination")));
    const QString pidFile = scratch.filePath(QStringLiteral("pid"));
    TestFiles::writeFile(scratch.filePath(QStringLiteral("script")),
        "pid " + QFile::encodeName(pidFile) + "\nwait-for " + QFile::encodeName(scratch.filePath(QStringLiteral("never"))) + "\n");
    qputenv("VELBROOK_FAKE_TOOL_SCRIPT", QFile::encodeName(scratch.filePath(QStringLiteral("script"))));

    VelbrookApp velbrook(*qApp, QStringLiteral(FAKE_TOOL_PATH));
    MainWindow* window = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* main = qobject_cast<MainWindow*>(widget))
            window = main;
    QVERIFY(window);
    const auto model = window->model();
    QVERIFY(window->takeSource(QUrl::fromLocalFile(scratch.filePath(QStringLiteral("Data")))));
    whenDialogOpens([&](QFileDialog& dialog) {
        dialog.setDirectory(scratch.filePath(QStringLiteral("destination")));
        // With nothing selected, a folder dialog chooses the folder on show.
        QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open), Qt::LeftButton);
    });
    model->selectDestination();
    QTRY_VERIFY(model->canStartExport());

    // Nothing runs: Quit asks nothing.
    QVERIFY(!velbrook.exportRunning());

    model->startExport();
    QTRY_VERIFY(!TestFiles::readFile(pidFile).isEmpty());
    QString question;
    answerQuestionWith(QStringLiteral("Cancel"), &question);
    velbrook.requestQuit();
    QCOMPARE(question, QStringLiteral("An export is running. Stop it and quit?|Cancel"));
    QVERIFY(model->canCancelExport());

    answerQuestionWith(QStringLiteral("Stop and Quit"), &question);
    QTimer::singleShot(0, qApp, [&velbrook] { velbrook.requestQuit(); });
    QApplication::exec();
    const pid_t tool = TestFiles::readFile(pidFile).toInt();
    QVERIFY(::kill(tool, 0) != 0 && errno == ESRCH);
    QVERIFY(QDir(tmp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    QVERIFY(QDir(scratch.filePath(QStringLiteral("destination"))).isEmpty());
}

QTEST_MAIN(QuitQuestionTest)
#include "test_quit_question.moc"
