// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewTestKit.h"

#include "app/MainWindow.h"
#include "model/ExportModel.h"
#include "views/MainView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace ViewTestKit;

namespace {

constexpr int exportTimeout = 60000;

// Answers the next file dialog with `folder`, from inside the dialog's own event loop.
void answerNextDialogWith(const QString& folder)
{
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, folder] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        dialog->setDirectory(folder);
        // Nothing selected in a folder dialog means the folder on show.
        if (QPushButton* choose = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open))
            QTest::mouseClick(choose, Qt::LeftButton);
        else
            dialog->reject();
    });
    poll->start();
}

} // namespace

// The whole way a user goes: a folder dropped on the window, a destination chosen in the dialog,
// the export button pressed, with the real image tool.
class TestEndToEndExport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exportsADroppedFolderToTheChosenDestination()
    {
        const QString toolPath = qEnvironmentVariable("VELBROOK_IMAGE_TOOL");
        if (toolPath.isEmpty() || !QFileInfo(toolPath).isExecutable())
            QSKIP("The image tool has not been built");

        QTemporaryDir root;
        const QString source = root.filePath(QStringLiteral("Holiday Photos"));
        const QString destination = root.filePath(QStringLiteral("out"));
        QVERIFY(QDir().mkpath(source + QStringLiteral("/day one")));
        QVERIFY(QDir().mkpath(destination));
        QVERIFY(writeFile(source + QStringLiteral("/day one/notes.txt"), QByteArray(5000, 'x')));
        QVERIFY(writeFile(source + QStringLiteral("/readme.txt"), "hello\n"));

        MainWindow window(toolPath, QStringLiteral("Velbrook"));
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        MainView& view = *window.view();

        const QPoint sourceArea = centreInWindow(*view.findChild<QWidget*>(QStringLiteral("sourceSymbol")));
        QVERIFY(dropUrls(window, sourceArea, { QUrl::fromLocalFile(source) }));
        QTRY_COMPARE(view.findChild<QLineEdit*>(QStringLiteral("sourceField"))->text(), source);

        answerNextDialogWith(destination);
        QTest::mouseClick(view.findChild<QAbstractButton*>(QStringLiteral("destinationButton")), Qt::LeftButton);
        QCOMPARE(view.findChild<QLineEdit*>(QStringLiteral("destinationField"))->text(), destination);

        auto* exportButton = view.findChild<QAbstractButton*>(QStringLiteral("exportButton"));
        QVERIFY(exportButton->isEnabled());
        QTest::mouseClick(exportButton, Qt::LeftButton);
        QVERIFY(!exportButton->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!view.model()->exportInProgress(), exportTimeout);

        const QFileInfo image(destination + QStringLiteral("/Holiday Photos.iso"));
        QVERIFY(image.exists());
        QVERIFY(image.size() > 0);
        QCOMPARE(view.model()->progress(), 1.0);
        auto* sizeLine = view.findChild<QLabel*>(QStringLiteral("isoSizeLine"));
        QVERIFY(sizeLine->isVisible());
        QCOMPARE(sizeLine->text(), QStringLiteral("Exported ISO Size: %1 MB").arg(image.size() / (1024 * 1024)));
    }
};

int main(int argc, char* argv[])
{
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication application(argc, argv);
    TestEndToEndExport test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_end_to_end_export.moc"
