// SPDX-License-Identifier: GPL-3.0-or-later
// The source and destination dialogs: what they let the user pick, and where they open.

#include "ViewTestKit.h"

#include "model/ExportModel.h"
#include "views/FileDialogChooser.h"

#include <QAbstractItemView>
#include <QFileSystemModel>

using namespace ViewTestKit;

namespace {

// Selects `path` in the dialog's list as a click would and presses Open.
void selectAndOpen(QFileDialog& dialog, const QString& path)
{
    dialog.setDirectory(QFileInfo(path).absolutePath());
    auto* list = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
    auto* files = qobject_cast<QFileSystemModel*>(list->model());
    // The model reads the folder in the background.
    QTest::qWaitFor([&] { return !list->visualRect(files->index(path)).isEmpty(); });
    const QPoint point = list->visualRect(files->index(path)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, point);
    QPushButton* open = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
    QTRY_VERIFY(open->isEnabled());
    QTest::mouseClick(open, Qt::LeftButton);
}

} // namespace

class FileDialogChooserTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sourceIsOneItemOfAnyKind_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("file") << QStringLiteral("source.txt");
        QTest::newRow("folder") << QStringLiteral("destination");
    }
    void sourceIsOneItemOfAnyKind()
    {
        QFETCH(QString, name);
        Workspace workspace;
        FileDialogChooser chooser(nullptr);
        whenDialogOpens([&](QFileDialog& dialog) { selectAndOpen(dialog, workspace.path(name)); });
        const ChooserAnswer answer = chooser.chooseSource();
        QVERIFY(answer.confirmed);
        QCOMPARE(answer.location, QUrl::fromLocalFile(workspace.path(name)));
    }

    void destinationIsOneFolder()
    {
        Workspace workspace;
        FileDialogChooser chooser(nullptr);
        bool showsFiles = true;
        whenDialogOpens([&](QFileDialog& dialog) {
            showsFiles = dialog.fileMode() != QFileDialog::Directory || !dialog.testOption(QFileDialog::ShowDirsOnly);
            selectAndOpen(dialog, workspace.destinationPath());
        });
        const ChooserAnswer answer = chooser.chooseDestination();
        QVERIFY(!showsFiles);
        QCOMPARE(answer.location, workspace.destinationUrl());
    }

    void dialogsOpenAtTheCurrentChoice_data()
    {
        QTest::addColumn<bool>("source");
        QTest::addColumn<bool>("chosen");
        QTest::newRow("source: its folder") << true << true;
        QTest::newRow("destination: itself") << false << true;
        QTest::newRow("none yet: home") << true << false;
    }
    void dialogsOpenAtTheCurrentChoice()
    {
        QFETCH(bool, source);
        QFETCH(bool, chosen);
        Workspace workspace;
        // The working directory is never a choice the user made.
        QTemporaryDir elsewhere;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        const auto restore = qScopeGuard([previous] { QDir::setCurrent(previous); });

        auto scripted = std::make_shared<ScriptedChooser>();
        scripted->sourceAnswer = { true, workspace.sourceUrl() };
        scripted->destinationAnswer = { true, workspace.destinationUrl() };
        const auto model = ExportModel::create(QStringLiteral("/nonexistent/tool"), scripted);
        if (chosen) {
            model->selectSource();
            model->selectDestination();
        }
        FileDialogChooser chooser(nullptr);
        chooser.startFrom(model);
        QString openedAt;
        whenDialogOpens([&](QFileDialog& dialog) {
            openedAt = dialog.directory().canonicalPath();
            dialog.reject();
        });
        (void)(source ? chooser.chooseSource() : chooser.chooseDestination());
        const QString expected = !chosen ? QDir::homePath()
            : source                     ? workspace.path(".")
                                         : workspace.destinationPath();
        QCOMPARE(openedAt, QFileInfo(expected).canonicalFilePath());
    }
};

int main(int argc, char* argv[])
{
    // Qt's own dialog is the one under test; a platform theme must not swap in a native one.
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication application(argc, argv);
    FileDialogChooserTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_file_dialog_chooser.moc"
