// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewTestKit.h"

#include "app/MainWindow.h"
#include "model/ExportModel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace ViewTestKit;

namespace {

constexpr int exportTimeout = 60000;

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

        const QPoint sourceArea = centreInWindow(*window.findChild<QWidget*>(QStringLiteral("sourceSymbol")));
        QVERIFY(dropUrls(window, sourceArea, { QUrl::fromLocalFile(source) }));
        QTRY_COMPARE(window.findChild<QLineEdit*>(QStringLiteral("sourceField"))->text(), source);

        whenDialogOpens([&](QFileDialog& dialog) {
            dialog.setDirectory(destination);
            // With nothing selected, a folder dialog chooses the folder on show.
            QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open), Qt::LeftButton);
        });
        QTest::mouseClick(window.findChild<QAbstractButton*>(QStringLiteral("destinationButton")), Qt::LeftButton);
        QCOMPARE(window.findChild<QLineEdit*>(QStringLiteral("destinationField"))->text(), destination);

        auto* exportButton = window.findChild<QAbstractButton*>(QStringLiteral("exportButton"));
        QVERIFY(exportButton->isEnabled());
        QTest::mouseClick(exportButton, Qt::LeftButton);
        QVERIFY(!exportButton->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(
            !window.model()->exportInProgress() && !window.model()->stagingInProgress(), exportTimeout);

        const QFileInfo image(destination + QStringLiteral("/Holiday Photos.iso"));
        QVERIFY(image.exists());
        QVERIFY(image.size() > 0);
        QCOMPARE(window.model()->progress(), 1.0);
        auto* sizeLine = window.findChild<QLabel*>(QStringLiteral("isoSizeLine"));
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
