// SPDX-License-Identifier: GPL-3.0-or-later
// The views and the windows around them: symbols, dialogs, About, Help, menus, and the main window in each state.

#include "HeldStaging.h"
#include "ViewTestKit.h"

#include "app/AppDelegate.h"
#include "app/MainWindow.h"
#include "app/MenuBar.h"
#include "common/BundleInfo.h"
#include "intake/SourceIcon.h"
#include "model/ExportModel.h"
#include "views/ElidedLabel.h"
#include "views/FileDialogChooser.h"
#include "views/FreedesktopDesktop.h"
#include "views/HelpView.h"
#include "views/MainView.h"
#include "views/ScaledPictureView.h"
#include "views/SymbolButton.h"
#include "views/SymbolIcon.h"

#include <QMessageBox>
#include <QProcess>
#include <QtDBus>

using namespace Qt::StringLiterals;
using namespace ViewTestKit;

namespace {

QString accessibleName(QWidget* widget)
{
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

// A desktop with nothing to answer; the real one is tested against stand-in services and the accessibility bus.
class QuietDesktop : public Desktop {
public:
    void showInFolder(const QString&, std::function<void()>) override { }
    void notify(const QString&, const QString&, const QString&, QWidget&) override { }
    void showProgress(std::optional<double>) override { }
    void announce(QWidget&) override { }
};

// File manager (if asked), notifications and a dock on a private bus, so names are routed; notes calls, opened
// folders and the launcher entry's progress (-1 for none shown).
class DesktopServices : public QDBusVirtualObject {
    Q_OBJECT

public:
    // Without a file manager, folders are opened as URLs, which `opensFolders` says work.
    explicit DesktopServices(bool withFileManager, bool opensFolders = true)
    {
        // Its socket in a folder of the test's, which goes with it: the daemon, killed, cannot remove it.
        bus.start(u"dbus-daemon"_s,
            { u"--session"_s, u"--nofork"_s, u"--print-address=1"_s, u"--address=unix:dir="_s + busFolder.path() });
        bus.waitForReadyRead(10000); // a bus that never starts fails the calls below
        const QString address = QString::fromUtf8(bus.readLine().trimmed());
        QDBusConnection service = QDBusConnection::connectToBus(address, u"services"_s);
        service.registerService(u"org.freedesktop.Notifications"_s);
        if (withFileManager)
            service.registerService(u"org.freedesktop.FileManager1"_s);
        service.registerVirtualObject(u"/org/freedesktop"_s, this, QDBusConnection::SubPath);
        service.connect({}, {}, u"com.canonical.Unity.LauncherEntry"_s, u"Update"_s, this,
            SLOT(launcherUpdated(QString, QVariantMap)));
        desktop = std::make_shared<FreedesktopDesktop>(QDBusConnection::connectToBus(address, u"client"_s),
            [this, opensFolders](const QUrl& url) { return opened << url, opensFolders; });
    }
    ~DesktopServices() override // then the daemon is killed
    {
        QDBusConnection::disconnectFromBus(u"client"_s);
        QDBusConnection::disconnectFromBus(u"services"_s);
    }
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        const QVariantList args = message.arguments();
        const QStringList notice { args.value(3).toString(), args.value(5).toStringList().join(u','),
            args.value(4).toString() };
        calls << (message.member() == u"Notify" ? notice.join(u'|') : args.value(0).toStringList().join(u' '));
        return connection.send(message.createReply(QVariant(uint(7))));
    }
    // The user's click on notification 7, or on one of its buttons, with the compositor's token for it.
    void invoke(const QString& action)
    {
        for (const auto& [signal, argument] :
            { std::pair { u"ActivationToken"_s, u"token-7"_s }, std::pair { u"ActionInvoked"_s, action } })
            QDBusConnection(u"services"_s)
                .send(QDBusMessage::createSignal(
                          u"/org/freedesktop/Notifications"_s, u"org.freedesktop.Notifications"_s, signal)
                    << uint(7) << argument);
    }

    QTemporaryDir busFolder;
    QProcess bus;
    std::shared_ptr<Desktop> desktop;
    QStringList calls;
    QList<QUrl> opened;
    QList<double> progress;

public Q_SLOTS:
    void launcherUpdated(const QString& application, const QVariantMap& properties)
    {
        if (application == u"application://org.velbrook.Velbrook.desktop"_s)
            progress << (properties[u"progress-visible"_s].toBool() ? properties[u"progress"_s].toDouble() : -1);
    }
};

// A main window as the application makes one, with menus holding the view's actions, and both locations chosen.
struct Window {
    explicit Window(
        bool choose = true, StagingStep staging = platformStaging(), const std::shared_ptr<Desktop>& other = {})
        : model(ExportModel::create(QStringLiteral(FAKE_TOOL_PATH), workspace.chooser, std::move(staging),
            [reads = symbolReads](const Location& location) {
                ++*reads;
                return sourceIconName(location);
            }))
    {
        window.setCentralWidget(new MainView(model, other ? other : desktop));
        buildMenus(*window.menuBar(), Bundle {}, {}, window.centralWidget()->actions());
        window.show();
        if (choose)
            model->selectSource(), model->selectDestination();
    }

    [[nodiscard]] QString text(const char* name) const { return part<QLineEdit>(window, name)->text(); }
    [[nodiscard]] QString state() const
    {
        QStringList state;
        for (const char* name : { "progressBar", "cancelButton", "stagingLine", "isoSizeLine", "showInFolder",
                 "endLine", "failureSymbol", "replaceButton", "exportButton" })
            if (part(window, name)->isVisibleTo(&window) && part(window, name)->isEnabled())
                state << QLatin1String(name);
        for (const QAction* item : window.menuBar()->actions().first()->menu()->actions())
            if (item->isEnabled()
                && (item->shortcut() == QKeySequence(u"Ctrl+E"_s) || item->shortcut() == Qt::Key_Escape))
                state << item->shortcut().toString();
        return state.join(u' ');
    }
    void runExport(const QByteArray& script)
    {
        workspace.script(script);
        model->startExport();
        QTRY_VERIFY_WITH_TIMEOUT(!model->exportInProgress() && !model->stagingInProgress(), exportTimeout);
    }
    [[nodiscard]] QString tabChain() const
    {
        part(window, "sourceArea")->setFocus(Qt::TabFocusReason);
        QStringList names;
        do {
            names << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        } while (QApplication::focusWidget()->objectName() != u"sourceArea" && names.size() < 20);
        return names.join(u' ');
    }

    Workspace workspace;
    std::shared_ptr<QuietDesktop> desktop = std::make_shared<QuietDesktop>();
    // How often the source's kind was read: once a choice, however often the view is drawn.
    std::shared_ptr<std::atomic<int>> symbolReads = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<ExportModel> model;
    QMainWindow window;
};

int countPixels(const QPixmap& pixmap, const std::function<bool(const QColor&)>& counts)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int i = 0; i < image.width() * image.height(); ++i)
        count += counts(image.pixelColor(i % image.width(), i / image.width()));
    return count;
}

int pixelsOf(const QPixmap& pixmap, const QColor& c, int alpha = 200)
{
    return countPixels(pixmap, [c, alpha](const QColor& p) {
        return p.alpha() > alpha
            && qAbs(p.red() - c.red()) + qAbs(p.green() - c.green()) + qAbs(p.blue() - c.blue()) < 40;
    });
}

void selectAndOpen(QFileDialog& dialog, const QString& path)
{
    dialog.setDirectory(QFileInfo(path).absolutePath());
    auto* list = dialog.findChild<QAbstractItemView*>(u"listView"_s);
    auto* files = qobject_cast<QFileSystemModel*>(list->model());
    QTRY_VERIFY(!list->visualRect(files->index(path)).isEmpty()); // the model reads the folder in the background
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(files->index(path)).center());
    QPushButton* open = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
    QTRY_VERIFY(open->isEnabled());
    QTest::mouseClick(open, Qt::LeftButton);
}

} // namespace

class ViewsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void symbolsFitTheirBoxInOneColourAndArtworkKeepsItsOwn()
    {
        const QStringList artwork { u"isoDiscIcon"_s, u"velbrook"_s }; // colourful, kept as authored
        QVERIFY(!symbolIcon(u"doc"_s, Qt::black).isNull()); // registers the icon resources
        QStringList files = QDir(u":/icons"_s).entryList({ u"*.svg"_s });
        QVERIFY(files.size() > artwork.size());
        const auto drawn = [](const QColor& pixel) { return pixel.alpha() > 0; };
        for (const QString& name : files.replaceInStrings(u".svg"_s, QString())) {
            // Every stroke's core in the colour asked for, and nothing on the border, where it would be cut off.
            const QPixmap pixmap = symbolPixmap(name, QColor(220, 20, 30), QSize(64, 64), 1.0);
            const int red = pixelsOf(pixmap, QColor(220, 20, 30), 240);
            QVERIFY2(artwork.contains(name)
                    || (red > 40 && red == countPixels(pixmap, [](const QColor& p) { return p.alpha() > 240; })
                        && countPixels(pixmap, drawn) == countPixels(pixmap.copy(1, 1, 62, 62), drawn)),
                qPrintable(name));
        }
        // The finished drawing is faded, as for a disabled button, not each stroke, which would show overlaps.
        const QPixmap faded = symbolPixmap(u"folder"_s, QColor(0, 0, 0, 128), QSize(64, 64), 1.0);
        QVERIFY(countPixels(faded, [](const QColor& p) { return p.alpha() >= 145; }) == 0
            && countPixels(faded, [](const QColor& p) { return p.alpha() > 110; }) > 0);
        const QPixmap sharp = symbolPixmap(u"doc"_s, Qt::black, QSize(24, 24), 2.0);
        QVERIFY(sharp.size() == QSize(48, 48) && sharp.deviceIndependentSize() == QSizeF(24, 24));
        // A name is never a path, so it cannot reach outside the symbols or add a second ".svg".
        for (const QString& name : { u"no.such.symbol"_s, u"../icons/folder"_s })
            QVERIFY2(symbolPixmap(name, Qt::black, QSize(64, 64), 1.0).isNull() && symbolIcon(name, Qt::black).isNull()
                    && artworkIcon(name).isNull(),
                qPrintable(name));
        for (const QString& name : artwork) {
            QSet<int> hues; // several distinct, clearly saturated hues
            countPixels(artworkIcon(name).pixmap(QSize(128, 128), 1.0), [&hues](const QColor& pixel) {
                return pixel.alpha() > 200 && pixel.hsvSaturation() > 50 && (hues.insert(pixel.hsvHue() / 30), true);
            });
            QVERIFY2(hues.size() >= 4, qPrintable(name));
        }
    }

    void dialogsOpenAtTheCurrentChoiceAndTakeOneItemOrOneFolder()
    {
        Workspace workspace;
        const auto model = ExportModel::create(u"/nonexistent/tool"_s, workspace.chooser);
        FileDialogChooser chooser(nullptr);
        chooser.startFrom(model);
        const auto openedAt = [&chooser](bool source) {
            QString folder;
            whenDialogOpens([&folder](QFileDialog& dialog) { folder = dialog.directory().canonicalPath(); });
            (void)(source ? chooser.chooseSource() : chooser.chooseDestination());
            return folder;
        };
        QCOMPARE(openedAt(true), QDir::home().canonicalPath()); // none yet: home, not the working directory
        model->selectSource(), model->selectDestination();
        QCOMPARE(openedAt(true), QFileInfo(workspace.path(u"."_s)).canonicalFilePath()); // the source's folder
        QCOMPARE(openedAt(false), QFileInfo(workspace.destinationPath()).canonicalFilePath());

        for (const QString& path : { workspace.sourcePath(), workspace.destinationPath() }) {
            whenDialogOpens([&](QFileDialog& dialog) { selectAndOpen(dialog, path); });
            QCOMPARE(chooser.chooseSource().location, QUrl::fromLocalFile(path));
        }
        // A folder typed with a "/" at its end is opened, and the dialog stays for the choice in it.
        whenDialogOpens([&](QFileDialog& dialog) {
            auto* typed = dialog.findChild<QLineEdit*>(u"fileNameEdit"_s);
            typed->setFocus();
            QTest::keyClicks(typed, u"destination/"_s);
            QTest::keyClick(typed, Qt::Key_Return);
            QTRY_COMPARE(
                dialog.directory().canonicalPath(), QFileInfo(workspace.destinationPath()).canonicalFilePath());
            QVERIFY(dialog.isVisible());
            dialog.reject();
        });
        QVERIFY(!chooser.chooseSource().confirmed);
        whenDialogOpens([&](QFileDialog& dialog) {
            QVERIFY(dialog.fileMode() == QFileDialog::Directory && dialog.testOption(QFileDialog::ShowDirsOnly));
            selectAndOpen(dialog, workspace.destinationPath());
        });
        QCOMPARE(chooser.chooseDestination().location, workspace.destinationUrl());
    }

    void exportWaitsForBothLocationsAndEachEndReplacesTheLast()
    {
        Window window(false);
        QVERIFY(window.text("sourceField").isEmpty() && window.text("destinationField").isEmpty()
            && !part<QLineEdit>(window.window, "sourceField")->placeholderText().isEmpty()
            && !accessibleName(part(window.window, "progressBar")).isEmpty());
        for (const auto* button : window.window.findChildren<SymbolButton*>())
            QVERIFY2(!button->icon().isNull(), qPrintable(button->objectName()));

        // The symbol and the path field inside the source area both choose; a cancelled dialog keeps the choice.
        QTest::mouseClick(part(window.window, "sourceSymbol"), Qt::LeftButton);
        window.workspace.chooser->sourceAnswer = {};
        QTest::mouseClick(part(window.window, "sourceField"), Qt::LeftButton);
        QCOMPARE(window.workspace.chooser->sourceRequests, 2);
        QCOMPARE(window.state(), QString());
        window.model->selectDestination();
        QCOMPARE(window.text("sourceField") + u'|' + window.text("destinationField"), // plain paths, not URLs
            window.workspace.sourcePath() + u'|' + window.workspace.destinationPath());
        QCOMPARE(window.state(), u"exportButton Ctrl+E");
        QTRY_COMPARE(part<ScaledPictureView>(window.window, "sourceSymbol")->pictureKey().section(u' ', 0, 0),
            u"doc.plaintext"_s);

        window.runExport("out 10%\\n20%\\n\nimage 3145728\n");
        QCOMPARE(window.state(), u"progressBar isoSizeLine showInFolder exportButton Ctrl+E");
        QCOMPARE(part<QAbstractButton>(window.window, "showInFolder")->text(), u"Show source.iso in Folder"_s);
        const auto* bar = part<QProgressBar>(window.window, "progressBar");
        QCOMPARE(bar->value(), bar->maximum());

        // The image is still there, so this one fails, and the earlier full bar goes.
        window.runExport("record RUNS\nimage 4096\n");
        QCOMPARE(window.state(), u"endLine failureSymbol replaceButton exportButton Ctrl+E");
        const QString line = part<ElidedLabel>(window.window, "endLine")->fullText();
        QVERIFY2(line.startsWith(u"Export of source.iso failed: "_s), qPrintable(line));
        // Replace, offered for that failure alone, runs it again with the tool's overwrite option.
        QTest::mouseClick(part(window.window, "replaceButton"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(
            window.state(), u"progressBar isoSizeLine showInFolder exportButton Ctrl+E"_s, exportTimeout);
        QVERIFY(TestFiles::readFile(window.workspace.path(u"runs"_s)).contains("arg -ov\n")
            && QFileInfo(window.workspace.imagePath()).size() == 4096);

        // An empty image is no size worth showing.
        QVERIFY(QFile::remove(window.workspace.imagePath()));
        window.runExport("image 0\n");
        QCOMPARE(window.state(), u"progressBar exportButton Ctrl+E");

        // A reason too long for one line goes on to a second, and only that one is cut, in its middle.
        const QString reason
            = u"cannot write "_s + QString(u"/very/deep"_s).repeated(40) + u" because the disk is full"_s;
        QVERIFY(QFile::remove(window.workspace.imagePath()));
        window.runExport("err velbrook-hdiutil: makehybrid failed - " + reason.toUtf8() + "\\n\nexit 1\n");
        const auto* end = part<ElidedLabel>(window.window, "endLine");
        const QStringList shown = end->text().split(u'\n');
        QVERIFY2(shown.size() == 2 && end->fullText().startsWith(shown[0]) && shown[1].contains(u'…')
                && shown[1].endsWith(u"disk is full"_s) && end->height() >= 2 * end->fontMetrics().lineSpacing(),
            qPrintable(end->text()));
        // Six exports drawn again and again, and the source's kind was read once, when it was chosen.
        QCOMPARE(int(*window.symbolReads), 1);

        // Only the source area takes drops, and only of local items.
        const QUrl web(u"https://example.org/disc.iso"_s), folder = window.workspace.destinationUrl();
        QVERIFY(!dropUrls(*part(window.window, "destinationField"), { folder })
            && !dropUrls(*part(window.window, "sourceSymbol"), { web }));
        QVERIFY(dropUrls(*part(window.window, "sourceField"), { web, folder }));
        QTRY_COMPARE(window.text("sourceField"), window.workspace.destinationPath());
    }

    void keyboardReachesEachCommandOnceTabFollowsTheWorkAndEscapeCancelsStaging()
    {
        HeldStaging held;
        Window window(false, held.step());
        window.workspace.script("record RUNS\nwait-for GO\nimage 4096\n");
        QVERIFY(QTest::qWaitForWindowActive(&window.window));
        const auto press = [&window](const char* focus, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
            part(window.window, focus)->setFocus(Qt::TabFocusReason);
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        };
        press("sourceArea", Qt::Key_Return);
        press("destinationButton", Qt::Key_Enter, Qt::KeypadModifier);
        // The menu bar holds the same actions: each shortcut still has one owner, and a path field with the focus
        // takes none of them.
        const QString paths = u" sourceField destinationField destinationButton "_s;
        const QStringList stops = window.tabChain().split(u' ');
        QCOMPARE(stops.join(u' '), "sourceArea" + paths + "exportButton");
        for (const QString& stop : stops) // Ctrl+O and Ctrl+D from every stop, each run once
            press(qPrintable(stop), Qt::Key_O, Qt::ControlModifier),
                press(qPrintable(stop), Qt::Key_D, Qt::ControlModifier);
        const ScriptedChooser& chooser = *window.workspace.chooser;
        QTRY_VERIFY(chooser.sourceRequests == 1 + stops.size() && chooser.destinationRequests == 1 + stops.size());

        press("destinationField", Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(window.state(), u"progressBar cancelButton stagingLine Esc"); // staging, held
        const auto* bar = part<QProgressBar>(window.window, "progressBar");
        const auto* line = part<QLabel>(window.window, "stagingLine");
        const auto told = [&] { return line->text() + u' ' + accessibleName(part(window.window, "sourceArea")); };
        QCOMPARE(bar->maximum(), 0); // moving, with no value
        QCOMPARE(told(), u"Preparing… Select Source: source.txt, preparing"_s);
        // A copy shows how far it has got, by bytes.
        held.pretendCopying(qint64(12) << 27, qint64(10) << 30);
        QTRY_COMPARE(told(), u"Copying 1.5 GB of 10 GB… Select Source: source.txt, copying"_s);
        QVERIFY(bar->maximum() > 0 && bar->value() * 100 == bar->maximum() * 15);
        QCOMPARE(window.tabChain(), "sourceArea" + paths + "cancelButton"); // the locations can still be chosen
        press("sourceField", Qt::Key_Escape);
        QCOMPARE(window.state(), u"endLine exportButton Ctrl+E");
        QCOMPARE(part<ElidedLabel>(window.window, "endLine")->fullText(), u"Export of source.iso cancelled"_s);

        held.release();
        press("sourceField", Qt::Key_E, Qt::ControlModifier);
        QTRY_COMPARE(window.workspace.toolRuns(), 1);
        QCOMPARE(window.tabChain(), "sourceArea" + paths + "cancelButton");
        QCOMPARE(window.state(), u"progressBar cancelButton Esc"); // Ctrl+E is off while it runs
        QCOMPARE(accessibleName(part(window.window, "sourceArea")), u"Select Source: source.txt, exporting, 0 %"_s);
        window.workspace.letToolGo();
        QTRY_VERIFY_WITH_TIMEOUT(window.model->canStartExport(), exportTimeout);
        QCOMPARE(window.tabChain(), "sourceArea showInFolder" + paths + "exportButton");

        // Replace leaves the focus on Cancel while its export runs, then on the export button, and selects no path.
        QVERIFY(QFile::remove(window.workspace.path(u"go"_s)));
        press("sourceField", Qt::Key_E, Qt::ControlModifier); // the image is there
        QTRY_VERIFY(window.model->canReplaceImage());
        press("replaceButton", Qt::Key_Return);
        QTRY_COMPARE(QApplication::focusWidget(), part(window.window, "cancelButton"));
        window.workspace.letToolGo();
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), part(window.window, "exportButton"), exportTimeout);
        QVERIFY(part<QLineEdit>(window.window, "sourceField")->selectedText().isEmpty());
    }

    void controlsFollowThePaletteAndTheKeyboard()
    {
        // A light and a dark theme's palette: text in contrast to the window, disabled text dimmed.
        for (const QColor& background : { QColor(239, 239, 239), QColor(55, 55, 55) }) {
            Window window;
            QPalette palette(background);
            palette.setColor(QPalette::Highlight, QColor(53, 132, 228));
            window.window.setPalette(palette);
            QVERIFY(QTest::qWaitForWindowActive(&window.window));
            const QColor text = palette.color(QPalette::WindowText);
            QVERIFY2(pixelsOf(part(window.window, "sourceSymbol")->grab(), text) > 0
                    && pixelsOf(part<QAbstractButton>(window.window, "destinationButton")->icon().pixmap(24), text) > 0,
                qPrintable(background.name()));

            // A highlight ring for focus, shown from launch, where the source area has it.
            QVERIFY(QApplication::focusWidget() == part(window.window, "sourceArea")
                && window.window.testAttribute(Qt::WA_KeyboardFocusChange));
            for (const char* control : { "destinationButton", "sourceArea" }) {
                QWidget* target = part(window.window, control);
                const int unfocused = pixelsOf(target->grab(), palette.color(QPalette::Highlight));
                target->setFocus(Qt::TabFocusReason);
                const int focused = pixelsOf(target->grab(), palette.color(QPalette::Highlight));
                QVERIFY2(focused - unfocused >= target->width() + target->height(),
                    qPrintable(background.name() + u' ' + control));
            }

            // The paths are named, drawn as enabled text, and can be copied but not changed.
            for (const char* field : { "sourceField", "destinationField" }) {
                auto* line = part<QLineEdit>(window.window, field);
                const QString path = line->text();
                const int enabledText = pixelsOf(line->grab(), palette.color(QPalette::Active, QPalette::Text));
                line->setFocus(Qt::TabFocusReason);
                QTest::keyClicks(line, u"typed\b"_s); // and a backspace
                QTest::keySequence(line, QKeySequence::SelectAll);
                QTest::keySequence(line, QKeySequence::Copy);
                QVERIFY2(!accessibleName(line).isEmpty() && enabledText > 0 && line->text() == path
                        && QGuiApplication::clipboard()->text() == path,
                    qPrintable(background.name() + u' ' + field));
            }
        }
    }

    void onlyAnAbsentUserIsNotifiedAndShowInFolderSelectsTheImageOrOpensItsFolder()
    {
        // Whether the window is active, what shows folders (a file manager, a folder opener, or nothing), the script,
        // and the services' calls in order. An absent user answers the notification: its Show in Folder, or a click
        // that brings the window back.
        const char* rows[][4] = {
            { "active", "file manager", "image 4096\n", "IMAGE" },
            { "", "file manager", "image 4096\n",
                "Image created|ACTIONS,show-in-folder,Show in Folder|source.iso, 0 MB\nIMAGE" },
            { "", "file manager", "exit 1\n", "Export failed|ACTIONS|" },
            { "active", "", "image 4096\n", "" },
            { "active", "nothing", "image 4096\n", "" },
        };
        for (const auto& [active, fileManager, script, expected] : rows) {
            DesktopServices services(qstrcmp(fileManager, "file manager") == 0, qstrcmp(fileManager, "nothing") != 0);
            Window window(true, platformStaging(), services.desktop);
            QVERIFY(QTest::qWaitForWindowActive(&window.window));
            if (!*active)
                window.window.hide();
            QTRY_COMPARE(QApplication::activeWindow() != nullptr, bool(*active));
            window.runExport(script);
            if (!*active) {
                QTRY_COMPARE(services.calls.size(), 1);
                services.invoke(window.model->exportedImagePath().isEmpty() ? u"default"_s : u"show-in-folder"_s);
            } else if (!window.model->exportedImagePath().isEmpty()) {
                part<QAbstractButton>(window.window, "showInFolder")->click();
            }
            const QString image = QUrl::fromLocalFile(window.workspace.imagePath()).toString();
            const QStringList calls = QString::fromLatin1(expected)
                                          .replace(u"IMAGE"_s, image)
                                          .replace(u"ACTIONS"_s, u"default,Show Window"_s)
                                          .split(u'\n', Qt::SkipEmptyParts);
            QTRY_COMPARE(services.calls.size(), calls.size());
            for (qsizetype i = 0; i < calls.size(); ++i)
                QVERIFY2(services.calls[i].startsWith(calls[i]), qPrintable(services.calls[i]));
            const bool opener = qstrcmp(fileManager, "file manager") != 0;
            QTRY_COMPARE(services.opened, opener ? QList { window.workspace.destinationUrl() } : QList<QUrl>());
            // Where nothing could show it, the window says so, and where the image is.
            const auto* notShown = window.window.findChild<QMessageBox*>(u"folderNotShown"_s);
            QCOMPARE(notShown && notShown->informativeText().endsWith(window.workspace.destinationPath()),
                qstrcmp(fileManager, "nothing") == 0);
            // A click on the notification itself brought the hidden window back, with the click's token for Wayland
            // (which the offscreen platform leaves unused); the dock's entry showed the export under way and shows
            // nothing once it has ended.
            const bool clicked = !*active && window.model->exportedImagePath().isEmpty();
            QTRY_VERIFY(window.window.isVisible() == (*active || clicked) && services.progress.contains(0.0)
                && services.progress.value(services.progress.size() - 1) == -1);
            QCOMPARE(qgetenv("XDG_ACTIVATION_TOKEN"), clicked ? "token-7" : "");
            qunsetenv("XDG_ACTIVATION_TOKEN");
        }
    }

    // The whole way a user goes, with the real image tool, and what a screen reader meets of it on the real
    // accessibility bus. CMake runs it alone, with a session bus of its own and an X server.
    void exportsADroppedFolderAsAScreenReaderFollowsIt()
    {
        const QString toolPath = qEnvironmentVariable("VELBROOK_IMAGE_TOOL");
        const QString probe = qEnvironmentVariable("VELBROOK_ATSPI_PROBE");
        if (!QFileInfo(toolPath).isExecutable() || probe.isEmpty())
            QSKIP("Runs as test_end_to_end_export, with the image tool, on an accessibility bus");
        Workspace workspace;
        const QString source = workspace.path(u"Holiday Photos"_s);
        QVERIFY(TestFiles::writeFile(source + u"/day one/notes.txt"_s, QByteArray(5000, 'x')));
        MainWindow window(toolPath, u"Velbrook"_s);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QProcess reader;
        reader.start(
            qEnvironmentVariable("VELBROOK_SYSTEM_PYTHON"), { probe, QString::number(qApp->applicationPid()) });
        QByteArray heard;
        const auto hears = [&](const QByteArray& line) { return heard += reader.readAll(), heard.contains(line); };
        QTRY_VERIFY_WITH_TIMEOUT(hears("READY\n"), 20000);

        // The source area's name says what is chosen. A window may miss listeners that arrive as its bridge starts:
        // until it is heard, the reader registers them again, and the source is dropped again after another.
        const auto drop = [&window](const QString& item) {
            return dropUrls(*part(window, "sourceSymbol"), { QUrl::fromLocalFile(item) });
        };
        const QByteArray named = "named push button|Select Source: Holiday Photos\n";
        for (int tries = 0; drop(source) && !QTest::qWaitFor([&] { return hears(named); }, 2000) && tries < 15; ++tries)
            reader.write("listen\n"), drop(workspace.destinationPath());
        QVERIFY2(hears(named), heard.constData());
        whenDialogOpens([&](QFileDialog& dialog) { selectAndOpen(dialog, workspace.destinationPath()); });
        QTest::mouseClick(part(window, "destinationButton"), Qt::LeftButton);
        QTRY_VERIFY(part(window, "exportButton")->isEnabled());
        QTest::mouseClick(part(window, "exportButton"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(hears("shown notification|Holiday Photos.iso: Exported ISO Size: 0 MB\n"), 60000);

        // The bar, the end and the path are the source area's own, where reading commands go.
        reader.write("tree\n");
        QTRY_VERIFY(hears("\nend\n"));
        for (const char* part : { "tree 1 progress bar|Export progress",
                 "tree 1 notification|Holiday Photos.iso:", "tree 2 label|Exported ISO Size: 0 MB",
                 "tree 2 push button|Show Holiday Photos.iso in Folder", "tree 1 text|Source" })
            QVERIFY2(heard.contains(part), part);
        // An end that leaves the notice on screen is told too; a refresh that changes no name sends none.
        QTRY_VERIFY(part(window, "exportButton")->isEnabled());
        QTest::mouseClick(part(window, "exportButton"), Qt::LeftButton); // fails: the image is there
        QTRY_VERIFY(hears("shown notification|Export of Holiday Photos.iso failed: Holiday Photos.iso already exists"));
        QTest::qWait(500);
        const qsizetype names = heard.count("named ");
        window.setPalette(QPalette(Qt::darkGray));
        QTest::qWait(500);
        QVERIFY2(hears({}) && heard.count("shown ") == 2 && heard.count("named ") == names, heard.constData());
        reader.closeWriteChannel();
        QVERIFY(reader.waitForFinished());
    }

    void eachMenuItemRunsItsOwnCommandAndHelpListsTheShortcuts()
    {
        QString ran;
        const auto note = [&ran](const char* name) { return [&ran, name] { ran += QLatin1String(name); }; };
        MainView view(ExportModel::create(u"/nonexistent/tool"_s));
        QMenuBar menuBar;
        buildMenus(menuBar, Bundle {}, { note("new"), note("close"), note("quit"), note("help"), note("about") },
            view.actions());
        HelpView help;
        QStringList texts;
        std::ranges::transform(help.findChildren<QLabel*>(), std::back_inserter(texts), &QLabel::text);
        for (const QAction* action : view.actions()) // under the Help window's name and shortcut
            QVERIFY2(texts.contains(QString(action->text()).remove(u'…'))
                    && texts.contains(action->shortcut().toString(QKeySequence::NativeText))
                    && !action->shortcut().isEmpty(),
                qPrintable(action->text()));
        // What each item that is not the view's own runs; every shortcut, the view's too, belongs to one item.
        QStringList commands;
        QList<QKeySequence> shortcuts;
        for (QAction* menu : menuBar.actions())
            for (QAction* item : menu->menu()->actions()) {
                shortcuts << item->shortcut();
                if (!item->isSeparator() && !view.actions().contains(item))
                    ran.clear(), item->trigger(), commands << ran;
            }
        commands.sort();
        QCOMPARE(commands, QStringList({ "about", "close", "help", "new", "quit" }));
        shortcuts.removeAll(QKeySequence());
        QCOMPARE(QSet<QKeySequence>(shortcuts.begin(), shortcuts.end()).size(), shortcuts.size());
    }

    // Last, because it runs the application's event loop until the application quits by itself.
    void aboutAndHelpAreMadeOnceShownAgainAndCloseWithTheLastMainWindow()
    {
        AppDelegate delegate(Bundle { QJsonObject { { u"CFBundleName"_s, u"Velbrook"_s } } });
        const auto titled = [](const QString& title) { // the windows of that title, to see each made once
            QWidgetList all = QApplication::topLevelWidgets();
            return all.removeIf([&title](QWidget* w) { return w->windowTitle() != title; }), all;
        };
        for (const bool about : { true, false }) {
            const auto show = [&] { about ? delegate.showAboutWindow() : delegate.showHelpWindow(); };
            const QString title = (about ? u"About"_s : u"Help"_s) + u" Velbrook"_s;
            QVERIFY(titled(title).isEmpty());
            show();
            QPointer<QWidget> first = titled(title).value(0);
            QVERIFY2(first && first->isVisible() && first->minimumSize() == first->maximumSize(), qPrintable(title));
            const QPoint position = first->pos();
            for (const QKeySequence& keys : { QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W) }) {
                QVERIFY(QTest::qWaitForWindowActive(first));
                QTest::keySequence(first, keys);
                QVERIFY2(!first->isVisible(), qPrintable(title + u' ' + keys.toString()));
                show();
            }
            QVERIFY2(first && titled(title) == QWidgetList { first } && first->isVisible() && first->pos() == position,
                qPrintable(title));
            first->showMinimized();
            show();
            QVERIFY2(!(first->windowState() & Qt::WindowMinimized), qPrintable(title));
        }
        QMainWindow mainWindow;
        mainWindow.show();
        QTimer::singleShot(0, &mainWindow, &QWidget::close);
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });
        QCOMPARE(QApplication::exec(), 0);
    }
};

int main(int argc, char* argv[])
{
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs); // Qt's own dialog is the one under test
    QApplication application(argc, argv);
    ViewsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_views.moc"
