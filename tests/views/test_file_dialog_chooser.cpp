// SPDX-License-Identifier: GPL-3.0-or-later
// The source and destination dialogs: what they let the user pick, and where they open.

#include "ViewTestKit.h"

#include "model/ExportModel.h"
#include "views/FileDialogChooser.h"

using namespace ViewTestKit;

namespace {

// Selects `path` in the dialog's list as a click would and presses Open.
void selectAndOpen(QFileDialog& dialog, const QString& path)
{
    dialog.setDirectory(QFileInfo(path).absolutePath());
    auto* list = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
    auto* files = qobject_cast<QFileSystemModel*>(list->model());
    QTRY_VERIFY(!list->visualRect(files->index(path)).isEmpty()); // the model reads the folder in the background
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(files->index(path)).center());
    QPushButton* open = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
    QTRY_VERIFY(open->isEnabled());
    QTest::mouseClick(open, Qt::LeftButton);
}

} // namespace

class FileDialogChooserTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sourceIsOneItemOfAnyKindAndDestinationOneFolder()
    {
        Workspace workspace;
        FileDialogChooser chooser(nullptr);
        for (const QString& path : { workspace.sourcePath(), workspace.destinationPath() }) {
            whenDialogOpens([&](QFileDialog& dialog) { selectAndOpen(dialog, path); });
            const ChooserAnswer answer = chooser.chooseSource();
            QVERIFY2(answer.confirmed && answer.location == QUrl::fromLocalFile(path), qPrintable(path));
        }
        bool showsFiles = true;
        whenDialogOpens([&](QFileDialog& dialog) {
            showsFiles = dialog.fileMode() != QFileDialog::Directory || !dialog.testOption(QFileDialog::ShowDirsOnly);
            selectAndOpen(dialog, workspace.destinationPath());
        });
        QCOMPARE(chooser.chooseDestination().location, workspace.destinationUrl());
        QVERIFY(!showsFiles);
    }

    void dialogsOpenAtTheCurrentChoice()
    {
        Workspace workspace;
        // The working directory is never a choice the user made.
        QTemporaryDir elsewhere;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        const auto restore = qScopeGuard([previous] { QDir::setCurrent(previous); });
        const auto model = ExportModel::create(QStringLiteral("/nonexistent/tool"), workspace.chooser);
        FileDialogChooser chooser(nullptr);
        chooser.startFrom(model);
        const auto openedAt = [&chooser](bool source) {
            QString folder;
            whenDialogOpens([&folder](QFileDialog& dialog) { folder = dialog.directory().canonicalPath(); });
            (void)(source ? chooser.chooseSource() : chooser.chooseDestination());
            return folder;
        };
        QCOMPARE(openedAt(true), QDir::home().canonicalPath()); // none yet: home
        model->selectSource();
        model->selectDestination();
        QCOMPARE(openedAt(true), QFileInfo(workspace.path(".")).canonicalFilePath()); // the source's folder
        QCOMPARE(openedAt(false), QFileInfo(workspace.destinationPath()).canonicalFilePath()); // the destination
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
