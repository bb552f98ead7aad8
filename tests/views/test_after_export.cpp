// SPDX-License-Identifier: GPL-3.0-or-later
// What the window offers once an image is written: the file manager, and a notification for the absent,
// against stand-in services on a session bus of the test's own.

#include "ViewTestKit.h"

#include "model/ExportModel.h"
#include "views/FreedesktopDesktop.h"
#include "views/MainView.h"

#include <QtDBus>

using namespace ViewTestKit;

namespace {

// Both desktop services at once: notes each call, a notification as "summary|body", a request to show items
// as their URIs, and answers it.
class ServicesStandIn : public QDBusVirtualObject {
public:
    QStringList calls;
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        const QVariantList arguments = message.arguments();
        calls << (message.member() == u"Notify" ? arguments.value(3).toString() + u'|' + arguments.value(4).toString()
                                                : arguments.value(0).toStringList().join(u' '));
        return connection.send(message.createReply(QVariant(uint(1))));
    }
};

// A window whose desktop talks to a private bus, where the stand-in serves both names when `withServices`.
struct Setup {
    explicit Setup(bool withServices)
    {
        TestFiles::writeFile(folder.filePath(QStringLiteral("bus.conf")),
            QStringLiteral("<busconfig><type>session</type><listen>unix:tmpdir=%1</listen><auth>EXTERNAL</auth>"
                           "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                           "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>"
                           "</busconfig>")
                .arg(folder.path())
                .toUtf8());
        daemon.start(QStringLiteral("dbus-daemon"),
            { "--config-file=" + folder.filePath(QStringLiteral("bus.conf")), QStringLiteral("--print-address"),
                QStringLiteral("--nofork") });
        if (!daemon.waitForReadyRead(10000))
            qFatal("dbus-daemon did not start; ./dev installs it");
        const QString address = QString::fromUtf8(daemon.readLine().trimmed());
        QDBusConnection service = QDBusConnection::connectToBus(address, QStringLiteral("service"));
        if (withServices)
            for (const QString name : { "FileManager1", "Notifications" }) {
                service.registerService("org.freedesktop." + name);
                service.registerVirtualObject("/org/freedesktop/" + name, &services);
            }
        view = std::make_unique<MainView>(model,
            std::make_shared<FreedesktopDesktop>(
                QDBusConnection::connectToBus(address, QStringLiteral("client")), [this](const QUrl& url) {
                    opened << url;
                    return true;
                }));
        model->selectSource(), model->selectDestination();
    }
    ~Setup()
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("service"));
        QDBusConnection::disconnectFromBus(QStringLiteral("client"));
        daemon.kill();
        daemon.waitForFinished();
    }
    // Exports, and presses Show in Folder when there is an image, which sends after any notification.
    void exportAndShow(const QByteArray& script)
    {
        workspace.script(script);
        model->startExport();
        QTRY_VERIFY_WITH_TIMEOUT(!model->exportInProgress() && !model->stagingInProgress(), exportTimeout);
        if (!model->exportedImagePath().isEmpty())
            view->findChild<QAbstractButton*>(QStringLiteral("showInFolder"))->click();
    }

    QTemporaryDir folder;
    QProcess daemon;
    ServicesStandIn services;
    Workspace workspace;
    std::shared_ptr<ExportModel> model = ExportModel::create(QStringLiteral(FAKE_TOOL_PATH), workspace.chooser);
    QList<QUrl> opened;
    std::unique_ptr<MainView> view;
};

} // namespace

class AfterExportTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The calls the services get, in order; IMAGE stands for the image's URI.
    void onlyAnAbsentUserIsNotified_data()
    {
        QTest::addColumn<bool>("windowActive");
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("image, window active") << true << QByteArray("image 4096\n") << QStringList { "IMAGE" };
        QTest::newRow("image, no window active")
            << false << QByteArray("image 4096\n") << QStringList { "Image created|source.iso, 0 MB", "IMAGE" };
        QTest::newRow("failure, no window active")
            << false << QByteArray("exit 1\n") << QStringList { "Export failed|" };
    }
    void onlyAnAbsentUserIsNotified()
    {
        QFETCH(bool, windowActive);
        QFETCH(QByteArray, script);
        QFETCH(QStringList, calls);
        Setup setup(true);
        if (windowActive) {
            setup.view->show();
            QVERIFY(QTest::qWaitForWindowActive(setup.view.get()));
        }
        QCOMPARE(QApplication::activeWindow() != nullptr, windowActive);
        setup.exportAndShow(script);
        calls.replaceInStrings(QStringLiteral("IMAGE"), QUrl::fromLocalFile(setup.workspace.imagePath()).toString());
        QTRY_COMPARE(setup.services.calls.size(), calls.size());
        for (qsizetype i = 0; i < calls.size(); ++i)
            QVERIFY2(setup.services.calls[i].startsWith(calls[i]), qPrintable(setup.services.calls[i]));
        QVERIFY(setup.opened.isEmpty());
    }

    void withoutAFileManagerTheFolderOpens()
    {
        Setup setup(false);
        setup.exportAndShow("image 4096\n");
        QTRY_COMPARE(setup.opened, QList<QUrl> { setup.workspace.destinationUrl() });
    }
};

QTEST_MAIN(AfterExportTest)
#include "test_after_export.moc"
