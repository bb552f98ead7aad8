// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window shows for each state of its model, and how its controls, keyboard and assistive
// technologies reach the commands.

#include "HeldStaging.h"
#include "ViewTestKit.h"

#include "app/MenuBar.h"
#include "common/BundleInfo.h"
#include "model/ExportModel.h"
#include "views/ElidedLabel.h"
#include "views/MainView.h"
#include "views/SymbolButton.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QStyle>
#include <cmath>

using namespace ViewTestKit;

namespace {

// A main window as the application makes one: the view, and menus holding the view's actions.
struct Window {
    explicit Window(StagingStep staging = stageSource)
        : model(ExportModel::create(QStringLiteral(FAKE_TOOL_PATH), chooser, std::move(staging)))
    {
        auto* view = new MainView(model, desktop);
        window.setCentralWidget(view);
        buildMenus(*window.menuBar(), Bundle {}, {}, view->actions());
        window.show();
        chooser->sourceAnswer = { true, workspace.sourceUrl() };
        chooser->destinationAnswer = { true, workspace.destinationUrl() };
    }

    template <typename Part = QWidget> [[nodiscard]] Part* part(const char* name) const
    {
        Part* found = window.findChild<Part*>(QLatin1String(name));
        if (!found)
            qFatal("no part named %s", name);
        return found;
    }
    [[nodiscard]] bool shows(const char* name) const { return part(name)->isVisibleTo(&window); }
    [[nodiscard]] QString text(const char* name) const { return part<QLineEdit>(name)->text(); }
    // The menu item with `shortcut`.
    [[nodiscard]] QAction* item(const QKeySequence& shortcut) const
    {
        for (QAction* action : window.menuBar()->actions().first()->menu()->actions())
            if (action->shortcut() == shortcut)
                return action;
        qFatal("no menu item for %s", qPrintable(shortcut.toString()));
    }
    void chooseBoth() const
    {
        model->selectSource();
        model->selectDestination();
    }
    void runExport(const QByteArray& script)
    {
        workspace.script(script);
        model->startExport();
        waitForEnd();
    }
    void waitForEnd() const
    {
        QTRY_VERIFY_WITH_TIMEOUT(!model->exportInProgress() && !model->stagingInProgress(), exportTimeout);
    }
    // Object names in the order Tab visits them, from the source area round to it again.
    [[nodiscard]] QStringList tabChain() const
    {
        part("sourceArea")->setFocus(Qt::TabFocusReason);
        QStringList names;
        do {
            names << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        } while (QApplication::focusWidget()->objectName() != u"sourceArea" && names.size() < 20);
        return names;
    }

    Workspace workspace;
    std::shared_ptr<ScriptedChooser> chooser = std::make_shared<ScriptedChooser>();
    std::shared_ptr<RecordingDesktop> desktop = std::make_shared<RecordingDesktop>();
    std::shared_ptr<ExportModel> model;
    QMainWindow window;
};

// How many opaque pixels of `image` are `color`, give or take a little antialiasing.
int pixelsOf(const QImage& image, const QColor& color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += pixel.alpha() > 200
                && qAbs(pixel.red() - color.red()) + qAbs(pixel.green() - color.green())
                        + qAbs(pixel.blue() - color.blue())
                    < 40;
        }
    return count;
}

// WCAG contrast ratio of two colours.
double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& color) {
        const auto channel
            = [](double value) { return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) + 0.0722 * channel(color.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

QString accessibleName(QWidget* widget)
{
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

} // namespace

class MainViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exportWaitsForBothLocations()
    {
        Window window;
        QVERIFY(window.text("sourceField").isEmpty() && window.text("destinationField").isEmpty());
        QVERIFY(!window.part<QLineEdit>("sourceField")->placeholderText().isEmpty());
        QVERIFY(!window.shows("progressBar") && !window.shows("isoSizeLine") && !window.shows("endLine"));
        QVERIFY(!accessibleName(window.part("progressBar")).isEmpty());
        for (const auto* button : window.window.findChildren<SymbolButton*>())
            QVERIFY2(!button->icon().isNull(), qPrintable(button->objectName()));

        window.model->selectSource();
        QCOMPARE(window.text("sourceField"), window.workspace.sourcePath()); // a plain path, not a URL
        QVERIFY(!window.part("exportButton")->isEnabled());
        QVERIFY(!window.item(Qt::CTRL | Qt::Key_E)->isEnabled());
        window.model->selectDestination();
        QCOMPARE(window.text("destinationField"), window.workspace.destinationPath());
        QVERIFY(window.part("exportButton")->isEnabled());
        QVERIFY(window.item(Qt::CTRL | Qt::Key_E)->isEnabled());
        QVERIFY(!window.shows("progressBar"));
    }

    void eachEndReplacesTheLastOne()
    {
        Window window;
        window.chooseBoth();
        window.runExport("image 3145728\n");
        QVERIFY(window.shows("progressBar"));
        QCOMPARE(
            window.part<QProgressBar>("progressBar")->value(), window.part<QProgressBar>("progressBar")->maximum());
        QVERIFY(window.shows("isoSizeLine") && window.shows("showInFolder"));
        QCOMPARE(window.part<QLabel>("isoSizeLine")->text(), QStringLiteral("Exported ISO Size: 3 MB"));
        QVERIFY(!window.shows("endLine") && !window.shows("failureSymbol"));
        QVERIFY(window.part("exportButton")->isEnabled());
        QCOMPARE(window.desktop->announcements, QStringList { "isoSizeLine|Exported ISO Size: 3 MB" });

        // The image is still there, so this one fails. Its start is no news, only its end.
        window.runExport("image 4096\n");
        QVERIFY(!window.shows("progressBar")); // the full bar of the earlier success is not this export's
        QVERIFY(!window.shows("isoSizeLine") && !window.shows("showInFolder"));
        QVERIFY(window.shows("endLine") && window.shows("failureSymbol"));
        const QString line = window.part<ElidedLabel>("endLine")->fullText();
        QVERIFY2(line.startsWith(QLatin1String("Export failed: ")), qPrintable(line));
        QCOMPARE(window.desktop->announcements.size(), 2);
        QCOMPARE(window.desktop->announcements.last(), QStringLiteral("endLine|") + line);

        // An empty image is no size worth showing.
        QVERIFY(QFile::remove(window.workspace.imagePath()));
        window.runExport("image 0\n");
        QVERIFY(!window.shows("endLine") && !window.shows("failureSymbol"));
        QVERIFY(!window.shows("isoSizeLine") && !window.shows("showInFolder"));
        QCOMPARE(window.desktop->announcements.size(), 2);
    }

    void stagingShowsABusyBarAndCancelEndsIt()
    {
        HeldStaging held;
        Window window(held.step());
        window.chooseBoth();
        QTest::mouseClick(window.part<QAbstractButton>("exportButton"), Qt::LeftButton);
        QVERIFY(window.shows("progressBar") && window.shows("cancelButton"));
        QCOMPARE(window.part<QProgressBar>("progressBar")->maximum(), 0); // moving, with no value
        QVERIFY(!window.part("exportButton")->isEnabled());
        QVERIFY(window.part("sourceArea")->isEnabled() && window.part("destinationButton")->isEnabled());

        QTest::mouseClick(window.part<QAbstractButton>("cancelButton"), Qt::LeftButton);
        QVERIFY(window.shows("endLine") && !window.shows("failureSymbol"));
        QCOMPARE(window.part<ElidedLabel>("endLine")->fullText(), QStringLiteral("Export cancelled"));
        QVERIFY(!window.shows("progressBar") && !window.shows("cancelButton"));
        QVERIFY(window.part("exportButton")->isEnabled());
    }

    void keyboardReachesEachCommandOnce()
    {
        Window window;
        window.workspace.script("record RUNS\nwait-for GO\nimage 4096\n");
        QVERIFY(QTest::qWaitForWindowActive(&window.window));
        window.part("sourceArea")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(window.chooser->sourceRequests, 1);
        window.part("destinationButton")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(window.chooser->destinationRequests, 1);

        // The menu bar holds the same actions: each shortcut still has one owner.
        QTest::keyClick(&window.window, Qt::Key_O, Qt::ControlModifier);
        QTRY_COMPARE(window.chooser->sourceRequests, 2);
        QTest::keyClick(&window.window, Qt::Key_D, Qt::ControlModifier);
        QTRY_COMPARE(window.chooser->destinationRequests, 2);
        QCOMPARE(window.chooser->sourceRequests, 2);
        QTest::keyClick(&window.window, Qt::Key_E, Qt::ControlModifier);
        QTRY_COMPARE(window.workspace.toolRuns(), 1);
        QVERIFY(window.item(Qt::Key_Escape)->isEnabled() && window.shows("cancelButton"));
        QVERIFY(!window.item(Qt::CTRL | Qt::Key_E)->isEnabled());

        // The model would start a second run; only the disabled command stands in the way.
        QTest::keyClick(&window.window, Qt::Key_E, Qt::ControlModifier);
        QTest::keyClick(&window.window, Qt::Key_Escape);
        window.waitForEnd();
        QVERIFY(window.model->lastExportFailure().value_or(ExportFailure {}).cancelled);
        QCOMPARE(window.workspace.toolRuns(), 1);
        QVERIFY(!window.item(Qt::Key_Escape)->isEnabled() && window.item(Qt::CTRL | Qt::Key_E)->isEnabled());
    }

    void tabFollowsTheWork()
    {
        Window window;
        window.workspace.script("wait-for GO\nimage 4096\n");
        QVERIFY(QTest::qWaitForWindowActive(&window.window));
        window.chooseBoth();
        const QStringList paths { "sourceField", "destinationField", "destinationButton" };
        QCOMPARE(window.tabChain(), QStringList { "sourceArea" } + paths + QStringList { "exportButton" });

        window.model->startExport();
        QTRY_VERIFY(window.shows("cancelButton"));
        QCOMPARE(window.tabChain(), QStringList { "sourceArea" } + paths + QStringList { "cancelButton" });

        window.workspace.letToolGo();
        window.waitForEnd();
        QCOMPARE(
            window.tabChain(), QStringList({ "sourceArea", "showInFolder" }) + paths + QStringList { "exportButton" });
    }

    void clicksAndDropsOnlyOnTheSourceAreaChooseASource()
    {
        Window window;
        // On the symbol and on the path field inside the area alike; a cancelled dialog keeps what was there.
        QTest::mouseClick(window.part("sourceSymbol"), Qt::LeftButton);
        QTest::mouseClick(window.part("sourceField"), Qt::LeftButton);
        QCOMPARE(window.chooser->sourceRequests, 2);
        window.chooser->sourceAnswer = {};
        QTest::mouseClick(window.part("sourceSymbol"), Qt::LeftButton);
        QCOMPARE(window.text("sourceField"), window.workspace.sourcePath());

        const QUrl web(QStringLiteral("https://example.org/disc.iso"));
        const QUrl folder = window.workspace.destinationUrl();
        QVERIFY(!dropUrls(*window.part("destinationField"), { folder }));
        QVERIFY(!dropUrls(*window.part("sourceSymbol"), { web }));
        QVERIFY(dropUrls(*window.part("sourceField"), { web, folder }));
        QTRY_COMPARE(window.text("sourceField"), window.workspace.destinationPath());
    }

    void symbolsFollowThePalette()
    {
        Window window;
        window.window.setPalette(darkPalette());
        const QColor text = darkPalette().color(QPalette::WindowText);
        const QImage symbol = window.part("sourceSymbol")->grab().toImage();
        QVERIFY(pixelsOf(symbol, text) > 0);
        QCOMPARE(pixelsOf(symbol, Qt::black), 0);
        const QImage folder = window.part<QAbstractButton>("destinationButton")->icon().pixmap(24, 24).toImage();
        QVERIFY(pixelsOf(folder, text) > 0);
    }

    void keyboardFocusShowsAHighlightRing_data()
    {
        QTest::addColumn<QByteArray>("control");
        QTest::addColumn<bool>("dark");
        QTest::newRow("source area, light") << QByteArray("sourceArea") << false;
        QTest::newRow("destination button, dark") << QByteArray("destinationButton") << true;
    }
    void keyboardFocusShowsAHighlightRing()
    {
        QFETCH(QByteArray, control);
        QFETCH(bool, dark);
        Window window;
        window.window.setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());
        QVERIFY(QTest::qWaitForWindowActive(&window.window));
        QWidget* target = window.part(control.constData());
        const QColor highlight = target->palette().color(QPalette::Highlight);
        const int unfocused = pixelsOf(target->grab().toImage(), highlight);
        // The ring is for focus that came from the keyboard.
        QTest::keyClick(&window.window, Qt::Key_Tab);
        target->setFocus(Qt::TabFocusReason);
        QVERIFY(target->hasFocus());
        const int focused = pixelsOf(target->grab().toImage(), highlight);
        QVERIFY2(focused - unfocused >= target->width() + target->height(),
            qPrintable(QStringLiteral("%1 highlight pixels with focus, %2 without").arg(focused).arg(unfocused)));
    }

    void pathFieldsAreReadableCopyableAndReadOnly_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<bool>("dark");
        QTest::newRow("source, light") << QByteArray("sourceField") << false;
        QTest::newRow("destination, dark") << QByteArray("destinationField") << true;
    }
    void pathFieldsAreReadableCopyableAndReadOnly()
    {
        QFETCH(QByteArray, field);
        QFETCH(bool, dark);
        Window window;
        window.window.setPalette(dark ? darkPalette() : QApplication::style()->standardPalette());
        QVERIFY(QTest::qWaitForWindowActive(&window.window));
        window.chooseBoth();
        auto* line = window.part<QLineEdit>(field.constData());
        const QString path = line->text();
        QVERIFY(!accessibleName(line).isEmpty());

        // The path itself, drawn in the field: its strongest stroke against the field's background.
        const QImage image = line->grab().toImage();
        const QColor base = line->palette().color(QPalette::Base);
        double best = 1;
        for (int y = 4; y < image.height() - 4; ++y)
            for (int x = 4; x < image.width() - 4; ++x)
                best = qMax(best, contrast(image.pixelColor(x, y), base));
        QVERIFY2(best >= 4.5, qPrintable(QString::number(best)));

        line->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(line, QStringLiteral("typed"));
        QTest::keyClick(line, Qt::Key_Backspace);
        QCOMPARE(line->text(), path);
        QTest::keyClick(line, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(line, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), path);
    }
};

QTEST_MAIN(MainViewTest)
#include "test_main_view.moc"
