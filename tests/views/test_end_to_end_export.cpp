// SPDX-License-Identifier: GPL-3.0-or-later
// The whole way a user goes, with the real image tool: a folder dropped on the window, a destination chosen in
// the dialog, the export button pressed.

#include "ViewTestKit.h"

#include "app/MainWindow.h"
#include "model/ExportModel.h"

using namespace ViewTestKit;

class EndToEndExportTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exportsADroppedFolderToTheChosenDestination()
    {
        const QString toolPath = qEnvironmentVariable("VELBROOK_IMAGE_TOOL");
        if (toolPath.isEmpty() || !QFileInfo(toolPath).isExecutable())
            QSKIP("The image tool has not been built");
        Workspace workspace;
        const QString source = workspace.path(QStringLiteral("Holiday Photos"));
        QVERIFY(TestFiles::writeFile(source + QStringLiteral("/day one/notes.txt"), QByteArray(5000, 'x')));

        MainWindow window(toolPath, QStringLiteral("Velbrook"));
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(dropUrls(*window.findChild<QWidget*>(QStringLiteral("sourceSymbol")), { QUrl::fromLocalFile(source) }));
        QTRY_COMPARE(window.findChild<QLineEdit*>(QStringLiteral("sourceField"))->text(), source);
        whenDialogOpensChoose(workspace.destinationPath());
        QTest::mouseClick(window.findChild<QAbstractButton*>(QStringLiteral("destinationButton")), Qt::LeftButton);
        QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("destinationField"))->text(), workspace.destinationPath());

        QTest::mouseClick(window.findChild<QAbstractButton*>(QStringLiteral("exportButton")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!window.model()->exportInProgress() && !window.model()->stagingInProgress(), 60000);
        const QFileInfo image(workspace.path(QStringLiteral("destination/Holiday Photos.iso")));
        QVERIFY(image.size() > 0);
        QVERIFY(window.findChild<QLabel*>(QStringLiteral("isoSizeLine"))->isVisible());
    }
};

int main(int argc, char* argv[])
{
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication application(argc, argv);
    EndToEndExportTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_end_to_end_export.moc"
