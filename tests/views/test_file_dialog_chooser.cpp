// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestFiles.h"
#include "ViewTestKit.h"

#include "views/FileDialogChooser.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using ViewTestKit::whenDialogOpens;

using TestFiles::writeFile;

namespace {

[[nodiscard]] QAbstractItemView* listOf(QFileDialog& dialog)
{
    return dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
}

// The list entry for `path`, once the dialog's model has read the folder.
[[nodiscard]] QModelIndex entryFor(QFileDialog& dialog, const QString& path)
{
    auto* model = qobject_cast<QFileSystemModel*>(listOf(dialog)->model());
    return model ? model->index(path) : QModelIndex();
}

// Selects `path` in the list as a click would and presses Open.
void selectAndOpen(QFileDialog& dialog, const QString& path)
{
    dialog.setDirectory(QFileInfo(path).absolutePath());
    QAbstractItemView* list = listOf(dialog);
    QVERIFY(list);
    QTRY_VERIFY(entryFor(dialog, path).isValid() && !list->visualRect(entryFor(dialog, path)).isEmpty());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(entryFor(dialog, path)).center());
    QPushButton* open = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
    QVERIFY(open);
    QTRY_VERIFY(open->isEnabled());
    QTest::mouseClick(open, Qt::LeftButton);
}

class Items {
public:
    Items()
    {
        QDir root(m_root.path());
        root.mkpath(QStringLiteral("Folder/inner"));
        root.mkpath(QStringLiteral("Foo.app/Contents"));
        (void)writeFile(path(QStringLiteral("notes.txt")), "notes\n");
    }
    [[nodiscard]] QString path(const QString& name) const { return m_root.filePath(name); }

private:
    QTemporaryDir m_root;
};

} // namespace

class FileDialogChooserTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sourceIsOneSelectedItemOfAnyKind_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("file") << QStringLiteral("notes.txt");
        QTest::newRow("folder") << QStringLiteral("Folder");
        QTest::newRow("bundle") << QStringLiteral("Foo.app");
    }
    void sourceIsOneSelectedItemOfAnyKind()
    {
        QFETCH(QString, name);
        Items items;
        QWidget window;
        window.show();
        FileDialogChooser chooser(&window);

        whenDialogOpens([&](QFileDialog& dialog) { selectAndOpen(dialog, items.path(name)); });
        const ChooserAnswer answer = chooser.chooseSource();
        QVERIFY(answer.confirmed);
        QCOMPARE(answer.location, QUrl::fromLocalFile(items.path(name)));
    }

    void doubleClickStillEntersAFolder()
    {
        Items items;
        FileDialogChooser chooser(nullptr);
        QString shownAfterDoubleClick;
        whenDialogOpens([&](QFileDialog& dialog) {
            dialog.setDirectory(items.path(QStringLiteral(".")));
            QAbstractItemView* list = listOf(dialog);
            const QString folder = items.path(QStringLiteral("Folder"));
            QTRY_VERIFY(entryFor(dialog, folder).isValid() && !list->visualRect(entryFor(dialog, folder)).isEmpty());
            const QPoint point = list->visualRect(entryFor(dialog, folder)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, point);
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, point);
            QTRY_VERIFY(dialog.directory().absolutePath() == folder);
            QVERIFY(dialog.isVisible());
            shownAfterDoubleClick = dialog.directory().absolutePath();
            dialog.reject();
        });
        // The dialog was cancelled; both choosers share how a cancel is answered.
        const ChooserAnswer answer = chooser.chooseSource();
        QCOMPARE(shownAfterDoubleClick, items.path(QStringLiteral("Folder")));
        QVERIFY(!answer.confirmed);
        QVERIFY(!answer.location);
    }

    void destinationIsOneFolder()
    {
        Items items;
        FileDialogChooser chooser(nullptr);
        bool showsFiles = true;
        whenDialogOpens([&](QFileDialog& dialog) {
            QCOMPARE(dialog.fileMode(), QFileDialog::Directory);
            showsFiles = !dialog.testOption(QFileDialog::ShowDirsOnly);
            selectAndOpen(dialog, items.path(QStringLiteral("Folder")));
        });
        const ChooserAnswer answer = chooser.chooseDestination();
        QVERIFY(!showsFiles);
        QVERIFY(answer.confirmed);
        QCOMPARE(answer.location, QUrl::fromLocalFile(items.path(QStringLiteral("Folder"))));
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
