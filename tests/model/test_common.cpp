// SPDX-License-Identifier: GPL-3.0-or-later
// Small shared helpers: the information lookup, the text check on tool output, and the image's name.

#include "common/BundleInfo.h"
#include "model/ExportNames.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

class CommonTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void bundleInfoGivesTextOrTheWarningSign();
    void bundleLoadsItsDictionaryFromAFile();
    void namesFollowTheSourcesLastElement_data();
    void namesFollowTheSourcesLastElement();
};

void CommonTest::bundleInfoGivesTextOrTheWarningSign()
{
    const QString warning = QString::fromUtf8("\xE2\x9A\xA0\xEF\xB8\x8F");
    QCOMPARE(warning.size(), 2);
    const Bundle bundle { QJsonObject { { QStringLiteral("CFBundleName"), QStringLiteral("Velbrook") },
        { QStringLiteral("CFBundleVersion"), 7 }, { QStringLiteral("List"), QJsonArray { QStringLiteral("a") } },
        { QStringLiteral("Empty"), QString() } } };
    QCOMPARE(bundleInfoString(bundle, QStringLiteral("CFBundleName")), QStringLiteral("Velbrook"));
    QCOMPARE(bundleInfoString(bundle, QStringLiteral("CFBundleVersion")), warning);
    QCOMPARE(bundleInfoString(bundle, QStringLiteral("List")), warning);
    QCOMPARE(bundleInfoString(bundle, QStringLiteral("Missing")), warning);
    QCOMPARE(bundleInfoString(bundle, QStringLiteral("Empty")), QString());
    QCOMPARE(bundleInfoString(Bundle {}, QStringLiteral("CFBundleName")), warning);
}

void CommonTest::bundleLoadsItsDictionaryFromAFile()
{
    QTemporaryDir dir;
    const auto write = [&](const char* name, const QByteArray& content) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
        return file.fileName();
    };
    QCOMPARE(bundleInfoString(
                 Bundle::load(write("good.json", R"({"CFBundleName": "Velbrook"})")), QStringLiteral("CFBundleName")),
        QStringLiteral("Velbrook"));
    QVERIFY(!Bundle::load(write("broken.json", "{ not json")).infoDictionary);
    QVERIFY(!Bundle::load(write("array.json", "[1, 2]")).infoDictionary);
    QVERIFY(!Bundle::load(dir.filePath(QStringLiteral("missing.json"))).infoDictionary);
}

void CommonTest::namesFollowTheSourcesLastElement_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("base");
    QTest::newRow("bundle") << QStringLiteral("/Users/a/Installer.app") << QStringLiteral("Installer.app")
                            << QStringLiteral("Installer");
    QTest::newRow("two extensions") << QStringLiteral("/a/notes.tar.gz") << QStringLiteral("notes.tar.gz")
                                    << QStringLiteral("notes.tar");
    QTest::newRow("no extension") << QStringLiteral("/a/Data") << QStringLiteral("Data") << QStringLiteral("Data");
    QTest::newRow("hidden") << QStringLiteral("/home/u/.profile") << QStringLiteral(".profile")
                            << QStringLiteral(".profile");
    QTest::newRow("hidden with extension")
        << QStringLiteral("/a/.config.bak") << QStringLiteral(".config.bak") << QStringLiteral(".config");
    QTest::newRow("trailing slash") << QStringLiteral("/a/Folder.d/") << QStringLiteral("Folder.d")
                                    << QStringLiteral("Folder");
    QTest::newRow("dot in a folder above") << QStringLiteral("/a.b/c") << QStringLiteral("c") << QStringLiteral("c");
    QTest::newRow("root") << QStringLiteral("/") << QStringLiteral("/") << QStringLiteral("/");
}

void CommonTest::namesFollowTheSourcesLastElement()
{
    QFETCH(QString, source);
    QFETCH(QString, item);
    QFETCH(QString, base);
    QCOMPARE(itemName(source), item);
    QCOMPARE(baseName(source), base);
    QCOMPARE(
        outputImagePath(QStringLiteral("/Volumes/Stick"), base), QStringLiteral("/Volumes/Stick/") + base + ".iso");
}

QTEST_GUILESS_MAIN(CommonTest)
#include "test_common.moc"
