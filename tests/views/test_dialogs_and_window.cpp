// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewTestKit.h"

#include "app/MainWindow.h"
#include "app/MenuBar.h"
#include "common/BundleInfo.h"
#include "model/ExportModel.h"
#include "views/FileDialogChooser.h"
#include "views/MainView.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace ViewTestKit;

namespace {

constexpr int exportTimeout = 15000;

// Widgets of `window` that are shown but cut off by its edge or squeezed to nothing.
QStringList clippedControls(const QWidget& window)
{
    QStringList clipped;
    for (const QWidget* child : window.findChildren<QWidget*>()) {
        if (!child->isVisibleTo(&window) || child->isWindow())
            continue;
        const QRect area(child->mapTo(&window, QPoint(0, 0)), child->size());
        if (area.isEmpty() || !window.rect().contains(area))
            clipped << QStringLiteral("%1 %2 at %3,%4 %5x%6")
                           .arg(QString::fromLatin1(child->metaObject()->className()), child->objectName())
                           .arg(area.x())
                           .arg(area.y())
                           .arg(area.width())
                           .arg(area.height());
    }
    return clipped;
}

} // namespace

// Where the file dialogs open, how the window meets a small screen, and what the source area lets in.
class TestDialogsAndWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void dialogsOpenAtTheCurrentChoice_data()
    {
        QTest::addColumn<bool>("source");
        QTest::addColumn<bool>("chosen");
        QTest::newRow("source, chosen: its folder") << true << true;
        QTest::newRow("source, none yet: home") << true << false;
        QTest::newRow("destination, chosen: itself") << false << true;
        QTest::newRow("destination, none yet: home") << false << false;
    }
    void dialogsOpenAtTheCurrentChoice()
    {
        QFETCH(bool, source);
        QFETCH(bool, chosen);
        ScriptWorkspace workspace;
        // The working directory is never a choice the user made.
        QTemporaryDir elsewhere;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        const auto restore = qScopeGuard([previous] { QDir::setCurrent(previous); });

        auto scripted = std::make_shared<ScriptedChooser>();
        const auto model = ExportModel::create(workspace.toolPath(), scripted);
        if (chosen) {
            scripted->sourceAnswer = { true, QUrl::fromLocalFile(workspace.path(QStringLiteral("destination"))) };
            scripted->destinationAnswer = { true, workspace.destinationUrl() };
            model->selectSource();
            model->selectDestination();
        }
        FileDialogChooser chooser(nullptr);
        chooser.startFrom(model);
        QString openedAt;
        whenDialogOpens([&](QFileDialog& dialog) {
            openedAt = dialog.directory().absolutePath();
            dialog.reject();
        });
        (void)(source ? chooser.chooseSource() : chooser.chooseDestination());

        const QString root = QFileInfo(workspace.path(QStringLiteral("."))).canonicalFilePath();
        QCOMPARE(QFileInfo(openedAt).canonicalFilePath(),
            !chosen      ? QDir::home().canonicalPath()
                : source ? root
                         : root + QStringLiteral("/destination"));
    }

    void windowFitsASmallScreenAndShowsEveryControl()
    {
        ScriptWorkspace workspace;
        workspace.writeTool(1, 4096, 0);
        MainWindow window(workspace.toolPath(), QStringLiteral("Velbrook"));
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        buildMenus(*window.menuBar(), Bundle {}, {}, window.commandActions());
        const QRect available = window.screen()->availableGeometry();
        // The screen main() sets up leaves less height than the content's preferred minimum and the menu bar.
        QVERIFY(available.height() < MainView::preferredMinimumSize.height() + window.menuBar()->sizeHint().height());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY2(available.contains(window.frameGeometry()),
            qPrintable(QStringLiteral("%1x%2").arg(window.width()).arg(window.height())));

        QVERIFY(window.takeSource(workspace.sourceUrl()));
        whenDialogOpens([&](QFileDialog& dialog) {
            dialog.setDirectory(workspace.destinationPath());
            QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open), Qt::LeftButton);
        });
        QTest::mouseClick(window.findChild<QAbstractButton*>(QStringLiteral("destinationButton")), Qt::LeftButton);
        QTRY_VERIFY(window.findChild<QAbstractButton*>(QStringLiteral("exportButton"))->isEnabled());
        QTest::mouseClick(window.findChild<QAbstractButton*>(QStringLiteral("exportButton")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(
            !window.model()->exportInProgress() && !window.model()->stagingInProgress(), exportTimeout);
        QVERIFY(window.findChild<QWidget*>(QStringLiteral("showInFolder"))->isVisible());

        for (const QSize size : { window.size(), window.minimumSize() }) {
            window.resize(size);
            QTRY_COMPARE(window.size(), size);
            QCoreApplication::processEvents();
            const QStringList clipped = clippedControls(window);
            QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral("; "))));
        }
    }

    void onlyLocalFilesCanBeDraggedIn_data()
    {
        QTest::addColumn<QList<QUrl>>("urls");
        QTest::addColumn<bool>("accepted");
        const QUrl web(QStringLiteral("https://example.org/disc.iso"));
        QTest::newRow("a local file") << QList<QUrl> { QUrl::fromLocalFile(QDir::tempPath()) } << true;
        QTest::newRow("a web link") << QList<QUrl> { web } << false;
        QTest::newRow("a web link and a local file")
            << QList<QUrl> { web, QUrl::fromLocalFile(QDir::tempPath()) } << true;
    }
    void onlyLocalFilesCanBeDraggedIn()
    {
        QFETCH(QList<QUrl>, urls);
        QFETCH(bool, accepted);
        MainView view(ExportModel::create(QStringLiteral("/nonexistent/tool")));
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.setAccepted(false);
        QApplication::sendEvent(view.findChild<QWidget*>(QStringLiteral("sourceArea")), &enter);
        QCOMPARE(enter.isAccepted(), accepted);
    }
};

int main(int argc, char* argv[])
{
    // A 1920x1080 laptop screen at 200%, less a panel: 960x512 logical pixels.
    QTemporaryDir screens;
    const QString config = screens.filePath(QStringLiteral("screens.json"));
    if (!writeFile(config, R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 960, "height": 512}]})"))
        return 1;
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication application(argc, argv);
    TestDialogsAndWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_dialogs_and_window.moc"
