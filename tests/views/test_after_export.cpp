// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewTestKit.h"

#include "model/ExportModel.h"
#include "views/FreedesktopDesktop.h"
#include "views/MainView.h"

#include <QAbstractButton>
#include <QDBusConnection>
#include <QProcess>
#include <QTest>
#include <memory>

using namespace ViewTestKit;

namespace {

constexpr int exportTimeout = 15000;

// A session bus of the test's own, which starts no services by itself.
class PrivateBus {
public:
    PrivateBus()
    {
        const QString config = m_folder.filePath(QStringLiteral("bus.conf"));
        (void)writeFile(config,
            QStringLiteral("<busconfig><type>session</type><listen>unix:tmpdir=%1</listen><auth>EXTERNAL</auth>"
                           "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                           "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>")
                .arg(m_folder.path())
                .toUtf8());
        m_daemon.start(QStringLiteral("dbus-daemon"),
            { QStringLiteral("--config-file=") + config, QStringLiteral("--print-address"),
                QStringLiteral("--nofork") });
        if (m_daemon.waitForReadyRead(10000))
            m_address = QString::fromUtf8(m_daemon.readLine().trimmed());
    }
    ~PrivateBus()
    {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
    [[nodiscard]] bool running() const { return !m_address.isEmpty(); }
    [[nodiscard]] QDBusConnection connect(const QString& name) const
    {
        return QDBusConnection::connectToBus(m_address, name);
    }

private:
    QTemporaryDir m_folder;
    QProcess m_daemon;
    QString m_address;
};

} // namespace

// Stand-ins for the file manager and the notification service, served on the private bus.
class FileManagerStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QStringList shown;

public Q_SLOTS:
    void ShowItems(const QStringList& uris, const QString&) { shown << uris; }
};

class NotificationsStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList notes;

public Q_SLOTS:
    uint Notify(const QString&, uint, const QString&, const QString& summary, const QString& body, const QStringList&,
        const QVariantMap&, int)
    {
        notes << summary + u'|' + body;
        return uint(notes.size());
    }
};

// What the window offers once an image is written: the file manager, and a notification for the absent.
class TestAfterExport : public QObject {
    Q_OBJECT

    struct Setup {
        explicit Setup(PrivateBus& bus, bool withServices)
            : service(bus.connect(QStringLiteral("service")))
            , chooser(std::make_shared<ScriptedChooser>())
            , model(ExportModel::create(workspace.toolPath(), chooser))
            , view(model,
                  std::make_shared<FreedesktopDesktop>(bus.connect(QStringLiteral("client")), [this](const QUrl& url) {
                      opened << url;
                      return true;
                  }))
        {
            if (withServices) {
                QVERIFY(service.registerService(QStringLiteral("org.freedesktop.FileManager1")));
                QVERIFY(service.registerObject(
                    QStringLiteral("/org/freedesktop/FileManager1"), &fileManager, QDBusConnection::ExportAllSlots));
                QVERIFY(service.registerService(QStringLiteral("org.freedesktop.Notifications")));
                QVERIFY(service.registerObject(
                    QStringLiteral("/org/freedesktop/Notifications"), &notifications, QDBusConnection::ExportAllSlots));
            }
            chooser->sourceAnswer = { true, workspace.sourceUrl() };
            chooser->destinationAnswer = { true, workspace.destinationUrl() };
            model->selectSource();
            model->selectDestination();
        }
        // Leaving the bus drops the stand-ins' names, so the next case starts without services.
        ~Setup()
        {
            QDBusConnection::disconnectFromBus(QStringLiteral("service"));
            QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        }
        void exportWith(int exitCode)
        {
            workspace.writeTool(1, 4096, exitCode);
            model->startExport();
            QTRY_VERIFY_WITH_TIMEOUT(!model->exportInProgress() && !model->stagingInProgress(), exportTimeout);
        }
        [[nodiscard]] QAbstractButton* link() const
        {
            return view.findChild<QAbstractButton*>(QStringLiteral("showInFolder"));
        }

        QDBusConnection service;
        ScriptWorkspace workspace;
        std::shared_ptr<ScriptedChooser> chooser;
        std::shared_ptr<ExportModel> model;
        QList<QUrl> opened;
        MainView view;
        FileManagerStandIn fileManager;
        NotificationsStandIn notifications;
    };

private Q_SLOTS:
    void initTestCase()
    {
        if (!m_bus.running())
            QFAIL("dbus-daemon did not start; ./dev installs it");
    }

    void showInFolderSelectsTheImageInTheFileManager()
    {
        Setup setup(m_bus, true);
        setup.view.show();
        QVERIFY(!setup.link()->isVisible());
        setup.exportWith(0);
        QVERIFY(setup.link()->isVisible());
        QVERIFY(setup.link()->toolTip().contains(QStringLiteral("source.iso")));
        QVERIFY(setup.link()->accessibleName().contains(QStringLiteral("source.iso")));

        QTest::mouseClick(setup.link(), Qt::LeftButton);
        QTRY_COMPARE(
            setup.fileManager.shown, QStringList { QUrl::fromLocalFile(setup.workspace.imagePath()).toString() });
        QVERIFY(setup.opened.isEmpty());
    }

    void withoutAFileManagerTheFolderOpens()
    {
        Setup setup(m_bus, false);
        setup.view.show();
        setup.exportWith(0);
        QTest::mouseClick(setup.link(), Qt::LeftButton);
        QTRY_COMPARE(setup.opened, QList<QUrl> { setup.workspace.destinationUrl() });
    }

    void onlyAnAbsentUserIsNotified_data()
    {
        QTest::addColumn<bool>("windowActive");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("note");
        QTest::newRow("image, window active") << true << 0 << QString();
        QTest::newRow("image, no window active") << false << 0 << QStringLiteral("Image created|source.iso, 0 MB");
        QTest::newRow("failure, no window active") << false << 1 << QStringLiteral("Export failed|");
    }
    void onlyAnAbsentUserIsNotified()
    {
        QFETCH(bool, windowActive);
        QFETCH(int, exitCode);
        QFETCH(QString, note);
        Setup setup(m_bus, true);
        if (windowActive) {
            setup.view.show();
            QVERIFY(QTest::qWaitForWindowActive(&setup.view));
        }
        QVERIFY(!QApplication::activeWindow() == !windowActive);
        setup.exportWith(exitCode);

        // The bus keeps the order of one sender's calls: once this arrives, any notification has arrived too.
        FreedesktopDesktop(setup.service).showInFolder(setup.workspace.imagePath());
        QTRY_COMPARE(setup.fileManager.shown.size(), 1);
        QCOMPARE(setup.notifications.notes.size(), note.isEmpty() ? 0 : 1);
        if (!note.isEmpty())
            QVERIFY2(setup.notifications.notes.first().startsWith(note), qPrintable(setup.notifications.notes.first()));
    }

private:
    PrivateBus m_bus;
};

QTEST_MAIN(TestAfterExport)
#include "test_after_export.moc"
