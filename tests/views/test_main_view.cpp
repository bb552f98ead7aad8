// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeldStaging.h"
#include "ViewTestKit.h"

#include "model/ExportModel.h"
#include "views/ElidedLabel.h"
#include "views/MainView.h"

#include <QAbstractButton>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace ViewTestKit;

namespace {

constexpr int exportTimeout = 15000;

// One main window's content over a model with a counting chooser and a script tool.
struct Window {
    explicit Window(const QString& toolPath, StagingStep staging = stageSource)
        : chooser(std::make_shared<ScriptedChooser>())
        , model(ExportModel::create(toolPath, chooser, std::move(staging)))
        , view(std::make_unique<MainView>(model))
    {
        view->show();
    }

    template <typename Part> [[nodiscard]] Part* part(const char* name) const
    {
        auto* found = view->findChild<Part*>(QString::fromLatin1(name));
        if (!found)
            qWarning("no part named %s", name);
        return found;
    }
    [[nodiscard]] bool shows(const char* name) const { return part<QWidget>(name)->isVisibleTo(view.get()); }
    [[nodiscard]] QString fieldText(const char* name) const { return part<QLineEdit>(name)->text(); }
    [[nodiscard]] bool exportEnabled() const { return part<QAbstractButton>("exportButton")->isEnabled(); }

    void chooseBoth(const ScriptWorkspace& workspace)
    {
        chooser->sourceAnswer = { true, workspace.sourceUrl() };
        chooser->destinationAnswer = { true, workspace.destinationUrl() };
        model->selectSource();
        model->selectDestination();
    }

    std::shared_ptr<ScriptedChooser> chooser;
    std::shared_ptr<ExportModel> model;
    std::unique_ptr<MainView> view;
};

// Whether any pixel of `image` is close to `color`.
bool contains(const QImage& image, const QColor& color)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() > 200 && qAbs(pixel.red() - color.red()) < 40 && qAbs(pixel.green() - color.green()) < 40
                && qAbs(pixel.blue() - color.blue()) < 40)
                return true;
        }
    return false;
}

} // namespace

class TestMainView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void freshWindowShowsPlaceholdersOnly()
    {
        ScriptWorkspace workspace;
        Window window(workspace.toolPath());
        QVERIFY(window.fieldText("sourceField").isEmpty());
        QVERIFY(window.fieldText("destinationField").isEmpty());
        QCOMPARE(window.part<QLineEdit>("sourceField")->placeholderText(), QStringLiteral("No source selected"));
        QCOMPARE(
            window.part<QLineEdit>("destinationField")->placeholderText(), QStringLiteral("No destination selected"));
        QVERIFY(!window.shows("progressBar"));
        QVERIFY(!window.shows("isoSizeLine"));
        QVERIFY(!window.exportEnabled());
        QVERIFY(window.part<QWidget>("destinationButton")->isEnabled());
        QVERIFY(window.part<QWidget>("sourceArea")->isEnabled());
    }

    void exportNeedsBothLocations_data()
    {
        QTest::addColumn<bool>("withSource");
        QTest::addColumn<bool>("withDestination");
        QTest::newRow("source only") << true << false;
        QTest::newRow("destination only") << false << true;
        QTest::newRow("both") << true << true;
    }
    void exportNeedsBothLocations()
    {
        QFETCH(bool, withSource);
        QFETCH(bool, withDestination);
        ScriptWorkspace workspace;
        Window window(workspace.toolPath());
        window.chooser->sourceAnswer = { true, workspace.sourceUrl() };
        window.chooser->destinationAnswer = { true, workspace.destinationUrl() };
        if (withSource)
            window.model->selectSource();
        if (withDestination)
            window.model->selectDestination();

        // Plain paths, not URLs.
        QCOMPARE(window.fieldText("sourceField"), withSource ? workspace.sourcePath() : QString());
        QCOMPARE(window.fieldText("destinationField"), withDestination ? workspace.destinationPath() : QString());
        QCOMPARE(window.exportEnabled(), withSource && withDestination);
        QVERIFY(!window.shows("progressBar"));
    }

    void runningAndEndingExportShowsTheBarAndDisablesExport()
    {
        ScriptWorkspace workspace;
        workspace.writeTool(2, 4096, 0, true);
        Window window(workspace.toolPath());
        window.chooseBoth(workspace);

        QTest::mouseClick(window.part<QAbstractButton>("exportButton"), Qt::LeftButton);
        QTRY_VERIFY(window.model->exportInProgress());
        QVERIFY(window.shows("progressBar"));
        QVERIFY(!window.exportEnabled());
        QCOMPARE(window.part<QProgressBar>("progressBar")->value(), 0);

        workspace.letToolGo();
        // Between the tool's exit and the end step the bar is full and export stays disabled.
        QTRY_COMPARE_WITH_TIMEOUT(window.model->progress(), 1.0, exportTimeout);
        QVERIFY(window.model->exportInProgress());
        QVERIFY(window.shows("progressBar"));
        QVERIFY(!window.exportEnabled());

        QTRY_VERIFY_WITH_TIMEOUT(
            !window.model->exportInProgress() && !window.model->stagingInProgress(), exportTimeout);
        QVERIFY(window.exportEnabled());
        QTRY_COMPARE(
            window.part<QProgressBar>("progressBar")->value(), window.part<QProgressBar>("progressBar")->maximum());
    }

    void barOutlivesOnlyASuccessfulExport_data()
    {
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("barStays");
        QTest::newRow("success fills the bar to exactly 1") << 0 << true;
        // Fifteen steps of 0.1 stop just short of 1 (0.9999999999999999), which must not count as done.
        QTest::newRow("failure after many steps") << 1 << false;
    }
    void barOutlivesOnlyASuccessfulExport()
    {
        QFETCH(int, exitCode);
        QFETCH(bool, barStays);
        ScriptWorkspace workspace;
        workspace.writeTool(15, 4096, exitCode);
        Window window(workspace.toolPath());
        window.chooseBoth(workspace);

        window.model->startExport();
        QTRY_VERIFY_WITH_TIMEOUT(
            !window.model->exportInProgress() && !window.model->stagingInProgress(), exportTimeout);
        QVERIFY(window.model->progress() > 0.99);
        QCOMPARE(window.shows("progressBar"), barStays);
        QVERIFY(window.exportEnabled());
    }

    void sizeLineShowsWholeMegabytes_data()
    {
        QTest::addColumn<qint64>("imageSize");
        QTest::addColumn<QString>("expectedLine");
        QTest::newRow("no image") << qint64(0) << QString();
        QTest::newRow("one byte") << qint64(1) << QStringLiteral("Exported ISO Size: 0 MB");
        QTest::newRow("one and a half megabytes") << qint64(1572864) << QStringLiteral("Exported ISO Size: 1 MB");
    }
    void sizeLineShowsWholeMegabytes()
    {
        QFETCH(qint64, imageSize);
        QFETCH(QString, expectedLine);
        ScriptWorkspace workspace;
        workspace.writeTool(1, imageSize, 0);
        Window window(workspace.toolPath());
        window.chooseBoth(workspace);

        window.model->startExport();
        QTRY_VERIFY_WITH_TIMEOUT(
            !window.model->exportInProgress() && !window.model->stagingInProgress(), exportTimeout);
        QCOMPARE(window.shows("isoSizeLine"), !expectedLine.isEmpty());
        if (!expectedLine.isEmpty())
            QCOMPARE(window.part<QLabel>("isoSizeLine")->text(), expectedLine);
    }

    void shortcutsReachTheirOperations()
    {
        ScriptWorkspace workspace;
        workspace.writeTool(1, 4096, 0);
        Window window(workspace.toolPath());
        QVERIFY(QTest::qWaitForWindowActive(window.view.get()));

        QTest::keyClick(window.view.get(), Qt::Key_O, Qt::ControlModifier);
        QTRY_COMPARE(window.chooser->sourceRequests, 1);
        QTest::keyClick(window.view.get(), Qt::Key_D, Qt::ControlModifier);
        QTRY_COMPARE(window.chooser->destinationRequests, 1);
        QCOMPARE(window.chooser->sourceRequests, 1);

        window.chooseBoth(workspace);
        QTest::keyClick(window.view.get(), Qt::Key_E, Qt::ControlModifier);
        QTRY_COMPARE(workspace.toolRuns(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(
            !window.model->exportInProgress() && !window.model->stagingInProgress(), exportTimeout);
    }

    void exportShortcutDoesNothingWhileExportIsDisabled()
    {
        ScriptWorkspace workspace;
        workspace.writeTool(1, 4096, 0, true);
        Window window(workspace.toolPath());
        QVERIFY(QTest::qWaitForWindowActive(window.view.get()));
        window.chooseBoth(workspace);
        window.model->startExport();
        QTRY_COMPARE(workspace.toolRuns(), 1);

        // The model itself would start a second run; only the disabled button stands in the way.
        QTest::keyClick(window.view.get(), Qt::Key_E, Qt::ControlModifier);
        QTest::qWait(300);
        workspace.letToolGo();
        QTRY_VERIFY_WITH_TIMEOUT(
            !window.model->exportInProgress() && !window.model->stagingInProgress(), exportTimeout);
        QCOMPARE(workspace.toolRuns(), 1);
    }

    void clickingTheSourceAreaChoosesASource()
    {
        ScriptWorkspace workspace;
        Window window(workspace.toolPath());
        window.chooser->sourceAnswer = { true, workspace.sourceUrl() };
        // On the symbol and on the (disabled) path field alike.
        QTest::mouseClick(window.part<QWidget>("sourceSymbol"), Qt::LeftButton);
        QCOMPARE(window.chooser->sourceRequests, 1);
        QTest::mouseClick(window.part<QWidget>("sourceField"), Qt::LeftButton);
        QCOMPARE(window.chooser->sourceRequests, 2);
        QCOMPARE(window.fieldText("sourceField"), workspace.sourcePath());

        // A cancelled dialog keeps what was there.
        window.chooser->sourceAnswer = {};
        QTest::mouseClick(window.part<QWidget>("sourceSymbol"), Qt::LeftButton);
        QCOMPARE(window.fieldText("sourceField"), workspace.sourcePath());
    }

    void onlyTheSourceAreaTakesDrops_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("taken");
        QTest::newRow("on the symbol") << QStringLiteral("sourceSymbol") << true;
        QTest::newRow("on the source path") << QStringLiteral("sourceField") << true;
        QTest::newRow("on the destination bar") << QStringLiteral("destinationBar") << false;
        QTest::newRow("on the destination path") << QStringLiteral("destinationField") << false;
    }
    void onlyTheSourceAreaTakesDrops()
    {
        QFETCH(QString, where);
        QFETCH(bool, taken);
        ScriptWorkspace workspace;
        Window window(workspace.toolPath());
        const QPoint position = centreInWindow(*window.part<QWidget>(where.toLatin1().constData()));

        QCOMPARE(dropUrls(*window.view, position, { workspace.sourceUrl() }), taken);
        if (taken)
            QTRY_COMPARE(window.fieldText("sourceField"), workspace.sourcePath());
        QCoreApplication::processEvents();
        QCOMPARE(window.model->selectedSourceURL().has_value(), taken);
    }

    void symbolsFollowThePaletteText()
    {
        ScriptWorkspace workspace;
        Window window(workspace.toolPath());
        QPalette dark = window.view->palette();
        dark.setColor(QPalette::Window, QColor(70, 70, 70));
        dark.setColor(QPalette::WindowText, QColor(250, 250, 250));
        dark.setColor(QPalette::ButtonText, QColor(250, 250, 250));
        window.view->setPalette(dark);

        const QImage symbol = window.part<QWidget>("sourceSymbol")->grab().toImage();
        QVERIFY(contains(symbol, QColor(250, 250, 250)));
        QVERIFY(!contains(symbol, Qt::black));
        const QImage folder = window.part<QAbstractButton>("destinationButton")->icon().pixmap(QSize(24, 24)).toImage();
        QVERIFY(contains(folder, QColor(250, 250, 250)));
    }

    void stagingShowsABusyBarAndCancelEndsIt()
    {
        ScriptWorkspace workspace;
        workspace.writeTool(1, 4096, 0);
        HeldStaging held;
        Window window(workspace.toolPath(), held.step());
        window.chooseBoth(workspace);

        QTest::mouseClick(window.part<QAbstractButton>("exportButton"), Qt::LeftButton);
        QVERIFY(window.shows("progressBar"));
        QCOMPARE(window.part<QProgressBar>("progressBar")->maximum(), 0); // moving, with no value
        QVERIFY(!window.exportEnabled());
        QVERIFY(window.shows("cancelButton"));
        QVERIFY(window.part<QWidget>("sourceArea")->isEnabled());
        QVERIFY(window.part<QWidget>("destinationButton")->isEnabled());

        QTest::mouseClick(window.part<QAbstractButton>("cancelButton"), Qt::LeftButton);
        QVERIFY(window.shows("endLine"));
        QCOMPARE(window.part<ElidedLabel>("endLine")->fullText(), QStringLiteral("Export cancelled"));
        QVERIFY(!window.shows("failureSymbol"));
        QVERIFY(!window.shows("progressBar"));
        QVERIFY(!window.shows("cancelButton"));
        QVERIFY(window.exportEnabled());
        QTest::qWait(100);
        QCOMPARE(workspace.toolRuns(), 0);
    }

    void failureShowsWhyInPlaceOfTheSizeUntilASuccess_data()
    {
        QTest::addColumn<bool>("toolMissing");
        QTest::newRow("image already there") << false;
        QTest::newRow("tool cannot start") << true;
    }
    void failureShowsWhyInPlaceOfTheSizeUntilASuccess()
    {
        QFETCH(bool, toolMissing);
        ScriptWorkspace workspace;
        workspace.writeTool(1, 4096, 0);
        Window window(workspace.toolPath());
        window.chooseBoth(workspace);
        window.model->startExport();
        QTRY_VERIFY_WITH_TIMEOUT(window.shows("isoSizeLine"), exportTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(!window.model->exportInProgress(), exportTimeout);

        if (toolMissing) {
            QVERIFY(QFile::remove(workspace.imagePath()));
            QVERIFY(QFile::rename(workspace.toolPath(), workspace.path(QStringLiteral("moved-tool"))));
        }
        window.model->startExport();
        QTRY_VERIFY_WITH_TIMEOUT(window.shows("endLine"), exportTimeout);
        const QString line = window.part<ElidedLabel>("endLine")->fullText();
        QVERIFY2(line.startsWith(QLatin1String("Export failed: "))
                && line.contains(toolMissing
                        ? QStringLiteral("cannot start the image tool")
                        : QStringLiteral("source.iso already exists in ") + workspace.destinationPath()),
            qPrintable(line));
        QCOMPARE(window.part<QWidget>("endLine")->toolTip(), line);
        QVERIFY(window.shows("failureSymbol"));
        QVERIFY(!window.shows("isoSizeLine"));
        QTRY_VERIFY_WITH_TIMEOUT(!window.model->exportInProgress(), exportTimeout);
        QVERIFY(!window.shows("progressBar")); // the full bar of the earlier success is not this export's

        if (toolMissing)
            QVERIFY(QFile::rename(workspace.path(QStringLiteral("moved-tool")), workspace.toolPath()));
        else
            QVERIFY(QFile::remove(workspace.imagePath()));
        window.model->startExport();
        QTRY_VERIFY_WITH_TIMEOUT(window.shows("isoSizeLine") && !window.shows("endLine"), exportTimeout);
    }
};

QTEST_MAIN(TestMainView)
#include "test_main_view.moc"
