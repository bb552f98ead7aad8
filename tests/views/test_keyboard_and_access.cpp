// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewTestKit.h"

#include "app/MenuBar.h"
#include "common/BundleInfo.h"
#include "model/ExportModel.h"
#include "views/MainView.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QClipboard>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QStyle>
#include <QTest>
#include <cmath>
#include <memory>

using namespace ViewTestKit;

namespace {

constexpr int exportTimeout = 15000;

// A main window as the application makes one: the view, and menus holding the view's actions.
struct Window {
    explicit Window(const QString& toolPath)
        : chooser(std::make_shared<ScriptedChooser>())
        , model(ExportModel::create(toolPath, chooser))
        , desktop(std::make_shared<RecordingDesktop>())
    {
        auto* view = new MainView(model, desktop);
        window.setCentralWidget(view);
        const Bundle bundle { QJsonObject { { QStringLiteral("CFBundleName"), QStringLiteral("Velbrook") } } };
        buildMenus(*window.menuBar(), bundle, {}, view->actions());
        window.show();
    }

    template <typename Part = QWidget> [[nodiscard]] Part* part(const QString& name) const
    {
        return window.findChild<Part*>(name);
    }
    [[nodiscard]] QMenu* fileMenu() const { return window.menuBar()->actions().first()->menu(); }
    [[nodiscard]] QAction* fileItem(const QString& text) const
    {
        for (QAction* item : fileMenu()->actions())
            if (item->text() == text)
                return item;
        return nullptr;
    }
    void chooseBoth(const ScriptWorkspace& workspace)
    {
        chooser->sourceAnswer = { true, workspace.sourceUrl() };
        chooser->destinationAnswer = { true, workspace.destinationUrl() };
        model->selectSource();
        model->selectDestination();
    }
    void waitForEnd() const
    {
        QTRY_VERIFY_WITH_TIMEOUT(!model->exportInProgress() && !model->stagingInProgress(), exportTimeout);
    }
    // Object names in the order Tab visits them, from the source area round to it again.
    [[nodiscard]] QStringList tabChain() const
    {
        part(QStringLiteral("sourceArea"))->setFocus(Qt::TabFocusReason);
        QStringList names;
        do {
            names << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        } while (QApplication::focusWidget()->objectName() != QStringLiteral("sourceArea") && names.size() < 20);
        return names;
    }

    std::shared_ptr<ScriptedChooser> chooser;
    std::shared_ptr<ExportModel> model;
    std::shared_ptr<RecordingDesktop> desktop;
    QMainWindow window;
};

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

// How many pixels of `image` are `color`, give or take a little antialiasing.
int pixelsOf(const QImage& image, const QColor& color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += qAbs(pixel.red() - color.red()) + qAbs(pixel.green() - color.green())
                    + qAbs(pixel.blue() - color.blue())
                < 24;
        }
    return count;
}

QPalette lightPalette()
{
    return QApplication::style()->standardPalette();
}

} // namespace

// The main window used from the keyboard and through assistive technologies.
class TestKeyboardAndAccess : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fileMenuItemsAreTheWindowsCommands()
    {
        ScriptWorkspace workspace;
        workspace.writeTool(1, 4096, 0, true);
        Window window(workspace.toolPath());
        QVERIFY(QTest::qWaitForWindowActive(&window.window));

        QStringList texts;
        for (const QAction* item : window.fileMenu()->actions())
            if (!item->isSeparator())
                texts << item->text();
        QCOMPARE(texts,
            QStringList({ "Choose Source…", "Choose Destination…", "Create Image", "Cancel Export", "New Window",
                "Close Window", "Quit" }));
        QCOMPARE(window.fileItem("Choose Source…")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
        QCOMPARE(window.fileItem("Choose Destination…")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
        QCOMPARE(window.fileItem("Create Image")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
        QCOMPARE(window.fileItem("Cancel Export")->shortcut(), QKeySequence(Qt::Key_Escape));

        QAction* create = window.fileItem("Create Image");
        QAction* cancel = window.fileItem("Cancel Export");
        auto* exportButton = window.part<QAbstractButton>("exportButton");
        QVERIFY(!create->isEnabled() && !exportButton->isEnabled() && !cancel->isEnabled());
        window.chooseBoth(workspace);
        QVERIFY(create->isEnabled() && exportButton->isEnabled());

        // One owner for each shortcut: with the menu bar in the window, Ctrl+E still starts exactly one run.
        QTest::keyClick(&window.window, Qt::Key_E, Qt::ControlModifier);
        QTRY_COMPARE(workspace.toolRuns(), 1);
        QTRY_VERIFY(cancel->isEnabled());
        QVERIFY(!create->isEnabled() && !exportButton->isEnabled());
        QVERIFY(window.part("cancelButton")->isVisible());

        QTest::keyClick(&window.window, Qt::Key_Escape);
        window.waitForEnd();
        QCOMPARE(window.model->lastExportFailure().value_or(ExportFailure {}).cancelled, true);
        QVERIFY(!cancel->isEnabled() && create->isEnabled());
    }

    void tabFollowsTheWork()
    {
        ScriptWorkspace workspace;
        workspace.writeTool(1, 4096, 0, true);
        Window window(workspace.toolPath());
        QVERIFY(QTest::qWaitForWindowActive(&window.window));
        window.chooseBoth(workspace);
        QCOMPARE(window.tabChain(),
            QStringList({ "sourceArea", "sourceField", "destinationField", "destinationButton", "exportButton" }));

        window.model->startExport();
        QTRY_VERIFY(window.part("cancelButton")->isVisible());
        QCOMPARE(window.tabChain(),
            QStringList({ "sourceArea", "sourceField", "destinationField", "destinationButton", "cancelButton" }));

        workspace.letToolGo();
        window.waitForEnd();
        QCOMPARE(window.tabChain(),
            QStringList({ "sourceArea", "showInFolder", "sourceField", "destinationField", "destinationButton",
                "exportButton" }));
    }

    void returnAndEnterPressTheFocusedButton_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::newRow("Return on the source area") << QStringLiteral("sourceArea") << int(Qt::Key_Return);
        QTest::newRow("Enter on the destination button") << QStringLiteral("destinationButton") << int(Qt::Key_Enter);
    }
    void returnAndEnterPressTheFocusedButton()
    {
        QFETCH(QString, button);
        QFETCH(int, key);
        ScriptWorkspace workspace;
        Window window(workspace.toolPath());
        QVERIFY(QTest::qWaitForWindowActive(&window.window));
        QWidget* target = window.part(button);
        target->setFocus(Qt::TabFocusReason);
        QTest::keyClick(target, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(window.chooser->sourceRequests + window.chooser->destinationRequests, 1);
    }

    void keyboardFocusShowsAHighlightRing_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("dark");
        for (const char* control : { "sourceArea", "destinationButton", "exportButton" })
            for (const bool dark : { false, true })
                QTest::addRow("%s, %s", control, dark ? "dark" : "light") << QString::fromLatin1(control) << dark;
    }
    void keyboardFocusShowsAHighlightRing()
    {
        QFETCH(QString, control);
        QFETCH(bool, dark);
        ScriptWorkspace workspace;
        Window window(workspace.toolPath());
        window.window.setPalette(dark ? darkPalette() : lightPalette());
        QVERIFY(QTest::qWaitForWindowActive(&window.window));
        window.chooseBoth(workspace);
        QWidget* target = window.part(control);
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
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("accessibleName");
        QTest::addColumn<bool>("dark");
        for (const bool dark : { false, true }) {
            const char* palette = dark ? "dark" : "light";
            QTest::addRow("source, %s", palette) << QStringLiteral("sourceField") << QStringLiteral("Source") << dark;
            QTest::addRow("destination, %s", palette)
                << QStringLiteral("destinationField") << QStringLiteral("Destination folder") << dark;
        }
    }
    void pathFieldsAreReadableCopyableAndReadOnly()
    {
        QFETCH(QString, field);
        QFETCH(QString, accessibleName);
        QFETCH(bool, dark);
        ScriptWorkspace workspace;
        Window window(workspace.toolPath());
        window.window.setPalette(dark ? darkPalette() : lightPalette());
        QVERIFY(QTest::qWaitForWindowActive(&window.window));
        window.chooseBoth(workspace);
        auto* line = window.part<QLineEdit>(field);
        const QString path = line->text();
        QVERIFY(!path.isEmpty());

        QCOMPARE(QAccessible::queryAccessibleInterface(line)->text(QAccessible::Name), accessibleName);
        QVERIFY(line->focusPolicy() & Qt::TabFocus);
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
        QCOMPARE(locationPath(field == u"sourceField" ? window.model->selectedSourceURL()
                                                      : window.model->selectedDestinationURL()),
            path);
        QTest::keyClick(line, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(line, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), path);
    }

    void progressIsNamedAndOnlyTheEndIsAnnounced_data()
    {
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("announced");
        QTest::newRow("image written") << 0 << QStringLiteral("isoSizeLine|Exported ISO Size: 0 MB");
        QTest::newRow("tool failed") << 1 << QStringLiteral("endLine|Export failed: ");
    }
    void progressIsNamedAndOnlyTheEndIsAnnounced()
    {
        QFETCH(int, exitCode);
        QFETCH(QString, announced);
        ScriptWorkspace workspace;
        workspace.writeTool(1, 4096, exitCode);
        Window window(workspace.toolPath());
        QCOMPARE(QAccessible::queryAccessibleInterface(window.part("progressBar"))->text(QAccessible::Name),
            QStringLiteral("Export progress"));

        window.chooseBoth(workspace);
        // A second start leaves the first end on show; it must not be read out again as news.
        for (int run = 1; run <= 2; ++run) {
            QFile::remove(workspace.imagePath());
            window.model->startExport();
            window.waitForEnd();
            QCOMPARE(window.desktop->announcements.size(), run);
            QVERIFY2(window.desktop->announcements.last().startsWith(announced),
                qPrintable(window.desktop->announcements.last()));
        }
    }
};

QTEST_MAIN(TestKeyboardAndAccess)
#include "test_keyboard_and_access.moc"
