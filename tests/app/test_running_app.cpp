// SPDX-License-Identifier: GPL-3.0-or-later
// The running application's windows: on a small screen in every language, and quitting while an export runs.

#include "ViewTestKit.h"

#include "app/MainWindow.h"
#include "app/Translations.h"
#include "app/VelbrookApp.h"
#include "common/ImageToolContract.h"
#include "model/ExportModel.h"
#include "views/AboutView.h"
#include "views/ElidedLabel.h"
#include "views/HelpView.h"
#include "views/MainView.h"

#include <sys/stat.h>

using namespace ViewTestKit;
using namespace Qt::StringLiterals;

namespace {

// The application's first main window, with a source taken and a destination chosen in its dialog.
struct RunningApp {
    explicit RunningApp(const QString& toolPath = QStringLiteral(FAKE_TOOL_PATH))
        : velbrook(*qApp, toolPath)
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            window = window ? window.get() : qobject_cast<MainWindow*>(widget);
        if (!window || !window->takeCommandLineItem(QFile::encodeName(workspace.sourcePath())))
            qFatal("no main window taking a source");
        whenDialogOpens([this](QFileDialog& dialog) { // with nothing selected, Open takes the folder shown
            dialog.setDirectory(workspace.destinationPath());
            QPushButton* open = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
            chooseButtonText = open->text();
            QTest::mouseClick(open, Qt::LeftButton);
        });
        QTest::mouseClick(part(*window, "destinationButton"), Qt::LeftButton);
    }
    ~RunningApp() { delete window; }

    Workspace workspace;
    VelbrookApp velbrook;
    QPointer<MainWindow> window;
    QString chooseButtonText;
};

// A folder "Many" holding a folder less than an image can number, made once, in memory where there is room: a disk
// makes folders slowly. With the image's root and itself, an image of it as an item has one folder too many.
QString manyFolders()
{
    static const QString shared = u"/dev/shm"_s;
    static const QTemporaryDir dir(
        (QFileInfo(shared).isWritable() ? shared : QDir::tempPath()) + u"/test_running_app-XXXXXX"_s);
    static const QByteArray many = [] {
        QByteArray path = QFile::encodeName(dir.filePath(u"Many"_s));
        bool madeAll = ::mkdir(path.constData(), 0700) == 0;
        for (uint64_t folder = 0; madeAll && folder + 1 < imagetool::mostFolders; ++folder)
            madeAll = ::mkdir(path + '/' + QByteArray::number(folder), 0700) == 0;
        if (!madeAll)
            qFatal("cannot make the folders of %s", path.constData());
        return path;
    }();
    return QFile::decodeName(many);
}

// Every shown part of `top` lies inside it and is not squeezed to nothing, and no text is cut: a label or a
// button is at least the size it asks for, unless it elides by design.
void verifyNothingIsCut(QWidget& top)
{
    for (const QWidget* child : top.findChildren<QWidget*>()) {
        const QRect area(child->mapTo(&top, QPoint(0, 0)), child->size());
        const bool showsText = (qobject_cast<const QLabel*>(child) && !qobject_cast<const ElidedLabel*>(child))
            || qobject_cast<const QAbstractButton*>(child);
        const QSize wanted = showsText ? child->sizeHint() : QSize(0, 0);
        QVERIFY2(!child->isVisibleTo(&top)
                || (!area.isEmpty() && top.rect().contains(area) && wanted.boundedTo(child->size()) == wanted),
            qPrintable(child->metaObject()->className() + (u' ' + child->objectName())));
    }
}

} // namespace

class RunningAppTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void windowsFitASmallScreenInEveryLanguage_data()
    {
        QTest::addColumn<QString>("missingItem"); // our own text
        QTest::addColumn<QString>("chooseButton"); // the folder dialog's, from Qt's own translations
        for (const auto& [language, missingItem, chooseButton] :
            { std::array { "en", "no-such-item: no such file or folder", "&Choose" },
                std::array { "de", "no-such-item: keine solche Datei und kein solcher Ordner", "&Auswählen" },
                std::array { "es", "no-such-item: no existe el archivo o la carpeta", "&Seleccionar" },
                std::array { "fr", "no-such-item\u00a0: aucun fichier ou dossier de ce nom", "&Choisir" },
                std::array { "ja", "no-such-item: そのようなファイルやフォルダはありません", "選択(&C)" } })
            QTest::newRow(language) << QString(missingItem) << QString(chooseButton);
    }

    void windowsFitASmallScreenInEveryLanguage()
    {
        QFETCH(QString, missingItem);
        QFETCH(QString, chooseButton);
        Translations translations { QLocale(QTest::currentDataTag()) };
        translations.install();
        RunningApp app;
        QCOMPARE(app.chooseButtonText, chooseButton);
        MainWindow& window = *app.window;
        const QRect available = window.screen()->availableGeometry();
        // The screen main() sets up is lower than the content's preferred minimum and the menu bar.
        QVERIFY(available.height() < MainView::preferredMinimumSize.height() + window.menuBar()->sizeHint().height());
        QVERIFY(QTest::qWaitForWindowExposed(&window) && available.contains(window.frameGeometry()));

        // An item named on the command line that is not there is said in the window too.
        QVERIFY(!window.takeCommandLineItem("no-such-item"));
        QCOMPARE(part<ElidedLabel>(window, "endLine")->fullText(), missingItem);
        // One whose name is no UTF-8 (Latin-1 here) is taken byte for byte.
        const QByteArray latin1 = QFile::encodeName(QFileInfo(app.workspace.sourcePath()).path()) + "/caf\xe9";
        QCOMPARE(::mkdir(latin1.constData(), 0700), 0);
        const auto removeLatin1 = qScopeGuard([&latin1] { ::rmdir(latin1.constData()); }); // QTemporaryDir cannot
        QVERIFY(window.takeCommandLineItem(latin1));
        QTRY_COMPARE(locationBytes(*window.model()->selectedSourceURL()), latin1);
        QVERIFY(window.takeCommandLineItem(QFile::encodeName(app.workspace.sourcePath())));

        // The widest state, an image's size and Show in Folder, cuts off nothing and squeezes nothing to nothing.
        app.workspace.script("image 4096\n");
        QTest::mouseClick(part(window, "exportButton"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(part(window, "showInFolder")->isVisible(), exportTimeout);
        for (const QSize size : { window.size(), window.minimumSize() }) {
            window.resize(size);
            QTRY_COMPARE(window.size(), size);
            QCoreApplication::processEvents(); // the layout for that size
            verifyNothingIsCut(window);
        }
        // Help, then About, from the window's own menu: fixed sizes, whatever the language's texts.
        for (QAction* item : window.menuBar()->actions().last()->menu()->actions())
            item->trigger();
        QWidgetList secondary = QApplication::topLevelWidgets();
        secondary.removeIf(
            [](QWidget* top) { return !qobject_cast<HelpView*>(top) && !qobject_cast<AboutView*>(top); });
        QCOMPARE(secondary.size(), 2);
        for (QWidget* top : secondary) { // no text makes Help grow beyond the size it was drawn at
            QVERIFY(QTest::qWaitForWindowExposed(top)
                && (!qobject_cast<HelpView*>(top) || top->size() == HelpView::fixedSize));
            verifyNothingIsCut(*top);
        }
    }

    void realToolsFailureIsSaidInTheUsersLanguage_data()
    {
        QTest::addColumn<QString>("said"); // %1: the item
        QTest::newRow("en") << u"Export of Many.iso failed: %1 has 65,536 folders, but an ISO 9660 image holds at "
                               u"most 65,535"_s;
        QTest::newRow("de") << u"Export von Many.iso gescheitert: %1 hat 65.536 Ordner, ein ISO-9660-Abbild fasst "
                               u"aber höchstens 65.535"_s;
    }

    // The tool refuses an item its image could not number the folders of (the image's root, the item and all
    // folders in it), and the window says why in its own words.
    void realToolsFailureIsSaidInTheUsersLanguage()
    {
        QFETCH(QString, said);
        Translations translations { QLocale(QTest::currentDataTag()) };
        translations.install();
        QLocale::setDefault(QLocale(QTest::currentDataTag())); // the user's numbers too, as the system's locale gives
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });
        const QByteArray item = QFile::encodeName(manyFolders());
        RunningApp app(QStringLiteral(IMAGE_TOOL_PATH));
        QVERIFY(app.window->takeCommandLineItem(item));
        QTRY_COMPARE(locationBytes(*app.window->model()->selectedSourceURL()), item);
        QTest::mouseClick(part(*app.window, "exportButton"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(part(*app.window, "endLine")->isVisible(), exportTimeout);
        QCOMPARE(part<ElidedLabel>(*app.window, "endLine")->fullText(), said.arg(QFile::decodeName(item)));
        // Nothing is left beside the workspace's own placeholder.
        QCOMPARE(
            QDir(app.workspace.destinationPath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { u".keep"_s });
    }

    // Last: it runs the event loop until the application quits. That a quit stops the tool is the export's test.
    void quitAsksOnlyWhileAnExportRuns()
    {
        RunningApp app;
        const auto model = app.window->model();
        QTRY_VERIFY(model->canStartExport());
        app.workspace.script("wait-for GO\n");
        model->startExport();
        // Answers the question about to be asked, inside its loop, with the button of that text, noting the default.
        QStringList defaults;
        const auto answerWith = [&defaults](const QString& text) {
            QTimer::singleShot(0, qApp, [text, &defaults] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                defaults << (box ? box->defaultButton()->text() : QString());
                for (QAbstractButton* button : box ? box->buttons() : QList<QAbstractButton*>())
                    if (button->text() == text)
                        button->click();
            });
        };
        answerWith(QStringLiteral("Cancel"));
        app.velbrook.requestQuit();
        QVERIFY(model->canCancelExport());
        QTimer::singleShot(0, qApp, [&app] { app.velbrook.requestQuit(); });
        answerWith(QStringLiteral("Stop and Quit"));
        QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(1); });
        QCOMPARE(QApplication::exec(), 0);
        QCOMPARE(defaults, QStringList({ "Cancel", "Cancel" })); // asked both times, the safe answer the default
    }
};

int main(int argc, char* argv[])
{
    // A 1920x1080 laptop screen at 200%, less a panel: 960x512 logical pixels.
    QTemporaryDir scratch;
    const QString config = scratch.filePath(QStringLiteral("screens.json"));
    TestFiles::writeFile(config, R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 960, "height": 512}]})");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    qputenv("TMPDIR", scratch.path().toLocal8Bit()); // the application sweeps stale staging folders at start
    qputenv("XDG_CACHE_HOME", scratch.path().toLocal8Bit());
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication application(argc, argv);
    RunningAppTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_running_app.moc"
