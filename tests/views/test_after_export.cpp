// SPDX-License-Identifier: GPL-3.0-or-later
// What the window offers once an image is written: the file manager, and a notification for the absent,
// against stand-in services on a session bus of the test's own.

#include "ViewTestKit.h"

#include "model/ExportModel.h"
#include "views/FreedesktopDesktop.h"
#include "views/MainView.h"

#include <QAbstractButton>
#include <QDBusConnection>
#include <QProcess>

using namespace ViewTestKit;

namespace {

// A session bus which starts no services by itself.
class PrivateBus {
public:
    PrivateBus()
    {
        const QString config = m_folder.filePath(QStringLiteral("bus.conf"));
        TestFiles::writeFile(config,
            QStringLiteral("<busconfig><type>session</type><listen>unix:tmpdir=%1</listen><auth>EXTERNAL</auth>"
                           "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                           "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>")
                .arg(m_folder.path())
                .toUtf8());
        m_daemon.start(QStringLiteral("dbus-daemon"),
            { QStringLiteral("--config-file=") + config, QStringLiteral("--print-address"),
                QStringLiteral("--nofork") });
        if (m_daemon.waitForReadyRead(10000))
            address = QString::fromUtf8(m_daemon.readLine().trimmed());
    }
    ~PrivateBus()
    {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
    QString address;

private:
    QTemporaryDir m_folder;
    QProcess m_daemon;
};

} // namespace

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

class AfterExportTest : public QObject {
    Q_OBJECT

    // A window whose desktop talks to the private bus, with the stand-ins served there when `withServices`.
    struct Setup {
        Setup(const PrivateBus& bus, bool withServices)
            : service(QDBusConnection::connectToBus(bus.address, QStringLiteral("service")))
            , view(model,
                  std::make_shared<FreedesktopDesktop>(
                      QDBusConnection::connectToBus(bus.address, QStringLiteral("client")), [this](const QUrl& url) {
                          opened << url;
                          return true;
                      }))
        {
            if (withServices) {
                service.registerService(QStringLiteral("org.freedesktop.FileManager1"));
                service.registerObject(
                    QStringLiteral("/org/freedesktop/FileManager1"), &fileManager, QDBusConnection::ExportAllSlots);
                service.registerService(QStringLiteral("org.freedesktop.Notifications"));
                service.registerObject(
                    QStringLiteral("/org/freedesktop/Notifications"), &notifications, QDBusConnection::ExportAllSlots);
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
        void exportWith(const QByteArray& script)
        {
            workspace.script(script);
            model->startExport();
            QTRY_VERIFY_WITH_TIMEOUT(!model->exportInProgress() && !model->stagingInProgress(), exportTimeout);
        }
        [[nodiscard]] QAbstractButton* link() const
        {
            return view.findChild<QAbstractButton*>(QStringLiteral("showInFolder"));
        }

        Workspace workspace;
        std::shared_ptr<ScriptedChooser> chooser = std::make_shared<ScriptedChooser>();
        std::shared_ptr<ExportModel> model = ExportModel::create(QStringLiteral(FAKE_TOOL_PATH), chooser);
        QDBusConnection service;
        QList<QUrl> opened;
        MainView view;
        FileManagerStandIn fileManager;
        NotificationsStandIn notifications;
    };

private Q_SLOTS:
    void initTestCase()
    {
        if (m_bus.address.isEmpty())
            QFAIL("dbus-daemon did not start; ./dev installs it");
    }

    void onlyAnAbsentUserIsNotified_data()
    {
        QTest::addColumn<bool>("windowActive");
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("note");
        QTest::newRow("image, window active") << true << QByteArray("image 4096\n") << QString();
        QTest::newRow("image, no window active")
            << false << QByteArray("image 4096\n") << "Image created|source.iso, 0 MB";
        QTest::newRow("failure, no window active") << false << QByteArray("exit 1\n") << "Export failed|";
    }
    void onlyAnAbsentUserIsNotified()
    {
        QFETCH(bool, windowActive);
        QFETCH(QByteArray, script);
        QFETCH(QString, note);
        Setup setup(m_bus, true);
        if (windowActive) {
            setup.view.show();
            QVERIFY(QTest::qWaitForWindowActive(&setup.view));
        }
        QCOMPARE(QApplication::activeWindow() != nullptr, windowActive);
        setup.exportWith(script);

        // The bus keeps the order of one sender's calls: once this arrives, any notification has arrived too.
        const QString image = setup.workspace.imagePath();
        if (windowActive)
            QTest::mouseClick(setup.link(), Qt::LeftButton); // selects the image itself in the file manager
        else
            FreedesktopDesktop(setup.service).showInFolder(image);
        QTRY_COMPARE(setup.fileManager.shown, QStringList { QUrl::fromLocalFile(image).toString() });
        QVERIFY(setup.opened.isEmpty());
        QCOMPARE(setup.notifications.notes.size(), note.isEmpty() ? 0 : 1);
        if (!note.isEmpty())
            QVERIFY2(setup.notifications.notes.first().startsWith(note), qPrintable(setup.notifications.notes.first()));
    }

    void withoutAFileManagerTheFolderOpens()
    {
        Setup setup(m_bus, false);
        setup.view.show();
        setup.exportWith("image 4096\n");
        QTest::mouseClick(setup.link(), Qt::LeftButton);
        QTRY_COMPARE(setup.opened, QList<QUrl> { setup.workspace.destinationUrl() });
    }

private:
    PrivateBus m_bus;
};

QTEST_MAIN(AfterExportTest)
#include "test_after_export.moc"
